#include "dialog/layout_math.h"

#include <algorithm>
#include <climits>

namespace bxw::dialog {

// Hostile files can ask for sizes near the limits of 32 bits: the arithmetic runs in 64 bits
// and results saturate to 32.
namespace {
using L = long long;
}  // namespace

int Saturate(long long v) {
  return static_cast<int>(std::clamp<L>(v, INT_MIN, INT_MAX));
}

BoxRequestResult BoxRequest(const BoxParams& p, const std::vector<Size>& childRequests, int attrW,
                            int attrH, int previousTotal) {
  BoxRequestResult out;
  const L n = static_cast<L>(childRequests.size());
  L axisTotal = 0;
  int cross = 0, maxAxis = 0;
  out.axis.reserve(childRequests.size());
  for (const Size& s : childRequests) {
    const int a = p.horizontal ? s.w : s.h;
    const int c = p.horizontal ? s.h : s.w;
    out.axis.push_back(a);
    axisTotal += a;
    maxAxis = std::max(maxAxis, a);
    cross = std::max(cross, c);
  }
  if (p.mode == kExpandEqual) axisTotal = n * maxAxis;
  if (n > 0) {
    axisTotal += static_cast<L>(p.spacing) * (n - 1);
    out.axisTotal = Saturate(axisTotal);
  } else {
    out.axisTotal = previousTotal;
  }
  const int axisSize = Saturate(axisTotal);
  const int w = p.horizontal ? axisSize : cross;
  const int h = p.horizontal ? cross : axisSize;
  out.size = {std::max(w, attrW), std::max(h, attrH)};
  return out;
}

std::vector<std::optional<Rect>> BoxPlace(const BoxParams& p, const std::vector<int>& axis,
                                          const std::vector<bool>& folded, int axisTotal, Rect r) {
  const L n = static_cast<L>(axis.size());
  std::vector<std::optional<Rect>> out(axis.size());
  if (n == 0) return out;
  const L avail = p.horizontal ? r.w : r.h;
  const int crossSize = p.horizontal ? r.h : r.w;
  const int crossPos = p.horizontal ? r.y : r.x;
  const L T = axisTotal;
  const L s = p.spacing;
  L pos = p.horizontal ? r.x : r.y;

  const bool equal = p.mode == kExpandEqual;
  const bool squeezed = !equal && avail > 0 && avail < T;
  if (!equal && !squeezed && p.mode == kExpandNo) {
    if (p.align == kAlignCenter)
      pos += (avail - T) / 2;
    else if (p.align == kAlignEnd)
      pos += avail - T;
  }
  for (L i = 0; i < n; ++i) {
    if (i < static_cast<L>(folded.size()) && folded[i]) continue;
    const L a = axis[i];
    L z;
    if (equal) {
      z = (avail - (n - 1) * s) / n;
    } else if (squeezed) {
      z = a * avail / T;
    } else if (p.mode == kExpandYes) {
      z = a + (avail - T) / n;
    } else if (p.mode == kExpandItem) {
      z = (i == p.item) ? a + (avail - T) : a;
    } else {
      z = a;
    }
    const int zp = Saturate(z), pp = Saturate(pos);
    out[i] = p.horizontal ? Rect{pp, crossPos, zp, crossSize} : Rect{crossPos, pp, crossSize, zp};
    pos = std::clamp<L>(pos + z + s, INT_MIN, INT_MAX);
  }
  return out;
}

namespace {
// One axis of the placement rule: answers (offset added to the position, size).
std::pair<L, L> PlaceAxis(L W, L c, bool expand, L limit, int align) {
  if (W <= c) return {0, W};
  L size;
  if (expand) {
    size = (limit > 0 && limit < W) ? std::max(c, limit) : W;
  } else {
    size = c;
  }
  L offset = 0;
  if (align == 2)
    offset = (W - size) / 2;
  else if (align == 3)
    offset = W - size;
  return {offset, size};
}
}  // namespace

Rect PlaceChild(const Placement& p, Rect area, Size child) {
  const L x = L{area.x} + p.left;
  const L y = L{area.y} + p.top;
  const L W = L{area.w} - (L{p.left} + p.right);
  const L H = L{area.h} - (L{p.top} + p.bottom);
  auto [dx, w] = PlaceAxis(W, child.w, p.expandH, p.expandWidth, p.alignH);
  auto [dy, h] = PlaceAxis(H, child.h, p.expandV, p.expandHeight, p.alignV);
  return {Saturate(x + dx), Saturate(y + dy), Saturate(w), Saturate(h)};
}

WindowBoundsResult WindowBounds(Size request, int minW, int minH, int maxW, int maxH) {
  WindowBoundsResult out;
  out.request = request;
  if (minW == kBoundUnset && minH == kBoundUnset && maxW == kBoundUnset && maxH == kBoundUnset)
    return out;
  auto axis = [](int& req, int mn, int mx, std::optional<int>& outMin, std::optional<int>& outMax) {
    if (mn == kBoundAuto) {
      outMin = req;
    } else if (mn != kBoundUnset) {
      outMin = mn;
      req = std::max(req, mn);
    }
    if (mx == kBoundAuto)
      outMax = req;
    else if (mx != kBoundUnset)
      outMax = mx;
  };
  axis(out.request.w, minW, maxW, out.minW, out.maxW);
  axis(out.request.h, minH, maxH, out.minH, out.maxH);
  return out;
}

int ListHeight(int h, int itemHeight, int edges) {
  if (itemHeight <= 0) return h;
  const L n = (L{h} - edges) / itemHeight;
  if (edges + itemHeight * n < h) return Saturate(edges + itemHeight * (n + 1));
  return h;
}

std::pair<int, int> TextOffset(int y, int h, int attrHeight, int naturalHeight) {
  const int t = std::max(attrHeight, naturalHeight);
  if (t <= L{h} - 2) return {Saturate(L{y} + 2), h - 2};
  return {y, h};
}

// ---- gridbox ----

GridTable::GridTable(int columns)
    : columns_(std::clamp(columns, 1, kGridMaxColumns)),
      cells_(static_cast<size_t>(kGridRows) * columns_),
      colW_(columns_, 0) {}

GridTable::AddResult GridTable::Add(int index, int colspan, int rowspan) {
  const int total = kGridRows * columns_;
  int cell = next_;
  while (cell < total && cells_[cell].content != GridCell::Empty) ++cell;
  if (cell >= total) return AddResult::TableFull;
  const int r = cell / columns_;
  const int c = cell % columns_;
  int cs = std::max(colspan, 1);
  int rs = std::max(rowspan, 1);
  if (cs > columns_ - c) cs = columns_ - c;
  // The table ends at its last row: a span reaching past it is cut there.
  if (rs > kGridRows - r) rs = kGridRows - r;
  for (int rr = r; rr < r + rs; ++rr)
    for (int cc = c; cc < c + cs; ++cc) cells_[rr * columns_ + cc] = {GridCell::Covered, -1, 1, 1};
  cells_[cell] = {GridCell::Child, index, cs, rs};
  next_ = cell + 1;
  return AddResult::Ok;
}

void GridTable::CountRows() {
  rows_ = kGridRows;
  for (int r = 0; r < kGridRows; ++r) {
    bool empty = true;
    for (int c = 0; c < columns_ && empty; ++c)
      if (cells_[r * columns_ + c].content != GridCell::Empty) empty = false;
    if (empty) {
      rows_ = r;
      break;
    }
  }
}

namespace {
// Grows the sizes of a span that asks for more than its tracks hold.
void GrowSpan(int* sizes, int first, int span, int spacing, int want, int mode, int item) {
  L have = L{span - 1} * spacing;
  for (int i = first; i < first + span; ++i) have += sizes[i];
  if (have >= want) return;
  if (mode == kExpandEqual) {
    const L share = (want - L{span - 1} * spacing) / span;
    for (int i = first; i < first + span; ++i) sizes[i] = Saturate(std::max<L>(sizes[i], share));
  } else if (mode == kExpandYes) {
    const L grow = (want - have) / span;
    for (int i = first; i < first + span; ++i) sizes[i] = Saturate(sizes[i] + grow);
  } else if (mode == kExpandItem && item >= first && item < first + span) {
    sizes[item] = Saturate(sizes[item] + (want - have));
  } else {
    sizes[first + span - 1] = Saturate(sizes[first + span - 1] + (want - have));
  }
}

// Track sizes for a placement extent.
std::vector<L> TrackSizes(const int* req, int count, int spacing, L total, L extent, int mode,
                          int item) {
  std::vector<L> out(count);
  for (int i = 0; i < count; ++i) {
    if (mode == kExpandEqual) {
      out[i] = (extent - L{count - 1} * spacing) / count;
    } else if (extent > 0 && extent < total) {
      out[i] = extent * req[i] / total;
    } else if (mode == kExpandYes) {
      out[i] = req[i] + (extent - total) / count;
    } else if (mode == kExpandItem) {
      out[i] = req[i] + (i == item ? extent - total : 0);
    } else {
      out[i] = req[i];
    }
  }
  return out;
}

// starts[i] = sum of sizes[0 .. i-1] + i * spacing: where track i begins.
std::vector<L> TrackStarts(const std::vector<L>& sizes, int spacing) {
  std::vector<L> starts(sizes.size() + 1, 0);
  for (size_t i = 0; i < sizes.size(); ++i) starts[i + 1] = starts[i] + sizes[i] + spacing;
  return starts;
}
}  // namespace

Size GridTable::Request(const GridParams& p, const std::vector<Size>& first,
                        const std::vector<Size>& second, int attrW, int attrH) {
  if (rows_ == 0) return {std::max(0, attrW), std::max(0, attrH)};
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c) {
      const GridCell& cell = Cell(r, c);
      if (cell.content != GridCell::Child) continue;
      const Size s = first[cell.child];
      if (cell.colspan == 1) colW_[c] = std::max(colW_[c], s.w);
      if (cell.rowspan == 1) rowH_[r] = std::max(rowH_[r], s.h);
    }
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c) {
      const GridCell& cell = Cell(r, c);
      if (cell.content != GridCell::Child || (cell.colspan == 1 && cell.rowspan == 1)) continue;
      const Size s = second[cell.child];
      if (cell.colspan > 1)
        GrowSpan(colW_.data(), c, cell.colspan, p.colSpacing, s.w, p.colMode, p.colItem);
      if (cell.rowspan > 1)
        GrowSpan(rowH_.data(), r, cell.rowspan, p.rowSpacing, s.h, p.rowMode, p.rowItem);
    }
  L w = L{columns_ - 1} * p.colSpacing;
  for (int c = 0; c < columns_; ++c) w += colW_[c];
  L h = L{rows_ - 1} * p.rowSpacing;
  for (int r = 0; r < rows_; ++r) h += rowH_[r];
  totalW_ = Saturate(w);
  totalH_ = Saturate(h);
  return {std::max(totalW_, attrW), std::max(totalH_, attrH)};
}

std::vector<std::optional<Rect>> GridTable::Place(const GridParams& p, Rect r,
                                                  int childCount) const {
  std::vector<std::optional<Rect>> out(childCount);
  if (rows_ == 0) return out;
  const std::vector<L> cols =
      TrackSizes(colW_.data(), columns_, p.colSpacing, totalW_, r.w, p.colMode, p.colItem);
  const std::vector<L> rows =
      TrackSizes(rowH_.data(), rows_, p.rowSpacing, totalH_, r.h, p.rowMode, p.rowItem);
  const std::vector<L> colStart = TrackStarts(cols, p.colSpacing);
  const std::vector<L> rowStart = TrackStarts(rows, p.rowSpacing);
  for (int row = 0; row < rows_; ++row)
    for (int c = 0; c < columns_; ++c) {
      const GridCell& cell = Cell(row, c);
      if (cell.content != GridCell::Child || cell.child < 0 || cell.child >= childCount) continue;
      const int lastRow = std::min(row + cell.rowspan, rows_);
      // A span's extent: its tracks and the spacings between them.
      const L w = colStart[c + cell.colspan] - colStart[c] - p.colSpacing;
      const L h = rowStart[lastRow] - rowStart[row] - p.rowSpacing;
      out[cell.child] = Rect{Saturate(r.x + colStart[c]), Saturate(r.y + rowStart[row]),
                             Saturate(w), Saturate(h)};
    }
  return out;
}

// ---- splitter / scroll area ----

Size SplitterRequest(bool vertical, bool separator, Size first, Size second, int attrW, int attrH) {
  const L s = separator ? 7 : 4;
  const Size out = vertical
                       ? Size{Saturate(L{first.w} + second.w + s), std::max(first.h, second.h)}
                       : Size{std::max(first.w, second.w), Saturate(L{first.h} + second.h + s)};
  return {std::max(out.w, attrW), std::max(out.h, attrH)};
}

Size ScrollAreaRequest(int mode, const Placement& p, Size child, int attrW, int attrH) {
  if (mode == kScrollVertical)
    return {std::max(attrW, Saturate(L{child.w} + p.left + p.right + kScrollBarRoom)), attrH};
  if (mode == kScrollHorizontal)
    return {attrW, std::max(attrH, Saturate(L{child.h} + p.top + p.bottom + kScrollBarRoom))};
  return {attrW, attrH};
}

ScrollInner ScrollAreaInner(int mode, const Placement& p, Size child, int innerW, int innerH, int w,
                            int h) {
  ScrollInner out;
  out.iw = std::max(Saturate(L{child.w} + p.left + p.right), innerW);
  out.ih = std::max(Saturate(L{child.h} + p.top + p.bottom), innerH);
  if (mode == kScrollVertical) out.iw = Saturate(L{w} - kScrollBarRoom);
  if (mode == kScrollHorizontal) out.ih = Saturate(L{h} - kScrollBarRoom);
  return out;
}

}  // namespace bxw::dialog
