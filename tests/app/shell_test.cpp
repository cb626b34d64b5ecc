#include <QMdiArea>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/designer.h"
#include "platform/layout_metrics.h"
#include "app/windows.h"
#include "designer_fixture.h"

using namespace bxw;

namespace {

TEST(LayoutMetricsTest, ScaledAndRoundedPerAxis) {
  const LayoutMetrics m = ComputeLayoutMetrics(1.25, 1.5);
  EXPECT_EQ(m.main, QSize(1000, 900));
  EXPECT_EQ(m.tree, QSize(300, 720));
  EXPECT_EQ(m.helpHeight, 96);
  EXPECT_EQ(m.propertiesRowHeight, 33);
  EXPECT_EQ(m.previewOffset, QPoint(10, 12));
  EXPECT_DOUBLE_EQ(ScaleFromDpi(144), 1.5);
  EXPECT_DOUBLE_EQ(ScaleFromDpi(0), 1.0);
}

TEST(LayoutMetricsTest, ToolWindowsFollowTheEdgesAndStay32PixelsInside) {
  struct Case {
    QPoint current;
    QSize last, now;
    bool followBottom;
    QPoint expected;
  } cases[] = {
      {{560, 0}, {800, 600}, {1000, 700}, false, {760, 0}},       // follows the right edge
      {{436, 120}, {800, 600}, {1000, 700}, true, {636, 220}},    // and the bottom edge
      {{560, 0}, {1000, 700}, {800, 600}, false, {360, 0}},
      {{780, 590}, {800, 600}, {800, 600}, true, {768, 568}},     // clamped to 32 inside
      {{10, 10}, {800, 600}, {20, 20}, true, {0, 0}},             // never negative
      {{560, 0}, {800, 600}, {500, 600}, false, {260, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FollowMainWindow(c.current, c.last, c.now, c.followBottom), c.expected)
        << c.current.x() << "," << c.current.y();
}

class ShellTest : public bxw::test::DesignerTest {};

TEST_F(ShellTest, StartsWithTheRootSelectedAndToolWindowsAgainstTheEdges) {
  EXPECT_EQ(designer->Main()->windowTitle(), QStringLiteral("Boxwright [1.0.1.8]"));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("dialogs"));
  EXPECT_EQ(designer->Tree().Size(), 1);
  const QSize client = designer->Area()->viewport()->size();
  EXPECT_EQ(client, QSize(800, 600));
  EXPECT_EQ(designer->TreeWindow()->widget()->size(), QSize(240, 480));
  EXPECT_EQ(designer->PropertiesWindow()->widget()->size(), QSize(240, 480));
  const QRect tree = designer->TreeWindow()->geometry();
  const QRect props = designer->PropertiesWindow()->geometry();
  EXPECT_EQ(tree.topLeft(), QPoint(800 - tree.width(), 0));
  EXPECT_EQ(props.x(), qRound(800 - (props.width() * 0.5 + tree.width())));
  EXPECT_EQ(props.bottom() + 1, 600);
  // Smaller than the start size is refused.
  designer->Main()->resize(400, 300);
  EXPECT_EQ(designer->Area()->size(), QSize(800, 600));
  EXPECT_EQ(designer->TreeControl()->geometry(), QRect(8, 8, 224, 464));
}

TEST_F(ShellTest, FirstMainRelayoutOnlyRecordsThenWindowsFollow) {
  QTest::qWait(60);  // the start-up relayout
  EXPECT_EQ(designer->LastMainSize(), QSize(800, 600));
  const QPoint tree = designer->TreeWindow()->pos();
  designer->Main()->resize(1000, 700);
  QTest::qWait(80);
  EXPECT_EQ(designer->TreeWindow()->pos(), tree + QPoint(200, 0));
  EXPECT_EQ(designer->LastMainSize(), QSize(1000, 700));
}

TEST_F(ShellTest, ClosingToolWindowsDoesNothing) {
  EXPECT_FALSE(designer->TreeWindow()->close());
  EXPECT_FALSE(designer->PropertiesWindow()->close());
  EXPECT_TRUE(designer->TreeWindow()->isVisible());
}

TEST_F(ShellTest, QuitAsksOnlyWithChangesAndTheOptionOn) {
  // Option off: quits at once even with changes.
  designer->AddObjectCommand(QStringLiteral("window"));
  EXPECT_TRUE(designer->QuitRequested());
  EXPECT_EQ(requesters.Count("yesno"), 0);

  designer->Config().ConfirmChanges = true;
  requesters.yesNoAnswers = {false, true};
  EXPECT_FALSE(designer->QuitRequested());  // No keeps the designer open
  EXPECT_TRUE(designer->QuitRequested());
  ASSERT_EQ(requesters.asked.size(), 2);
  EXPECT_EQ(requesters.asked[0].title, QStringLiteral("Boxwright [1.0.1.8]"));
  EXPECT_EQ(requesters.asked[0].text, QStringLiteral("Quit without saving XML?"));

  // Unchanged since the last saved snapshot: no question.
  designer->RecordSavedSnapshot(designer->Fingerprint());
  EXPECT_TRUE(designer->QuitRequested());
  EXPECT_EQ(requesters.Count("yesno"), 2);
  // The main window's close goes through the same test.
  designer->AddObjectCommand(QStringLiteral("window"));
  requesters.yesNoAnswers = {false};
  EXPECT_FALSE(designer->Main()->close());
  EXPECT_EQ(requesters.Count("yesno"), 3);
}

TEST_F(ShellTest, AddSelectsTheNewObjectAndTitlesItsWindow) {
  designer->AddObjectCommand(QStringLiteral("window"));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("window1"));
  designer->AddObjectCommand(QStringLiteral("vbox"));
  designer->AddObjectCommand(QStringLiteral("button"));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("button1"));
  EXPECT_EQ(designer->Main()->windowTitle(), QStringLiteral("Boxwright [1.0.1.8]: 'window1'"));
  EXPECT_EQ(designer->TreeControl()->topLevelItemCount(), 1);
  Select(QStringLiteral("dialogs"));
  EXPECT_EQ(designer->Main()->windowTitle(), QStringLiteral("Boxwright [1.0.1.8]"));
}

TEST_F(ShellTest, DeleteAsksWhenConfiguredAndNeverDeletesTheRoot) {
  designer->AddObjectCommand(QStringLiteral("window"));
  designer->AddObjectCommand(QStringLiteral("vbox"));
  designer->Config().ConfirmDelete = true;
  requesters.yesNoAnswers = {false};
  designer->DeleteCommand(false);
  EXPECT_TRUE(designer->Tree().Contains(QStringLiteral("vbox1")));
  ASSERT_EQ(requesters.asked.size(), 1);
  EXPECT_EQ(requesters.asked[0].title, QStringLiteral("Delete item (vbox1)"));
  EXPECT_EQ(requesters.asked[0].text, QStringLiteral("Delete selected object?"));
  designer->DeleteCommand(true);  // the cut path asks nothing
  EXPECT_FALSE(designer->Tree().Contains(QStringLiteral("vbox1")));
  EXPECT_EQ(requesters.Count("yesno"), 1);
  EXPECT_EQ(designer->ItemForKey(QStringLiteral("vbox1")), nullptr);

  Select(QStringLiteral("dialogs"));
  designer->DeleteCommand(true);
  EXPECT_TRUE(designer->Tree().Contains(QStringLiteral("dialogs")));
}

TEST_F(ShellTest, LabelEditsOpenOnlyThroughRenameAndNeverForTheRoot) {
  designer->AddObjectCommand(QStringLiteral("window"));
  QTreeWidget* tree = designer->TreeControl();
  QTreeWidgetItem* item = designer->ItemForKey(QStringLiteral("window1"));
  // Without the latch an edit request opens no editor.
  tree->editItem(item, 0);
  EXPECT_FALSE(designer->TreeControl()->IsEditing());
  designer->RenameCommand();
  EXPECT_TRUE(designer->RenameLatch());
  QTest::qWait(10);
  EXPECT_TRUE(designer->TreeControl()->IsEditing());
  EXPECT_FALSE(designer->RenameLatch());

  Select(QStringLiteral("dialogs"));
  designer->RenameCommand();  // not allowed for the root
  EXPECT_FALSE(designer->RenameLatch());
}

}  // namespace
