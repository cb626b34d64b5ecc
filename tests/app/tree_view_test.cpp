#include <QLineEdit>
#include <QTest>

#include "designer_fixture.h"
#include "model/drop_rules.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

QStringList Expanded(Designer& d) {
  QStringList keys = QStringList(d.CollectExpandedState().values());
  keys.sort();
  return keys;
}

TEST_F(DesignerTest, RefreshKeepsExpandedItemsAndCollapseReachesTheWholeBranch) {
  const QString w1 = Add("dialogs", "window");
  const QString vbox = Add(w1, "vbox");
  Add(vbox, "hbox");
  const QString w2 = Add("dialogs", "window");
  Add(w2, "vbox");
  // Each new object is selected, which opens its parent.
  EXPECT_EQ(Expanded(*designer), (QStringList{"dialogs", "vbox1", "window1", "window2"}));
  Select(w1);
  designer->DispatchMenuCommand(61);  // Collapse ++
  EXPECT_EQ(Expanded(*designer), (QStringList{"dialogs", "window2"}));
  EXPECT_FALSE(designer->ItemForKey(vbox)->isExpanded());
  EXPECT_EQ(designer->SelectedKey(), w1);
  designer->RefreshAll();
  EXPECT_EQ(Expanded(*designer), (QStringList{"dialogs", "window2"}));
  designer->DispatchMenuCommand(60);  // Expand ++
  EXPECT_EQ(Expanded(*designer), (QStringList{"dialogs", "hbox1", "vbox1", "window1", "window2"}));
  // Items carry the four icons.
  EXPECT_FALSE(designer->ItemForKey("dialogs")->icon(0).isNull());
  EXPECT_EQ(designer->ItemForKey("dialogs")->icon(0).pixmap(16).size(), QSize(16, 16));
}

// Drops decided by the placement rules, on a design with two windows.
class DropTest : public DesignerTest {
protected:
  void SetUp() override {
    DesignerTest::SetUp();
    Add("dialogs", "window");                            // window1
    Add("window1", "vbox");                              // vbox1
    for (int i = 0; i < 3; ++i) Add("vbox1", "button");  // button1..3
    Add("vbox1", "splitter");                            // splitter1
    Add("splitter1", "button");                          // button4
    Add("splitter1", "button");                          // button5
    Add("dialogs", "window");                            // window2
    Add("window2", "vbox");                              // vbox2 (empty)
  }
  // Drags source onto target with the real mouse events of the tree control.
  void Drag(const QString& source, const QString& target) {
    QTreeWidget* tree = designer->TreeControl();
    QWidget* vp = tree->viewport();
    const QPoint from = tree->visualItemRect(designer->ItemForKey(source)).center();
    const QPoint to = target.isEmpty()
                          ? QPoint(5, vp->height() - 3)
                          : tree->visualItemRect(designer->ItemForKey(target)).center();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move1(QEvent::MouseMove, from + QPoint(0, 12),
                      vp->mapToGlobal(from + QPoint(0, 12)), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(vp, &move1);
    QMouseEvent move2(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(vp, &move2);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, to);
  }
  QStringList Children(const char* key) { return designer->Tree().Find(key)->children; }
};

TEST_F(DropTest, MouseDragMovesIntoAnEmptyContainerAndSelectsTheDraggedObject) {
  Drag("button2", "vbox2");
  EXPECT_EQ(Children("vbox2"), QStringList{"button2"});
  EXPECT_EQ(Children("vbox1"), (QStringList{"button1", "button3", "splitter1"}));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("button2"));
  EXPECT_FALSE(designer->Dragging());
}

TEST_F(DropTest, ReorderingAndPlacementRules) {
  // Third onto first: before it; first onto third: after it.
  Drag("button3", "button1");
  EXPECT_EQ(Children("vbox1"), (QStringList{"button3", "button1", "button2", "splitter1"}));
  Drag("button3", "button2");
  EXPECT_EQ(Children("vbox1"), (QStringList{"button1", "button2", "button3", "splitter1"}));
  // Onto a vbox that has children: next to it, not inside.
  Drag("button4", "vbox1");
  EXPECT_EQ(Children("window1"), (QStringList{"vbox1"}));  // window is full: rejected
  EXPECT_EQ(Children("splitter1"), (QStringList{"button4", "button5"}));
  // Windows reorder among themselves, and never land on a gadget.
  Drag("window2", "window1");
  EXPECT_EQ(Children("dialogs"), (QStringList{"window2", "window1"}));
  Drag("window1", "button1");
  EXPECT_EQ(Children("dialogs"), (QStringList{"window2", "window1"}));
}

TEST_F(DropTest, RejectedDropsChangeNothingButStillRefresh) {
  const QStringList before = Children("vbox1");
  Drag("button1", "dialogs");  // gadget onto the root
  Drag("dialogs", "button1");  // the root itself
  Drag("vbox1", "splitter1");  // into its own descendant
  Drag("button1", "button4");  // into a full splitter
  EXPECT_EQ(Children("vbox1"), before);
  EXPECT_EQ(Children("splitter1"), (QStringList{"button4", "button5"}));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("button1"));
  Drag("button2", QString());  // outside any item: the drag just ends
  EXPECT_FALSE(designer->Dragging());
  EXPECT_EQ(Children("vbox1"), before);
}

TEST_F(DropTest, DecisionsForTheListedCases) {
  struct Case {
    const char* source;
    const char* target;
    bool move;
    bool asChild;
    int position;
  } cases[] = {
      {"button1", "vbox2", true, true, kLast},     {"button3", "button1", true, false, kBefore},
      {"button1", "button3", true, false, kAfter}, {"window2", "window1", true, false, kBefore},
      {"window1", "button1", false, false, 0},     {"button1", "dialogs", false, false, 0},
      {"vbox1", "button4", false, false, 0},       {"button1", "button5", false, false, 0},
      {"button1", "button1", false, false, 0},
  };
  for (const Case& c : cases) {
    const DropDecision d = DecideDrop(designer->Tree(), c.source, c.target);
    EXPECT_EQ(d.move, c.move) << c.source << " on " << c.target;
    if (!c.move || !d.move) continue;
    EXPECT_EQ(d.asChild, c.asChild) << c.source << " on " << c.target;
    EXPECT_EQ(d.position, c.position) << c.source << " on " << c.target;
  }
}

// Renames through the tree's own in-place editor.
class RenameTest : public DesignerTest {
protected:
  // Opens the editor with F2, types text and commits with Return. Answers whether an editor
  // opened at all.
  bool RenameTo(const QString& text) {
    QTreeWidget* tree = designer->TreeControl();
    designer->RenameCommand();
    QTest::qWait(5);
    auto* editor = tree->findChild<QLineEdit*>();
    if (!editor || !editor->isVisible()) return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(5);
    return true;
  }
  QString Label(const QString& key) {
    QTreeWidgetItem* item = designer->ItemForKey(key);
    return item ? item->text(0) : QString();
  }
};

TEST_F(RenameTest, InPlaceRenamesFollowTheNameRules) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  const QString b = Add("vbox1", "button");
  Add("vbox1", "button");  // button2
  Select(b);
  ASSERT_TRUE(RenameTo("b1"));
  ASSERT_TRUE(RenameTo("okButton"));
  EXPECT_TRUE(designer->Tree().Contains("okbutton"));
  EXPECT_EQ(GetAttribute(*designer->Tree().Find("okbutton"), "name"), QStringLiteral("okButton"));
  EXPECT_EQ(Label("okbutton"), QStringLiteral("okButton"));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("okbutton"));

  ASSERT_TRUE(RenameTo("2ok"));
  ASSERT_EQ(requesters.asked.size(), 1);
  EXPECT_EQ(requesters.asked[0].title, QStringLiteral("Invalid object name"));
  EXPECT_EQ(requesters.asked[0].text,
            QStringLiteral("This object name must start with a-Z or _ character"));
  EXPECT_EQ(Label("okbutton"), QStringLiteral("okButton"));

  ASSERT_TRUE(RenameTo("OKBUTTON"));  // case only: accepted
  EXPECT_EQ(GetAttribute(*designer->Tree().Find("okbutton"), "name"), QStringLiteral("OKBUTTON"));
  ASSERT_TRUE(RenameTo("Button2"));  // another object's name: refused silently
  EXPECT_EQ(requesters.asked.size(), 1);
  EXPECT_EQ(Label("okbutton"), QStringLiteral("OKBUTTON"));
  ASSERT_TRUE(RenameTo("ok button"));
  EXPECT_EQ(requesters.asked.last().text,
            QStringLiteral("Only the following characters may pass:\r\na-z_A-Z_0-9"));

  // A box needs no identifier.
  Select("vbox1");
  ASSERT_TRUE(RenameTo("left column"));
  EXPECT_TRUE(designer->Tree().Contains("left column"));
  EXPECT_EQ(designer->Tree().Find("okbutton")->parentKey, QStringLiteral("left column"));
}

TEST_F(RenameTest, ASlowSecondClickStartsNoEdit) {
  const QString w = Add("dialogs", "window");
  QTreeWidget* tree = designer->TreeControl();
  const QPoint at = tree->visualItemRect(designer->ItemForKey(w)).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  EXPECT_FALSE(designer->TreeControl()->IsEditing());
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_FALSE(designer->TreeControl()->IsEditing());
  Select("dialogs");
  EXPECT_FALSE(RenameTo("x"));
}

}  // namespace

namespace {

// Every item as the user sees it: depth, label, key, open or not, current or not.
QStringList Items(Designer& d) {
  QStringList out;
  for (QTreeWidgetItemIterator it(d.TreeControl()); *it; ++it) {
    int depth = 0;
    for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++depth;
    out << QString(depth * 2, QLatin1Char(' ')) + (*it)->text(0) + QLatin1Char(' ') +
               TreeView::KeyOf(*it) + ((*it)->isExpanded() ? QStringLiteral(" open") : QString()) +
               (d.TreeControl()->currentItem() == *it ? QStringLiteral(" current") : QString());
  }
  return out;
}

// The tree view follows each edit in place; a full refresh afterwards changes nothing.
TEST_F(DesignerTest, EditsFollowedInPlaceEqualAFullRefresh) {
  const QString w1 = Add("dialogs", "window");
  const QString box = Add(w1, "vbox");
  const QString row = Add(box, "hbox");
  Add(row, "button");
  Add(row, "button");
  Add(box, "text");
  const QString w2 = Add("dialogs", "window");
  const QString grid = Add(w2, "gridbox");
  designer->ItemForKey(w2)->setExpanded(false);
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"rename", [&] { Select("button2"), designer->RenameObject(QStringLiteral("Cancel")); }},
      {"delete", [&] { Select("text1"), designer->DeleteCommand(true); }},
      {"cut and paste",
       [&] {
         Select(row);
         designer->CutCommand();
         Select(grid);
         designer->PasteCommand();
       }},
      {"undo the paste", [&] { designer->Undo(); }},
      {"undo the cut", [&] { designer->Undo(); }},
      {"move by drag",
       [&] {
         designer->BeginItemDrag("cancel");
         const QPoint at =
             designer->TreeControl()->visualItemRect(designer->ItemForKey("button1")).center();
         designer->DragMove(at);
         designer->DropItem(at);
       }},
      {"add into a closed window", [&] { Select(w1), designer->AddObjectCommand("string"); }},
      {"redo", [&] { designer->Undo(), designer->Redo(); }},
  };
  for (const auto& [what, step] : steps) {
    step();
    const QStringList followed = Items(*designer);
    designer->RefreshAll();
    EXPECT_EQ(Items(*designer), followed) << what;
  }
}

}  // namespace
