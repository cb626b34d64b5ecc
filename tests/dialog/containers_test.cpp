// Grids, panels and tabs, scroll areas and splitters with real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>

#include "platform/widgets/control_factory.h"
#include "runtime_support.h"

namespace bxw::dialog {
namespace {

using test::Opened;

TEST(Grid, WorkedExampleInsideAWindow) {
  Opened o(
      "<window margin='0'><gridbox name='g'>"
      "<listicon name='A' width='80' height='20'/><listicon name='B' width='40' height='25'/>"
      "<listicon name='C' colspan='2' width='200' height='30'/></gridbox></window>",
      QString(), 300, 0);
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.Req(QStringLiteral("g")), (Size{199, 60}));
  EXPECT_EQ(o.At(QStringLiteral("A")), (Rect{0, 0, 167, 25}));
  EXPECT_EQ(o.At(QStringLiteral("B")), (Rect{172, 0, 127, 25}));
  EXPECT_EQ(o.At(QStringLiteral("C")), (Rect{0, 30, 299, 30}));
  EXPECT_EQ(o.Widget(QStringLiteral("C"))->geometry(), QRect(0, 30, 299, 30));
  // Asked again: the same request.
  o.rt.RefreshDialog(o.dialog);
  EXPECT_EQ(o.Req(QStringLiteral("g")), (Size{199, 60}));
}

TEST(Grid, ColumnsBelowOneAreTakenAsOne) {
  Opened o(
      "<window margin='0'><gridbox columns='0' colspacing='0' rowspacing='0'>"
      "<empty name='a' width='10' height='10'/><empty name='b' width='20' height='5'/>"
      "</gridbox></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.At(QStringLiteral("a")), (Rect{0, 0, 20, 10}));
  EXPECT_EQ(o.At(QStringLiteral("b")), (Rect{0, 10, 20, 5}));
}

TEST(Panel, TwoTabsRequestAndPlacement) {
  Opened o(
      "<window margin='0'><panel name='p'>"
      "<tab name='t1' text='One'><empty name='c1' width='100' height='50'/></tab>"
      "<tab name='t2' text='Two'><empty name='c2' width='80' height='70'/></tab>"
      "</panel></window>");
  ASSERT_TRUE(o.ok);
  auto* panel = dynamic_cast<PanelControl*>(o.Widget(QStringLiteral("p")));
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->PageCount(), 2);
  const int th = panel->TabRowHeight();
  EXPECT_GT(th, 0);
  EXPECT_EQ(o.Req(QStringLiteral("p")), (Size{124, 90 + th + 2}));
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("t1")), -1);  // a tab has no control
  // Each tab gets the page area; its child sits at the tab margins from the page corner.
  EXPECT_EQ(o.At(QStringLiteral("t1")), (Rect{0, 0, 120, 90}));
  EXPECT_EQ(o.At(QStringLiteral("t2")), (Rect{0, 0, 120, 90}));
  EXPECT_EQ(o.At(QStringLiteral("c1")), (Rect{10, 10, 100, 70}));
  EXPECT_EQ(o.At(QStringLiteral("c2")), (Rect{10, 10, 100, 70}));
  EXPECT_EQ(panel->Page(0)->size(), QSize(120, 90));
}

TEST(Panel, NestedPanelsAttachTabsToTheInnermostOpenPanel) {
  Opened o(
      "<window><panel name='outer'>"
      "<tab text='A'><panel name='inner'><tab text='X'><button name='x' text='x'/></tab>"
      "<tab text='Y'/></panel></tab>"
      "<tab text='B'><button name='b' text='b'/></tab>"
      "</panel></window>");
  ASSERT_TRUE(o.ok);
  auto* outer = dynamic_cast<PanelControl*>(o.Widget(QStringLiteral("outer")));
  auto* inner = dynamic_cast<PanelControl*>(o.Widget(QStringLiteral("inner")));
  ASSERT_TRUE(outer && inner);
  EXPECT_EQ(outer->PageCount(), 2);
  EXPECT_EQ(inner->PageCount(), 2);
  EXPECT_EQ(inner->parentWidget(), outer->Page(0));
  EXPECT_EQ(o.Widget(QStringLiteral("x"))->parentWidget(), inner->Page(0));
  EXPECT_EQ(o.Widget(QStringLiteral("b"))->parentWidget(), outer->Page(1));
  EXPECT_EQ(o.rt.PanelStackDepth(), 0);
}

TEST(ScrollArea, VerticalWithAutomaticInnerHeight) {
  Opened o(
      "<window margin='0'><scrollarea name='sa' scrolling='vertical' height='100'>"
      "<empty name='c' width='150' height='400'/></scrollarea></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.Req(QStringLiteral("sa")), (Size{192, 100}));
  EXPECT_EQ(o.At(QStringLiteral("sa")), (Rect{0, 0, 192, 100}));
  EXPECT_EQ(o.At(QStringLiteral("c")), (Rect{10, 10, 150, 400}));
  auto* area = qobject_cast<QScrollArea*>(o.Widget(QStringLiteral("sa")));
  ASSERT_TRUE(area);
  EXPECT_EQ(area->widget()->size(), QSize(170, 420));
}

TEST(ScrollArea, FixedInnerSizeAndBothDirections) {
  Opened o(
      "<window margin='0'><scrollarea name='sa' width='120' height='90' innerwidth='300' "
      "innerheight='auto' margin='0'><empty name='c' width='50' "
      "height='60'/></scrollarea></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.Req(QStringLiteral("sa")), (Size{120, 90}));
  EXPECT_EQ(o.At(QStringLiteral("c")), (Rect{0, 0, 300, 60}));
  auto* area = qobject_cast<QScrollArea*>(o.Widget(QStringLiteral("sa")));
  EXPECT_EQ(area->widget()->size(), QSize(300, 60));
}

TEST(Splitter, AutomaticFirstMinimumWithAndWithoutSeparator) {
  const char* plain =
      "<window margin='0'><splitter name='s' flags='#PB_Splitter_Vertical' firstmin='auto'>"
      "<listicon name='a' width='120' height='40'/><listicon name='b' width='80' height='60'/>"
      "</splitter></window>";
  Opened o(plain);
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.Req(QStringLiteral("s")), (Size{204, 60}));
  auto* splitter = qobject_cast<QSplitter*>(o.Widget(QStringLiteral("s")));
  ASSERT_TRUE(splitter);
  EXPECT_EQ(splitter->widget(0)->minimumWidth(), 120);
  EXPECT_EQ(splitter->widget(1)->minimumWidth(), 0);
  // The panes' children fill their panes, in pane coordinates.
  const Rect a = o.At(QStringLiteral("a")), b = o.At(QStringLiteral("b"));
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(b.x, 0);
  EXPECT_EQ(a.w + b.w + 4, 204);
  EXPECT_GE(a.w, 120);
  EXPECT_EQ(a.h, 60);

  Opened sep(
      "<window margin='0'><splitter name='s' flags='#PB_Splitter_Vertical|#PB_Splitter_Separator' "
      "firstmin='auto'><listicon width='120' height='40'/><listicon width='80' height='60'/>"
      "</splitter></window>");
  ASSERT_TRUE(sep.ok);
  EXPECT_EQ(sep.Req(QStringLiteral("s")), (Size{207, 60}));
}

TEST(Splitter, DraggingTheSeparatorLaysBothPanesOutAgain) {
  Opened o(
      "<window margin='0'><splitter name='s' secondmin='30'>"
      "<button name='top' text='Top'/><listicon name='bottom' width='100' height='100'/>"
      "</splitter></window>");
  ASSERT_TRUE(o.ok);
  auto* splitter = qobject_cast<QSplitter*>(o.Widget(QStringLiteral("s")));
  ASSERT_TRUE(splitter && o.Window()->isVisible());
  QApplication::processEvents();
  auto* top = qobject_cast<QPushButton*>(o.Widget(QStringLiteral("top")));
  const Size requested = o.Req(QStringLiteral("top"));
  // Its natural size changes, but a drag must not ask for sizes again.
  top->setText(QStringLiteral("A far longer caption than before, to change the natural size"));
  const int total = splitter->sizes()[0] + splitter->sizes()[1];
  splitter->setSizes({total - 40, 40});
  QApplication::processEvents();
  EXPECT_EQ(o.At(QStringLiteral("top")), (Rect{0, 0, splitter->width(), total - 40}));
  EXPECT_EQ(o.At(QStringLiteral("bottom")), (Rect{0, 0, splitter->width(), 40}));
  EXPECT_EQ(o.Widget(QStringLiteral("bottom"))->height(), 40);
  EXPECT_EQ(o.Req(QStringLiteral("top")), requested);
}

TEST(Splitter, FewerThanTwoChildrenCloseTheirPane) {
  Opened o(
      "<window><vbox><splitter name='s'><button name='only' text='x'/></splitter>"
      "<button name='after' text='y'/></vbox></window>");
  ASSERT_TRUE(o.ok);
  // The sibling after the splitter lives in the window, not in the splitter's open pane.
  EXPECT_EQ(o.Widget(QStringLiteral("after"))->parentWidget(), o.Window());
  auto* splitter = qobject_cast<QSplitter*>(o.Widget(QStringLiteral("s")));
  EXPECT_EQ(o.Widget(QStringLiteral("only"))->parentWidget(), splitter->widget(0));
}

}  // namespace
}  // namespace bxw::dialog
