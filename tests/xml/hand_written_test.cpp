// Dialog files as people write them by hand: boxes without names, names used twice, comments,
// attributes the designer does not know, a window as the main element, bindings of the program's
// own procedures and constants. Nothing of them is lost, and a saved file says what was written.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "model/value_text.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/dialog_xml_reader.h"
#include "xml/dialog_xml_writer.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

const Attribute* Kept(const DesignTree& tree, const char* key, const char* name) {
  const DesignObject* o = tree.Find(key);
  return o ? FindKeptAttribute(*o, name) : nullptr;
}

// Every object is listed by its parent, and names it as its parent.
void ExpectLinked(const DesignTree& tree) {
  int reached = 0;
  tree.WalkTree("dialogs", [&](const DesignObject& o) {
    ++reached;
    EXPECT_EQ(o.key, GetAttribute(o, "name").toLower());
    for (const QString& c : o.children) {
      const DesignObject* child = tree.Find(c);
      EXPECT_TRUE(child && child->parentKey == o.key) << c.toStdString();
    }
    return false;
  });
  EXPECT_EQ(reached, tree.Size());
}

QString Warning(const char* file, const char* lines) {
  return QStringLiteral("Following error(s) occured with file '%1':\r\n\r\n").arg(file) +
         QString::fromUtf8(lines);
}

// For each file: what its import keeps, the warning, the bytes saved (compared whole against a
// fixture), and that the saved file imports to the same bytes again.
TEST(HandWritten, FilesKeepWhatTheyHoldAndSaveAsWritten) {
  const struct {
    const char* file;
    const char* warnings;  // empty for none
    std::function<void(const DesignTree&)> check;
  } cases[] = {
      {"hand_login.xml",
       "Unsupported property: window\\onevent (kept)\r\n"
       "Unsupported property: string\\comment (kept)\r\n",
       [](const DesignTree& t) {
         EXPECT_TRUE(t.WindowIsMainElement());
         EXPECT_EQ(t.Find("dialogs")->children, QStringList({"login"}));
         EXPECT_EQ(t.Find("login")->commentsBefore,
                   QStringList({" Login dialog of the inventory tool. Opened with "
                                "OpenXMLDialog(#Dialog, #Xml, \"login\") "}));
         EXPECT_EQ(t.TrailingComments(), QStringList({" end of login "}));
         EXPECT_EQ(t.Find("remember")->commentsBefore, QStringList({" remember me "}));
         EXPECT_EQ(GetAttribute(*t.Find("login"), "id"), "#W_Login");
         EXPECT_EQ(GetAttribute(*t.Find("ok"), "onevent"), "OnOK()");
         ASSERT_TRUE(Kept(t, "login", "onevent"));
         EXPECT_EQ(Kept(t, "login", "onevent")->value, "OnLoginWindow()");
         EXPECT_EQ(Kept(t, "user", "comment")->value, "filled from the last session");
         EXPECT_EQ(t.Find("gridbox1")->children,
                   QStringList({"text1", "user", "text2", "password"}));
         EXPECT_TRUE(t.Find("text2")->generatedName);
         EXPECT_FALSE(t.Find("user")->generatedName);
       }},
      {"hand_prefs.xml",
       "Unsupported property: checkbox\\comment (kept)\r\n"
       "Unsupported property: gridbox\\colums (kept)\r\n"
       "Duplicate name: ok renamed to ok_c1\r\n"
       "Unsupported object type: statusbar\r\n",
       [](const DesignTree& t) {
         EXPECT_FALSE(t.WindowIsMainElement());
         EXPECT_EQ(t.Find("dialogs")->commentsBefore,
                   QStringList({" Preferences of MyEditor, written by hand "}));
         EXPECT_EQ(t.Find("prefs")->commentsBefore, QStringList({" the main window "}));
         EXPECT_EQ(t.Find("tabs")->children, QStringList({"tab1", "tab2", "tab3"}));
         EXPECT_EQ(GetAttribute(*t.Find("tab2"), "text"), "Editor");
         EXPECT_EQ(t.Find("tab3")->commentsInside, QStringList({" not done yet "}));
         EXPECT_EQ(t.Find("hbox1")->children, QStringList({"empty1", "ok", "cancel", "ok_c1"}));
         EXPECT_EQ(GetAttribute(*t.Find("ok_c1"), "text"), "Apply");
         EXPECT_EQ(t.Find("hbox1")->commentsInside, QStringList({" copied from above "}));
         EXPECT_EQ(Kept(t, "gridbox1", "colums")->value, "2");
         EXPECT_EQ(t.Find("vbox1")->children, QStringList({"tabs", "hbox1"}));
         EXPECT_EQ(t.TrailingComments(), QStringList({" end "}));
       }},
      {"hand_nested.xml", "Unsupported property: vbox\\margin (kept)\r\n",
       [](const DesignTree& t) {
         // The file's own names come first, whatever their letter case; made-up names take
         // what is left, in document order.
         EXPECT_EQ(t.Find("vbox2")->children, QStringList({"vbox3", "vbox1"}));
         EXPECT_EQ(t.Find("vbox4")->children, QStringList({"button2"}));
         EXPECT_EQ(t.Find("vbox1")->children, QStringList({"button3", "button1"}));
         EXPECT_EQ(GetAttribute(*t.Find("button1"), "name"), "Button1");
         EXPECT_FALSE(t.Find("vbox1")->generatedName);
         EXPECT_TRUE(t.Find("vbox4")->generatedName);
       }},
      {"../dialog/containers.xml", "",
       [](const DesignTree& t) {
         EXPECT_EQ(t.Size(), 24);  // every element of the file
         EXPECT_EQ(t.Find("panel")->children, QStringList({"tab1", "tab2"}));
         EXPECT_EQ(t.Find("vbox3")->children, QStringList({"button1", "button2", "button3"}));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ImportFixture f;
    const QString name = FilePart(c.file);
    const QByteArray original = ReadFileBytes(DataPath(QStringLiteral("xml/") + c.file));
    ImportXmlFile(f.ctx, f.Write(name, original));
    const auto messages = f.Messages();
    if (*c.warnings) {
      ASSERT_EQ(messages.size(), 1);
      EXPECT_EQ(messages[0].text, Warning(name.toUtf8().constData(), c.warnings));
    } else {
      EXPECT_TRUE(messages.isEmpty());
    }
    c.check(f.tree);
    ExpectLinked(f.tree);

    const QString saved = f.dir.path() + "/saved.xml";
    f.requesters.fileAnswers.push_back({saved, 0});
    ASSERT_TRUE(ExportXml(f.ctx, false));
    const QString expected =
        name.endsWith(QLatin1String("containers.xml"))
            ? QStringLiteral("xml/containers.saved.xml")
            : QStringLiteral("xml/") + QString(name).replace(".xml", ".saved.xml");
    EXPECT_EQ(ReadFileBytes(saved), ReadFileBytes(DataPath(expected)));

    // The saved file says what the design holds: it imports to the same design and saves to the
    // same bytes, so an untouched import asks nothing at quit.
    ImportFixture g;
    ImportXmlFile(g.ctx, saved);
    EXPECT_EQ(g.Saved(), ReadFileBytes(saved));
    EXPECT_EQ(g.snapshot, f.snapshot);
    EXPECT_EQ(g.tree.Size(), f.tree.Size());
  }
}

// One small design in the three modes: names the designer made up, attributes it does not know,
// comments and a binding of the program's own procedure.
TEST(HandWritten, EachModeWritesWhatItsReaderNeeds) {
  ClassSchema schema;
  XmlLoadResult r =
      LoadDialogXml(schema,
                    "<dialogs>\n"
                    "  <!-- before -->\n"
                    "  <window text='W' id='#W'>\n"
                    "    <vbox comment='outer'>\n"
                    "      <button text='Tip' bxwtooltip='hello'/>\n"
                    "      <button text='Bound' onevent='OnBound()' onleftclick='OnLeft()'/>\n"
                    "      <string text='Plain'/>\n"
                    "      <!-- inside -->\n"
                    "    </vbox>\n"
                    "  </window>\n"
                    "</dialogs>");
  ASSERT_EQ(r.status, XmlLoadStatus::Loaded);
  const DesignTree& tree = *r.design;
  DialogXmlWriter writer;
  auto compact = [&](XmlBuildMode mode) {
    EXPECT_TRUE(writer.BuildDialogXml({tree, schema}, mode, "window1"));
    QString s = ComposeForSource(*writer.Document());
    return s.replace(QLatin1String("\r\n"), QLatin1String("|"));
  };
  EXPECT_EQ(compact(XmlBuildMode::Design),
            "|<dialogs>|  <!-- before -->|  <window id=\"#W\" text=\"W\">"
            "|    <vbox comment=\"outer\">|      <button text=\"Tip\" bxwtooltip=\"hello\"/>"
            "|      <button text=\"Bound\" onevent=\"OnBound()\" onleftclick=\"OnLeft()\"/>"
            "|      <string text=\"Plain\"/>|      <!-- inside -->|    </vbox>|  </window>"
            "|</dialogs>");
  // The preview needs every name to address the gadgets it styles.
  EXPECT_EQ(compact(XmlBuildMode::Preview),
            "|<dialogs>|  <window name=\"window1\" text=\"W\" flags=\"#PB_Window_Invisible\">"
            "|    <vbox name=\"vbox1\" comment=\"outer\">"
            "|      <button name=\"button1\" text=\"Tip\"/>"
            "|      <button name=\"button2\" text=\"Bound\" onleftclick=\"OnLeft()\"/>"
            "|      <string name=\"string1\" text=\"Plain\"/>|    </vbox>|  </window>|</dialogs>");
  // Source code addresses the window and the gadgets that get code, and nothing else.
  const QString code = compact(XmlBuildMode::CodeExport);
  EXPECT_TRUE(
      code.startsWith("|<dialogs>|  <window name=\"window1\" id=\"#W\" text=\"W\">"
                      "|    <vbox comment=\"outer\">"
                      "|      <button name=\"button1\" text=\"Tip\"/>"))
      << code.toStdString();
  EXPECT_TRUE(code.endsWith("|      <string text=\"Plain\"/>|    </vbox>|  </window>|</dialogs>"))
      << code.toStdString();
  EXPECT_EQ(writer.CodeTables().CodeLines.value("window1"),
            QStringList({"GadgetToolTip(button1, ~\"hello\")"}));
}

TEST(HandWritten, AWindowFileStaysAWindowFileWhileItHoldsThatWindow) {
  ImportFixture f;
  ImportXmlFile(f.ctx, f.Write("w.xml", "<window name='w' text='T'><button name='b'/></window>"));
  const QByteArray asWindow =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<window name=\"w\" text=\"T\">\r\n"
      "  <button name=\"b\"/>\r\n</window>";
  EXPECT_EQ(f.Saved(), asWindow);
  const QString second = f.editor.Add("dialogs", "window");
  EXPECT_TRUE(f.Saved().contains("\r\n<dialogs>\r\n  <window name=\"w\" text=\"T\">"));
  f.editor.Apply(DeleteEdit{second});
  EXPECT_EQ(f.Saved(), asWindow);
  // The root's font has no place in a window file.
  f.Set("dialogs", "font", "Arial|9|0");
  EXPECT_TRUE(f.Saved().contains("\r\n<dialogs bxwfont=\"Arial|9|0\">\r\n  <window "));
}

TEST(HandWritten, ANameTheUserGivesIsWritten) {
  ImportFixture f;
  ImportXmlFile(f.ctx, f.Write("n.xml", "<dialogs><window name='w'><button/></window></dialogs>"));
  EXPECT_TRUE(f.Design().contains("<button/>"));
  ASSERT_TRUE(f.editor.Apply(RenameEdit{"button1", "Go"}).changed);
  EXPECT_TRUE(f.Design().contains("<button name=\"Go\"/>"));
  // Giving it back its made-up name is a name of the user's now.
  ASSERT_TRUE(f.editor.Apply(RenameEdit{"go", "button1"}).changed);
  EXPECT_TRUE(f.Design().contains("<button name=\"button1\"/>"));
}

// The text composed straight from the tree is the text of the built document, in the file and
// the clipboard form and for the fingerprint, also for long designs that reach the composer's
// sink in many pieces and for texts that are not valid UTF-16.
TEST(HandWritten, ComposedStraightFromTheTreeAsFromTheDocument) {
  DesignFixture f;
  f.Add("dialogs", "window");
  f.Add("window1", "vbox");
  for (int i = 0; i < 3000; ++i) {
    const QString key = f.editor.Add("vbox1", "button");
    f.Set(key, "tooltip", QStringLiteral("tip %1 & \"quoted\" \u00e9\U0001F600").arg(i));
  }
  f.Set("button7", "text", QString(QChar(0xD800)) + "lone" + QChar(0xDC00));
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Design, {}));
  const XmlDocument& doc = *f.writer.Document();
  const QByteArray file = ComposeForFile(f.tree, f.schema);
  EXPECT_GT(file.size(), 300000);
  EXPECT_EQ(file, ComposeForFile(doc));
  EXPECT_EQ(ComposeForClipboard(f.tree, f.schema), ComposeForClipboard(doc));
  const QByteArray clip = ComposeForClipboard(doc).toUtf8();
  EXPECT_EQ(WholeDocumentFingerprint(f.tree, f.schema),
            QString::asprintf("%08lx", crc32(0L, reinterpret_cast<const Bytef*>(clip.constData()),
                                             static_cast<uInt>(clip.size()))));
  // Saved while composed: the same bytes, and the fingerprint from the same pass.
  QTemporaryDir dir;
  QString fingerprint;
  ASSERT_TRUE(WriteDesignFile(dir.filePath("saved.xml"), f.tree, f.schema, nullptr, &fingerprint));
  EXPECT_EQ(ReadFileBytes(dir.filePath("saved.xml")), file);
  EXPECT_EQ(fingerprint, WholeDocumentFingerprint(f.tree, f.schema));
}

}  // namespace
}  // namespace bxw::test
