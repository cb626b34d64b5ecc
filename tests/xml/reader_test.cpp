#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"
#include "xml/xml_tool.h"

namespace bxw::test {
namespace {

struct ImportFixture : DesignFixture {
  QTemporaryDir dir;
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.path() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }
  QString Design() { return QString::fromUtf8(DesignFileBytes(tree, schema, writer)); }
};

// Every class, every attribute set to a non-default text with entities, line breaks, a tab and
// non-ASCII characters; rowspan and colspan only where a gridbox keeps them.
void BuildEverything(DesignFixture& f) {
  DesignBuilder b;
  auto add = [&](const char* parent, const char* cls, const char* name = "") {
    b.CreateObject(parent, cls, name, nullptr, kLast, true, false);
  };
  add("dialogs", "window");
  add("window1", "gridbox");
  add("gridbox1", "panel");
  add("panel1", "tab");
  add("dialogs", "window", "Second");
  add("second", "vbox");
  for (const char* cls :
       {"hbox",      "multibox",      "singlebox",    "button",       "buttonimage", "calendar",
        "canvas",    "checkbox",      "combobox",     "container",    "date",        "editor",
        "empty",     "explorercombo", "explorerlist", "explorertree", "frame",       "hyperlink",
        "image",     "ipaddress",     "listicon",     "listview",     "option",      "progressbar",
        "scintilla", "scrollarea",    "scrollbar",    "spin",         "splitter",    "string",
        "text",      "trackbar",      "tree",         "web"})
    add(QLatin1String(cls) == QLatin1String("empty") ? "gridbox1" : "vbox1", cls);
  QStringList keys;
  b.Tree().WalkTree("dialogs", [&](const DesignObject& o) {
    keys << o.key;
    return false;
  });
  int i = 0;
  for (const QString& key : keys) {
    DesignObject& o = *b.Object(key);
    const bool inGrid = o.parentKey == QLatin1String("gridbox1");
    const QString name = GetAttribute(o, "name");
    o.attributes.clear();
    SetAttribute(o, "name", name);
    for (const QString& a : f.schema.ClassAttributes(o.cls)) {
      if (a == QLatin1String("name")) continue;
      if ((a == QLatin1String("rowspan") || a == QLatin1String("colspan")) && !inGrid) continue;
      SetAttribute(
          o, a, QStringLiteral("%1 & <%2> \"q\" 'a'\r\n\t\u00fc\u20ac\U0001F600 ").arg(++i).arg(a));
    }
  }
  f.editor.Apply(ReplaceDesignEdit{b.Take(), QString()});
}

TEST(Reader, DesignExportRoundTripsEveryClassAndValue) {
  ImportFixture f;
  BuildEverything(f);
  ASSERT_EQ(f.tree.Size(), 41);
  const QString path = f.Write("all.xml", DesignFileBytes(f.tree, f.schema, f.writer));
  ImportFixture g;
  ImportXmlFile(g.ctx, path);
  EXPECT_TRUE(g.Messages().isEmpty());
  ASSERT_EQ(g.tree.Size(), f.tree.Size());
  std::as_const(f.tree).WalkTree(
      "dialogs", std::function<bool(const DesignObject&)>([&](const DesignObject& o) {
        const DesignObject* other = g.tree.Find(o.key);
        EXPECT_TRUE(other) << o.key.toStdString();
        if (!other) return true;
        EXPECT_EQ(other->cls, o.cls);
        EXPECT_EQ(other->parentKey, o.parentKey);
        EXPECT_EQ(other->children, o.children);
        EXPECT_EQ(Sorted(other->attributes), Sorted(o.attributes)) << o.key.toStdString();
        return false;
      }));
  EXPECT_EQ(g.Design(), f.Design());
}

TEST(Reader, WarningsOfOneImportInOneMessage) {
  ImportFixture f;
  const QString path = f.Write("warn.xml",
                               "<dialogs font='x' color='y'>\n"
                               "  <Window Name='W' TEXT='t' bxwevents='yes'>\n"
                               "    <vbox>\n"
                               "      <Button name='b' bxwtooltip='one' tooltip='two'/>\n"
                               "      <widget name='x'><button name='inside'/></widget>\n"
                               "      <button name='B'><text name='lost'/></button>\n"
                               "      <button/>\n"
                               "      <button/>\n"
                               "      <!-- a comment --><?pi data?>\n"
                               "    </vbox>\n"
                               "    <tab name='t1'/>\n"
                               "  </Window>\n"
                               "</dialogs>\n");
  f.snapshot = "old";
  ImportXmlFile(f.ctx, path);
  const auto messages = f.Messages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].title, "Import XML");
  EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(messages[0].text,
            "Following error(s) occured with file 'warn.xml':\r\n\r\n"
            "Unsupported property: dialogs\\color\r\n"
            "Unsupported property: window\\onevent\r\n"
            "Unsupported object type: widget\r\n"
            "Cannot add object: B\r\n"
            "Cannot add object: button1\r\n");
  // Names and classes arrive in lower case; children stay in document order.
  EXPECT_EQ(f.tree.Find("dialogs")->children, QStringList({"w"}));
  EXPECT_EQ(f.tree.Find("w")->children, QStringList({"vbox1", "t1"}));
  EXPECT_EQ(f.tree.Find("vbox1")->children, QStringList({"b", "button1"}));
  EXPECT_EQ(GetAttribute(*f.tree.Find("w"), "name"), "W");
  EXPECT_EQ(GetAttribute(*f.tree.Find("w"), "text"), "t");
  EXPECT_EQ(GetAttribute(*f.tree.Find("b"), "tooltip"), "two");
  EXPECT_EQ(GetAttribute(*f.tree.Find("dialogs"), "font"), "x");
  EXPECT_FALSE(f.tree.Contains("inside"));
  EXPECT_FALSE(f.tree.Contains("lost"));
  EXPECT_EQ(f.tree.Size(), 6);
  EXPECT_EQ(f.titles, QStringList({"Interface Tree: warn.xml"}));
  EXPECT_EQ(f.edits, QStringList({"Import 'warn.xml'"}));
  EXPECT_EQ(f.snapshot, WholeDocumentFingerprint(f.ctx));
  EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");
}

TEST(Reader, RefusedFilesLeaveTheDesignButRecordTheSnapshot) {
  const struct {
    const char* bytes;
    const char* message;  // empty for none
  } cases[] = {
      {"<Dialogs><window name='w'/></Dialogs>", ""},
      {"<other><window name='w'/></other>", ""},
      {"<dialogs><window name='w'></dialogs>",
       "Following error(s) occured with file 'in.xml':\r\n\r\n"
       "XML line 1, pos 29: mismatched tag"},
      {"",
       "Following error(s) occured with file 'in.xml':\r\n\r\nXML line 1, pos 1: no element found"},
  };
  for (const auto& c : cases) {
    ImportFixture f;
    f.Add("dialogs", "window", "kept");
    const QString before = f.Design();
    f.snapshot = "old";
    ImportXmlFile(f.ctx, f.Write("in.xml", c.bytes));
    EXPECT_EQ(f.Design(), before) << c.bytes;
    const auto messages = f.Messages();
    if (*c.message) {
      ASSERT_EQ(messages.size(), 1) << c.bytes;
      EXPECT_EQ(messages[0].text, QString::fromLatin1(c.message));
    } else {
      EXPECT_TRUE(messages.isEmpty()) << c.bytes;
    }
    EXPECT_EQ(f.snapshot, WholeDocumentFingerprint(f.ctx));
    EXPECT_TRUE(f.titles.isEmpty());
    EXPECT_TRUE(f.edits.isEmpty());
    EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");
  }
}

TEST(Reader, UnsavedChangesQuestionAndMissingFiles) {
  ImportFixture f;
  f.settings.ConfirmChanges = true;
  f.snapshot = WholeDocumentFingerprint(f.ctx);
  f.Add("dialogs", "window", "unsaved");
  const QString path = f.Write("in.xml", "<dialogs><window name='new'/></dialogs>");
  f.requesters.yesNoAnswers.push_back(false);
  const QString snapshot = f.snapshot;
  ImportXmlFile(f.ctx, path);
  ASSERT_EQ(f.requesters.Count("yesno"), 1);
  EXPECT_EQ(f.requesters.asked[0].title, "Load XML");
  EXPECT_EQ(f.requesters.asked[0].text,
            "There are unsaved changes in current XML. Continue import?");
  EXPECT_TRUE(f.tree.Contains("unsaved"));
  EXPECT_EQ(f.snapshot, snapshot);
  EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");

  f.requesters.yesNoAnswers.push_back(true);
  ImportXmlFile(f.ctx, path);
  EXPECT_TRUE(f.tree.Contains("new"));
  EXPECT_FALSE(f.tree.Contains("unsaved"));
  // Saved now: a further import asks nothing.
  ImportXmlFile(f.ctx, path);
  EXPECT_EQ(f.requesters.Count("yesno"), 2);

  // A missing file or a directory: nothing at all happens.
  f.settings.IOLastDIR = "/elsewhere/";
  ImportXmlFile(f.ctx, f.dir.path() + "/nothing.xml");
  ImportXmlFile(f.ctx, f.dir.path());
  EXPECT_EQ(f.settings.IOLastDIR, "/elsewhere/");
  EXPECT_EQ(f.requesters.asked.size(), 2);
}

TEST(Reader, ImportCommandAsksForAFile) {
  ImportFixture f;
  f.settings.IOLastDIR = f.dir.path() + "/";
  const QString path = f.Write("in.xml", "<dialogs><window name='w'/></dialogs>");
  f.requesters.fileAnswers.push_back({QString(), 0});
  ImportXmlCommand(f.ctx);
  EXPECT_FALSE(f.tree.Contains("w"));
  f.requesters.fileAnswers.push_back({path, 0});
  ImportXmlCommand(f.ctx);
  EXPECT_TRUE(f.tree.Contains("w"));
  const FileRequest& r = f.requesters.fileRequests[0];
  EXPECT_EQ(r.title, "Import XML");
  EXPECT_EQ(r.startPath, f.dir.path() + "/");
  EXPECT_EQ(r.patterns, "XML file (*.xml)|*.xml|All files (*.*)|*.*");
}

TEST(Reader, WideAndDeepFilesNeedNoRecursion) {
  constexpr int kCount = 100000;
  QByteArray wide = "<dialogs><window name='w'><vbox name='v'>";
  for (int i = 0; i < kCount; ++i) wide += "<empty/>";
  wide += "</vbox></window></dialogs>";
  QByteArray deep = "<dialogs><window name='w'>";
  for (int i = 0; i < kCount; ++i) deep += "<vbox name='v" + QByteArray::number(i) + "'>";
  for (int i = 0; i < kCount; ++i) deep += "</vbox>";
  deep += "</window></dialogs>";

  ClassSchema schema;
  schema.BuildClassSchema();
  XmlLoadResult wideResult = LoadDialogXml(schema, wide);
  EXPECT_EQ(wideResult.status, XmlLoadStatus::Loaded);
  // Only the first unnamed empty gets a name; every other one is refused.
  EXPECT_EQ(wideResult.design->ChildCount("v"), 1);
  EXPECT_EQ(wideResult.errorText.count("Cannot add object: empty1\r\n"), kCount - 1);
  QByteArray named = "<dialogs><window name='w'><vbox name='v'>";
  for (int i = 0; i < kCount; ++i) named += "<empty name='e" + QByteArray::number(i) + "'/>";
  named += "</vbox></window></dialogs>";
  XmlLoadResult namedResult = LoadDialogXml(schema, named);
  EXPECT_EQ(namedResult.status, XmlLoadStatus::Loaded);
  EXPECT_EQ(namedResult.design->ChildCount("v"), kCount);
  DialogXmlWriter writer;
  EXPECT_TRUE(
      DesignFileBytes(*namedResult.design, schema, writer)
          .endsWith("<empty name=\"e99999\"/>\r\n    </vbox>\r\n  </window>\r\n</dialogs>"));

  XmlLoadResult deepResult = LoadDialogXml(schema, deep);
  EXPECT_EQ(deepResult.status, XmlLoadStatus::Loaded);
  EXPECT_TRUE(deepResult.errorText.isEmpty());
  const DesignTree& tree = *deepResult.design;
  EXPECT_EQ(tree.Size(), kCount + 2);
  EXPECT_EQ(tree.Find("v99999")->parentKey, "v99998");
  EXPECT_EQ(tree.Find("v0")->parentKey, "w");
}

TEST(Tool, CheckAndXmlCommands) {
  ImportFixture f;
  const QString good = f.Write("good.xml", ReadFileBytes(DataPath("xml/example_design.xml")));
  const QString warn = f.Write("warn.xml", "<dialogs><window name='w' x='1'/><what/></dialogs>");
  const QString bad = f.Write("bad.xml", "<dialogs>");
  const QString other = f.Write("other.xml", "<DIALOGS/>");
  const struct {
    QString file;
    int code;
    QString err;
  } cases[] = {
      {good, 0, ""},
      {warn, 1, "Unsupported property: window\\x\nUnsupported object type: what\n"},
      {bad, 2, "XML line 1, pos 10: no element found\n"},
      {other, 2, "bxw: the main element is not \"dialogs\": " + other + "\n"},
      {f.dir.path() + "/none.xml", 2, "bxw: no such file: " + f.dir.path() + "/none.xml\n"},
  };
  for (const auto& c : cases) {
    ToolOutput out;
    EXPECT_EQ(CheckCommand({c.file}, out), c.code) << c.file.toStdString();
    EXPECT_EQ(out.err, c.err);
    EXPECT_TRUE(out.out.isEmpty());
  }
  ToolOutput toStdout;
  EXPECT_EQ(XmlCommand({good}, toStdout), 0);
  EXPECT_EQ(toStdout.out, ReadFileBytes(DataPath("xml/example_design.xml")));
  ToolOutput toFile;
  const QString out = f.dir.path() + "/out.xml";
  EXPECT_EQ(XmlCommand({warn, "-o", out}, toFile), 1);
  EXPECT_EQ(ReadFileBytes(out),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dialogs>\r\n  <window name=\"w\"/>\r\n"
            "</dialogs>");
  ToolOutput usage;
  EXPECT_EQ(CheckCommand({}, usage), 2);
}

}  // namespace
}  // namespace bxw::test
