#include "cli/code_tool.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "codegen/runtime_bindings.h"
#include "codegen/source_export.h"
#include "dialog/dialog_runtime.h"
#include "dialog/symbol_registry.h"
#include "test_support.h"
#include "codegen/code_fixture.h"
#include "xml/design_fixture.h"

namespace bxw::test {
namespace {

const QDateTime kStamp(QDate(2025, 1, 31), QTime(17, 5, 9));

// The source text bxw code writes for a fixture design.
QString CodeFor(const QString& xml, QStringList options = {}) {
  FixedClock clock(kStamp);
  ToolOutput out;
  const int code = CodeCommand(QStringList{DataPath("codegen/" + xml)} + options, clock, out);
  EXPECT_EQ(code, 0) << out.err.toStdString();
  return QString::fromUtf8(out.out);
}

TEST(SourceExport, WholeTextsAgainstFixtures) {
  EXPECT_EQ(CodeFor("button_string.xml"), Fixture("button_string.pb"));
  EXPECT_EQ(CodeFor("callbacks_fonts.xml"), Fixture("callbacks_fonts.pb"));
  EXPECT_EQ(CodeFor("dpi_two_windows.xml", {"--dpi-patch", "--no-loop"}),
            Fixture("dpi_two_windows.pb"));
  // A hand-written file whose program declares ids and binds events: the XML keeps them, and
  // the source declares each constant and procedure once for the dialog runtime.
  EXPECT_EQ(CodeFor("runtime_bindings.xml"), Fixture("runtime_bindings.pb"));
}

TEST(SourceExport, NoLoopEndsAfterTheUiSectionAndNoPlaceholdersNoDpiSection) {
  const QString full = Fixture("button_string.pb");
  const QString main =
      "\r\n; Main\r\nInitDialogs()\r\n\r\nRepeat\r\n\tDefine E = WaitWindowEvent()\r\n"
      "\tSelect E\r\n\t\tCase #PB_Event_CloseWindow: break\r\n\tEndSelect\r\n"
      "Forever\r\n";
  ASSERT_TRUE(full.endsWith(main));
  EXPECT_EQ(CodeFor("button_string.xml", {"--no-loop"}), full.chopped(main.size()));
  // The patch without any size placeholder adds nothing.
  EXPECT_EQ(CodeFor("button_string.xml", {"--dpi-patch"}), full);
}

TEST(SourceExport, ClipboardCancelAndFailures) {
  CodeFixture f;
  f.settings.NoLoop = true;
  ASSERT_TRUE(ExportSource(f.ctx, true));
  EXPECT_EQ(f.clipboard, CodeFor("button_string.xml", {"--no-loop"}));
  EXPECT_TRUE(f.requesters.fileRequests.isEmpty());

  f.settings.IOLastDIR = "/unchanged/";
  f.requesters.fileAnswers.push_back({QString(), 0});
  EXPECT_FALSE(ExportSource(f.ctx, false));
  EXPECT_EQ(f.settings.IOLastDIR, "/unchanged/");

  f.settings.RunCode = true;
  const QString bad = f.Path("no/such/dir/x.pb");
  f.requesters.fileAnswers.push_back({bad, 0});
  EXPECT_FALSE(ExportSource(f.ctx, false));
  const auto messages = f.Messages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].title, "Export code ERROR");
  EXPECT_EQ(messages[0].text, "Can't save results to " + bad);
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(f.settings.IOLastDIR, f.Path("no/such/dir/"));
  EXPECT_TRUE(f.openedFiles.isEmpty());

  DesignFixture empty;
  EXPECT_FALSE(ExportSource(empty.ctx, true));
  EXPECT_TRUE(empty.requesters.asked.isEmpty());
}

// The XML that the generated source hands to ParseXML, taken back out of its string statements.
QString EmbeddedXml(const QString& source) {
  QString xml;
  bool inside = false;
  for (const QString& line : source.split("\r\n")) {
    if (line == "Global DialogsXML$ = #Empty$ +") {
      inside = true;
    } else if (inside && line.startsWith("\t\"")) {
      QString piece = line.mid(2);
      piece.chop(piece.endsWith("\" +") ? 3 : 1);
      xml += piece;
    } else if (inside && line != "DialogsXML$ +") {
      break;
    }
  }
  return xml;
}

// A hand-written file exported as source: the generated program's own declarations are all the
// dialog runtime needs to open the window, give the ids their numbers and call the procedures.
TEST(RuntimeBindings, GeneratedProgramOpensItsDialog) {
  FixedClock clock(QDateTime(QDate(2025, 1, 31), QTime(17, 5, 9)));
  ToolOutput out;
  ASSERT_EQ(CodeCommand({DataPath("codegen/runtime_bindings.xml")}, clock, out), 0)
      << out.err.toStdString();
  const QString source = QString::fromUtf8(out.out);
  const XmlParseResult parsed = ParseXmlText(EmbeddedXml(source));
  ASSERT_TRUE(parsed.ok) << parsed.message.toStdString();

  {
    // Without them the runtime refuses the file, as the program did before.
    dialog::DialogRuntime rt;
    const int d = rt.CreateDialog(dialog::kAny);
    EXPECT_EQ(rt.OpenXMLDialog(d, *parsed.document, "login"), 0);
    EXPECT_EQ(rt.DialogErrorText(d),
              "'#WinLogin' constant is not found or not declared as runtime.");
  }

  dialog::DialogRuntime rt;
  QStringList called;
  const QRegularExpression constant("^\t(#\\w+) = (\\d+) : Runtime \\1$");
  const QRegularExpression procedure("^\tRuntime Procedure (\\w+)\\(\\)$");
  int declared = 0;
  for (const QString& line : source.split("\r\n")) {
    if (const auto m = constant.match(line); m.hasMatch()) {
      rt.Symbols().AddConstant(m.captured(1), m.captured(2).toInt());
      ++declared;
    } else if (const auto p = procedure.match(line); p.hasMatch()) {
      const QString name = p.captured(1);
      rt.Symbols().AddProcedure(name + "()", [&called, name](int, int) { called << name; });
      ++declared;
    }
  }
  EXPECT_EQ(declared, 7);
  const int d = rt.CreateDialog(dialog::kAny);
  ASSERT_NE(rt.OpenXMLDialog(d, *parsed.document, "login"), 0)
      << rt.DialogErrorText(d).toStdString();
  EXPECT_EQ(rt.DialogWindow(d), 1);
  EXPECT_EQ(rt.DialogGadget(d, "user"), 2);
  EXPECT_EQ(rt.DialogGadget(d, "signin"), 4);
  rt.WindowID(rt.DialogWindow(d))->show();
  auto* signIn = qobject_cast<QAbstractButton*>(rt.GadgetID(rt.DialogGadget(d, "signin")));
  auto* cancel = qobject_cast<QAbstractButton*>(rt.GadgetID(rt.DialogGadget(d, "cancel")));
  ASSERT_TRUE(signIn && cancel);
  QTest::mouseClick(signIn, Qt::LeftButton);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_EQ(called, QStringList({"OnSignIn", "OnCancel"}));
}

TEST(SourceExport, CraftedFileIsRefusedWithEveryOffender) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/crafted.xml";
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<dialogs>\n"
        "  <window name='w()&#10;RunProgram(&quot;x&quot;)'>\n"
        "    <vbox>\n"
        "      <button name='ok' bxwevents='go()&#10;End'/>\n"
        "      <string name='s' bxwfrontcolor='1) : End : ('/>\n"
        "      <text name='a&#9;b&#13;' bxwvariable='yes' bxwbackcolor='$FF'/>\n"
        "      <button name='quiet one'/>\n"
        "    </vbox>\n"
        "  </window>\n"
        "</dialogs>\n");
  }
  DesignFixture f;
  ImportXmlFile(f.ctx, path);
  ASSERT_TRUE(f.tree.Contains("ok"));
  f.requesters.asked.clear();
  EXPECT_FALSE(ExportSource(f.ctx, true));
  EXPECT_FALSE(ExportSource(f.ctx, false));
  EXPECT_TRUE(f.clipboard.isEmpty());
  EXPECT_TRUE(f.requesters.fileRequests.isEmpty());
  const auto messages = f.Messages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[0].title, "Export code ERROR");
  // Line breaks and tabs of the offending texts are shown escaped: one line per offender.
  EXPECT_EQ(messages[0].text,
            "The code was not exported: these names and values would be written into the source "
            "unchecked.\r\n\r\n"
            "window 'w()\\nRunProgram(\"x\")': name \"w()\\nRunProgram(\"x\")\" is not an "
            "identifier\r\n"
            "button 'ok': onevent \"go()\\nEnd\" is not an identifier\r\n"
            "string 's': frontcolor \"1) : End : (\" is not a number\r\n"
            "text 'a\\tb\\r': name \"a\\tb\\r\" is not an identifier");

  ToolOutput out;
  FixedClock clock(kStamp);
  EXPECT_EQ(CodeCommand({path}, clock, out), 2);
  EXPECT_TRUE(out.out.isEmpty());
  EXPECT_TRUE(out.err.endsWith("text 'a\\tb\\r': name \"a\\tb\\r\" is not an identifier\n"))
      << out.err.toStdString();
}

}  // namespace
}  // namespace bxw::test
