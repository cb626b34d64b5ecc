#include <gtest/gtest.h>

#include "model/value_text.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/dialog_xml_writer.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

// The serialised document without declaration, as one line per element (CR LF kept out).
QString Compact(const DialogXmlWriter& writer) {
  QString s = ComposeForSource(*writer.Document());
  s.replace(QLatin1String("\r\n"), QLatin1String("|"));
  return s;
}

TEST(ValueText, ValueOfText) {
  const struct {
    const char* text;
    qint64 value;
  } cases[] = {{"", 0},      {"abc", 0},        {"  \t42x", 42}, {"-17", -17}, {"+5", 5},
               {"$FF", 255}, {"$1a2b", 0x1a2b}, {"%101", 5},     {"%102", 2},  {"-$10", -16},
               {"12.7", 12}, {"$", 0},          {" - 3", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(ValueOfText(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(ValueText, IntegerAndIdentifierTexts) {
  const struct {
    const char* text;
    bool integer;
    bool identifier;
  } cases[] = {{"", false, false},    {"-", true, false},    {"0", true, false},
               {"-12", true, false},  {"1-2", false, false}, {"1.5", false, false},
               {"auto", false, true}, {"_a9", false, true},  {"9a", false, false},
               {"a b", false, false}, {" 1", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsIntegerText(QString::fromLatin1(c.text)), c.integer) << c.text;
    EXPECT_EQ(IsIdentifierText(QString::fromLatin1(c.text)), c.identifier) << c.text;
  }
  EXPECT_FALSE(IsIdentifierText(QStringLiteral("na\u00efve")));
}

TEST(ValueText, NumberLiteralsAndPathParts) {
  for (const char* yes : {"0", "-12", "$FF", "$00aBc", "%101", "-$1"})
    EXPECT_TRUE(IsNumberLiteral(QString::fromLatin1(yes))) << yes;
  for (const char* no : {"", "-", "$", "%", "%12", "$G", "1 ", "1) : End", "#PB_Any", "+1"})
    EXPECT_FALSE(IsNumberLiteral(QString::fromLatin1(no))) << no;
  EXPECT_EQ(DirectoryPart("/a/b.c/file.xml"), "/a/b.c/");
  EXPECT_EQ(DirectoryPart("file.xml"), "");
  EXPECT_EQ(FilePart("/a/b.c/file.xml"), "file.xml");
}

TEST(Writer, DesignExampleIsWrittenByteForByte) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  f.Add("vbox1", "button");
  EXPECT_EQ(DesignFileBytes(f.tree, f.schema),
            ReadFileBytes(DataPath("xml/example_design.xml")));
  // The clipboard form differs only in its declaration; the source form has none and starts
  // with the line break before the root.
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Design, {}));
  const QString clip = ComposeForClipboard(*f.writer.Document());
  EXPECT_TRUE(clip.startsWith("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<dialogs>\r\n"));
  EXPECT_TRUE(ComposeForSource(*f.writer.Document()).startsWith("\r\n<dialogs>\r\n  <window "));
}

TEST(Writer, EmptyDesignIsTheBareRoot) {
  DesignFixture f;
  EXPECT_EQ(DesignFileBytes(f.tree, f.schema),
            QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dialogs/>"));
}

TEST(Writer, DefaultsSpansAndDesignerOnlyNames) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  f.Add("vbox1", "button");
  f.Add("vbox1", "gridbox");
  f.Add("gridbox1", "button");
  f.Set("dialogs", "font", "Arial|10|256");
  f.Set("button1", "rowspan", "2");
  f.Set("button1", "width", "0");
  f.Set("button1", "height", "00");
  f.Set("button1", "disabled", "no");
  f.Set("button1", "variable", "yes");
  f.Set("button1", "tooltip", "a \"b\" & <c>\nd'");
  f.Set("button1", "frobnicate", "x");  // not a button attribute: never written
  f.Set("button2", "rowspan", "2");
  f.Set("button2", "onevent", "no");
  f.Set("button2", "id", "#B2");
  f.Set("vbox1", "spacing", "5");
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Design, {}));
  EXPECT_EQ(Compact(f.writer),
            "|<dialogs bxwfont=\"Arial|10|256\">"
            "|  <window name=\"window1\" text=\"window1\" flags=\"#PB_Window_SystemMenu\">"
            "|    <vbox name=\"vbox1\" spacing=\"5\">"
            "|      <button name=\"button1\" height=\"00\" text=\"button1\" bxwevents=\"yes\" "
            "bxwtooltip=\"a &quot;b&quot; &amp; &lt;c&gt;&#10;d&apos;\" bxwvariable=\"yes\"/>"
            "|      <gridbox name=\"gridbox1\">"
            "|        <button name=\"button2\" id=\"#B2\" rowspan=\"2\" text=\"button2\"/>"
            "|      </gridbox>|    </vbox>|  </window>|</dialogs>");
}

TEST(Writer, PreviewWritesOnlyTheRequestedWindowAndHidesIt) {
  const struct {
    const char* stored;
    const char* written;
  } cases[] = {{"", "#PB_Window_Invisible"},
               {"#PB_Window_SystemMenu", "#PB_Window_SystemMenu|#PB_Window_Invisible"},
               {"#pb_window_invisible", "#pb_window_invisible"}};
  for (const auto& c : cases) {
    DesignFixture f;
    f.Add("dialogs", "window");
    f.Add("dialogs", "window");
    f.Add("window2", "button");
    f.Set("window2", "flags", c.stored);
    f.Set("window2", "id", "#W");
    ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Preview, "window2"));
    EXPECT_EQ(Compact(f.writer), QStringLiteral("|<dialogs>|  <window name=\"window2\" "
                                                "text=\"window2\" flags=\"%1\">|    <button "
                                                "name=\"button1\" text=\"button1\"/>|  </window>|"
                                                "</dialogs>")
                                     .arg(QLatin1String(c.written)));
    EXPECT_EQ(GetAttribute(*f.tree.Find("window2"), "flags"), QLatin1String(c.stored));
  }
  DesignFixture f;
  f.Add("dialogs", "window");
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Preview, "nowhere"));
  EXPECT_EQ(Compact(f.writer), "|<dialogs/>");
}

TEST(Writer, PreviewFillsStylingTablesInsteadOfAttributes) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  f.Add("vbox1", "string");
  f.Add("vbox1", "editor");
  f.Set("string1", "font", "Arial|12|256");
  f.Set("editor1", "font", "Arial|12|256");
  f.Set("string1", "frontcolor", "$FF");
  f.Set("editor1", "backcolor", "255");
  f.Set("editor1", "tooltip", "tip");
  f.Set("dialogs", "font", "Courier|x");
  PreviewTables tables;
  XmlBuildInputs in{f.tree, f.schema};
  in.preview = &tables;
  ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::Preview, "window1"));
  EXPECT_EQ(Compact(f.writer),
            "|<dialogs>|  <window name=\"window1\" text=\"window1\" "
            "flags=\"#PB_Window_SystemMenu|#PB_Window_Invisible\">|    <vbox name=\"vbox1\">"
            "|      <string name=\"string1\" text=\"string1\"/>|      <editor name=\"editor1\"/>"
            "|    </vbox>|  </window>|</dialogs>");
  EXPECT_EQ(tables.PreviewFont.size(), 2);
  ASSERT_TRUE(tables.PreviewFont.contains("Arial|12|256"));
  ASSERT_TRUE(tables.PreviewFont.contains("Courier|0|0"));
  EXPECT_TRUE(tables.PreviewFont["Arial|12|256"].inUse);
  EXPECT_EQ(tables.PreviewFont["Arial|12|256"].size, 12);
  EXPECT_EQ(tables.PreviewStyle["dialogs"].fontKey, "Courier|0|0");
  const PreviewStyleEntry s = tables.PreviewStyle["string1"];
  EXPECT_EQ(s.fontKey, "Arial|12|256");
  EXPECT_TRUE(s.hasFrontColour);
  EXPECT_FALSE(s.hasBackColour);
  EXPECT_EQ(s.frontColour, 255);
  const PreviewStyleEntry e = tables.PreviewStyle["editor1"];
  EXPECT_TRUE(e.hasBackColour);
  EXPECT_EQ(e.backColour, 255);
  EXPECT_EQ(e.tooltip, "tip");
}

TEST(Writer, PreviewScalesSizesWithTheDpiPatch) {
  const struct {
    const char* attribute;
    const char* value;
    double scale;
    const char* written;
  } cases[] = {{"width", "100", 1.25, "125"}, {"minwidth", "auto", 1.25, "auto"},
               {"width", "-", 1.25, "0"},     {"width", "1.5", 1.25, "1.5"},
               {"width", "1", 1.5, "2"},      {"width", "3", 1.5, "4"},
               {"width", "5", 1.5, "8"},      {"height", "-3", 1.5, "-4"},
               {"margin", "10", 1.5, "15"},   {"height", "10", 2.0, "20"}};
  for (const auto& c : cases) {
    DesignFixture f;
    f.Add("dialogs", "window");
    f.Set("window1", c.attribute, c.value);
    XmlBuildInputs in{f.tree, f.schema, true, c.scale, c.scale};
    ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::Preview, "window1"));
    const XmlNode* w = f.writer.Document()->MainElement()->FirstChildElement();
    EXPECT_EQ(w->Attribute(c.attribute), QLatin1String(c.written)) << c.attribute << c.value;
  }
  // Only width is horizontal here; trackbar min stays as stored.
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "trackbar");
  f.Set("trackbar1", "min", "10");
  f.Set("trackbar1", "width", "10");
  XmlBuildInputs in{f.tree, f.schema, true, 2.0, 3.0};
  ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::Preview, "window1"));
  const XmlNode* t = f.writer.Document()->MainElement()->FirstChildElement()->FirstChildElement();
  EXPECT_EQ(t->Attribute("min"), "10");
  EXPECT_EQ(t->Attribute("width"), "20");
}

TEST(Writer, CodeExportNumbersPlaceholdersAcrossWindows) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  f.Add("dialogs", "window");
  f.Add("window2", "trackbar");
  f.Set("window1", "width", "300");
  f.Set("window1", "minwidth", "auto");
  f.Set("vbox1", "width", "50");
  f.Set("vbox1", "spacing", "4");
  f.Set("trackbar1", "width", "7");
  f.Set("trackbar1", "min", "1");
  XmlBuildInputs in{f.tree, f.schema, true};
  ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::CodeExport, {}));
  EXPECT_EQ(Compact(f.writer),
            "|<dialogs>|  <window name=\"window1\" text=\"window1\" width=\"DPIx1\" "
            "flags=\"#PB_Window_SystemMenu\" minwidth=\"auto\">"
            "|    <vbox name=\"vbox1\" width=\"DPIx2\" spacing=\"DPIy1\"/>|  </window>"
            "|  <window name=\"window2\" text=\"window2\" flags=\"#PB_Window_SystemMenu\">"
            "|    <trackbar name=\"trackbar1\" width=\"DPIx3\" min=\"1\"/>|  </window>|</dialogs>");
  const std::vector<std::pair<QString, QString>> expected = {{"DPIx1", "ScaleX(300)"},
                                                             {"DPIx2", "ScaleX(50)"},
                                                             {"DPIy1", "ScaleY(4)"},
                                                             {"DPIx3", "ScaleX(7)"}};
  EXPECT_EQ(f.writer.DpiPlaceholders(), expected);
  // The next build starts counting again; a Design build has no placeholders at all.
  ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::CodeExport, {}));
  EXPECT_EQ(f.writer.DpiPlaceholders().front().first, "DPIx1");
  ASSERT_TRUE(f.writer.BuildDialogXml(in, XmlBuildMode::Design, {}));
  EXPECT_TRUE(f.writer.DpiPlaceholders().empty());
  EXPECT_EQ(f.writer.Document()->MainElement()->FirstChildElement()->Attribute("width"), "300");
}

TEST(Collection, CodeExportDivertsDesignerOnlyAttributes) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  f.Add("vbox1", "button");  // onevent yes
  f.Add("vbox1", "button");
  f.Add("vbox1", "explorercombo");
  f.Add("vbox1", "text");  // variable yes only
  f.Set("dialogs", "font", "Tahoma|9|0");
  f.Set("button1", "tooltip", "say \"hi\"\nnow\\");
  f.Set("button1", "font", "Arial|10|768");
  f.Set("button2", "onevent", "OnClick");
  f.Set("button2", "font", "Arial|10|768");
  f.Set("explorercombo1", "onevent", "Yes");
  f.Set("text1", "frontcolor", "$FF");
  f.Set("text1", "backcolor", "123");
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::CodeExport, {}));
  const CodeExportTables& t = f.writer.CodeTables();
  EXPECT_EQ(Compact(f.writer),
            "|<dialogs>|  <window name=\"window1\" text=\"window1\" "
            "flags=\"#PB_Window_SystemMenu\">|    <vbox name=\"vbox1\">"
            "|      <button name=\"button1\" text=\"button1\"/>"
            "|      <button name=\"button2\" text=\"button2\"/>"
            "|      <explorercombo name=\"explorercombo1\"/>"
            "|      <text name=\"text1\" text=\"text1\"/>|    </vbox>|  </window>|</dialogs>");
  EXPECT_EQ(
      t.CodeLines.value(kDocumentWindowKey),
      QStringList({"; Default UI font",
                   "If IsFont(Font64) : SetGadgetFont(#PB_Default, FontID(Font64)) : EndIf"}));
  EXPECT_EQ(t.CodeLines.value("window1"),
            QStringList({"GadgetToolTip(button1, ~\"say \\\"hi\\\"\\nnow\\\\\")",
                         "If IsFont(Font65) : SetGadgetFont(button1, FontID(Font65)) : EndIf",
                         "If IsFont(Font65) : SetGadgetFont(button2, FontID(Font65)) : EndIf",
                         "SetGadgetColor(text1, #PB_Gadget_BackColor, 123)",
                         "SetGadgetColor(text1, #PB_Gadget_FrontColor, $FF)"}));
  ASSERT_EQ(t.FontTable.size(), 2);
  EXPECT_EQ(t.FontTable["Arial|10|768"].fontName, "Font65");
  EXPECT_EQ(t.FontTable["Arial|10|768"].face, "Arial");
  EXPECT_EQ(t.FontTable["Arial|10|768"].style, 768);
  EXPECT_EQ(t.FontTable["Tahoma|9|0"].size, 9);
  const std::vector<EventCallback>& cb = t.EventCallbacks.value("window1");
  ASSERT_EQ(cb.size(), 3u);
  EXPECT_EQ(cb[0].callback, "ecb_button1()");
  EXPECT_EQ(cb[0].tag, "[button]        ");
  EXPECT_EQ(cb[1].callback, "ecb_OnClick()");
  EXPECT_EQ(cb[1].tag, "[array]         ");
  EXPECT_EQ(cb[2].callback, "ecb_explorercombo1()");
  EXPECT_EQ(cb[2].tag, "[explorercombo] ");
  EXPECT_EQ(cb[2].objectKey, "explorercombo1");
  QStringList vars = t.GadgetVariables.value("window1").keys();
  vars.sort();
  EXPECT_EQ(vars, QStringList({"button1", "button2", "explorercombo1", "text1"}));
  EXPECT_FALSE(t.GadgetVariables.contains(kDocumentWindowKey));
  // Any later build empties the tables.
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Design, {}));
  EXPECT_TRUE(f.writer.CodeTables().CodeLines.isEmpty());
  EXPECT_TRUE(f.writer.CodeTables().FontTable.isEmpty());
}

}  // namespace
}  // namespace bxw::test
