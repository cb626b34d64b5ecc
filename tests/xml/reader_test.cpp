#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

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
  const QString path = f.Write("all.xml", DesignFileBytes(f.tree, f.schema));
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
                               "      <button name='B'><text name='kept'/></button>\n"
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
            "Unsupported property: dialogs\\color (kept)\r\n"
            "Unsupported property: window\\bxwevents (kept)\r\n"
            "Unsupported object type: widget\r\n"
            "Duplicate name: B renamed to B_c1\r\n");
  // Names and classes arrive in lower case; children stay in document order; only the element of
  // an unknown class is left out, with what it holds.
  EXPECT_EQ(f.tree.Find("dialogs")->children, QStringList({"w"}));
  EXPECT_EQ(f.tree.Find("w")->children, QStringList({"vbox1", "t1"}));
  EXPECT_EQ(f.tree.Find("vbox1")->children, QStringList({"b", "b_c1", "button1", "button2"}));
  EXPECT_EQ(f.tree.Find("b_c1")->children, QStringList({"kept"}));
  EXPECT_EQ(f.tree.Find("vbox1")->commentsInside, QStringList({" a comment "}));
  EXPECT_EQ(GetAttribute(*f.tree.Find("w"), "name"), "W");
  EXPECT_EQ(GetAttribute(*f.tree.Find("w"), "text"), "t");
  EXPECT_EQ(GetAttribute(*f.tree.Find("b"), "tooltip"), "two");
  EXPECT_EQ(GetAttribute(*f.tree.Find("b_c1"), "name"), "B_c1");
  EXPECT_EQ(GetAttribute(*f.tree.Find("dialogs"), "font"), "x");
  EXPECT_FALSE(f.tree.Find("b_c1")->generatedName);
  EXPECT_TRUE(f.tree.Find("button2")->generatedName);
  EXPECT_FALSE(f.tree.Contains("inside"));
  EXPECT_EQ(f.tree.Size(), 9);
  EXPECT_EQ(f.titles, QStringList({"Interface Tree: warn.xml"}));
  EXPECT_EQ(f.edits, QStringList({"Import 'warn.xml'"}));
  EXPECT_EQ(f.snapshot, WholeDocumentFingerprint(f.ctx));
  EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");
}

TEST(Reader, RefusedFilesLeaveTheDesignAndTheSnapshot) {
  const QByteArray tooDeep = "<dialogs><window>" + QByteArray("<vbox>").repeated(129) +
                             QByteArray("</vbox>").repeated(129) + "</window></dialogs>";
  const struct {
    QByteArray bytes;
    const char* message;
  } cases[] = {
      {"<Dialogs><window name='w'/></Dialogs>",
       "Nothing was imported: the main element must be \"dialogs\" or \"window\", not "
       "\"Dialogs\"\r\n"},
      {"<other><window name='w'/></other>",
       "Nothing was imported: the main element must be \"dialogs\" or \"window\", not "
       "\"other\"\r\n"},
      {tooDeep,
       "Nothing was imported: elements are nested more than 128 levels deep below the window, "
       "deeper than a dialog can open\r\n"},
      {"<dialogs><window name='w'></dialogs>", "XML line 1, pos 29: mismatched tag"},
      {"<dialogs>", "XML line 1, pos 10: no element found"},
      {"", "Nothing was imported: the file holds no element"},
      {"<?xml version='1.0'?>\n<!-- only a comment -->\n",
       "Nothing was imported: the file holds no element"},
  };
  for (const auto& c : cases) {
    ImportFixture f;
    f.Add("dialogs", "window", "kept");
    const QByteArray before = f.Saved();
    f.snapshot = "old";
    ImportXmlFile(f.ctx, f.Write("in.xml", c.bytes));
    EXPECT_EQ(f.Saved(), before) << c.bytes.left(60).constData();
    const auto messages = f.Messages();
    ASSERT_EQ(messages.size(), 1) << c.bytes.left(60).constData();
    EXPECT_EQ(messages[0].text, "Following error(s) occured with file 'in.xml':\r\n\r\n" +
                                    QString::fromLatin1(c.message));
    // The changes made before are still unsaved.
    EXPECT_EQ(f.snapshot, "old");
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

TEST(Reader, WideFilesKeepEveryElement) {
  constexpr int kCount = 100000;
  QByteArray wide = "<dialogs><window name='w'><vbox name='v'>";
  for (int i = 0; i < kCount; ++i) wide += "<empty/>";
  wide += "</vbox></window></dialogs>";
  ClassSchema schema;
  XmlLoadResult result = LoadDialogXml(schema, wide);
  ASSERT_EQ(result.status, XmlLoadStatus::Loaded);
  EXPECT_TRUE(result.errorText.isEmpty());
  const DesignTree& tree = *result.design;
  ASSERT_EQ(tree.ChildCount("v"), kCount);
  EXPECT_EQ(tree.Find("v")->children.front(), "empty1");
  EXPECT_EQ(tree.Find("v")->children.back(), "empty100000");
  // Made-up names are not written back.
  EXPECT_TRUE(DesignFileBytes(tree, schema)
                  .endsWith("<empty/>\r\n      <empty/>\r\n    </vbox>\r\n  </window>\r\n"
                            "</dialogs>"));
}

}  // namespace
}  // namespace bxw::test
