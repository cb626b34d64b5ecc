#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include "platform/widgets/control_factory.h"
#include "platform/widgets/qt_values.h"

namespace bxw {

namespace {

// Flag values of the kinds whose look depends on them.
constexpr uint32_t kButtonRight = 0x200, kButtonLeft = 0x100, kButtonDefault = 0x1,
                   kButtonToggle = 0x1003;
constexpr uint32_t kCheckBoxThreeState = 0x5;
constexpr uint32_t kComboEditable = 0x42;
constexpr uint32_t kEditorReadOnly = 0x800, kEditorWordWrap = 0x10000000;
constexpr uint32_t kTextCenter = 0x1, kTextRight = 0x2, kTextBorder = 0x20000;
constexpr uint32_t kStringPassword = 0x20, kStringReadOnly = 0x800, kStringNumeric = 0x2000,
                   kStringBorderLess = 0x20000;
constexpr uint32_t kListViewMulti = 0x800;
constexpr uint32_t kListIconMulti = 0x4, kListIconGrid = 0x10000, kListIconFullRow = 0x40000000;
constexpr uint32_t kTreeNoButtons = 0x1;
constexpr uint32_t kProgressVertical = 0x4;
constexpr uint32_t kScrollBarVertical = 0x1;
constexpr uint32_t kTrackBarTicks = 0x1, kTrackBarVertical = 0x2;
constexpr uint32_t kSpinReadOnly = 0x1;
constexpr uint32_t kHyperLinkUnderline = 0x1;
constexpr uint32_t kImageBorder = 0x200, kImageRaised = 0x1;
constexpr uint32_t kCanvasBorder = 0x1;
constexpr uint32_t kContainerFlat = 0x1, kContainerRaised = 0x2, kContainerSingle = 0x4,
                   kContainerDouble = 0x8;
constexpr uint32_t kScrollAreaBorderLess = 0x8;
constexpr uint32_t kWindowTool = 0x4, kWindowBorderLess = 0x80000000;

// A drawing surface: white, optionally framed.
class CanvasControl : public QWidget {
public:
  CanvasControl(QWidget* parent, bool border) : QWidget(parent), border_(border) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  QSize sizeHint() const override { return {0, 0}; }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (border_) {
      painter.setPen(palette().color(QPalette::Mid));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }

private:
  bool border_;
};

// Date masks of the dialog format (%yyyy, %mm, %dd, %hh, %ii, %ss) into Qt's display format.
QString DateFormatFromMask(const QString& mask) {
  if (mask.isEmpty()) return QStringLiteral("yyyy-MM-dd");
  QString out;
  for (int i = 0; i < mask.size(); ++i) {
    const QStringView rest = QStringView(mask).mid(i);
    auto take = [&](const char* key, const char* fmt) {
      if (!rest.startsWith(QLatin1String(key), Qt::CaseInsensitive)) return false;
      out += QLatin1String(fmt);
      i += static_cast<int>(qstrlen(key)) - 1;
      return true;
    };
    if (take("%yyyy", "yyyy") || take("%yy", "yy") || take("%mm", "MM") || take("%dd", "dd") ||
        take("%hh", "HH") || take("%ii", "mm") || take("%ss", "ss"))
      continue;
    const QChar c = mask[i];
    if (c.isLetter())
      out += QLatin1Char('\'') + c + QLatin1Char('\'');
    else
      out += c;
  }
  return out;
}

// Qt takes the magnitude of a slider step; that of INT_MIN does not exist.
int SliderStep(int step) {
  return step == INT_MIN ? INT_MAX : step;
}

// ---- leaf controls, one maker per kind ----

QWidget* NewButton(QWidget* parent, const ControlParams& p) {
  auto* b = new QPushButton(p.text, parent);
  if ((p.flags & kButtonToggle) == kButtonToggle)
    b->setCheckable(true);
  else if (p.flags & kButtonDefault)
    b->setDefault(true);
  if (p.flags & (kButtonLeft | kButtonRight))
    b->setStyleSheet(p.flags & kButtonRight ? QStringLiteral("text-align: right")
                                            : QStringLiteral("text-align: left"));
  return b;
}

QWidget* NewCheckBox(QWidget* parent, const ControlParams& p) {
  auto* c = new QCheckBox(p.text, parent);
  if ((p.flags & kCheckBoxThreeState) == kCheckBoxThreeState) c->setTristate(true);
  return c;
}

QWidget* NewImage(QWidget* parent, const ControlParams& p) {
  auto* l = new QLabel(parent);
  if (p.flags & kImageBorder)
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  else if (p.flags & kImageRaised)
    l->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return l;
}

QWidget* NewOption(QWidget* parent, const ControlParams& p) {
  return new QRadioButton(p.text, parent);
}

QWidget* NewListView(QWidget* parent, const ControlParams& p) {
  auto* l = new QListWidget(parent);
  if (p.flags & kListViewMulti) l->setSelectionMode(QAbstractItemView::MultiSelection);
  return l;
}

QWidget* NewListIcon(QWidget* parent, const ControlParams& p) {
  auto* t = new QTreeWidget(parent);
  t->setColumnCount(1);
  t->setHeaderLabels({p.text});
  t->setColumnWidth(0, 300);
  t->setRootIsDecorated(false);
  if (p.flags & kListIconMulti) t->setSelectionMode(QAbstractItemView::MultiSelection);
  if (!(p.flags & kListIconFullRow)) t->setSelectionBehavior(QAbstractItemView::SelectItems);
  if (p.flags & kListIconGrid)
    t->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
  return t;
}

QWidget* NewTree(QWidget* parent, const ControlParams& p) {
  auto* t = new QTreeWidget(parent);
  t->setHeaderHidden(true);
  if (p.flags & kTreeNoButtons) t->setRootIsDecorated(false);
  return t;
}

QWidget* NewComboBox(QWidget* parent, const ControlParams& p) {
  auto* c = new QComboBox(parent);
  c->setEditable((p.flags & kComboEditable) == kComboEditable);
  return c;
}

QWidget* NewText(QWidget* parent, const ControlParams& p) {
  auto* l = new QLabel(p.text, parent);
  Qt::Alignment a = Qt::AlignTop;
  a |= (p.flags & kTextRight)    ? Qt::AlignRight
       : (p.flags & kTextCenter) ? Qt::AlignHCenter
                                 : Qt::AlignLeft;
  l->setAlignment(a);
  if (p.flags & kTextBorder) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return l;
}

QWidget* NewString(QWidget* parent, const ControlParams& p) {
  auto* e = new QLineEdit(p.text, parent);
  if (p.flags & kStringPassword) e->setEchoMode(QLineEdit::Password);
  if (p.flags & kStringReadOnly) e->setReadOnly(true);
  if (p.flags & kStringNumeric) e->setValidator(new QIntValidator(0, INT_MAX, e));
  if (p.flags & kStringBorderLess) e->setFrame(false);
  return e;
}

QWidget* NewEditor(QWidget* parent, const ControlParams& p) {
  auto* e = new QTextEdit(parent);
  e->setReadOnly(p.flags & kEditorReadOnly);
  e->setLineWrapMode((p.flags & kEditorWordWrap) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  e->setPlainText(p.text);
  return e;
}

QWidget* NewScintilla(QWidget* parent, const ControlParams&) {
  return new QsciScintilla(parent);
}

QWidget* NewScrollBar(QWidget* parent, const ControlParams& p) {
  auto* s = new QScrollBar((p.flags & kScrollBarVertical) ? Qt::Vertical : Qt::Horizontal, parent);
  // The last value a full page can start at; 64 bits, as max and page are the file's.
  const long long last = std::max<long long>(p.min, static_cast<long long>(p.max) - p.page + 1);
  s->setRange(p.min, static_cast<int>(std::min<long long>(last, INT_MAX)));
  s->setPageStep(SliderStep(p.page));
  s->setValue(p.value);
  return s;
}

QWidget* NewProgressBar(QWidget* parent, const ControlParams& p) {
  auto* b = new QProgressBar(parent);
  b->setRange(p.min, p.max);
  b->setValue(p.value);
  b->setTextVisible(false);
  if (p.flags & kProgressVertical) b->setOrientation(Qt::Vertical);
  return b;
}

// explorerlist and explorertree: a view over the file system from the text's folder.
QWidget* NewExplorerView(QAbstractItemView* view, bool foldersOnly, const ControlParams& p) {
  auto* model = new QFileSystemModel(view);
  if (foldersOnly) model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  const QString path = p.text.isEmpty() ? QDir::rootPath() : p.text;
  view->setModel(model);
  view->setRootIndex(model->setRootPath(path));
  if (auto* tree = qobject_cast<QTreeView*>(view)) {
    tree->setHeaderHidden(true);
    for (int c = 1; c < 4; ++c) tree->hideColumn(c);
  }
  return view;
}

QWidget* NewExplorerList(QWidget* parent, const ControlParams& p) {
  return NewExplorerView(new QListView(parent), false, p);
}

QWidget* NewExplorerTree(QWidget* parent, const ControlParams& p) {
  return NewExplorerView(new QTreeView(parent), true, p);
}

QWidget* NewExplorerCombo(QWidget* parent, const ControlParams& p) {
  auto* c = new QComboBox(parent);
  c->addItem(p.text.isEmpty() ? QDir::rootPath() : p.text);
  return c;
}

QWidget* NewShortcut(QWidget* parent, const ControlParams&) {
  return new QKeySequenceEdit(parent);
}

QWidget* NewButtonImage(QWidget* parent, const ControlParams& p) {
  auto* b = new QToolButton(parent);
  b->setCheckable((p.flags & kButtonToggle) == kButtonToggle);
  return b;
}

QWidget* NewTrackBar(QWidget* parent, const ControlParams& p) {
  auto* s = new QSlider((p.flags & kTrackBarVertical) ? Qt::Vertical : Qt::Horizontal, parent);
  s->setRange(p.min, p.max);
  s->setValue(p.value);
  if (p.flags & kTrackBarTicks) s->setTickPosition(QSlider::TicksBelow);
  return s;
}

QWidget* NewCanvas(QWidget* parent, const ControlParams& p) {
  return new CanvasControl(parent, p.flags & kCanvasBorder);
}

QWidget* NewCalendar(QWidget* parent, const ControlParams&) {
  return new QCalendarWidget(parent);
}

QWidget* NewDate(QWidget* parent, const ControlParams& p) {
  auto* d = new QDateEdit(QDate::currentDate(), parent);
  d->setDisplayFormat(DateFormatFromMask(p.text));
  return d;
}

QWidget* NewSpin(QWidget* parent, const ControlParams& p) {
  auto* s = new QSpinBox(parent);
  s->setRange(p.min, p.max);
  s->setValue(p.value);
  s->setReadOnly(p.flags & kSpinReadOnly);
  bool ok = false;
  const int v = p.text.toInt(&ok);
  if (ok) s->setValue(v);
  return s;
}

QWidget* NewWeb(QWidget* parent, const ControlParams& p) {
  // No network: the page shows the address it would load.
  auto* b = new QTextBrowser(parent);
  b->setOpenLinks(false);
  b->setPlainText(p.text);
  return b;
}

QWidget* NewHyperLink(QWidget* parent, const ControlParams& p) {
  auto* l = new QLabel(p.text, parent);
  const QColor hover = QColorOfPlatformColour(p.color);
  l->setCursor(Qt::PointingHandCursor);
  l->setStyleSheet(QStringLiteral("QLabel { color: palette(link); %1 } QLabel:hover { color: %2; }")
                       .arg((p.flags & kHyperLinkUnderline)
                                ? QStringLiteral("text-decoration: underline;")
                                : QString(),
                            hover.name()));
  l->setAttribute(Qt::WA_Hover);
  return l;
}

QWidget* NewIPAddress(QWidget* parent, const ControlParams&) {
  auto* e = new QLineEdit(parent);
  e->setInputMask(QStringLiteral("000.000.000.000;_"));
  return e;
}

using LeafMaker = QWidget* (*)(QWidget* parent, const ControlParams& p);

struct LeafEntry {
  ControlKind kind;
  LeafMaker make;
};

constexpr LeafEntry kLeafMakers[] = {
    {ControlKind::Button, NewButton},
    {ControlKind::CheckBox, NewCheckBox},
    {ControlKind::Image, NewImage},
    {ControlKind::Option, NewOption},
    {ControlKind::ListView, NewListView},
    {ControlKind::ListIcon, NewListIcon},
    {ControlKind::Tree, NewTree},
    {ControlKind::ComboBox, NewComboBox},
    {ControlKind::Text, NewText},
    {ControlKind::String, NewString},
    {ControlKind::Editor, NewEditor},
    {ControlKind::Scintilla, NewScintilla},
    {ControlKind::ScrollBar, NewScrollBar},
    {ControlKind::ProgressBar, NewProgressBar},
    {ControlKind::ExplorerList, NewExplorerList},
    {ControlKind::ExplorerTree, NewExplorerTree},
    {ControlKind::ExplorerCombo, NewExplorerCombo},
    {ControlKind::Shortcut, NewShortcut},
    {ControlKind::ButtonImage, NewButtonImage},
    {ControlKind::TrackBar, NewTrackBar},
    {ControlKind::Canvas, NewCanvas},
    {ControlKind::Calendar, NewCalendar},
    {ControlKind::Date, NewDate},
    {ControlKind::Spin, NewSpin},
    {ControlKind::Web, NewWeb},
    {ControlKind::HyperLink, NewHyperLink},
    {ControlKind::IPAddress, NewIPAddress},
};

}  // namespace

QWidget* CreateLeafControl(ControlKind kind, QWidget* parent, const ControlParams& p) {
  for (const LeafEntry& e : kLeafMakers) {
    if (e.kind != kind) continue;
    QWidget* w = e.make(parent, p);
    w->setGeometry(0, 0, 0, 0);
    return w;
  }
  return nullptr;
}

QWidget* CreateWindowControl(QWidget* parent, const QString& title, uint32_t flags) {
  Qt::WindowFlags wf = Qt::Window;
  if (flags & kWindowTool) wf = Qt::Tool;
  if (flags & kWindowBorderLess) wf |= Qt::FramelessWindowHint;
  auto* w = new QWidget(parent, wf);
  w->setWindowTitle(title);
  w->setAutoFillBackground(true);
  return w;
}

QWidget* CreateContainerControl(QWidget* parent, uint32_t flags) {
  auto* f = new QFrame(parent);
  if (flags & kContainerFlat) {
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setLineWidth(1);
  } else if (flags & (kContainerRaised | kContainerSingle | kContainerDouble)) {
    f->setFrameStyle(QFrame::Panel |
                     ((flags & kContainerRaised) ? QFrame::Raised : QFrame::Sunken));
    f->setLineWidth(SystemBorderWidth());
  }
  f->setGeometry(0, 0, 0, 0);
  return f;
}

QGroupBox* CreateFrameControl(QWidget* parent, const QString& text, uint32_t) {
  auto* g = new QGroupBox(text, parent);
  g->setGeometry(0, 0, 0, 0);
  return g;
}

QWidget* CreateCanvasControl(QWidget* parent, uint32_t flags) {
  auto* c = new CanvasControl(parent, flags & kCanvasBorder);
  c->setGeometry(0, 0, 0, 0);
  return c;
}

// ---- panel ----

PanelControl::PanelControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
  bar_->setDrawBase(false);
  QObject::connect(bar_, &QTabBar::currentChanged, this, [this](int i) { ShowPage(i); });
  setGeometry(0, 0, 0, 0);
}

QWidget* PanelControl::AddPage(int index, const QString& title) {
  index = std::clamp(index, 0, PageCount());
  auto* page = new QWidget(this);
  pages_.insert(pages_.begin() + index, page);
  bar_->insertTab(index, title);
  ShowPage(bar_->currentIndex());
  LayoutPages();
  return page;
}

void PanelControl::SetPageTitle(int index, const QString& title) {
  if (index >= 0 && index < PageCount()) bar_->setTabText(index, title);
}

int PanelControl::TabRowHeight() const {
  return bar_->sizeHint().height();
}

QSize PanelControl::PageSize() const {
  return {width() - 4, height() - TabRowHeight() - 2};
}

void PanelControl::LayoutPages() {
  const int th = TabRowHeight();
  bar_->setGeometry(0, 0, std::min(width(), bar_->sizeHint().width()), th);
  for (QWidget* page : pages_) page->setGeometry(2, th, width() - 4, height() - th - 2);
}

void PanelControl::ShowPage(int index) {
  for (int i = 0; i < PageCount(); ++i) pages_[i]->setVisible(i == index);
}

void PanelControl::resizeEvent(QResizeEvent*) {
  LayoutPages();
}

void PanelControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionTabWidgetFrame opt;
  opt.initFrom(this);
  const int th = TabRowHeight();
  opt.rect = QRect(0, th - 1, width(), height() - th + 1);
  opt.tabBarSize = bar_->size();
  opt.shape = QTabBar::RoundedNorth;
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &painter, this);
}

// ---- scroll area ----

QScrollArea* CreateScrollAreaControl(QWidget* parent, int innerW, int innerH, int step,
                                     uint32_t flags) {
  auto* area = new QScrollArea(parent);
  auto* inner = new QWidget;
  inner->resize(BoundedSide(innerW), BoundedSide(innerH));
  area->setWidget(inner);
  area->setWidgetResizable(false);
  area->horizontalScrollBar()->setSingleStep(SliderStep(step));
  area->verticalScrollBar()->setSingleStep(SliderStep(step));
  if (flags & kScrollAreaBorderLess) area->setFrameShape(QFrame::NoFrame);
  area->setGeometry(0, 0, 0, 0);
  return area;
}

QWidget* ScrollAreaInner(QScrollArea* area) {
  return area->widget();
}

void SettleScrollArea(QScrollArea* area) {
  // Resizing the area lays the viewport and bars out; resizing the viewport sets the scroll
  // ranges; the second round lays the viewport out beside the bars those ranges call for. Qt
  // queues that second round itself, for an event loop that may never run here: done now, the
  // queued one has nothing left to do.
  QWidget* viewport = area->viewport();
  for (int round = 0; round < 2; ++round) {
    QResizeEvent a(area->size(), area->size());
    QCoreApplication::sendEvent(area, &a);
    QResizeEvent v(viewport->size(), viewport->size());
    QCoreApplication::sendEvent(viewport, &v);
  }
  QCoreApplication::removePostedEvents(area, QEvent::MetaCall);
}

// ---- splitter ----

QSplitter* CreateSplitterControl(QWidget* parent, bool vertical, bool separator, QWidget** first,
                                 QWidget** second) {
  auto* s = new QSplitter(vertical ? Qt::Horizontal : Qt::Vertical, parent);
  s->setChildrenCollapsible(false);
  s->setHandleWidth(separator ? 7 : 4);
  *first = new QWidget;
  *second = new QWidget;
  s->addWidget(*first);
  s->addWidget(*second);
  s->setGeometry(0, 0, 0, 0);
  return s;
}

void SetSplitterMinimum(QSplitter* splitter, int pane, int size) {
  QWidget* w = splitter->widget(pane);
  if (!w) return;
  if (splitter->orientation() == Qt::Horizontal)
    w->setMinimumWidth(BoundedSide(size));
  else
    w->setMinimumHeight(BoundedSide(size));
}

void LayoutSplitterPanes(QSplitter* splitter) {
  splitter->refresh();
}

// ---- geometry ----

int BoundedSide(long long side) {
  return static_cast<int>(std::clamp<long long>(side, 0, kMaxControlSide));
}

void PlaceControl(QWidget* control, int x, int y, int w, int h, bool holdsControls) {
  using L = long long;
  L x0 = x, y0 = y;
  L x1 = x0 + std::max(w, 0), y1 = y0 + std::max(h, 0);
  QWidget* parent = control->isWindow() ? nullptr : control->parentWidget();
  if (!holdsControls && parent) {
    x0 = std::max<L>(x0, -kControlOverhang);
    y0 = std::max<L>(y0, -kControlOverhang);
    x1 = std::max(x0, std::min<L>(x1, L{parent->width()} + kControlOverhang));
    y1 = std::max(y0, std::min<L>(y1, L{parent->height()} + kControlOverhang));
  }
  control->setGeometry(static_cast<int>(std::clamp<L>(x0, -kFarPosition, kFarPosition)),
                       static_cast<int>(std::clamp<L>(y0, -kFarPosition, kFarPosition)),
                       BoundedSide(x1 - x0), BoundedSide(y1 - y0));
}

void ForgetPolishRequests(QWidget* control) {
  QCoreApplication::removePostedEvents(control, QEvent::PolishRequest);
  if (control->children().isEmpty()) return;  // most controls have no inner widgets
  for (QWidget* inner : control->findChildren<QWidget*>())
    QCoreApplication::removePostedEvents(inner, QEvent::PolishRequest);
}

// ---- measuring ----

QSize NaturalSize(QWidget* control) {
  const QSize s = control->sizeHint();
  return {std::max(s.width(), 0), std::max(s.height(), 0)};
}

int ListItemHeight(QWidget* list) {
  auto* view = qobject_cast<QListWidget*>(list);
  if (!view) return 0;
  if (view->count() > 0) return view->sizeHintForRow(0);
  view->addItem(QStringLiteral("Xg"));
  const int h = view->sizeHintForRow(0);
  delete view->takeItem(0);
  return h;
}

int ListEdges(QWidget* list) {
  auto* frame = qobject_cast<QFrame*>(list);
  return frame ? 2 * frame->frameWidth() : 0;
}

int CaptionHeight(QGroupBox* frame) {
  if (frame->title().isEmpty()) return 0;
  return frame->fontMetrics().boundingRect(frame->title()).height();
}

int SystemBorderWidth() {
  return QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

void SetControlText(QWidget* control, const QString& text) {
  if (auto* b = qobject_cast<QAbstractButton*>(control))
    b->setText(text);
  else if (auto* l = qobject_cast<QLabel*>(control))
    l->setText(text);
  else if (auto* e = qobject_cast<QLineEdit*>(control))
    e->setText(text);
  else if (auto* t = qobject_cast<QTextEdit*>(control))
    t->setPlainText(text);
  else if (auto* g = qobject_cast<QGroupBox*>(control))
    g->setTitle(text);
  else if (auto* tw = qobject_cast<QTreeWidget*>(control))
    tw->setHeaderLabels({text});
  else if (auto* s = qobject_cast<QsciScintilla*>(control))
    s->setText(text);
  else if (control->isWindow())
    control->setWindowTitle(text);
}

}  // namespace bxw
