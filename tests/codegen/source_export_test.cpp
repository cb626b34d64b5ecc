#include "codegen/source_export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "codegen/code_tool.h"
#include "model/value_text.h"
#include "test_support.h"
#include "xml/design_fixture.h"
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

const QString kRefusal =
    "The code was not exported: these names and values would be written into the source "
    "unchecked.\r\n\r\n";

// The refusal lines of a design, or "exported" when its source was written.
QString Verdict(DesignFixture& f, const SourceOptions& options = {}) {
  QString text, refusal;
  if (BuildSourceText(f.tree, f.schema, f.writer, options, kStamp, text, refusal))
    return "exported";
  EXPECT_TRUE(refusal.startsWith(kRefusal)) << refusal.toStdString();
  return refusal.mid(kRefusal.size());
}

TEST(SourceExport, NamesThatCannotBeDeclaredAreRefused) {
  SourceOptions dpi;
  dpi.dpiPatch = true;
  SourceOptions noLoop;
  noLoop.noLoop = true;
  const QString clash = " clashes with a name the generated code declares";
  // A window "w" holding a button (its events make its name a variable) named as given.
  const struct {
    const char* window;
    const char* button;
    SourceOptions options;
    std::function<void(DesignFixture&)> more;
    QString verdict;
  } cases[] = {
      {"EndProcedure",
       "b",
       {},
       {},
       "window 'EndProcedure': name \"EndProcedure\" is a PureBasic "
       "keyword"},
      {"w", "If", {}, {}, "button 'If': name \"If\" is a PureBasic keyword"},
      {"w", "forever", {}, {}, "button 'forever': name \"forever\" is a PureBasic keyword"},
      {"w", "Iffy", {}, {}, "exported"},
      {"w", "EndProcedure2", {}, {}, "exported"},
      // dlg_w = DialogGadget(dlg_w, "dlg_w") would overwrite the dialog's handle.
      {"w", "dlg_w", {}, {}, "button 'dlg_w': name \"dlg_w\"" + clash},
      {"w", "DLG_W", {}, {}, "button 'DLG_W': name \"DLG_W\"" + clash},
      {"w", "dlg_v", {}, {}, "exported"},
      {"dlg_v",
       "b",
       {},
       [](DesignFixture& f) { f.Add("dialogs", "window", "v"); },
       "window 'dlg_v': name \"dlg_v\"" + clash},
      {"w", "DialogsXML", {}, {}, "button 'DialogsXML': name \"DialogsXML\"" + clash},
      {"w", "InitDialogs", {}, {}, "button 'InitDialogs': name \"InitDialogs\"" + clash},
      {"w",
       "Font64",
       {},
       [](DesignFixture& f) { f.Set("font64", "font", "Arial|9|0"); },
       "button 'Font64': name \"Font64\"" + clash},
      {"w", "Font64", {}, {}, "exported"},
      {"w",
       "ecb_ok",
       {},
       [](DesignFixture& f) { f.Add("w", "button", "ok"); },
       "button 'ecb_ok': name \"ecb_ok\"" + clash},
      {"w", "ecb_ok", {}, {}, "exported"},
      // Define E = WaitWindowEvent() in the event loop.
      {"E", "b", {}, {}, "window 'E': name \"E\"" + clash},
      {"E", "b", noLoop, {}, "exported"},
      // The names of the DPI section, there only when a size was replaced.
      {"w", "DPIx1", dpi, [](DesignFixture& f) { f.Set("w", "width", "300"); },
       "button 'DPIx1': name \"DPIx1\"" + clash},
      {"w", "dpiyscale", dpi, [](DesignFixture& f) { f.Set("w", "width", "300"); },
       "button 'dpiyscale': name \"dpiyscale\"" + clash},
      {"w", "InitScaleDPI", dpi, [](DesignFixture& f) { f.Set("w", "width", "300"); },
       "button 'InitScaleDPI': name \"InitScaleDPI\"" + clash},
      {"w", "ScaleX", dpi, [](DesignFixture& f) { f.Set("w", "width", "300"); },
       "button 'ScaleX': name \"ScaleX\"" + clash},
      {"w", "DPIx1", dpi, {}, "exported"},
      {"w", "DPIx1", {}, [](DesignFixture& f) { f.Set("w", "width", "300"); }, "exported"},
  };
  for (const auto& c : cases) {
    DesignFixture f;
    f.Add("dialogs", "window", c.window);
    f.Add(QString(c.window).toLower(), "button", c.button);
    if (c.more) c.more(f);
    EXPECT_EQ(Verdict(f, c.options), c.verdict) << c.window << " " << c.button;
  }
}

TEST(SourceExport, DpiSizesMustBeWholeNumbersInRange) {
  SourceOptions dpi;
  dpi.dpiPatch = true;
  const QString range = "\" is not a whole number from -2147483648 to 2147483647";
  const struct {
    const char* attribute;
    const char* value;
    QString verdict;  // with the DPI patch; without it every value goes into the XML as it is
  } cases[] = {
      {"width", "-", "button 'b': width \"-" + range},
      {"width", "99999999999999999999", "button 'b': width \"99999999999999999999" + range},
      {"width", "2147483648", "button 'b': width \"2147483648" + range},
      {"height", "-2147483649", "button 'b': height \"-2147483649" + range},
      {"width", "2147483647", "exported"},
      {"height", "-2147483648", "exported"},
      {"width", "0000000000000000000012", "exported"},
      {"width", "1.5", "exported"},  // not a placeholder: the XML carries it
  };
  for (const auto& c : cases) {
    DesignFixture f;
    f.Add("dialogs", "window", "w");
    f.Add("w", "vbox");
    f.Add("vbox1", "button", "b");
    f.Set("b", c.attribute, c.value);
    EXPECT_EQ(Verdict(f, dpi), c.verdict) << c.attribute << "=" << c.value;
    EXPECT_EQ(Verdict(f), "exported") << c.attribute << "=" << c.value;
  }
}

TEST(SourceExport, RuntimeProceduresThatCannotBeDeclaredAreRefused) {
  const QString clash = " clashes with a name the generated code declares";
  const struct {
    const char* onevent;
    QString verdict;
  } cases[] = {
      {"OnOk()", "exported"},
      {"a b()", "button 'b': onevent \"a b()\" is not an identifier followed by \"()\""},
      {"()", "button 'b': onevent \"()\" is not an identifier followed by \"()\""},
      {"Go()\n()", "button 'b': onevent \"Go()\\n()\" is not an identifier followed by \"()\""},
      {"If()", "button 'b': onevent \"If()\" names a PureBasic keyword"},
      {"InitDialogs()", "button 'b': onevent \"InitDialogs()\"" + clash},
      {"ecb_other()", "button 'b': onevent \"ecb_other()\"" + clash},
      // The window's variable, and a gadget that the code addresses.
      {"W()", "button 'b': onevent \"W()\"" + clash},
      {"other()", "button 'b': onevent \"other()\"" + clash},
      // A gadget the code never addresses leaves its name free.
      {"quiet()", "exported"},
  };
  for (const auto& c : cases) {
    DesignFixture f;
    f.Add("dialogs", "window", "w");
    f.Add("w", "vbox");
    f.Add("vbox1", "button", "b");
    f.Add("vbox1", "button", "other");  // onevent yes: ecb_other() and the variable other
    f.Add("vbox1", "hbox", "quiet");
    f.Set("b", "onevent", c.onevent);
    EXPECT_EQ(Verdict(f), c.verdict) << c.onevent;
  }
}

TEST(SourceExport, EachRuntimeProcedureAndConstantIsDeclaredOnce) {
  DesignFixture f;
  f.Add("dialogs", "window", "w");
  f.Set("w", "id", "#Main");
  f.Add("w", "vbox");
  for (const char* name : {"a", "b", "c"}) f.Add("vbox1", "button", name);
  f.Set("a", "onevent", "Clicked()");
  f.Set("b", "onevent", "clicked()");  // PureBasic ignores letter case: the same procedure
  f.Set("c", "onevent", "yes");
  f.Set("a", "id", "#main");
  f.Set("b", "id", "1");  // a literal id keeps its number to itself
  f.Set("c", "flags", "#PB_Button_Default | #Extra");
  QString text, refusal;
  ASSERT_TRUE(BuildSourceText(f.tree, f.schema, f.writer, {}, kStamp, text, refusal))
      << refusal.toStdString();
  EXPECT_TRUE(
      text.startsWith("EnableExplicit\r\n\r\n"
                      ";{ Runtime constants and procedures }\r\n\r\n"
                      "\t#Main = 2 : Runtime #Main\r\n"
                      "\t#Extra = 0 : Runtime #Extra\r\n\r\n"
                      "\tRuntime Procedure Clicked()\r\n"
                      "\tEndProcedure\r\n\r\n"
                      ";}\r\n\r\n"
                      ";{ Dialogs XML }\r\n"))
      << text.left(400).toStdString();
  // The bindings stay in the XML as written; the gadget with "yes" still gets its callback.
  EXPECT_TRUE(text.contains("<button name='a' id='#main' text='a' onevent='Clicked()'/>"));
  EXPECT_TRUE(text.contains("<button name='b' id='1' text='b' onevent='clicked()'/>"));
  EXPECT_TRUE(text.contains("\t\tProcedure ecb_c()\r\n"));
  EXPECT_FALSE(text.contains("ecb_Clicked"));
  EXPECT_FALSE(text.contains("DialogGadget(dlg_w, \"a\")"));
}

}  // namespace
}  // namespace bxw::test
