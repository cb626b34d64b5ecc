// The layout arithmetic on plain integers: the worked examples as tables.
#include "dialog/layout_math.h"

#include <gtest/gtest.h>

#include <climits>

#include "runtime_support.h"

namespace bxw::dialog {
namespace {

std::vector<Rect> Placed(const std::vector<std::optional<Rect>>& rs) {
  std::vector<Rect> out;
  for (const auto& r : rs) out.push_back(r.value_or(Rect{-99, -99, -99, -99}));
  return out;
}

const std::vector<Size> kThree = {{50, 20}, {60, 25}, {70, 22}};

struct BoxCase {
  const char* label;
  int mode;
  int item;
  int align;
  Rect at;
  Size request;
  std::vector<Rect> expected;
};

TEST(BoxLayout, WorkedExampleInEveryMode) {
  const std::vector<BoxCase> cases = {
      {"yes",
       kExpandYes,
       0,
       kAlignStart,
       {0, 0, 250, 30},
       {190, 25},
       {{0, 0, 70, 30}, {75, 0, 80, 30}, {160, 0, 90, 30}}},
      {"equal",
       kExpandEqual,
       0,
       kAlignStart,
       {0, 0, 250, 30},
       {220, 25},
       {{0, 0, 80, 30}, {85, 0, 80, 30}, {170, 0, 80, 30}}},
      {"no, center",
       kExpandNo,
       0,
       kAlignCenter,
       {0, 0, 250, 30},
       {190, 25},
       {{30, 0, 50, 30}, {85, 0, 60, 30}, {150, 0, 70, 30}}},
      {"item:2",
       kExpandItem,
       1,
       kAlignStart,
       {0, 0, 250, 30},
       {190, 25},
       {{0, 0, 50, 30}, {55, 0, 120, 30}, {180, 0, 70, 30}}},
      {"yes squeezed",
       kExpandYes,
       0,
       kAlignStart,
       {0, 0, 95, 30},
       {190, 25},
       {{0, 0, 25, 30}, {30, 0, 30, 30}, {65, 0, 35, 30}}},
      {"no squeezed",
       kExpandNo,
       0,
       kAlignEnd,
       {0, 0, 95, 30},
       {190, 25},
       {{0, 0, 25, 30}, {30, 0, 30, 30}, {65, 0, 35, 30}}},
      {"item squeezed",
       kExpandItem,
       1,
       kAlignStart,
       {0, 0, 95, 30},
       {190, 25},
       {{0, 0, 25, 30}, {30, 0, 30, 30}, {65, 0, 35, 30}}},
      {"item:0 nobody grows",
       kExpandItem,
       -1,
       kAlignStart,
       {0, 0, 250, 30},
       {190, 25},
       {{0, 0, 50, 30}, {55, 0, 60, 30}, {120, 0, 70, 30}}},
      {"item past the last",
       kExpandItem,
       7,
       kAlignStart,
       {0, 0, 250, 30},
       {190, 25},
       {{0, 0, 50, 30}, {55, 0, 60, 30}, {120, 0, 70, 30}}},
      {"align in mode yes ignored",
       kExpandYes,
       0,
       kAlignEnd,
       {0, 0, 250, 30},
       {190, 25},
       {{0, 0, 70, 30}, {75, 0, 80, 30}, {160, 0, 90, 30}}},
      {"offset position",
       kExpandYes,
       0,
       kAlignStart,
       {10, 20, 250, 30},
       {190, 25},
       {{10, 20, 70, 30}, {85, 20, 80, 30}, {170, 20, 90, 30}}},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.label);
    BoxParams p;
    p.mode = c.mode;
    p.item = c.item;
    p.align = c.align;
    const BoxRequestResult req = BoxRequest(p, kThree, 0, 0, 0);
    EXPECT_EQ(req.size, c.request);
    EXPECT_EQ(Placed(BoxPlace(p, req.axis, {}, req.axisTotal, c.at)), c.expected);
  }
}

TEST(BoxLayout, VboxSqueezedKeepsSpacing) {
  BoxParams p;
  p.horizontal = false;
  p.spacing = 10;
  const auto req = BoxRequest(p, {{5, 20}, {5, 30}, {5, 40}}, 0, 0, 0);
  EXPECT_EQ(req.size, (Size{5, 110}));
  EXPECT_EQ(Placed(BoxPlace(p, req.axis, {}, req.axisTotal, {0, 0, 40, 50})),
            (std::vector<Rect>{{0, 0, 40, 9}, {0, 19, 40, 13}, {0, 42, 40, 18}}));
}

TEST(BoxLayout, WidthAttributeGivesEveryChildAShare) {
  BoxParams p;
  const auto req = BoxRequest(p, kThree, 300, 0, 0);
  EXPECT_EQ(req.size, (Size{300, 25}));
  EXPECT_EQ(req.axisTotal, 190);
  // (300 - 190) / 3 = 36 each; two pixels stay empty at the right.
  EXPECT_EQ(Placed(BoxPlace(p, req.axis, {}, req.axisTotal, {0, 0, 300, 25})),
            (std::vector<Rect>{{0, 0, 86, 25}, {91, 0, 96, 25}, {192, 0, 106, 25}}));
}

TEST(BoxLayout, FoldedChildCountsInRequestButIsNotPlaced) {
  BoxParams p;
  const auto req = BoxRequest(p, {{50, 20}, {0, 0}, {70, 22}}, 0, 0, 0);
  EXPECT_EQ(req.size, (Size{130, 22}));  // 50 + 0 + 70 + 2 spacings
  const auto placed = BoxPlace(p, req.axis, {false, true, false}, req.axisTotal, {0, 0, 160, 22});
  ASSERT_TRUE(placed[0] && placed[2]);
  EXPECT_FALSE(placed[1]);
  // Each of three gets (160 - 130) / 3 = 10; the two placed close up.
  EXPECT_EQ(*placed[0], (Rect{0, 0, 60, 22}));
  EXPECT_EQ(*placed[2], (Rect{65, 0, 80, 22}));
}

TEST(BoxLayout, EmptyBoxRequestsItsAttributesAndKeepsItsTotal) {
  BoxParams p;
  auto req = BoxRequest(p, {}, 0, 0, 0);
  EXPECT_EQ(req.size, (Size{0, 0}));
  req = BoxRequest(p, {}, 40, 30, 77);
  EXPECT_EQ(req.size, (Size{40, 30}));
  EXPECT_EQ(req.axisTotal, 77);
  EXPECT_TRUE(BoxPlace(p, {}, {}, 0, {0, 0, 100, 100}).empty());
}

struct PlaceCase {
  const char* label;
  Placement p;
  Rect area;
  Size child;
  Rect expected;
};

TEST(PlacementRule, SingleBoxCases) {
  Placement base;  // margins 10
  Placement noRight = base;
  noRight.expandH = noRight.expandV = false;
  noRight.alignH = 3;
  noRight.alignV = 1;
  Placement limit70 = base;
  limit70.expandWidth = 70;
  limit70.alignH = limit70.alignV = 1;
  Placement limit70Right = limit70;
  limit70Right.alignH = 3;
  Placement limit150 = base;
  limit150.expandWidth = 150;
  Placement centred = base;
  centred.expandH = centred.expandV = false;
  centred.alignH = centred.alignV = 2;
  Placement vertical = base;
  vertical.expandH = false;
  const std::vector<PlaceCase> cases = {
      {"expand no, align right", noRight, {0, 0, 120, 60}, {40, 20}, {70, 10, 40, 20}},
      {"expandwidth 70", limit70, {0, 0, 120, 60}, {40, 20}, {10, 10, 70, 40}},
      {"expandwidth 70, align right", limit70Right, {0, 0, 120, 60}, {40, 20}, {40, 10, 70, 40}},
      {"expandwidth 150 is not below W", limit150, {0, 0, 120, 60}, {40, 20}, {10, 10, 100, 40}},
      {"centre", centred, {5, 5, 121, 61}, {40, 20}, {45, 25, 40, 20}},
      {"expand vertical", vertical, {0, 0, 120, 60}, {40, 20}, {10, 10, 40, 40}},
      {"smaller than the child", base, {0, 0, 50, 30}, {40, 20}, {10, 10, 30, 10}},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(PlaceChild(c.p, c.area, c.child), c.expected);
  }
}

TEST(WindowBoundsRule, AutoAndNumericBounds) {
  // No bounds at all: nothing is set.
  auto none = WindowBounds({200, 100}, kBoundUnset, kBoundUnset, kBoundUnset, kBoundUnset);
  EXPECT_EQ(none.request, (Size{200, 100}));
  EXPECT_FALSE(none.minW || none.maxW || none.minH || none.maxH);

  auto autoW = WindowBounds({200, 100}, kBoundAuto, kBoundUnset, kBoundAuto, kBoundUnset);
  EXPECT_EQ(autoW.request, (Size{200, 100}));
  EXPECT_EQ(autoW.minW, 200);
  EXPECT_EQ(autoW.maxW, 200);
  EXPECT_FALSE(autoW.minH || autoW.maxH);

  auto numeric = WindowBounds({200, 100}, 300, kBoundUnset, kBoundAuto, 50);
  EXPECT_EQ(numeric.request, (Size{300, 100}));  // the minimum raises the request
  EXPECT_EQ(numeric.minW, 300);
  EXPECT_EQ(numeric.maxW, 300);  // auto maximum follows the raised width
  EXPECT_EQ(numeric.maxH, 50);
}

TEST(LeafRules, ListHeightAndTextOffset) {
  EXPECT_EQ(ListHeight(60, 17, 4), 72);  // (60-4)/17 = 3 rows -> 4 rows
  EXPECT_EQ(ListHeight(55, 17, 4), 55);  // exactly 3 rows
  EXPECT_EQ(ListHeight(60, 0, 4), 60);   // no item height: unchanged
  EXPECT_EQ(TextOffset(10, 30, 0, 14), (std::pair<int, int>{12, 28}));
  EXPECT_EQ(TextOffset(10, 15, 0, 14), (std::pair<int, int>{10, 15}));
  EXPECT_EQ(TextOffset(10, 30, 29, 14), (std::pair<int, int>{10, 30}));
}

// ---- gridbox ----

struct GridChild {
  int colspan, rowspan;
  Size req;
};

struct GridRun {
  GridTable table;
  std::vector<Size> reqs;
  GridRun(const GridParams& p, const std::vector<GridChild>& children) : table(p.columns) {
    for (size_t i = 0; i < children.size(); ++i) {
      EXPECT_EQ(table.Add(static_cast<int>(i), children[i].colspan, children[i].rowspan),
                GridTable::AddResult::Ok);
      reqs.push_back(children[i].req);
    }
    table.CountRows();
  }
  Size Request(const GridParams& p) { return table.Request(p, reqs, reqs, 0, 0); }
  std::vector<Rect> Place(const GridParams& p, Rect r) {
    return Placed(table.Place(p, r, static_cast<int>(reqs.size())));
  }
};

TEST(GridLayout, WorkedExampleAt199And300) {
  GridParams p;
  GridRun g(p, {{1, 1, {80, 20}}, {1, 1, {40, 25}}, {2, 1, {200, 30}}});
  EXPECT_EQ(g.table.Rows(), 2);
  EXPECT_EQ(g.Request(p), (Size{199, 60}));
  EXPECT_EQ(g.table.ColWidths(), (std::vector<int>{117, 77}));
  EXPECT_EQ(g.Place(p, {0, 0, 199, 60}),
            (std::vector<Rect>{{0, 0, 117, 25}, {122, 0, 77, 25}, {0, 30, 199, 30}}));
  EXPECT_EQ(g.Place(p, {0, 0, 300, 60}),
            (std::vector<Rect>{{0, 0, 167, 25}, {172, 0, 127, 25}, {0, 30, 299, 30}}));
  // Asked again without change: the same answer (columns never shrink, never grow twice).
  EXPECT_EQ(g.Request(p), (Size{199, 60}));
  g.reqs[0] = {30, 20};  // a child shrinks: its column keeps the larger width
  EXPECT_EQ(g.Request(p), (Size{199, 60}));
}

TEST(GridLayout, EqualColumnsAt203) {
  GridParams p;
  p.columns = 4;
  p.colMode = kExpandEqual;
  GridRun g(p, {{1, 1, {10, 10}}, {1, 1, {10, 10}}, {1, 1, {10, 10}}, {1, 1, {10, 10}}});
  g.Request(p);
  const auto r = g.Place(p, {0, 0, 203, 10});
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r[i], (Rect{i * 52, 0, 47, 10}));
}

TEST(GridLayout, CellFlow) {
  GridParams p;
  {
    SCOPED_TRACE("five children in two columns");
    GridRun g(p, std::vector<GridChild>(5, {1, 1, {10, 10}}));
    EXPECT_EQ(g.table.Rows(), 3);
    EXPECT_EQ(g.table.Cell(2, 0).child, 4);
    EXPECT_EQ(g.table.Cell(2, 1).content, GridCell::Empty);
  }
  {
    SCOPED_TRACE("rowspan flow");
    GridRun g(p, {{1, 2, {10, 10}}, {1, 1, {10, 10}}, {1, 1, {10, 10}}, {1, 1, {10, 10}}});
    EXPECT_EQ(g.table.Rows(), 3);
    EXPECT_EQ(g.table.Cell(0, 1).child, 1);
    EXPECT_EQ(g.table.Cell(1, 1).child, 2);
    EXPECT_EQ(g.table.Cell(2, 0).child, 3);
    EXPECT_EQ(g.table.Cell(1, 0).content, GridCell::Covered);
  }
  {
    SCOPED_TRACE("colspan cut at the right edge");
    GridRun g(p, {{1, 1, {10, 10}}, {3, 1, {10, 10}}});
    EXPECT_EQ(g.table.Cell(0, 1).child, 1);
    EXPECT_EQ(g.table.Cell(0, 1).colspan, 1);
    EXPECT_EQ(g.table.Rows(), 1);
  }
}

TEST(GridLayout, DefaultModesWidenColumnsAndLeaveHeightEmpty) {
  GridParams p;
  GridRun g(p, {{1, 1, {40, 20}}, {1, 1, {60, 30}}});
  EXPECT_EQ(g.Request(p), (Size{105, 30}));
  EXPECT_EQ(g.Place(p, {0, 0, 125, 100}), (std::vector<Rect>{{0, 0, 50, 30}, {55, 0, 70, 30}}));
}

TEST(GridLayout, SpanGrowthByMode) {
  // A 2-row span wanting 100 over rows of 20 and 30 (spacing 5): have 55, short by 45.
  struct Case {
    int mode, item;
    int row0, row1;
  };
  for (const Case& c : std::vector<Case>{{kExpandNo, 0, 20, 75},
                                         {kExpandYes, 0, 42, 52},
                                         {kExpandEqual, 0, 47, 47},
                                         {kExpandItem, 0, 65, 30}}) {
    SCOPED_TRACE(c.mode);
    GridParams p;
    p.rowMode = c.mode;
    p.rowItem = c.item;
    GridRun g(p, {{1, 2, {10, 100}}, {1, 1, {10, 20}}, {1, 1, {10, 30}}});
    g.Request(p);
    EXPECT_EQ(g.table.RowHeights()[0], c.row0);
    EXPECT_EQ(g.table.RowHeights()[1], c.row1);
  }
}

TEST(GridLayout, TableLimits) {
  {
    SCOPED_TRACE("columns below 1 are taken as 1");
    GridTable t(0);
    EXPECT_EQ(t.Columns(), 1);
    EXPECT_EQ(t.Add(0, 1, 1), GridTable::AddResult::Ok);
    t.CountRows();
    EXPECT_EQ(t.Rows(), 1);
  }
  {
    SCOPED_TRACE("a span crossing the last row is cut there");
    GridTable t(1);
    for (int i = 0; i < 68; ++i) ASSERT_EQ(t.Add(i, 1, 1), GridTable::AddResult::Ok);
    EXPECT_EQ(t.Add(68, 1, 5), GridTable::AddResult::Ok);
    EXPECT_EQ(t.Cell(68, 0).rowspan, 2);
    t.CountRows();
    EXPECT_EQ(t.Rows(), kGridRows);
    EXPECT_EQ(t.Add(69, 1, 1), GridTable::AddResult::TableFull);
  }
}

TEST(HostileSizes, ArithmeticSaturatesInsteadOfOverflowing) {
  BoxParams p;
  p.spacing = INT_MAX;
  const std::vector<Size> huge(3, Size{INT_MAX, INT_MAX});
  auto req = BoxRequest(p, huge, 0, 0, 0);
  EXPECT_EQ(req.size, (Size{INT_MAX, INT_MAX}));
  EXPECT_EQ(req.axisTotal, INT_MAX);
  auto placed = BoxPlace(p, req.axis, {}, req.axisTotal, {INT_MAX, 0, INT_MAX, 5});
  ASSERT_TRUE(placed[2]);
  EXPECT_EQ(placed[2]->x, INT_MAX);
  p.mode = kExpandEqual;
  p.spacing = INT_MIN;
  req = BoxRequest(p, huge, 0, 0, 0);
  EXPECT_EQ(BoxPlace(p, req.axis, {}, req.axisTotal, {0, 0, INT_MIN, 0}).size(), 3u);

  Placement m;
  m.left = m.right = m.top = m.bottom = INT_MIN;
  const Rect r = PlaceChild(m, {INT_MIN, INT_MAX, INT_MAX, INT_MIN}, {INT_MAX, INT_MAX});
  EXPECT_EQ(r.x, INT_MIN);
  EXPECT_EQ(ListHeight(INT_MAX, 17, 4), INT_MAX);
  EXPECT_EQ(SplitterRequest(true, true, {INT_MAX, 1}, {INT_MAX, 1}, 0, 0).w, INT_MAX);

  GridParams g;
  g.colSpacing = g.rowSpacing = INT_MAX;
  GridRun grid(g, {{2, 2, {INT_MAX, INT_MAX}}, {1, 1, {INT_MAX, INT_MAX}}});
  EXPECT_EQ(grid.Request(g), (Size{INT_MAX, INT_MAX}));
  EXPECT_EQ(grid.Place(g, {0, 0, INT_MAX, INT_MAX}).size(), 2u);
  EXPECT_EQ(GridTable(INT_MAX).Columns(), kGridMaxColumns);
}

TEST(SplitterAndScrollArea, Requests) {
  EXPECT_EQ(SplitterRequest(true, false, {120, 40}, {80, 60}, 0, 0), (Size{204, 60}));
  EXPECT_EQ(SplitterRequest(true, true, {120, 40}, {80, 60}, 0, 0), (Size{207, 60}));
  EXPECT_EQ(SplitterRequest(false, false, {120, 40}, {80, 60}, 0, 0), (Size{120, 104}));
  EXPECT_EQ(SplitterRequest(false, false, {120, 40}, {80, 60}, 150, 200), (Size{150, 200}));

  Placement m;  // margins 10
  EXPECT_EQ(ScrollAreaRequest(kScrollVertical, m, {150, 400}, 0, 0), (Size{192, 0}));
  EXPECT_EQ(ScrollAreaRequest(kScrollHorizontal, m, {150, 400}, 0, 0), (Size{0, 442}));
  EXPECT_EQ(ScrollAreaRequest(kScrollBoth, m, {150, 400}, 30, 40), (Size{30, 40}));
  const ScrollInner in = ScrollAreaInner(kScrollVertical, m, {150, 400}, -1, -1, 192, 100);
  EXPECT_EQ(in.iw, 170);
  EXPECT_EQ(in.ih, 420);
}

}  // namespace
}  // namespace bxw::dialog
