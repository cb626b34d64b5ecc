#pragma once
// The controls of the dialog runtime: one Qt widget per element kind, created at 0, 0 with size
// 0 x 0 inside the current parent. Geometry is always set by the runtime's own layout.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QScrollArea;
class QSplitter;
class QTabBar;

namespace bxw {

// Element kind codes of dialog XML.
enum class ControlKind : uint8_t {
  None = 0,
  Window = 1,
  Button = 3,
  CheckBox = 4,
  Image = 5,
  Option = 6,
  ListView = 7,
  ListIcon = 8,
  Tree = 9,
  Container = 10,
  ComboBox = 11,
  Text = 12,
  String = 13,
  Panel = 14,
  Tab = 15,
  ScrollArea = 16,
  Frame = 17,
  Editor = 20,
  Scintilla = 21,
  ScrollBar = 22,
  ProgressBar = 23,
  ExplorerList = 24,
  ExplorerTree = 25,
  ExplorerCombo = 26,
  Splitter = 27,
  Shortcut = 28,
  ButtonImage = 29,
  TrackBar = 30,
  Canvas = 31,
  Calendar = 32,
  Date = 33,
  Spin = 34,
  Web = 35,
  HyperLink = 36,
  IPAddress = 37,
  VBox = 101,
  HBox = 102,
  MultiBox = 103,
  SingleBox = 104,
  GridBox = 105,
  Empty = 106,
};

struct ControlParams {
  QString text;
  uint32_t flags = 0;
  int min = 0;
  int max = 100;
  int page = 10;
  int value = 0;
  int color = 0xFF0000;  // 0xBBGGRR
};

// A leaf control (also option buttons and the non-container canvas).
QWidget* CreateLeafControl(ControlKind kind, QWidget* parent, const ControlParams& p);

// Top-level window, created hidden; `parent` may be null.
QWidget* CreateWindowControl(QWidget* parent, const QString& title, uint32_t flags);
QWidget* CreateContainerControl(QWidget* parent, uint32_t flags);
QGroupBox* CreateFrameControl(QWidget* parent, const QString& text, uint32_t flags);
QWidget* CreateCanvasControl(QWidget* parent, uint32_t flags);

// Tabbed panel whose pages are placed by the runtime: tab row on top, page area below it
// inset by two pixels on the left, right and bottom.
class PanelControl : public QWidget {
public:
  explicit PanelControl(QWidget* parent);
  // Adds a page with the given title at `index` and answers the page widget.
  QWidget* AddPage(int index, const QString& title);
  void SetPageTitle(int index, const QString& title);
  int TabRowHeight() const;
  QSize PageSize() const;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  QWidget* Page(int index) const { return pages_.at(index); }
  QTabBar* TabBar() const { return bar_; }
  void LayoutPages();

protected:
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

private:
  void ShowPage(int index);
  QTabBar* bar_;
  std::vector<QWidget*> pages_;
};

// Scroll area with the inner widget that holds its children.
QScrollArea* CreateScrollAreaControl(QWidget* parent, int innerW, int innerH, int step,
                                     uint32_t flags);
QWidget* ScrollAreaInner(QScrollArea* area);

// Splitter over two pane widgets; vertical = panes side by side.
QSplitter* CreateSplitterControl(QWidget* parent, bool vertical, bool separator, QWidget** first,
                                 QWidget** second);
void SetSplitterMinimum(QSplitter* splitter, int pane, int size);
// Lays the panes out for the splitter's current geometry, also while it is hidden.
void LayoutSplitterPanes(QSplitter* splitter);

// What a hostile file can make the runtime hand to Qt is bounded: styles paint a control through
// a pixmap of the control's size, so a control is never made larger than kMaxControlSide a side,
// and a control that holds no controls of its own reaches at most kControlOverhang pixels past
// its parent's area (the rest could never be seen). Positions stay within kFarPosition, clear
// of Qt's own 32-bit rectangle arithmetic.
inline constexpr int kMaxControlSide = 16384;
inline constexpr int kControlOverhang = 1024;
inline constexpr int kFarPosition = 1 << 24;

// Moves and sizes a control to the rectangle the layout gave it, within the bounds above;
// `holdsControls` for containers whose children are placed in their coordinates (those keep
// their position and are only cut to the largest side).
void PlaceControl(QWidget* control, int x, int y, int w, int h, bool holdsControls);
// A window's or inner area's size handed to Qt, within the largest side.
int BoundedSide(long long side);

// Forgets the polish requests Qt posted for a new control and its inner widgets. No event loop
// may run before the runtime tears a window down again (the companion, tests), and Qt scans the
// whole queue of posted events once for every destroyed widget that still has one, which makes
// teardown quadratic. Polishing is not lost: showing a window polishes all of its widgets.
void ForgetPolishRequests(QWidget* control);

// Lays a scroll area's viewport and scroll bars out for its current geometry and inner size,
// also while it is hidden (Qt does that only on the resize events of a shown widget).
void SettleScrollArea(QScrollArea* area);

// Natural size of a control (its size hint; an invalid hint counts as 0).
QSize NaturalSize(QWidget* control);
// Row height of a list control and its two borders together.
int ListItemHeight(QWidget* list);
int ListEdges(QWidget* list);
// Height of a frame's caption text measured with its own font.
int CaptionHeight(QGroupBox* frame);
// The system's border width, for container borders.
int SystemBorderWidth();

// Text of a control for RefreshText.
void SetControlText(QWidget* control, const QString& text);

}  // namespace bxw
