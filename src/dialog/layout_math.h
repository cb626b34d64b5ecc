#pragma once
// Request and placement arithmetic of the dialog layouts, over plain integers. The DialogObject
// kinds call these; tests drive them directly, without widgets.
#include <array>
#include <optional>
#include <vector>

namespace bxw::dialog {

// Clamps a 64-bit intermediate result to 32 bits.
int Saturate(long long v);

struct Size {
  int w = 0;
  int h = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool operator==(const Rect&) const = default;
};

// Expand modes shared by boxes and grids.
enum ExpandMode { kExpandYes = 1, kExpandNo = 2, kExpandEqual = 3, kExpandItem = 4 };
// Box alignment in mode no.
enum BoxAlign { kAlignStart = 1, kAlignCenter = 2, kAlignEnd = 3 };

// ---- hbox / vbox ----
struct BoxParams {
  bool horizontal = true;
  int spacing = 5;
  int mode = kExpandYes;
  int item = 0;  // zero-based child index for mode item
  int align = kAlignStart;
};

struct BoxRequestResult {
  Size size;              // after the width/height attribute minimums
  std::vector<int> axis;  // per-child requested axis size
  int axisTotal = 0;      // stored total (left unchanged by the caller when there are no children)
};

// `previousTotal` is what the box stored last time: an empty box keeps it.
BoxRequestResult BoxRequest(const BoxParams& p, const std::vector<Size>& childRequests, int attrW,
                            int attrH, int previousTotal);

// One entry per child: the rectangle, or nothing for a folded child (it is not placed).
std::vector<std::optional<Rect>> BoxPlace(const BoxParams& p, const std::vector<int>& axis,
                                          const std::vector<bool>& folded, int axisTotal, Rect r);

// ---- placement rule of single-child containers ----
struct Placement {
  int top = 10, bottom = 10, left = 10, right = 10;
  bool expandH = true, expandV = true;
  int expandWidth = 0, expandHeight = 0;
  int alignH = 0, alignV = 0;  // 0 none, 1 start, 2 centre, 3 end
};

Rect PlaceChild(const Placement& p, Rect area, Size child);

// ---- window size bounds ----
inline constexpr int kBoundUnset = -2;
inline constexpr int kBoundAuto = -1;

struct WindowBoundsResult {
  Size request;
  // Bounds to apply; nothing means "leave that bound unchanged".
  std::optional<int> minW, minH, maxW, maxH;
};

WindowBoundsResult WindowBounds(Size request, int minW, int minH, int maxW, int maxH);

// ---- leaf rules ----
// Listview: round the height up to whole rows plus the borders (e = both edges together).
int ListHeight(int h, int itemHeight, int edges);

// text/hyperlink without a border: two pixels down when there is room. Answers (y, h).
std::pair<int, int> TextOffset(int y, int h, int attrHeight, int naturalHeight);

// ---- gridbox ----
inline constexpr int kGridRows = 70;
inline constexpr int kGridMaxRowSpan = 65;
// The cell table is allocated at 70 x columns: a hostile column count must not exhaust memory.
inline constexpr int kGridMaxColumns = 1000;

struct GridParams {
  int columns = 2;
  int colSpacing = 5;
  int rowSpacing = 5;
  int colMode = kExpandYes;
  int colItem = 0;
  int rowMode = kExpandNo;
  int rowItem = 0;
};

struct GridCell {
  enum Content { Empty, Covered, Child } content = Empty;
  int child = -1;  // index into the grid's children, for Child
  int colspan = 1;
  int rowspan = 1;
};

// The cell table and the requests that persist while the grid exists.
class GridTable {
public:
  explicit GridTable(int columns);
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }

  enum class AddResult { Ok, TableFull };
  // Places child `index` in the next free cell with the given spans (already at least 1). Spans
  // past the right edge or past the last table row are cut there.
  AddResult Add(int index, int colspan, int rowspan);
  void CountRows();

  const GridCell& Cell(int r, int c) const { return cells_[r * columns_ + c]; }

  // Pass 1. `first` holds every child's request (step 1), `second` the request asked again for
  // the spanning children (step 2); both indexed by child.
  Size Request(const GridParams& p, const std::vector<Size>& first, const std::vector<Size>& second,
               int attrW, int attrH);
  // Pass 2: one rectangle per child index (children not in the table stay empty).
  std::vector<std::optional<Rect>> Place(const GridParams& p, Rect r, int childCount) const;

  const std::vector<int>& ColWidths() const { return colW_; }
  const std::array<int, kGridRows>& RowHeights() const { return rowH_; }

private:
  int columns_;
  int rows_ = 0;
  int next_ = 0;
  std::vector<GridCell> cells_;
  std::vector<int> colW_;
  std::array<int, kGridRows> rowH_{};
  int totalW_ = 0;
  int totalH_ = 0;
};

// ---- splitter / panel / scroll area ----
Size SplitterRequest(bool vertical, bool separator, Size first, Size second, int attrW, int attrH);

enum ScrollMode { kScrollBoth = 0, kScrollVertical = 1, kScrollHorizontal = 2 };
inline constexpr int kScrollBarRoom = 22;

Size ScrollAreaRequest(int mode, const Placement& p, Size child, int attrW, int attrH);

struct ScrollInner {
  int iw = 0, ih = 0;  // inner size before placing the child
};
ScrollInner ScrollAreaInner(int mode, const Placement& p, Size child, int innerW, int innerH, int w,
                            int h);

}  // namespace bxw::dialog
