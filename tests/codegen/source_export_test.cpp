#include "codegen/source_export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "codegen/code_fixture.h"
#include "model/value_text.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

const QDateTime kStamp(QDate(2025, 1, 31), QTime(17, 5, 9));

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
