// The attributes of one kind read from its element, without widgets: one table per parser.
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "dialog/attributes.h"
#include "dialog/symbol_registry.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

inline void PrintTo(const BoxParams& p, std::ostream* os) {
  *os << "{horizontal " << p.horizontal << ", spacing " << p.spacing << ", mode " << p.mode
      << ", item " << p.item << ", align " << p.align << "}";
}
inline void PrintTo(const GridParams& p, std::ostream* os) {
  *os << "{columns " << p.columns << ", spacing " << p.colSpacing << "/" << p.rowSpacing << ", col "
      << p.colMode << ":" << p.colItem << ", row " << p.rowMode << ":" << p.rowItem << "}";
}

namespace {

using Attributes = std::vector<std::pair<const char*, const char*>>;

// One element with its attributes in the given order; repeated names are kept, as the parser
// keeps attributes that differ only in case.
struct Element {
  XmlDocument doc;
  XmlNode* node;
  Element(const char* name, const Attributes& attributes)
      : node(doc.Root()->AppendElement(QString::fromLatin1(name))) {
    for (const auto& [n, v] : attributes)
      node->AppendAttribute(QString::fromLatin1(n), QString::fromLatin1(v));
  }
};

BoxParams Box(bool horizontal, int spacing, int mode, int item, int align) {
  BoxParams p;
  p.horizontal = horizontal;
  p.spacing = spacing;
  p.mode = mode;
  p.item = item;
  p.align = align;
  return p;
}

bool Same(const BoxParams& a, const BoxParams& b) {
  return a.horizontal == b.horizontal && a.spacing == b.spacing && a.mode == b.mode &&
         a.item == b.item && a.align == b.align;
}

TEST(KindParams, Box) {
  struct Case {
    const char* label;
    const char* element;
    Attributes attributes;
    BoxParams want;
  };
  const std::vector<Case> cases = {
      {"hbox defaults", "hbox", {}, Box(true, 5, kExpandYes, 0, kAlignStart)},
      {"vbox defaults", "vbox", {}, Box(false, 5, kExpandYes, 0, kAlignStart)},
      {"element name in any case", "VBox", {}, Box(false, 5, kExpandYes, 0, kAlignStart)},
      {"spacing", "hbox", {{"spacing", "12"}}, Box(true, 12, kExpandYes, 0, kAlignStart)},
      {"spacing leading integer", "hbox", {{"SPACING", "7px"}}, Box(true, 7, kExpandYes, 0, 1)},
      {"spacing negative kept", "hbox", {{"spacing", "-3"}}, Box(true, -3, kExpandYes, 0, 1)},
      {"spacing not a number", "hbox", {{"spacing", "wide"}}, Box(true, 0, kExpandYes, 0, 1)},
      {"last spacing wins",
       "hbox",
       {{"spacing", "3"}, {"Spacing", "9"}},
       Box(true, 9, kExpandYes, 0, kAlignStart)},
      {"expand no", "hbox", {{"expand", "no"}}, Box(true, 5, kExpandNo, 0, kAlignStart)},
      {"expand NO", "hbox", {{"Expand", "NO"}}, Box(true, 5, kExpandNo, 0, kAlignStart)},
      {"expand equal", "vbox", {{"expand", "Equal"}}, Box(false, 5, kExpandEqual, 0, 1)},
      {"expand item:3", "hbox", {{"expand", "item:3"}}, Box(true, 5, kExpandItem, 2, 1)},
      {"expand ITEM:1", "hbox", {{"expand", "ITEM:1"}}, Box(true, 5, kExpandItem, 0, 1)},
      {"expand item:0", "hbox", {{"expand", "item:0"}}, Box(true, 5, kExpandItem, -1, 1)},
      {"expand item saturates",
       "hbox",
       {{"expand", "item:-2147483648"}},
       Box(true, 5, kExpandItem, INT_MIN, 1)},
      {"expand item without number", "hbox", {{"expand", "item:"}}, Box(true, 5, 4, -1, 1)},
      {"expand item without colon", "hbox", {{"expand", "item"}}, Box(true, 5, kExpandYes, 0, 1)},
      {"expand yes is the default", "hbox", {{"expand", "yes"}}, Box(true, 5, kExpandYes, 0, 1)},
      {"expand yes does not undo no",
       "hbox",
       {{"expand", "no"}, {"EXPAND", "yes"}},
       Box(true, 5, kExpandNo, 0, 1)},
      {"expand unknown", "hbox", {{"expand", "maybe"}}, Box(true, 5, kExpandYes, 0, 1)},
      {"equal after item keeps the index",
       "hbox",
       {{"expand", "item:3"}, {"Expand", "equal"}},
       Box(true, 5, kExpandEqual, 2, 1)},
      {"align center", "hbox", {{"align", "center"}}, Box(true, 5, kExpandYes, 0, kAlignCenter)},
      {"align CENTER", "hbox", {{"ALIGN", "CENTER"}}, Box(true, 5, kExpandYes, 0, kAlignCenter)},
      {"align bottom", "vbox", {{"align", "bottom"}}, Box(false, 5, kExpandYes, 0, kAlignEnd)},
      {"align right", "hbox", {{"align", "Right"}}, Box(true, 5, kExpandYes, 0, kAlignEnd)},
      {"align top is the default", "vbox", {{"align", "top"}}, Box(false, 5, 1, 0, kAlignStart)},
      {"align left does not undo center",
       "hbox",
       {{"align", "center"}, {"Align", "left"}},
       Box(true, 5, kExpandYes, 0, kAlignCenter)},
      {"align whole value only", "hbox", {{"align", "center,top"}}, Box(true, 5, 1, 0, 1)},
      {"other attributes ignored",
       "hbox",
       {{"name", "b"}, {"width", "40"}, {"margin", "3"}},
       Box(true, 5, kExpandYes, 0, kAlignStart)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e(c.element, c.attributes);
    const BoxParams got = ParseBoxParams(*e.node);
    EXPECT_TRUE(Same(got, c.want))
        << ::testing::PrintToString(got) << " wanted " << ::testing::PrintToString(c.want);
  }
}

GridParams Grid(int columns, int colSpacing, int rowSpacing, int colMode, int colItem, int rowMode,
                int rowItem) {
  return {columns, colSpacing, rowSpacing, colMode, colItem, rowMode, rowItem};
}

bool Same(const GridParams& a, const GridParams& b) {
  return a.columns == b.columns && a.colSpacing == b.colSpacing && a.rowSpacing == b.rowSpacing &&
         a.colMode == b.colMode && a.colItem == b.colItem && a.rowMode == b.rowMode &&
         a.rowItem == b.rowItem;
}

TEST(KindParams, Grid) {
  struct Case {
    const char* label;
    Attributes attributes;
    GridParams want;
  };
  const GridParams d = Grid(2, 5, 5, kExpandYes, 0, kExpandNo, 0);
  const std::vector<Case> cases = {
      {"defaults", {}, d},
      {"columns", {{"columns", "3"}}, Grid(3, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"COLUMNS", {{"COLUMNS", "4"}}, Grid(4, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"zero columns kept (the grid clamps)",
       {{"columns", "0"}},
       Grid(0, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"negative columns kept", {{"columns", "-4"}}, Grid(-4, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"huge columns kept",
       {{"columns", "2000000000"}},
       Grid(2000000000, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"columns not a number", {{"columns", "many"}}, Grid(0, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"last columns wins",
       {{"columns", "3"}, {"Columns", "6"}},
       Grid(6, 5, 5, kExpandYes, 0, kExpandNo, 0)},
      {"spacings",
       {{"colspacing", "7"}, {"RowSpacing", "0"}},
       Grid(2, 7, 0, kExpandYes, 0, kExpandNo, 0)},
      {"colexpand no", {{"colexpand", "no"}}, Grid(2, 5, 5, kExpandNo, 0, kExpandNo, 0)},
      {"colexpand yes is the default", {{"colexpand", "yes"}}, d},
      {"colexpand yes does not undo no",
       {{"colexpand", "no"}, {"ColExpand", "YES"}},
       Grid(2, 5, 5, kExpandNo, 0, kExpandNo, 0)},
      {"colexpand equal", {{"colexpand", "EQUAL"}}, Grid(2, 5, 5, kExpandEqual, 0, kExpandNo, 0)},
      {"colexpand item:2", {{"colexpand", "item:2"}}, Grid(2, 5, 5, kExpandItem, 1, kExpandNo, 0)},
      {"colexpand unknown", {{"colexpand", "sideways"}}, d},
      {"rowexpand yes", {{"rowexpand", "yes"}}, Grid(2, 5, 5, kExpandYes, 0, kExpandYes, 0)},
      {"rowexpand YES", {{"RowExpand", "YES"}}, Grid(2, 5, 5, kExpandYes, 0, kExpandYes, 0)},
      {"rowexpand no is the default", {{"rowexpand", "no"}}, d},
      {"rowexpand no does not undo yes",
       {{"rowexpand", "yes"}, {"rowExpand", "no"}},
       Grid(2, 5, 5, kExpandYes, 0, kExpandYes, 0)},
      {"rowexpand equal", {{"rowexpand", "equal"}}, Grid(2, 5, 5, kExpandYes, 0, kExpandEqual, 0)},
      {"rowexpand Item:4", {{"rowexpand", "Item:4"}}, Grid(2, 5, 5, kExpandYes, 0, kExpandItem, 3)},
      {"item indexes saturate",
       {{"colexpand", "item:-2147483648"}, {"rowexpand", "item:0"}},
       Grid(2, 5, 5, kExpandItem, INT_MIN, kExpandItem, -1)},
      {"box attributes ignored", {{"spacing", "9"}, {"expand", "no"}, {"align", "center"}}, d},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("gridbox", c.attributes);
    const GridParams got = ParseGridParams(*e.node);
    EXPECT_TRUE(Same(got, c.want))
        << ::testing::PrintToString(got) << " wanted " << ::testing::PrintToString(c.want);
  }
}

TEST(KindParams, GridSpan) {
  struct Case {
    const char* label;
    Attributes attributes;
    int colspan, rowspan;
  };
  const std::vector<Case> cases = {
      {"defaults", {}, 1, 1},
      {"colspan", {{"colspan", "3"}}, 3, 1},
      {"ROWSPAN", {{"ROWSPAN", "2"}}, 1, 2},
      {"at least one", {{"colspan", "0"}, {"rowspan", "-5"}}, 1, 1},
      {"not a number", {{"colspan", "wide"}}, 1, 1},
      {"rows past the limit kept (the grid reports them)", {{"rowspan", "100"}}, 1, 100},
      {"last one wins", {{"colspan", "4"}, {"ColSpan", "2"}}, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("button", c.attributes);
    EXPECT_EQ(ParseGridSpan(*e.node), (GridSpan{c.colspan, c.rowspan}));
  }
}

TEST(KindParams, ScrollArea) {
  struct Case {
    const char* label;
    Attributes attributes;
    ScrollAreaParams want;
  };
  const std::vector<Case> cases = {
      {"defaults", {}, {-1, -1, 10, kScrollBoth}},
      {"inner size", {{"innerwidth", "300"}, {"InnerHeight", "200"}}, {300, 200, 10, kScrollBoth}},
      {"auto", {{"innerwidth", "auto"}, {"innerheight", "AUTO"}}, {-1, -1, 10, kScrollBoth}},
      {"auto after a number", {{"innerwidth", "300"}, {"InnerWidth", "Auto"}}, {-1, -1, 10, 0}},
      {"not a number", {{"innerwidth", "big"}}, {0, -1, 10, kScrollBoth}},
      {"negative kept", {{"innerheight", "-2147483648"}}, {-1, INT_MIN, 10, kScrollBoth}},
      {"step", {{"STEP", "5"}}, {-1, -1, 5, kScrollBoth}},
      {"step not a number", {{"step", "x"}}, {-1, -1, 0, kScrollBoth}},
      {"scrolling vertical", {{"scrolling", "vertical"}}, {-1, -1, 10, kScrollVertical}},
      {"scrolling HORIZONTAL", {{"Scrolling", "HORIZONTAL"}}, {-1, -1, 10, kScrollHorizontal}},
      {"scrolling both is the default", {{"scrolling", "both"}}, {-1, -1, 10, kScrollBoth}},
      {"scrolling unknown leaves the mode",
       {{"scrolling", "vertical"}, {"SCROLLING", "diagonal"}},
       {-1, -1, 10, kScrollVertical}},
      {"last scrolling wins",
       {{"scrolling", "vertical"}, {"scrolling", "horizontal"}},
       {-1, -1, 10, kScrollHorizontal}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("scrollarea", c.attributes);
    const ScrollAreaParams got = ParseScrollAreaParams(*e.node);
    EXPECT_EQ(got.innerW, c.want.innerW);
    EXPECT_EQ(got.innerH, c.want.innerH);
    EXPECT_EQ(got.step, c.want.step);
    EXPECT_EQ(got.mode, c.want.mode);
  }
}

TEST(KindParams, Splitter) {
  using Minimum = SplitterParams::Minimum;
  struct Case {
    const char* label;
    Attributes attributes;
    bool autoFirst, autoSecond;
    std::vector<Minimum> minimums;
  };
  const std::vector<Case> cases = {
      {"defaults", {}, false, false, {}},
      {"firstmin auto", {{"firstmin", "auto"}}, true, false, {}},
      {"secondmin REQUEST", {{"SecondMin", "REQUEST"}}, false, true, {}},
      {"pixels", {{"firstmin", "40"}, {"secondmin", "60"}}, false, false, {{0, 40}, {1, 60}}},
      {"not a number", {{"secondmin", "some"}}, false, false, {{1, 0}}},
      {"almost auto is a number", {{"firstmin", "automatic"}}, false, false, {{0, 0}}},
      {"negative kept", {{"firstmin", "-5"}}, false, false, {{0, -5}}},
      {"auto stays asked", {{"firstmin", "auto"}, {"FirstMin", "30"}}, true, false, {{0, 30}}},
      {"every number in file order",
       {{"secondmin", "5"}, {"firstmin", "7"}, {"SECONDMIN", "9"}},
       false,
       false,
       {{1, 5}, {0, 7}, {1, 9}}},
      {"other attributes ignored", {{"min", "3"}, {"first", "auto"}}, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("splitter", c.attributes);
    const SplitterParams got = ParseSplitterParams(*e.node);
    EXPECT_EQ(got.autoMin[0], c.autoFirst);
    EXPECT_EQ(got.autoMin[1], c.autoSecond);
    EXPECT_EQ(got.minimums, c.minimums);
  }
}

TEST(KindParams, WindowBounds) {
  struct Case {
    const char* label;
    Attributes attributes;
    WindowBoundsParams want;
  };
  const int u = kBoundUnset, a = kBoundAuto;
  const std::vector<Case> cases = {
      {"defaults", {}, {u, u, u, u}},
      {"all four",
       {{"minwidth", "100"}, {"minheight", "50"}, {"maxwidth", "800"}, {"maxheight", "600"}},
       {100, 50, 800, 600}},
      {"names in any case", {{"MinWidth", "10"}, {"MAXHEIGHT", "20"}}, {10, u, u, 20}},
      {"auto", {{"maxwidth", "auto"}, {"minheight", "AUTO"}}, {u, a, a, u}},
      {"cut to 16 bits", {{"minwidth", "70000"}, {"maxwidth", "40000"}}, {4464, u, -25536, u}},
      {"negative", {{"minheight", "-5"}}, {u, -5, u, u}},
      {"not a number", {{"maxheight", "tall"}}, {u, u, u, 0}},
      {"last one wins", {{"minwidth", "auto"}, {"minWidth", "30"}}, {30, u, u, u}},
      {"other attributes ignored", {{"width", "300"}, {"min", "3"}}, {u, u, u, u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("window", c.attributes);
    EXPECT_EQ(ParseWindowBounds(*e.node), c.want);
  }
}

TEST(KindParams, Placement) {
  struct Case {
    const char* label;
    int margin;
    Attributes attributes;
    int top, bottom, left, right;
    bool expandH, expandV;
    int expandWidth, expandHeight, alignH, alignV;
  };
  const std::vector<Case> cases = {
      {"defaults", 10, {}, 10, 10, 10, 10, true, true, 0, 0, 0, 0},
      {"the kind's margin", 5, {}, 5, 5, 5, 5, true, true, 0, 0, 0, 0},
      {"margin", 10, {{"margin", "3"}}, 3, 3, 3, 3, true, true, 0, 0, 0, 0},
      {"margin sides", 10, {{"MARGIN", "left:4"}}, 0, 0, 4, 0, true, true, 0, 0, 0, 0},
      {"last margin wins whole",
       10,
       {{"margin", "vertical:2"}, {"Margin", "left:1"}},
       0,
       0,
       1,
       0,
       true,
       true,
       0,
       0,
       0,
       0},
      {"expand no", 10, {{"expand", "NO"}}, 10, 10, 10, 10, false, false, 0, 0, 0, 0},
      {"expand vertical", 10, {{"Expand", "vertical"}}, 10, 10, 10, 10, false, true, 0, 0, 0, 0},
      {"expand sizes",
       10,
       {{"expandwidth", "20"}, {"ExpandHeight", "30px"}},
       10,
       10,
       10,
       10,
       true,
       true,
       20,
       30,
       0,
       0},
      {"align center", 10, {{"align", "center"}}, 10, 10, 10, 10, true, true, 0, 0, 2, 2},
      {"a later align sets only what it names",
       10,
       {{"align", "center"}, {"ALIGN", "top"}},
       10,
       10,
       10,
       10,
       true,
       true,
       0,
       0,
       2,
       1},
      {"align unknown fills", 10, {{"align", "middle"}}, 10, 10, 10, 10, true, true, 0, 0, 1, 1},
      {"box attributes ignored",
       10,
       {{"spacing", "3"}, {"columns", "4"}},
       10,
       10,
       10,
       10,
       true,
       true,
       0,
       0,
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("container", c.attributes);
    const Placement p = ParsePlacement(*e.node, c.margin);
    EXPECT_EQ(p.top, c.top);
    EXPECT_EQ(p.bottom, c.bottom);
    EXPECT_EQ(p.left, c.left);
    EXPECT_EQ(p.right, c.right);
    EXPECT_EQ(p.expandH, c.expandH);
    EXPECT_EQ(p.expandV, c.expandV);
    EXPECT_EQ(p.expandWidth, c.expandWidth);
    EXPECT_EQ(p.expandHeight, c.expandHeight);
    EXPECT_EQ(p.alignH, c.alignH);
    EXPECT_EQ(p.alignV, c.alignV);
  }
}

SymbolRegistry Symbols() {
  SymbolRegistry s;
  s.AddConstant(QStringLiteral("Big"), 42);
  s.AddConstant(QStringLiteral("MyCanvasFlag"), 0x20);
  return s;
}

TEST(KindParams, Numeric) {
  struct Case {
    const char* label;
    Attributes attributes;
    int want;
  };
  const std::vector<Case> cases = {
      {"absent gives the fallback", {}, -7},
      {"integer", {{"value", "12"}}, 12},
      {"name in any case", {{"VALUE", "13"}}, 13},
      {"not a number", {{"value", "many"}}, 0},
      {"registered constant", {{"value", "Big"}}, 42},
      {"constants by exact name", {{"value", "big"}}, 0},
      {"first one wins", {{"value", "3"}, {"Value", "4"}}, 3},
      {"other attributes ignored", {{"values", "5"}}, -7},
  };
  const SymbolRegistry symbols = Symbols();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("spin", c.attributes);
    EXPECT_EQ(ParseNumeric(*e.node, "value", -7, symbols), c.want);
  }
}

TEST(KindParams, OptionGroup) {
  struct Case {
    const char* label;
    Attributes attributes;
    std::optional<int> want;
  };
  const std::vector<Case> cases = {
      {"no group", {{"text", "a"}}, std::nullopt},
      {"group", {{"group", "2"}}, 2},
      {"GROUP", {{"GROUP", "3"}}, 3},
      {"empty group is group 0", {{"group", ""}}, 0},
      {"registered constant", {{"group", "Big"}}, 42},
      {"first one wins", {{"group", "1"}, {"Group", "5"}}, 1},
  };
  const SymbolRegistry symbols = Symbols();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("option", c.attributes);
    EXPECT_EQ(ParseOptionGroup(*e.node, symbols), c.want);
  }
}

TEST(KindParams, CanvasContainer) {
  struct Case {
    const char* label;
    Attributes attributes;
    bool want;
  };
  const std::vector<Case> cases = {
      {"no flags", {}, false},
      {"container flag", {{"flags", "#PB_Canvas_Container"}}, true},
      {"any case", {{"FLAGS", "#pb_canvas_container"}}, true},
      {"other flags", {{"flags", "#PB_Canvas_Border|#PB_Canvas_Keyboard"}}, false},
      {"among others", {{"flags", "#PB_Canvas_Border | #PB_Canvas_Container"}}, true},
      {"unknown names ignored", {{"flags", "#Nope|#PB_Canvas_Container"}}, true},
      {"every flags attribute counts",
       {{"flags", "#PB_Canvas_Container"}, {"Flags", "#PB_Canvas_Border"}},
       true},
      {"registered constant", {{"flags", "#MyCanvasFlag"}}, true},
      {"without #", {{"flags", "PB_Canvas_Container"}}, false},
  };
  const SymbolRegistry symbols = Symbols();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("canvas", c.attributes);
    EXPECT_EQ(IsCanvasContainer(*e.node, symbols), c.want);
  }
}

TEST(KindParams, Leaf) {
  struct Case {
    const char* label;
    Kind kind;
    Attributes attributes;
    uint32_t flags;  // wanted (the common attributes give 0x3)
    int min, max, page, value, color;
  };
  const std::vector<Case> cases = {
      {"button defaults", Kind::Button, {}, 0x3, 0, 100, 10, 0, 0xFF0000},
      {"range attributes only where the kind has them",
       Kind::Button,
       {{"min", "5"}, {"max", "6"}, {"page", "7"}, {"color", "8"}},
       0x3,
       0,
       100,
       10,
       0,
       0xFF0000},
      {"every kind reads value", Kind::Button, {{"value", "9"}}, 0x3, 0, 100, 10, 9, 0xFF0000},
      {"scrollbar",
       Kind::ScrollBar,
       {{"Min", "1"}, {"MAX", "50"}, {"page", "5"}, {"value", "3"}},
       0x3,
       1,
       50,
       5,
       3,
       0xFF0000},
      {"value defaults to min", Kind::ScrollBar, {{"min", "4"}}, 0x3, 4, 100, 10, 4, 0xFF0000},
      {"progressbar has no page",
       Kind::ProgressBar,
       {{"min", "2"}, {"page", "3"}},
       0x3,
       2,
       100,
       10,
       2,
       0xFF0000},
      {"spin", Kind::Spin, {{"max", "Big"}, {"value", "-1"}}, 0x3, 0, 42, 10, -1, 0xFF0000},
      {"trackbar max defaults to 10", Kind::TrackBar, {}, 0x3, 0, 10, 10, 0, 0xFF0000},
      {"first max wins",
       Kind::TrackBar,
       {{"max", "20"}, {"Max", "30"}},
       0x3,
       0,
       20,
       10,
       0,
       0xFF0000},
      {"not a number", Kind::Spin, {{"min", "low"}, {"max", "high"}}, 0x3, 0, 0, 10, 0, 0xFF0000},
      {"hyperlink color", Kind::HyperLink, {{"COLOR", "255"}}, 0x3, 0, 100, 10, 0, 255},
      {"hyperlink min ignored", Kind::HyperLink, {{"min", "4"}}, 0x3, 0, 100, 10, 0, 0xFF0000},
      {"web takes no flags", Kind::Web, {}, 0, 0, 100, 10, 0, 0xFF0000},
      {"ipaddress takes no flags", Kind::IPAddress, {}, 0, 0, 100, 10, 0, 0xFF0000},
  };
  const SymbolRegistry symbols = Symbols();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Element e("leaf", c.attributes);
    const ControlParams p = ParseLeafParams(c.kind, *e.node, symbols, QStringLiteral("t"), 0x3);
    EXPECT_EQ(p.text, QStringLiteral("t"));
    EXPECT_EQ(p.flags, c.flags);
    EXPECT_EQ(p.min, c.min);
    EXPECT_EQ(p.max, c.max);
    EXPECT_EQ(p.page, c.page);
    EXPECT_EQ(p.value, c.value);
    EXPECT_EQ(p.color, c.color);
  }
}

}  // namespace
}  // namespace bxw::dialog
