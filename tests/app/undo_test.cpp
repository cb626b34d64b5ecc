#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTreeWidgetItem>

#include "designer_fixture.h"
#include "preview/preview_host.h"
#include "props/properties_panel.h"
#include "xml/xml_export.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

class UndoTest : public DesignerTest {
protected:
  void Release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(w, &release);
  }
  // The text of the menu item with the command number, and runs it when asked.
  QString MenuItem(int command, bool trigger = false) {
    auto menu = designer->BuildContextMenu();
    for (QAction* a : menu->findChildren<QAction*>()) {
      if (a->data().toInt() != command) continue;
      const QString text = a->text() + (a->isEnabled() ? QString() : QStringLiteral(" [off]"));
      if (trigger) a->trigger();
      return text;
    }
    return QString();
  }
  QString Design() {
    return QString::fromUtf8(DesignFileBytes(designer->Tree(), designer->Schema()));
  }
  template <typename W>
  W* Editor(const QString& row) {
    const PropertyRow* r = designer->Panel()->Row(row);
    return r ? qobject_cast<W*>(r->editor.data()) : nullptr;
  }
  DialogXmlWriter writer;
};

constexpr int kUndo = 65;
constexpr int kRedo = 66;

TEST_F(UndoTest, ShortcutsAndMenuUndoAndRedoEveryKindOfCommand) {
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo\tCtrl+Z [off]"));
  EXPECT_EQ(MenuItem(kRedo), QStringLiteral("Redo\tCtrl+Y [off]"));
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  const QString button = Add(vbox, "button");
  const QString beforeDelete = Design();
  Select(vbox);
  Release(designer->TreeControl(), Qt::Key_Delete, Qt::NoModifier);
  ASSERT_FALSE(designer->Tree().Contains(button));
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo Delete 'vbox1'\tCtrl+Z"));

  Release(designer->TreeControl(), Qt::Key_Z);
  EXPECT_EQ(Design(), beforeDelete);
  EXPECT_EQ(designer->SelectedKey(), vbox);  // the restored object is selected
  EXPECT_EQ(MenuItem(kRedo), QStringLiteral("Redo Delete 'vbox1'\tCtrl+Y"));
  Release(designer->TreeControl(), Qt::Key_Y);
  EXPECT_FALSE(designer->Tree().Contains(vbox));
  Release(designer->TreeControl(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(designer->Tree().Contains(vbox));  // nothing left to redo
  MenuItem(kUndo, true);
  EXPECT_TRUE(designer->Tree().Contains(button));
  MenuItem(kRedo, true);
  EXPECT_FALSE(designer->Tree().Contains(button));
  Release(designer->TreeControl(), Qt::Key_Z);
  ASSERT_TRUE(designer->Tree().Contains(button));

  // Cut, paste, rename and a drag are steps too, each undone in turn back to the start.
  Select(button);
  designer->CutCommand();
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo Cut 'button1'\tCtrl+Z"));
  Select(vbox);
  designer->PasteCommand();
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo Paste 'button1'\tCtrl+Z"));
  Select(button);
  ASSERT_TRUE(designer->RenameObject(QStringLiteral("okButton")));
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo Rename 'button1' to 'okButton'\tCtrl+Z"));
  Add(vbox, "string");
  const QPoint onButton =
      designer->TreeControl()->visualItemRect(designer->ItemForKey("okbutton")).center();
  designer->BeginItemDrag("string1");
  designer->DragMove(onButton);
  designer->DropItem(onButton);
  ASSERT_EQ(designer->Tree().Find(vbox)->children, (QStringList{"string1", "okbutton"}));
  EXPECT_EQ(MenuItem(kUndo), QStringLiteral("Undo Move 'string1'\tCtrl+Z"));
  designer->Undo();
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("string1"));  // the moved object
  designer->Undo();
  EXPECT_EQ(designer->SelectedKey(), vbox);  // taking an added object away selects its container
  for (int i = 0; i < 3; ++i) designer->Undo();
  EXPECT_EQ(Design(), beforeDelete);
  EXPECT_EQ(designer->Tree().Find(vbox)->children, QStringList{"button1"});
  EXPECT_EQ(designer->SelectedKey(), button);  // the cut object is back
}

TEST_F(UndoTest, UndoSelectsTheObjectShowsItsPropertiesAndPreviewsItsWindow) {
  const QString w1 = Add("dialogs", "window");
  const QString button = Add(Add(w1, "vbox"), "button");
  Set(button, "text", "Hello");
  const QString w2 = Add("dialogs", "window");
  Select(w2);
  ASSERT_EQ(designer->PreviewedWindowKey(), w2);
  designer->Undo();  // the new window goes
  designer->Undo();  // the text of button1 comes back
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), "text"), QStringLiteral("button1"));
  EXPECT_EQ(designer->SelectedKey(), button);
  EXPECT_EQ(designer->TreeControl()->currentItem(), designer->ItemForKey(button));
  EXPECT_EQ(designer->PreviewedWindowKey(), w1);
  EXPECT_EQ(designer->Main()->windowTitle(), QStringLiteral("Boxwright [1.0.1.8]: 'window1'"));
  ASSERT_NE(Editor<QLineEdit>("text"), nullptr);
  EXPECT_EQ(Editor<QLineEdit>("text")->text(), QStringLiteral("button1"));
  // Its ancestors are open even when they were closed.
  designer->ItemForKey(w1)->setExpanded(false);
  designer->Redo();
  EXPECT_TRUE(designer->ItemForKey(w1)->isExpanded());
  EXPECT_EQ(Editor<QLineEdit>("text")->text(), QStringLiteral("Hello"));
}

TEST_F(UndoTest, UndoingBackToTheSavedDesignCountsAsSaved) {
  designer->Config().ConfirmChanges = true;
  Add("dialogs", "window");
  designer->Config().Export2Clipboard = true;
  designer->ExportXmlCommand();  // saved
  EXPECT_TRUE(designer->QuitRequested());
  Add("window1", "vbox");
  requesters.yesNoAnswers = {false};
  EXPECT_FALSE(designer->QuitRequested());
  designer->Undo();
  EXPECT_TRUE(designer->QuitRequested());
  EXPECT_EQ(requesters.Count("yesno"), 1);
  designer->Undo();  // before the save: unsaved again
  requesters.yesNoAnswers = {false};
  EXPECT_FALSE(designer->QuitRequested());
}

TEST_F(UndoTest, TypingIsOneStepButNeverAcrossASaveAndTicksAreStepsOfTheirOwn) {
  const QString w = Add("dialogs", "window");
  const QString button = Add(Add(w, "vbox"), "button");
  const int steps = designer->UndoStack().count();
  QLineEdit* text = Editor<QLineEdit>("text");
  text->setFocus();
  text->selectAll();
  QTest::keyClicks(text, QStringLiteral("Go on"));
  EXPECT_EQ(designer->UndoStack().count(), steps + 1);
  EXPECT_EQ(designer->UndoStack().undoText(), QStringLiteral("Set text of 'button1'"));
  designer->Config().Export2Clipboard = true;
  designer->ExportXmlCommand();
  QTest::keyClicks(text, QStringLiteral("!"));
  EXPECT_EQ(designer->UndoStack().count(), steps + 2);
  QCheckBox* disabled = Editor<QCheckBox>("disabled");
  QTest::mouseClick(disabled, Qt::LeftButton, {}, QPoint(8, disabled->height() / 2));
  QTest::mouseClick(disabled, Qt::LeftButton, {}, QPoint(8, disabled->height() / 2));
  EXPECT_EQ(designer->UndoStack().count(), steps + 4);
  designer->Undo();
  designer->Undo();
  designer->Undo();
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), "text"), QStringLiteral("Go on"));
  designer->Undo();
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), "text"), QStringLiteral("button1"));

  // Typing that ends where it began leaves no step behind.
  designer->Redo();
  designer->Redo();
  const int before = designer->UndoStack().index();
  QTest::keyClicks(Editor<QLineEdit>("text"), QStringLiteral("x"));
  QTest::keyClick(Editor<QLineEdit>("text"), Qt::Key_Backspace);
  EXPECT_EQ(designer->UndoStack().index(), before);
}

TEST_F(UndoTest, ControlZInThePropertiesWindowUndoesOutsideTextEditors) {
  const QString w = Add("dialogs", "window");
  const QString button = Add(Add(w, "vbox"), "button");
  designer->Main()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(designer->Main()));
  QCheckBox* disabled = Editor<QCheckBox>("disabled");
  QTest::mouseClick(disabled, Qt::LeftButton, {}, QPoint(8, disabled->height() / 2));
  ASSERT_EQ(GetAttribute(*designer->Tree().Find(button), "disabled"), QStringLiteral("yes"));
  disabled->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), disabled);
  Release(disabled, Qt::Key_Z);
  EXPECT_TRUE(GetAttribute(*designer->Tree().Find(button), "disabled").isEmpty());
  Release(disabled, Qt::Key_Y);
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), "disabled"), QStringLiteral("yes"));
  // In a text field Ctrl+Z is the field's own: the design keeps its value.
  QLineEdit* text = Editor<QLineEdit>("text");
  text->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), text);
  Release(text, Qt::Key_Z);
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), "disabled"), QStringLiteral("yes"));
}

TEST_F(UndoTest, AnImportIsOneStepAndItsUndoGivesBackTheDesignAndItsTitle) {
  const QString path = dir.filePath("other.xml");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<dialogs><window name='imported'/></dialogs>");
  }
  const QString w = Add("dialogs", "window");
  Add(w, "vbox");
  const QString before = Design();
  designer->ImportDroppedFiles({path});
  ASSERT_TRUE(designer->Tree().Contains("imported"));
  EXPECT_EQ(designer->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree: other.xml"));
  EXPECT_EQ(designer->UndoStack().undoText(), QStringLiteral("Import 'other.xml'"));
  designer->Undo();
  EXPECT_EQ(Design(), before);
  EXPECT_EQ(designer->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree"));
  EXPECT_NE(designer->ItemForKey("vbox1"), nullptr);
  designer->Redo();
  EXPECT_TRUE(designer->Tree().Contains("imported"));
  EXPECT_EQ(designer->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree: other.xml"));
  // Settings flips, expanding and Refresh UI are not steps.
  const int steps = designer->UndoStack().count();
  designer->DispatchMenuCommand(57);
  designer->DispatchMenuCommand(60);
  designer->DispatchMenuCommand(13);
  EXPECT_EQ(designer->UndoStack().count(), steps);
}

// The designer quits cleanly with a window previewed, its menu built, a Properties editor focused
// and a test window open.
TEST_F(UndoTest, QuittingWithEverythingOpenIsClean) {
  const QString w = Add("dialogs", "window");
  const QString button = Add(Add(w, "vbox"), "button");
  ASSERT_NE(designer->Preview()->Window(), nullptr);
  designer->ShowContextMenu(QPoint(10, 10));
  Editor<QLineEdit>("text")->setFocus();
  designer->OpenTestWindow();
  QPointer<QWidget> test = designer->Preview()->TestWindow();
  ASSERT_NE(test, nullptr);
  QPointer<QWidget> main = designer->Main();
  QPointer<QWidget> preview = designer->Preview()->Window();
  Q_UNUSED(button);
  designer->Shutdown();
  designer.reset();  // the sanitizers watch the teardown itself
  EXPECT_TRUE(main.isNull());
  EXPECT_TRUE(preview.isNull());
  EXPECT_TRUE(test.isNull());
  EXPECT_TRUE(QFile::exists(dir.filePath("test.cfg")));
}

}  // namespace

namespace {

// Objects never nest deeper below their window than the runtime opens (128 levels).
TEST_F(UndoTest, AddPasteAndMovesStopAtTheNestingLimit) {
  DesignBuilder b;
  b.CreateObject("dialogs", "window", "w", nullptr, kLast, true, false);
  QString parent = QStringLiteral("w");
  for (int level = 1; level <= 128; ++level)
    parent = b.CreateObject(parent, "vbox", QStringLiteral("v%1").arg(level), nullptr, kLast, true,
                            false)
                 ->key;
  designer->Apply(ReplaceDesignEdit{b.Take(), QString()}, EditSource::Import);
  ASSERT_EQ(designer->Tree().Depth("v128"), 129);

  Select("v128");  // the runtime's 128th level: nothing more below it
  auto menu = designer->BuildContextMenu();
  EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("New"));
  EXPECT_FALSE(menu->actions().first()->isEnabled());
  designer->AddObjectCommand("button");
  EXPECT_EQ(designer->Tree().ChildCount("v128"), 0);
  EXPECT_EQ(designer->UndoStack().count(), 1);  // only the import

  Select("v127");  // one level left: a button fits, a box holding a button does not
  designer->AddObjectCommand("button");
  EXPECT_EQ(designer->Tree().ChildCount("v127"), 2);
  Select("v1");
  designer->AddObjectCommand("hbox");
  Select("hbox1");
  designer->AddObjectCommand("button");  // button2 in hbox1
  Select("hbox1");
  designer->CopyCommand();
  Select("v127");
  EXPECT_TRUE(MenuItem(9).endsWith(QStringLiteral("[off]")));
  designer->PasteCommand();
  EXPECT_FALSE(designer->Tree().Contains("hbox1_c1"));
  // A drag of the box down there is refused too.
  EXPECT_FALSE(designer->Apply(MoveEdit{"hbox1", "v127", -1}, EditSource::Command).changed);
  EXPECT_TRUE(designer->Apply(MoveEdit{"button2", "v127", -1}, EditSource::Command).changed);
}

}  // namespace
