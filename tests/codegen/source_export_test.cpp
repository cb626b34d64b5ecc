#include "codegen/source_export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "codegen/code_tool.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "model/value_text.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

const QDateTime kStamp(QDate(2025, 1, 31), QTime(17, 5, 9));

QString Fixture(const QString& name) {
  return QString::fromUtf8(ReadFileBytes(DataPath("codegen/" + name)));
}

// The source text bxw code writes for a fixture design.
QString CodeFor(const QString& xml, QStringList options = {}) {
  FixedClock clock(kStamp);
  ToolOutput out;
  const int code = CodeCommand(QStringList{DataPath("codegen/" + xml)} + options, clock, out);
  EXPECT_EQ(code, 0) << out.err.toStdString();
  return QString::fromUtf8(out.out);
}

struct CodeFixture : DesignFixture {
  QTemporaryDir dir;
  CodeFixture() {
    ImportXmlFile(ctx, DataPath("codegen/button_string.xml"));
    settings.IOLastDIR = dir.path() + "/";
  }
  QString Path(const QString& name) const { return dir.path() + "/" + name; }
};

TEST(SourceExport, WholeTextsAgainstFixtures) {
  EXPECT_EQ(CodeFor("button_string.xml"), Fixture("button_string.pb"));
  EXPECT_EQ(CodeFor("callbacks_fonts.xml"), Fixture("callbacks_fonts.pb"));
  EXPECT_EQ(CodeFor("dpi_two_windows.xml", {"--dpi-patch", "--no-loop"}),
            Fixture("dpi_two_windows.pb"));
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

TEST(SourceExport, LongXmlIsCutIntoStatements) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  for (int i = 0; i < 400; ++i) f.Add("vbox1", "button");
  QString text, refusal;
  ASSERT_TRUE(BuildSourceText(f.tree, f.schema, f.writer, {}, kStamp, text, refusal));
  const QStringList lines = text.split("\r\n");
  const qsizetype first = lines.indexOf("Global DialogsXML$ = #Empty$ +");
  ASSERT_GE(first, 0);
  int statements = 1;
  qsizetype count = 0;
  for (qsizetype i = first + 1;;) {
    ASSERT_TRUE(lines[i].startsWith("\t\"")) << i;
    QString xml = lines[i].mid(2);
    const bool plus = xml.endsWith("\" +");
    xml.chop(plus ? 3 : 1);
    qsizetype tabs = 0;
    while (tabs < xml.size() && xml[tabs] == '\t') ++tabs;
    count += xml.size() + tabs;  // the composed line had two spaces per tab
    const QString& next = lines[i + 1];
    if (next == "DialogsXML$ +") {
      EXPECT_FALSE(plus) << i;
      EXPECT_GE(count, 7372) << i;
      count = 0;
      ++statements;
      i += 2;
    } else if (next.startsWith("\t\"")) {
      EXPECT_TRUE(plus) << i;
      EXPECT_LT(count, 7372) << i;
      ++i;
    } else {
      EXPECT_FALSE(plus);
      EXPECT_EQ(xml, "</dialogs>");
      EXPECT_EQ(next, "");
      break;
    }
  }
  EXPECT_GE(statements, 3);
  EXPECT_EQ(text.count("DialogsXML$ +\r\n"), statements - 1);
}

TEST(SourceExport, ToFileWithExtensionRuleBomAndRunCode) {
  const struct {
    const char* typed;
    int pattern;
    const char* saved;
  } cases[] = {{"Form", 0, "Form.pb"},
               {"Form.PB", 0, "Form.PB"},
               {"Form.txt", 0, "Form.txt.pb"},
               {"Form", 1, "Form"}};
  for (const auto& c : cases) {
    CodeFixture f;
    f.settings.RunCode = true;
    f.snapshot = "kept";
    f.requesters.fileAnswers.push_back({f.Path(c.typed), c.pattern});
    ASSERT_TRUE(ExportSource(f.ctx, false)) << c.typed;
    const QByteArray bytes = ReadFileBytes(f.Path(c.saved));
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + Fixture("button_string.pb").toUtf8()) << c.typed;
    EXPECT_EQ(f.openedFiles, QStringList({f.Path(c.saved)}));
    EXPECT_EQ(f.snapshot, "kept");
    const FileRequest& r = f.requesters.fileRequests[0];
    EXPECT_EQ(r.title, "Export this hardcode..");
    EXPECT_EQ(r.startPath, f.Path("UI_2025-01-31_17-05-09.pb"));
    EXPECT_EQ(r.patterns, "PB source file (*.pb)|*.pb|All files (*.*)|*.*");
  }
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
        "      <text name='a b' bxwvariable='yes' bxwbackcolor='$FF'/>\n"
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
  EXPECT_EQ(
      messages[0].text,
      "The code was not exported: these names and values would be written into the source "
      "unchecked.\r\n\r\n"
      "window 'w()\nRunProgram(\"x\")': name \"w()\nRunProgram(\"x\")\" is not an identifier\r\n"
      "button 'ok': onevent \"go()\nEnd\" is not an identifier\r\n"
      "string 's': frontcolor \"1) : End : (\" is not a number\r\n"
      "text 'a b': name \"a b\" is not an identifier");

  ToolOutput out;
  FixedClock clock(kStamp);
  EXPECT_EQ(CodeCommand({path}, clock, out), 2);
  EXPECT_TRUE(out.out.isEmpty());
  EXPECT_TRUE(out.err.contains("text 'a b': name \"a b\" is not an identifier\n"));
}

TEST(SourceExport, FontFacesAreWrittenAsSafeLiterals) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "text");
  f.Add("window1", "text");
  f.Set("text1", "font", "Bad\") : RunProgram(\"x|10|256");
  f.Set("text2", "font", "Two\r\nLines\\|9|0");
  QString text, refusal;
  ASSERT_TRUE(BuildSourceText(f.tree, f.schema, f.writer, {}, kStamp, text, refusal));
  EXPECT_TRUE(
      text.contains("\tGlobal Font64 = LoadFont(#PB_Any, ~\"Bad\\\") : RunProgram(\\\"x\", 10, "
                    "#PB_Font_Bold)\r\n"));
  EXPECT_TRUE(text.contains("\tGlobal Font65 = LoadFont(#PB_Any, ~\"Two\\r\\nLines\\\\\", 9)\r\n"));
}

}  // namespace
}  // namespace bxw::test
