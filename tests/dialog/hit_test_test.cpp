// The hit test over real laid-out dialogs: nested boxes, a grid with spans, a panel page, a
// scroll area scrolled, a splitter; and the pure function over hand-made nodes.
#include "dialog/hit_test.h"

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>

#include "platform/widgets/control_factory.h"
#include "runtime_support.h"
#include "test_support.h"

namespace bxw::dialog {
namespace {

const QByteArray& Examples() {
  static const QByteArray xml =
      bxw::test::ReadFileBytes(bxw::test::DataPath(QStringLiteral("dialog/hit_examples.xml")));
  return xml;
}

struct Point {
  int x, y;
  const char* expected;  // null: outside the window
};

QString NameAt(const HitTree& tree, int x, int y) {
  const int i = HitTest(tree, x, y);
  if (i < 0) return QStringLiteral("(outside)");
  const DialogObject* o = tree.nodes[i].object;
  return o->hasName ? o->name : QStringLiteral("-");
}

void ExpectHits(const HitTree& tree, const std::vector<Point>& points) {
  for (const Point& p : points) {
    SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y);
    EXPECT_EQ(NameAt(tree, p.x, p.y),
              p.expected ? QString::fromLatin1(p.expected) : QStringLiteral("(outside)"));
  }
}

const HitNode& NodeOf(const HitTree& tree, const QString& name) {
  const int i = HitNodeByName(tree, name);
  if (i >= 0) return tree.nodes[i];
  ADD_FAILURE() << "no node " << name.toStdString();
  return tree.nodes.front();
}

TEST(HitTest, NestedBoxesAndTheRoomBetweenChildren) {
  test::Opened o(Examples().constData(), QStringLiteral("boxes"));
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  const HitTree tree = BuildHitTree(o.rt, o.dialog);
  ASSERT_EQ(tree.nodes.size(), 6u);
  EXPECT_EQ(tree.nodes[0].rect, (Rect{0, 0, 130, 70}));
  EXPECT_EQ(NodeOf(tree, "b").rect, (Rect{75, 5, 50, 30}));
  EXPECT_EQ(NodeOf(tree, "b").depth, 3);
  EXPECT_EQ(HitNodeByName(tree, "BOXES"), 0);
  EXPECT_EQ(HitNodeByName(tree, "Top"), 2);
  EXPECT_EQ(HitNodeByName(tree, "nowhere"), -1);
  ExpectHits(tree, {{2, 2, "boxes"},
                    {10, 10, "a"},
                    {60, 10, "top"},  // between a and b
                    {80, 10, "b"},
                    {10, 40, "outer"},  // between the hbox and c
                    {10, 50, "c"},
                    {124, 64, "c"},
                    {129, 69, "boxes"},
                    {130, 10, nullptr},
                    {-1, 10, nullptr},
                    {10, 70, nullptr}});
}

TEST(HitTest, GridWithSpans) {
  test::Opened o(Examples().constData(), QStringLiteral("grid"));
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  const HitTree tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_EQ(NodeOf(tree, "wide").rect, (Rect{0, 0, 110, 20}));
  EXPECT_EQ(NodeOf(tree, "tall").rect, (Rect{120, 0, 50, 50}));
  ExpectHits(tree, {{55, 10, "wide"},  // the spacing inside a span belongs to it
                    {100, 10, "wide"},
                    {115, 10, "g"},
                    {125, 40, "tall"},
                    {55, 40, "g"},
                    {70, 40, "two"},
                    {10, 25, "g"},
                    {10, 35, "one"}});
}

TEST(HitTest, OnlyTheShownPanelPageCounts) {
  test::Opened o(Examples().constData(), QStringLiteral("panel"));
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  auto* panel = dynamic_cast<PanelControl*>(o.Widget(QStringLiteral("p")));
  ASSERT_NE(panel, nullptr);
  const int px = 2, py = panel->TabRowHeight();  // the page's corner in the window
  HitTree tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_EQ(NodeOf(tree, "first").rect, (Rect{px, py, 105, 40}));
  EXPECT_FALSE(NodeOf(tree, "second").visible);
  EXPECT_FALSE(NodeOf(tree, "onsecond").visible);
  ExpectHits(tree, {{px + 10, py + 10, "onfirst"},
                    {px + 80, py + 10, "first"},
                    {px + 80, py + 35, "first"},
                    {1, 1, "p"}});
  panel->TabBar()->setCurrentIndex(1);
  tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_FALSE(NodeOf(tree, "onfirst").visible);
  ExpectHits(
      tree,
      {{px + 10, py + 10, "onsecond"}, {px + 52, py + 10, "row"}, {px + 80, py + 10, "other"}});
}

TEST(HitTest, ScrollAreaContentMovesWithTheScrollPositionAndIsClippedToTheViewport) {
  test::Opened o(Examples().constData(), QStringLiteral("scroll"));
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  auto* area = qobject_cast<QScrollArea*>(o.Widget(QStringLiteral("sa")));
  ASSERT_NE(area, nullptr);
  // Never shown: the runtime lays the viewport out all the same.
  const QPoint view = area->viewport()->mapTo(o.Window(), QPoint(0, 0));
  const QSize viewSize = area->viewport()->size();
  ASSERT_GT(viewSize.height(), 0);
  HitTree tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_EQ(NodeOf(tree, "r2").rect, (Rect{view.x(), view.y() + 60, 128, 60}));
  // Seen through the viewport, and only where the inner area (128 wide) lies.
  ASSERT_GT(viewSize.width(), 128);
  EXPECT_EQ(NodeOf(tree, "r2").clip, (Rect{view.x(), view.y(), 128, viewSize.height()}));
  ExpectHits(tree, {{view.x() + 10, view.y() + 5, "r1"}, {view.x() + 10, view.y() + 65, "r2"}});
  area->verticalScrollBar()->setValue(70);
  tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_EQ(NodeOf(tree, "r2").rect, (Rect{view.x(), view.y() - 10, 128, 60}));
  ExpectHits(tree, {{view.x() + 10, view.y() + 5, "r2"},
                    {view.x() + 10, view.y() + 55, "r3"},
                    // The part of r1 scrolled out above the viewport is not there.
                    {view.x() + 10, view.y() - 1, "sa"},
                    {149, 50, "sa"}});
}

TEST(HitTest, SplitterChildrenLieInTheirPanes) {
  test::Opened o(Examples().constData(), QStringLiteral("split"));
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  auto* splitter = qobject_cast<QSplitter*>(o.Widget(QStringLiteral("s")));
  ASSERT_NE(splitter, nullptr);
  const QRect second = splitter->widget(1)->geometry();
  ASSERT_GT(second.x(), 50);
  const HitTree tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_EQ(NodeOf(tree, "inright").rect, (Rect{second.x(), 0, second.width(), 20}));
  ExpectHits(tree, {{5, 5, "left"},
                    {second.x() + 5, 5, "inright"},
                    {second.x() + 5, 30, "right"},
                    {second.x() - 1, 30, "s"}});  // the handle between the panes
}

TEST(HitTest, HiddenControlsAndTheirContentAreSkipped) {
  test::Opened o(
      "<window name='w' margin='0'><vbox name='v' spacing='0'>"
      "<container name='box' width='40' height='40' invisible='yes'>"
      "<empty name='inside' width='10' height='10'/></container>"
      "<button name='gone' text='x' invisible='yes'/></vbox></window>");
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  const HitTree tree = BuildHitTree(o.rt, o.dialog);
  EXPECT_FALSE(NodeOf(tree, "inside").visible);
  ExpectHits(tree, {{15, 15, "v"}, {5, 45, "v"}});
}

TEST(HitTest, PureFunctionOverNodes) {
  // Overlapping siblings (a multibox): the later one lies on top; clips cut rectangles.
  HitTree tree;
  tree.nodes = {{nullptr, -1, 0, {0, 0, 100, 100}, {0, 0, 100, 100}, true},
                {nullptr, 0, 1, {10, 10, 50, 50}, {0, 0, 100, 100}, true},
                {nullptr, 0, 1, {10, 10, 50, 50}, {0, 0, 100, 100}, true},
                {nullptr, 2, 2, {20, 20, 200, 10}, {20, 20, 30, 30}, true},
                {nullptr, 2, 2, {0, 0, 0, 0}, {0, 0, 100, 100}, true},
                {nullptr, 0, 1, {70, 70, 20, 20}, {0, 0, 100, 100}, false}};
  struct Case {
    int x, y, expected;
  } cases[] = {{5, 5, 0},   {15, 15, 2},   {25, 25, 3},  {55, 25, 2},
               {75, 75, 0}, {100, 50, -1}, {50, -1, -1}, {0, 0, 0}};
  for (const Case& c : cases) EXPECT_EQ(HitTest(tree, c.x, c.y), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(HitTest(HitTree{}, 0, 0), -1);
}

}  // namespace
}  // namespace bxw::dialog
