#include "dialog/dialog_object.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QSplitter>
#include <algorithm>

#include "dialog/runtime_state.h"
#include "platform/widgets/control_factory.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

namespace {
using L = long long;  // sizes from hostile files are added in 64 bits, then saturated
}  // namespace

// ---- defaults ----

DialogObject::DialogObject(RuntimeState& rt, Kind k) : kind(k), rt_(rt) {}

DialogObject::~DialogObject() = default;

Size DialogObject::SizeRequest() {
  if (folded) return {0, 0};
  Size s = CalculateSize();
  if (width == -1) s.w = 0;
  if (height == -1) s.h = 0;
  return s;
}

Size DialogObject::CalculateSize() {
  return {width, height};
}

void DialogObject::Resize(int x, int y, int w, int h) {
  if (widget) PlaceControl(widget, x, y, w, h, HoldsControls());
}

void DialogObject::AddChild(std::unique_ptr<DialogObject> child, const XmlNode&) {
  child->parent = this;
  unattached_.push_back(std::move(child));
}

void DialogObject::SetHidden(bool hide) {
  if (!widget) return;
  if (hide)
    widget->hide();
  else if (!folded)
    widget->show();
}

DialogObject* DialogObject::FindByName(const QString& n) {
  return hasName && name.compare(n, Qt::CaseInsensitive) == 0 ? this : nullptr;
}

void DialogObject::FinishChildren() {
  rt_.CreatePendingOptions(*this);
}

void DialogObject::RefreshText() {
  if (widget && hasText) SetControlText(widget, text);
}

Size DialogObject::Request() {
  const Size s = SizeRequest();
  lastRequest = s;
  return s;
}

void DialogObject::Place(int x, int y, int w, int h) {
  lastRect = Rect{x, y, w, h};
  Resize(x, y, w, h);
}

// ---- leaves ----

Size NaturalLeaf::SizeRequest() {
  const QSize n = widget ? NaturalSize(widget) : QSize(0, 0);
  return {std::max(n.width(), width), std::max(n.height(), height)};
}

void NaturalLeaf::Resize(int x, int y, int w, int h) {
  if (widget && (kind == Kind::Text || kind == Kind::HyperLink) && !(flags & flag::TextBorder)) {
    auto [ny, nh] = TextOffset(y, h, height, NaturalSize(widget).height());
    y = ny;
    h = nh;
  }
  DialogObject::Resize(x, y, w, h);
}

Size ListViewLeaf::SizeRequest() {
  if (!widget) return {width, height};
  return {width, ListHeight(height, ListItemHeight(widget), ListEdges(widget))};
}

// ---- multi-child family ----

void MultiChildObject::AddChild(std::unique_ptr<DialogObject> child, const XmlNode&) {
  child->parent = this;
  children_.push_back(std::move(child));
}

void MultiChildObject::SetHidden(bool hide) {
  DialogObject::SetHidden(hide);
  for (auto& c : children_) c->SetHidden(hide);
}

DialogObject* MultiChildObject::FindByName(const QString& n) {
  if (DialogObject* self = DialogObject::FindByName(n)) return self;
  for (auto& c : children_)
    if (DialogObject* hit = c->FindByName(n)) return hit;
  return nullptr;
}

void MultiChildObject::RefreshText() {
  DialogObject::RefreshText();
  for (auto& c : children_) c->RefreshText();
}

BoxObject::BoxObject(RuntimeState& rt, Kind k) : MultiChildObject(rt, k) {
  params.horizontal = k == Kind::HBox;
}

Size BoxObject::CalculateSize() {
  std::vector<Size> requests;
  requests.reserve(children_.size());
  for (auto& c : children_) requests.push_back(c->Request());
  BoxRequestResult r = BoxRequest(params, requests, width, height, axisTotal_);
  axis_ = std::move(r.axis);
  axisTotal_ = r.axisTotal;
  return r.size;
}

void BoxObject::Resize(int x, int y, int w, int h) {
  std::vector<bool> folded(children_.size());
  for (size_t i = 0; i < children_.size(); ++i) folded[i] = children_[i]->folded;
  // Placement before any request (never done by the runtime itself) uses zero requests.
  axis_.resize(children_.size(), 0);
  const auto rects = BoxPlace(params, axis_, folded, axisTotal_, {x, y, w, h});
  for (size_t i = 0; i < children_.size(); ++i)
    if (rects[i]) children_[i]->Place(rects[i]->x, rects[i]->y, rects[i]->w, rects[i]->h);
}

Size MultiBoxObject::CalculateSize() {
  Size out;
  for (auto& c : children_) {
    const Size s = c->Request();
    out.w = std::max(out.w, s.w);
    out.h = std::max(out.h, s.h);
  }
  return {std::max(out.w, width), std::max(out.h, height)};
}

void MultiBoxObject::Resize(int x, int y, int w, int h) {
  for (auto& c : children_) c->Place(x, y, w, h);
}

GridObject::GridObject(RuntimeState& rt, const GridParams& p)
    : MultiChildObject(rt, Kind::GridBox), params(p), table_(p.columns) {
  params.columns = table_.Columns();
}

void GridObject::AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element) {
  const GridSpan span = ParseGridSpan(element);
  const int colspan = span.colspan;
  int rowspan = span.rowspan;
  if (rowspan > kGridMaxRowSpan) {
    rt_.Error(QStringLiteral("A gridbox can only have a maximum of 65 rows (%1 was specified).")
                  .arg(rowspan));
    rowspan = kGridMaxRowSpan;
  }
  child->parent = this;
  if (table_.Add(ChildCount(), colspan, rowspan) == GridTable::AddResult::TableFull) {
    // The cell table has 70 rows; a child that finds no free cell there is refused.
    rt_.Error(QStringLiteral("A gridbox can only have a maximum of 70 rows of cells."));
    unattached_.push_back(std::move(child));
    return;
  }
  children_.push_back(std::move(child));
}

void GridObject::FinishChildren() {
  rt_.CreatePendingOptions(*this);
  table_.CountRows();
}

Size GridObject::CalculateSize() {
  const int n = ChildCount();
  std::vector<Size> first(n), second(n);
  const int cols = table_.Columns();
  for (int r = 0; r < table_.Rows(); ++r)
    for (int c = 0; c < cols; ++c) {
      const GridCell& cell = table_.Cell(r, c);
      if (cell.content == GridCell::Child) first[cell.child] = children_[cell.child]->Request();
    }
  for (int r = 0; r < table_.Rows(); ++r)
    for (int c = 0; c < cols; ++c) {
      const GridCell& cell = table_.Cell(r, c);
      if (cell.content == GridCell::Child && (cell.colspan > 1 || cell.rowspan > 1))
        second[cell.child] = children_[cell.child]->Request();
    }
  return table_.Request(params, first, second, width, height);
}

void GridObject::Resize(int x, int y, int w, int h) {
  const auto rects = table_.Place(params, {x, y, w, h}, ChildCount());
  for (int i = 0; i < ChildCount(); ++i)
    if (rects[i]) children_[i]->Place(rects[i]->x, rects[i]->y, rects[i]->w, rects[i]->h);
}

PanelObject::PanelObject(RuntimeState& rt, PanelControl* control, bool pushed)
    : MultiChildObject(rt, Kind::Panel), panel_(control), pushed_(pushed) {}

Size PanelObject::CalculateSize() {
  Size out;
  for (auto& c : children_) {
    const Size s = c->Request();
    out.w = std::max(out.w, s.w);
    out.h = std::max(out.h, s.h);
  }
  out.w = Saturate(L{out.w} + 4);
  out.h = Saturate(L{out.h} + (widget ? panel_->TabRowHeight() : 0) + 2);
  return {std::max(out.w, width), std::max(out.h, height)};
}

void PanelObject::Resize(int x, int y, int w, int h) {
  if (!widget) return;  // the window was closed behind the runtime's back
  DialogObject::Resize(x, y, w, h);
  panel_->LayoutPages();
  // The page area of the panel as laid out (the control itself may have been cut to the
  // largest side Qt gets).
  const L pw = std::clamp<L>(w, 0, QWIDGETSIZE_MAX), ph = std::clamp<L>(h, 0, QWIDGETSIZE_MAX);
  const int pageW = Saturate(pw - 4), pageH = Saturate(ph - panel_->TabRowHeight() - 2);
  for (auto& c : children_) c->Place(0, 0, pageW, pageH);
}

void PanelObject::FinishChildren() {
  rt_.CreatePendingOptions(*this);
  rt_.CloseList();
  if (pushed_ && !rt_.panelStack.empty()) rt_.panelStack.pop_back();
}

// ---- single-child family ----

SingleChildObject::SingleChildObject(RuntimeState& rt, Kind k, bool closesList)
    : DialogObject(rt, k), closesList_(closesList) {}

void SingleChildObject::AddChild(std::unique_ptr<DialogObject> child, const XmlNode&) {
  child->parent = this;
  if (child_) unattached_.push_back(std::move(child_));
  child_ = std::move(child);
}

void SingleChildObject::SetHidden(bool hide) {
  DialogObject::SetHidden(hide);
  if (child_) child_->SetHidden(hide);
}

DialogObject* SingleChildObject::FindByName(const QString& n) {
  if (DialogObject* self = DialogObject::FindByName(n)) return self;
  return child_ ? child_->FindByName(n) : nullptr;
}

void SingleChildObject::FinishChildren() {
  rt_.CreatePendingOptions(*this);
  if (closesList_) rt_.CloseList();
}

void SingleChildObject::RefreshText() {
  DialogObject::RefreshText();
  if (child_) child_->RefreshText();
}

Size SingleChildObject::RequestChildPlusMargins() {
  childReq_ = child_ ? child_->Request() : Size{};
  return {Saturate(L{childReq_.w} + placement.left + placement.right),
          Saturate(L{childReq_.h} + placement.top + placement.bottom)};
}

WindowObject::WindowObject(RuntimeState& rt) : SingleChildObject(rt, Kind::Window, false) {}

WindowObject::~WindowObject() {
  // Children first, then leave the window map.
  child_.reset();
  unattached_.clear();
  if (mapKey) rt_.UnbindWindow(mapKey, windowWidget);
}

Size WindowObject::CalculateSize() {
  const Size c = RequestChildPlusMargins();
  const Size req{std::max(width, c.w), std::max(height, c.h)};
  const WindowBoundsResult b = WindowBounds(req, minW, minH, maxW, maxH);
  if (windowWidget) {
    // A minimum is a size Qt enforces on the window: it stays within the largest side.
    if (b.minW) windowWidget->setMinimumWidth(BoundedSide(*b.minW));
    if (b.minH) windowWidget->setMinimumHeight(BoundedSide(*b.minH));
    if (b.maxW) windowWidget->setMaximumWidth(std::clamp(*b.maxW, 0, QWIDGETSIZE_MAX));
    if (b.maxH) windowWidget->setMaximumHeight(std::clamp(*b.maxH, 0, QWIDGETSIZE_MAX));
  }
  return b.request;
}

void WindowObject::Resize(int, int, int w, int h) {
  if (child_)
    child_->Place(placement.left, placement.top, Saturate(L{w} - placement.left - placement.right),
                  Saturate(L{h} - placement.top - placement.bottom));
}

Size SingleBoxObject::CalculateSize() {
  const Size c = RequestChildPlusMargins();
  return {std::max(width, c.w), std::max(height, c.h)};
}

void SingleBoxObject::Resize(int x, int y, int w, int h) {
  if (!child_) return;
  const Rect r = PlaceChild(placement, {x, y, w, h}, childReq_);
  child_->Place(r.x, r.y, r.w, r.h);
}

Size ContainerObject::CalculateSize() {
  const Size c = RequestChildPlusMargins();
  if (flags & flag::ContainerFlat)
    border_ = {2, 2};
  else if (flags)
    border_ = {2 * SystemBorderWidth(), 2 * SystemBorderWidth()};
  else
    border_ = {0, 0};
  borderComputed_ = true;
  return {std::max(width, Saturate(L{c.w} + border_.w)),
          std::max(height, Saturate(L{c.h} + border_.h))};
}

void ContainerObject::Resize(int x, int y, int w, int h) {
  DialogObject::Resize(x, y, w, h);
  if (!child_) return;
  const int iw = Saturate(L{w} - border_.w), ih = Saturate(L{h} - border_.h);
  const Rect area =
      borderComputed_ ? Rect{border_.w / 2, border_.h / 2, iw, ih} : Rect{0, 0, iw, ih};
  const Rect r = PlaceChild(placement, area, childReq_);
  child_->Place(r.x, r.y, r.w, r.h);
}

int FrameObject::Caption() const {
  auto* box = qobject_cast<QGroupBox*>(widget.data());
  return std::max(10, box ? CaptionHeight(box) : 0);
}

Size FrameObject::CalculateSize() {
  const Size c = RequestChildPlusMargins();
  const int t = Caption();
  return {std::max(width, Saturate(L{c.w} + 8)), std::max(height, Saturate(L{c.h} + 4 + t))};
}

void FrameObject::Resize(int x, int y, int w, int h) {
  DialogObject::Resize(x, y, w, h);
  if (!child_) return;
  const int t = Caption();
  const Rect area{Saturate(L{x} + 4), Saturate(L{y} + t), Saturate(L{w} - 8),
                  Saturate(L{h} - 4 - t)};
  const Rect r = PlaceChild(placement, area, childReq_);
  child_->Place(r.x, r.y, r.w, r.h);
}

Size CanvasContainerObject::CalculateSize() {
  if (!child_) {
    const QSize n = widget ? NaturalSize(widget) : QSize(0, 0);
    childReq_ = {};
    return {std::max(width, n.width()), std::max(height, n.height())};
  }
  const Size c = RequestChildPlusMargins();
  return {std::max(width, c.w), std::max(height, c.h)};
}

void CanvasContainerObject::Resize(int x, int y, int w, int h) {
  DialogObject::Resize(x, y, w, h);
  if (!child_) return;
  const Rect r = PlaceChild(placement, {0, 0, w, h}, childReq_);
  child_->Place(r.x, r.y, r.w, r.h);
}

TabObject::TabObject(RuntimeState& rt, PanelControl* panel, int index)
    : SingleChildObject(rt, Kind::Tab, false), panel_(panel), index_(index) {}

Size TabObject::CalculateSize() {
  const Size c = RequestChildPlusMargins();
  return {std::max(width, c.w), std::max(height, c.h)};
}

void TabObject::Resize(int, int, int w, int h) {
  if (!child_) return;
  const Rect r = PlaceChild(placement, {0, 0, w, h}, childReq_);
  child_->Place(r.x, r.y, r.w, r.h);
}

void TabObject::RefreshText() {
  if (hasText && panel_) panel_->SetPageTitle(index_, text);
  if (child_) child_->RefreshText();
}

Size ScrollAreaObject::CalculateSize() {
  childReq_ = child_ ? child_->Request() : Size{};
  return ScrollAreaRequest(params.mode, placement, childReq_, width, height);
}

void ScrollAreaObject::Resize(int x, int y, int w, int h) {
  DialogObject::Resize(x, y, w, h);
  const ScrollInner in =
      ScrollAreaInner(params.mode, placement, childReq_, params.innerW, params.innerH, w, h);
  if (!child_ || !widget) return;
  const Rect r = PlaceChild(placement, {0, 0, in.iw, in.ih}, childReq_);
  QWidget* inner = bxw::ScrollAreaInner(area);
  QSize size = inner->size();
  if (params.innerW == -1) size.setWidth(BoundedSide(L{r.w} + placement.left + placement.right));
  if (params.innerH == -1) size.setHeight(BoundedSide(L{r.h} + placement.top + placement.bottom));
  inner->resize(size);
  SettleScrollArea(area);
  child_->Place(r.x, r.y, r.w, r.h);
}

// ---- splitter ----

SplitterObject::SplitterObject(RuntimeState& rt) : DialogObject(rt, Kind::Splitter) {}

SplitterObject::~SplitterObject() {
  children_[0].reset();
  children_[1].reset();
  for (int i = 0; i < 2; ++i)
    if (paneKeys[i]) rt_.UnbindPane(paneKeys[i], panes[i]);
}

Size SplitterObject::CalculateSize() {
  for (int i = 0; i < 2; ++i) {
    lastChildReq_[i] = children_[i] ? children_[i]->Request() : Size{};
    if (children_[i] && autoMin[i] && widget)
      SetSplitterMinimum(splitter, i, vertical ? lastChildReq_[i].w : lastChildReq_[i].h);
  }
  return SplitterRequest(vertical, flags & flag::SplitterSeparator, lastChildReq_[0],
                         lastChildReq_[1], width, height);
}

void SplitterObject::Resize(int x, int y, int w, int h) {
  DialogObject::Resize(x, y, w, h);
  if (!widget) return;
  // A hidden splitter gets no resize events: lay the panes out and relay them here.
  LayoutSplitterPanes(splitter);
  PaneResized(panes[0]);
  PaneResized(panes[1]);
}

void SplitterObject::PaneResized(QWidget* pane) {
  const int i = pane == panes[0].data() ? 0 : pane == panes[1].data() ? 1 : -1;
  if (i < 0 || !pane || !children_[i]) return;
  int w = pane->width(), h = pane->height();
  // Across the split a pane is as long as the splitter, which may be longer than the control Qt
  // got (cut to the largest side). Along the split, Qt's splitter shares its own length out.
  if (lastRect && widget) {
    if (vertical && widget->height() == kMaxControlSide && lastRect->h > h) h = lastRect->h;
    if (!vertical && widget->width() == kMaxControlSide && lastRect->w > w) w = lastRect->w;
  }
  children_[i]->Place(0, 0, w, h);
}

void SplitterObject::AddChild(std::unique_ptr<DialogObject> child, const XmlNode&) {
  child->parent = this;
  if (count_ >= 2) {
    // Two panes, two children: a third has nowhere to go.
    rt_.Error(QStringLiteral("<splitter> node can only have two children."));
    unattached_.push_back(std::move(child));
    return;
  }
  const int i = count_++;
  rt_.CloseList();
  if (count_ < 2) rt_.OpenList(panes[1]);
  children_[i] = std::move(child);
}

DialogObject* SplitterObject::FindByName(const QString& n) {
  if (DialogObject* self = DialogObject::FindByName(n)) return self;
  for (auto& c : children_)
    if (c)
      if (DialogObject* hit = c->FindByName(n)) return hit;
  return nullptr;
}

void SplitterObject::FinishChildren() {
  rt_.CreatePendingOptions(*this);
  // With fewer than two children a pane's list is still open: close it, so that the
  // splitter's following siblings are not created inside the pane.
  if (count_ < 2) rt_.CloseList();
}

void SplitterObject::RefreshText() {
  for (auto& c : children_)
    if (c) c->RefreshText();
}

}  // namespace bxw::dialog
