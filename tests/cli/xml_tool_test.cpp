#include "cli/xml_tool.h"

#include <gtest/gtest.h>

#include "dialog/dialog_runtime.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

// The runtime opens a window with 128 levels of elements below it and no more; an import takes
// what it can open and refuses anything deeper whole, however deep, without recursing.
TEST(Reader, NestingIsBoundedByWhatTheRuntimeOpens) {
  auto nested = [](int levels) {
    return "<dialogs><window name='w'>" + QByteArray("<vbox>").repeated(levels - 1) + "<button/>" +
           QByteArray("</vbox>").repeated(levels - 1) + "</window></dialogs>";
  };
  ClassSchema schema;
  XmlLoadResult deepest = LoadDialogXml(schema, nested(128));
  ASSERT_EQ(deepest.status, XmlLoadStatus::Loaded);
  EXPECT_EQ(deepest.design->Depth("button1"), 129);
  DialogXmlWriter writer;
  ASSERT_TRUE(writer.BuildDialogXml({*deepest.design, schema}, XmlBuildMode::Preview, "w"));
  dialog::DialogRuntime runtime;
  const int dialog = runtime.CreateDialog(dialog::kAny);
  EXPECT_EQ(runtime.OpenXMLDialog(dialog, *writer.Document(), "w"), 1)
      << runtime.DialogErrorText(dialog).toStdString();
  runtime.DestroyDialog(dialog);
  // One level more is what the runtime refuses.
  const XmlParseResult deeper = ParseXml(nested(129));
  ASSERT_TRUE(deeper.ok);
  EXPECT_EQ(runtime.OpenXMLDialog(runtime.CreateDialog(dialog::kAny), *deeper.document, "w"), 0);

  for (int levels : {129, 100000}) {
    XmlLoadResult refused = LoadDialogXml(schema, nested(levels));
    EXPECT_EQ(refused.status, XmlLoadStatus::TooDeep) << levels;
    EXPECT_FALSE(refused.design);
    EXPECT_TRUE(refused.errorText.startsWith("Nothing was imported: "));
  }
}

TEST(Tool, CheckExitsTwoOnlyForWhatIsNoXml) {
  ImportFixture f;
  const QString good = f.Write("good.xml", ReadFileBytes(DataPath("xml/example_design.xml")));
  const QString other = f.Write("other.xml", "<DIALOGS/>");
  const QString none = f.dir.path() + "/none.xml";
  const struct {
    QString file;
    int code;
    QString err;
  } cases[] = {
      {good, 0, ""},
      {f.Write("warn.xml", "<dialogs><window name='w' x='1'/><what/></dialogs>"), 1,
       "Unsupported property: window\\x (kept)\nUnsupported object type: what\n"},
      {other, 1,
       "Nothing was imported: the main element must be \"dialogs\" or \"window\", not "
       "\"DIALOGS\"\n"},
      {f.Write("bad.xml", "<dialogs>"), 2, "XML line 1, pos 10: no element found\n"},
      {f.Write("empty.xml", ""), 2, "Nothing was imported: the file holds no element\n"},
      {none, 2, "bxw: no such file: " + none + "\n"},
  };
  for (const auto& c : cases) {
    ToolOutput out;
    EXPECT_EQ(CheckCommand({c.file}, out), c.code) << c.file.toStdString();
    EXPECT_EQ(out.err, c.err);
    EXPECT_TRUE(out.out.isEmpty());
  }
  ToolOutput usage;
  EXPECT_EQ(CheckCommand({}, usage), 2);
}

TEST(Tool, XmlReplacesItsOwnInputOnlyWhenTheImportWasClean) {
  ImportFixture f;
  const QByteArray warnBytes = "<dialogs><window name='w' x='1'/><what/></dialogs>";
  const QString good = f.Write("good.xml", ReadFileBytes(DataPath("xml/example_design.xml")));
  const QString warn = f.Write("warn.xml", warnBytes);
  const QByteArray warnSaved =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dialogs>\r\n  <window name=\"w\" "
      "x=\"1\"/>\r\n"
      "</dialogs>";

  ToolOutput toStdout;
  EXPECT_EQ(XmlCommand({good}, toStdout), 0);
  EXPECT_EQ(toStdout.out, ReadFileBytes(DataPath("xml/example_design.xml")));
  ToolOutput overGood;
  EXPECT_EQ(XmlCommand({good, "-o", good}, overGood), 0);
  EXPECT_EQ(ReadFileBytes(good), ReadFileBytes(DataPath("xml/example_design.xml")));

  // Another file may take a design whose import warned; its own file is not replaced by it.
  ToolOutput toOther;
  const QString out = f.dir.path() + "/out.xml";
  EXPECT_EQ(XmlCommand({warn, "-o", out}, toOther), 1);
  EXPECT_EQ(ReadFileBytes(out), warnSaved);
  ToolOutput refused;
  EXPECT_EQ(XmlCommand({warn, "-o", f.dir.path() + "/./warn.xml"}, refused), 2);
  EXPECT_TRUE(refused.err.endsWith("bxw: " + f.dir.path() +
                                   "/./warn.xml not replaced: its import had warnings (--force "
                                   "replaces it anyway)\n"));
  EXPECT_EQ(ReadFileBytes(warn), warnBytes);
  ToolOutput forced;
  EXPECT_EQ(XmlCommand({warn, "-o", warn, "--force"}, forced), 1);
  EXPECT_EQ(ReadFileBytes(warn), warnSaved);

  // Nothing imported: nothing written, wherever it would go.
  const QString other = f.Write("other.xml", "<other/>");
  ToolOutput nothing;
  EXPECT_EQ(XmlCommand({other, "-o", other, "--force"}, nothing), 2);
  EXPECT_EQ(ReadFileBytes(other), "<other/>");
  EXPECT_TRUE(nothing.out.isEmpty());

  ToolOutput unwritable;
  const QString missing = f.dir.path() + "/missing/out.xml";
  EXPECT_EQ(XmlCommand({good, "-o", missing}, unwritable), 2);
  EXPECT_EQ(unwritable.err, "Can't save XML to " + missing + "\nNo such file or directory\n");
}

}  // namespace
}  // namespace bxw::test
