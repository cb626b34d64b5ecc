#include "dialog/runtime_state.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>
#include <algorithm>

#include "platform/value_forms.h"
#include "platform/widgets/control_factory.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

namespace {

bool Is(const QString& a, const char* b) {
  return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

using namespace event_code;

// Mouse and focus events of one bound control, relayed to its procedure. Lives as a child of
// the watched widget, so it goes away with it.
class EventRelay : public QObject {
public:
  EventRelay(QWidget* watched, int type, SymbolRegistry::Procedure proc, int control, bool mouse,
             bool leftClicks, bool focus)
      : QObject(watched),
        type_(type),
        proc_(std::move(proc)),
        control_(control),
        mouse_(mouse),
        leftClicks_(leftClicks),
        focus_(focus) {
    setObjectName(QLatin1String(kName));
    watched->installEventFilter(this);
  }
  // Teardown removes relays by this name before the widgets go: deleting widgets moves focus,
  // and no procedure may run for a dialog that is being destroyed.
  static constexpr const char* kName = "bxw_event_relay";
  bool eventFilter(QObject*, QEvent* e) override {
    int t = -1;
    const bool isFocus = e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut;
    if (isFocus ? !focus_ : !mouse_) return false;
    switch (e->type()) {
      case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) t = kRightClick;
        break;
      case QEvent::MouseButtonRelease:
        if (leftClicks_ && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
          t = kLeftClick;
        break;
      case QEvent::MouseButtonDblClick:
        t = static_cast<QMouseEvent*>(e)->button() == Qt::RightButton ? kRightDoubleClick
                                                                      : kLeftDoubleClick;
        break;
      case QEvent::FocusIn:
        t = kFocus;
        break;
      case QEvent::FocusOut:
        t = kLostFocus;
        break;
      default:
        break;
    }
    if (t != -1 && (type_ == -1 || type_ == t)) proc_(control_, t);
    return false;
  }

private:
  int type_;
  SymbolRegistry::Procedure proc_;
  int control_;
  bool mouse_;
  bool leftClicks_;
  bool focus_;
};

// Delivers the control's signals and events that correspond to an event type to a bound
// procedure. Drag starts are not relayed.
void ConnectEvent(QWidget* w, int control, int type, const SymbolRegistry::Procedure& proc) {
  auto wants = [type](int t) { return type == -1 || type == t; };
  auto fire = [proc, control](int t) { proc(control, t); };
  auto* button = qobject_cast<QAbstractButton*>(w);
  auto* view = qobject_cast<QAbstractItemView*>(w);
  if (button && wants(kLeftClick))
    QObject::connect(button, &QAbstractButton::clicked, button, [fire] { fire(kLeftClick); });
  if (wants(kChange)) {
    auto change = [fire] { fire(kChange); };
    if (auto* e = qobject_cast<QLineEdit*>(w))
      QObject::connect(e, &QLineEdit::textEdited, e, change);
    else if (auto* c = qobject_cast<QComboBox*>(w))
      QObject::connect(c, &QComboBox::currentIndexChanged, c, change);
    else if (auto* s = qobject_cast<QSpinBox*>(w))
      QObject::connect(s, &QSpinBox::valueChanged, s, change);
    else if (auto* d = qobject_cast<QDateTimeEdit*>(w))
      QObject::connect(d, &QDateTimeEdit::dateTimeChanged, d, change);
    else if (auto* p = dynamic_cast<PanelControl*>(w))
      QObject::connect(p->TabBar(), &QTabBar::currentChanged, p, change);
    else if (view && view->selectionModel())
      QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view, change);
  }
  if (view && wants(kLeftClick))
    QObject::connect(view, &QAbstractItemView::clicked, view, [fire] { fire(kLeftClick); });
  if (view) {
    // Mouse events of item views arrive at their viewport, focus at the view itself.
    new EventRelay(view->viewport(), type, proc, control, true, false, false);
    new EventRelay(view, type, proc, control, false, false, true);
  } else {
    new EventRelay(w, type, proc, control, true, !button, true);
  }
}

}  // namespace

bool RuntimeEventFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) rt_.OnResized(watched);
  return false;
}

RuntimeState::RuntimeState() : filter_(*this) {}

RuntimeState::~RuntimeState() {
  for (auto& [number, dialog] : dialogs) Teardown(*dialog);
  dialogs.clear();
}

void RuntimeState::Error(const QString& message) {
  if (!opening_ || opening_->hasError) return;
  opening_->hasError = true;
  // Messages are 8-bit texts formatted into a 512-byte buffer.
  opening_->error = message.toLatin1().left(511);
}

// ---- controls ----

void RuntimeState::RegisterControl(DialogObject& object, QWidget* control) {
  const int number = object.requestedId >= 0 ? object.requestedId : nextGadget++;
  gadgets[number] = control;
  object.control = number;
  object.widget = control;
  ForgetPolishRequests(control);
  if (opening_) opening_->controls.push_back(number);
  if (!qobject_cast<QRadioButton*>(control)) BreakOptionRun();
}

void RuntimeState::JoinOptionRun(QWidget* option) {
  auto* button = qobject_cast<QAbstractButton*>(option);
  if (!button) return;
  QWidget* list = option->parentWidget();
  if (!optionGroup_ || optionList_ != list) {
    optionGroup_ = new QButtonGroup(list);
    optionGroup_->setExclusive(true);
    optionList_ = list;
  }
  optionGroup_->addButton(button);
}

// ---- attribute evaluation ----

void RuntimeState::EvaluateCommon(DialogObject& o, const XmlNode& element) {
  o.elementName = element.Name();
  for (const XmlAttribute& a : element.Attributes()) {
    const QString& v = a.value;
    if (Is(a.name, "id")) {
      if (Is(v, "#PB_Any")) {
        o.requestedId = -1;
        continue;
      }
      if (v.isEmpty())
        Error(QStringLiteral("<%1> '%2' can't have empty value.").arg(element.Name(), a.name));
      if (v.startsWith(QLatin1Char('#'))) {
        if (auto r = symbols.Value(v))
          o.requestedId = *r;
        else
          Error(QStringLiteral("'%1' constant is not found or not declared as runtime.").arg(v));
      } else {
        o.requestedId = symbols.Value(v).value_or(IntegerText(v));
      }
    } else if (Is(a.name, "name")) {
      o.hasName = true;
      o.name = v;
    } else if (Is(a.name, "text")) {
      o.hasText = true;
      o.text = v;
    } else if (Is(a.name, "width") || Is(a.name, "height")) {
      if (v.isEmpty())
        Error(QStringLiteral("<%1> '%2' can't have empty value.").arg(element.Name(), a.name));
      const int n = symbols.Value(v).value_or(IntegerText(v));
      (Is(a.name, "width") ? o.width : o.height) = n;
    } else if (Is(a.name, "folded")) {
      if (Is(v, "yes")) o.folded = true;
    } else if (Is(a.name, "flags")) {
      o.flags |= EvaluateFlags(o.kind, v, symbols, [&](const QString& flagName) {
        Error(QStringLiteral("'#%1' flag is not supported for the following gadget: %2")
                  .arg(flagName, element.Name()));
      });
    }
  }
}

void RuntimeState::EvaluatePlacement(SingleChildObject& o, const XmlNode& element, int margin) {
  EvaluateCommon(o, element);
  o.placement = ParsePlacement(element, margin);
}

void RuntimeState::BindEvents(DialogObject& o, const XmlNode& element, uint32_t capabilities) {
  if (o.control == -1) return;
  for (const XmlAttribute& a : element.Attributes()) {
    EventInfo info;
    if (!FindEvent(a.name, &info)) continue;
    if (info.capability && !(capabilities & info.capability)) {
      Error(QStringLiteral("'%1' is not supported for the following gadget: %2")
                .arg(a.name, element.Name()));
      continue;
    }
    SymbolRegistry::Procedure proc = symbols.Lookup(a.value);
    if (!proc) {
      Error(QStringLiteral("'%1' is not a runtime procedure.").arg(a.value));
      continue;
    }
    if (o.widget) ConnectEvent(o.widget, o.control, info.eventType, proc);
  }
}

void RuntimeState::ApplyState(DialogObject& o, const XmlNode& element) {
  if (!o.widget) return;
  for (const XmlAttribute& a : element.Attributes()) {
    if (!Is(a.value, "yes")) continue;
    if (Is(a.name, "disabled"))
      o.widget->setEnabled(false);
    else if (Is(a.name, "invisible"))
      o.widget->hide();
  }
}

void RuntimeState::CreatePendingOptions(DialogObject& parent) {
  std::vector<PendingOption> pending = std::move(parent.pendingOptions);
  parent.pendingOptions.clear();
  size_t done = 0;
  std::vector<bool> created(pending.size(), false);
  for (size_t first = 0; done < pending.size(); ++first) {
    if (created[first]) continue;
    const int group = pending[first].group;
    // A new run of option buttons starts here, whatever was created before.
    BreakOptionRun();
    for (size_t i = first; i < pending.size(); ++i) {
      if (created[i] || pending[i].group != group) continue;
      DialogObject& o = *pending[i].object;
      ControlParams params;
      params.text = o.text;
      QWidget* w = CreateLeafControl(Kind::Option, CurrentList(), params);
      RegisterControl(o, w);
      JoinOptionRun(w);
      ApplyState(o, *pending[i].element);
      created[i] = true;
      ++done;
    }
  }
}

// ---- object creation ----

std::unique_ptr<DialogObject> RuntimeState::CreateObject(Kind kind, const XmlNode& element,
                                                         DialogObject* parent) {
  QWidget* list = CurrentList();
  switch (kind) {
    case Kind::HBox:
    case Kind::VBox:
      return CreateBox(kind, element);
    case Kind::MultiBox:
      return CreateMultiBox(element);
    case Kind::SingleBox:
      return CreateSingleBox(element);
    case Kind::GridBox:
      return CreateGrid(element);
    case Kind::Empty:
      return CreateEmpty(element);
    case Kind::Container:
      return CreateContainer(element, list);
    case Kind::Frame:
      return CreateFrame(element, list);
    case Kind::Canvas:
      return CreateCanvas(element, list);
    case Kind::Panel:
      return CreatePanel(element, list);
    case Kind::Tab:
      return CreateTab(element);
    case Kind::ScrollArea:
      return CreateScrollArea(element, list);
    case Kind::Splitter:
      return CreateSplitter(element, list);
    case Kind::Option:
      return CreateOption(element, parent, list);
    case Kind::Window:
    case Kind::None:
      return nullptr;
    default:
      return CreateLeaf(kind, element, list);
  }
}

std::unique_ptr<DialogObject> RuntimeState::CreateBox(Kind kind, const XmlNode& element) {
  auto box = std::make_unique<BoxObject>(*this, kind);
  EvaluateCommon(*box, element);
  box->params = ParseBoxParams(element);
  return box;
}

std::unique_ptr<DialogObject> RuntimeState::CreateMultiBox(const XmlNode& element) {
  auto box = std::make_unique<MultiBoxObject>(*this, Kind::MultiBox);
  EvaluateCommon(*box, element);
  return box;
}

std::unique_ptr<DialogObject> RuntimeState::CreateSingleBox(const XmlNode& element) {
  auto box = std::make_unique<SingleBoxObject>(*this);
  EvaluatePlacement(*box, element, 10);
  return box;
}

std::unique_ptr<DialogObject> RuntimeState::CreateGrid(const XmlNode& element) {
  // Cells are located by dividing by the column count: fewer than one column is taken as one
  // (GridObject clamps).
  auto grid = std::make_unique<GridObject>(*this, ParseGridParams(element));
  EvaluateCommon(*grid, element);
  return grid;
}

std::unique_ptr<DialogObject> RuntimeState::CreateEmpty(const XmlNode& element) {
  auto o = std::make_unique<DialogObject>(*this, Kind::Empty);
  EvaluateCommon(*o, element);
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateContainer(const XmlNode& element, QWidget* list) {
  auto o = std::make_unique<ContainerObject>(*this);
  EvaluatePlacement(*o, element, 10);
  QWidget* w = CreateContainerControl(list, o->flags);
  RegisterControl(*o, w);
  OpenList(w);
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateFrame(const XmlNode& element, QWidget* list) {
  auto o = std::make_unique<FrameObject>(*this);
  EvaluatePlacement(*o, element, 5);
  RegisterControl(*o, CreateFrameControl(list, o->text, o->flags));
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateCanvas(const XmlNode& element, QWidget* list) {
  // The container flag decides the family; the evaluation proper (with its messages) follows in
  // the object's own attribute pass.
  if (IsCanvasContainer(element, symbols)) {
    auto o = std::make_unique<CanvasContainerObject>(*this);
    EvaluatePlacement(*o, element, 10);
    RegisterControl(*o, CreateCanvasControl(list, o->flags));
    BindEvents(*o, element, EventCapabilities(Kind::Canvas));
    OpenList(o->widget);
    return o;
  }
  auto o = std::make_unique<NaturalLeaf>(*this, Kind::Canvas);
  EvaluateCommon(*o, element);
  RegisterControl(*o, CreateCanvasControl(list, o->flags));
  BindEvents(*o, element, EventCapabilities(Kind::Canvas));
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreatePanel(const XmlNode& element, QWidget* list) {
  if (static_cast<int>(panelStack.size()) >= kPanelStackSize) {
    // The PanelStack holds 32 open panels; deeper nesting is refused.
    Error(QStringLiteral("<panel> nodes can only be nested 32 deep."));
    return nullptr;
  }
  auto* control = new PanelControl(list);
  auto o = std::make_unique<PanelObject>(*this, control, true);
  EvaluateCommon(*o, element);
  RegisterControl(*o, control);
  BindEvents(*o, element, EventCapabilities(Kind::Panel));
  // A failed object is dropped by the walk: it must leave no entry behind.
  if (HasError()) return o;
  panelStack.push_back({o.get(), 0});
  OpenList(control);
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateTab(const XmlNode& element) {
  if (panelStack.empty()) {
    Error(QStringLiteral("<tab> node requiers a parent <panel> node."));
    return nullptr;
  }
  PanelEntry& top = panelStack.back();
  PanelControl* panel = top.panel->Control();
  auto o = std::make_unique<TabObject>(*this, panel, top.nextTab);
  EvaluatePlacement(*o, element, 10);
  QWidget* page = panel->AddPage(top.nextTab, o->text);
  ForgetPolishRequests(page);
  o->list = page;  // the tab is laid out in its page's coordinates
  ++top.nextTab;
  ReplaceList(page);
  BreakOptionRun();
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateScrollArea(const XmlNode& element,
                                                             QWidget* list) {
  auto o = std::make_unique<ScrollAreaObject>(*this);
  EvaluatePlacement(*o, element, 10);
  o->params = ParseScrollAreaParams(element);
  const ScrollAreaParams& p = o->params;
  o->area = CreateScrollAreaControl(list, p.innerW, p.innerH, p.step, o->flags);
  RegisterControl(*o, o->area);
  OpenList(bxw::ScrollAreaInner(o->area));
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateSplitter(const XmlNode& element, QWidget* list) {
  auto o = std::make_unique<SplitterObject>(*this);
  EvaluateCommon(*o, element);
  o->vertical = o->flags & flag::SplitterVertical;
  QWidget* panes[2];
  o->splitter = CreateSplitterControl(list, o->vertical, o->flags & flag::SplitterSeparator,
                                      &panes[0], &panes[1]);
  o->panes[0] = panes[0];
  o->panes[1] = panes[1];
  RegisterControl(*o, o->splitter);
  const SplitterParams p = ParseSplitterParams(element);
  for (int pane = 0; pane < 2; ++pane) o->autoMin[pane] = p.autoMin[pane];
  for (const SplitterParams::Minimum& m : p.minimums)
    SetSplitterMinimum(o->splitter, m.pane, m.size);
  OpenList(o->panes[0]);
  BindPane(o.get(), o->panes[0]);
  BindPane(o.get(), o->panes[1]);
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::CreateOption(const XmlNode& element,
                                                         DialogObject* parent, QWidget* list) {
  auto o = std::make_unique<NaturalLeaf>(*this, Kind::Option);
  EvaluateCommon(*o, element);
  const std::optional<int> group = ParseOptionGroup(element, symbols);
  if (group && parent && !HasError()) {
    // Created with the parent's option groups, once all its children exist.
    o->control = o->requestedId;
    parent->pendingOptions.push_back({o.get(), *group, &element});
    // With an id the control number is known already: its event attributes are checked now
    // (the button itself exists only later, so nothing is connected).
    BindEvents(*o, element, EventCapabilities(Kind::Option));
    return o;
  }
  ControlParams params;
  params.text = o->text;
  QWidget* w = CreateLeafControl(Kind::Option, list, params);
  RegisterControl(*o, w);
  JoinOptionRun(w);
  BindEvents(*o, element, EventCapabilities(Kind::Option));
  return o;
}

std::unique_ptr<DialogObject> RuntimeState::NewLeafObject(Kind kind) {
  switch (kind) {
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::Image:
    case Kind::ComboBox:
    case Kind::Text:
    case Kind::String:
    case Kind::ExplorerCombo:
    case Kind::Shortcut:
    case Kind::ButtonImage:
    case Kind::Calendar:
    case Kind::Date:
    case Kind::Spin:
    case Kind::HyperLink:
    case Kind::IPAddress:
      return std::make_unique<NaturalLeaf>(*this, kind);
    case Kind::ListView:
      return std::make_unique<ListViewLeaf>(*this, kind);
    default:
      return std::make_unique<DialogObject>(*this, kind);
  }
}

std::unique_ptr<DialogObject> RuntimeState::CreateLeaf(Kind kind, const XmlNode& element,
                                                       QWidget* list) {
  std::unique_ptr<DialogObject> o = NewLeafObject(kind);
  EvaluateCommon(*o, element);
  const ControlParams params = ParseLeafParams(kind, element, symbols, o->text, o->flags);
  QWidget* w = CreateLeafControl(kind, list, params);
  if (!w) return nullptr;
  RegisterControl(*o, w);
  BindEvents(*o, element, EventCapabilities(kind));
  return o;
}

// ---- maps and handlers ----

void RuntimeState::BindWindow(WindowObject* object, QWidget* window) {
  windowMap[window] = object;
  object->mapKey = window;
  window->installEventFilter(&filter_);
}

void RuntimeState::UnbindWindow(QObject* key, QWidget* window) {
  windowMap.erase(key);
  if (window) window->removeEventFilter(&filter_);
}

void RuntimeState::BindPane(SplitterObject* splitter, QWidget* pane) {
  splitterMap[pane] = splitter;
  splitter->paneKeys[pane == splitter->panes[0].data() ? 0 : 1] = pane;
  pane->installEventFilter(&filter_);
}

void RuntimeState::UnbindPane(QObject* key, QWidget* pane) {
  splitterMap.erase(key);
  if (pane) pane->removeEventFilter(&filter_);
}

void RuntimeState::OnResized(QObject* watched) {
  if (layoutGuard_) return;
  if (auto it = windowMap.find(watched); it != windowMap.end()) {
    auto* w = static_cast<QWidget*>(watched);
    WindowObject* window = it->second;
    int cw = w->width(), ch = w->height();
    if (const auto& laid = window->lastRect) {
      // A side that Qt got cut to the largest side still has its laid-out length.
      if (cw == kMaxControlSide && laid->w > cw) cw = laid->w;
      if (ch == kMaxControlSide && laid->h > ch) ch = laid->h;
      // Showing a window delivers the resize it got while hidden: its layout is done already.
      if (cw == laid->w && ch == laid->h) return;
    }
    ++layoutGuard_;
    window->Place(0, 0, cw, ch);
    --layoutGuard_;
    return;
  }
  if (auto it = splitterMap.find(watched); it != splitterMap.end())
    it->second->PaneResized(static_cast<QWidget*>(watched));
}

// ---- opening ----

int RuntimeState::Open(Dialog& dialog, const XmlNode* element, int x, int y, int w, int h,
                       QWidget* parentWindow) {
  auto win = std::make_unique<WindowObject>(*this);
  EvaluatePlacement(*win, *element, 8);
  win->placement.expandH = win->placement.expandV = false;
  const WindowBoundsParams bounds = ParseWindowBounds(*element);
  win->minW = bounds.minW;
  win->minH = bounds.minH;
  win->maxW = bounds.maxW;
  win->maxH = bounds.maxH;
  if (HasError()) return 0;
  win->windowFlags = win->flags;

  QWidget* window = CreateWindowControl(parentWindow, win->text, win->flags);
  const int number = win->requestedId >= 0 ? win->requestedId : nextWindow++;
  windows[number] = window;
  win->windowNumber = number;
  win->windowWidget = window;
  dialog.window = window;
  dialog.windowNumber = number;
  ForgetPolishRequests(window);
  window->move(x, y);
  window->resize(BoundedSide(w), BoundedSide(h));
  BindWindow(win.get(), window);
  WindowObject* root = win.get();
  dialog.root = std::move(win);

  lists_.clear();
  lists_.emplace_back(window);
  BreakOptionRun();
  Walk(*element, *root);
  if (!HasError()) root->FinishChildren();
  if (HasError()) {
    Teardown(dialog);
    return 0;
  }

  LayoutWindow(dialog, w, h);
  const uint32_t f = root->windowFlags;
  if (f & (flag::WindowScreenCentered | flag::WindowWindowCentered)) {
    QRect area;
    if ((f & flag::WindowWindowCentered) && parentWindow)
      area = parentWindow->window()->geometry();
    else if (QScreen* s = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
      area = s->availableGeometry();
    if (area.isValid())
      window->move(area.center().x() - window->width() / 2,
                   area.center().y() - window->height() / 2);
  }
  if (!(f & flag::WindowInvisible)) window->show();
  return 1;
}

void RuntimeState::Walk(const XmlNode& windowElement, WindowObject& window) {
  struct Frame {
    std::unique_ptr<DialogObject> owned;  // null for the window
    DialogObject* self;
    const XmlNode* element;
    const XmlNode* cursor;  // next child node to visit
  };
  auto finish = [this](std::unique_ptr<DialogObject> object, const XmlNode& element,
                       DialogObject* parent) {
    object->FinishChildren();
    DialogObject* raw = object.get();
    parent->AddChild(std::move(object), element);
    ApplyState(*raw, element);
  };

  // An explicit stack instead of recursion: the file decides how deep it goes.
  std::vector<Frame> stack;
  stack.push_back({nullptr, &window, &windowElement, windowElement.FirstChild()});
  while (!stack.empty() && !HasError()) {
    const XmlNode* node = stack.back().cursor;
    if (!node) {
      if (stack.size() == 1) break;
      Frame done = std::move(stack.back());
      stack.pop_back();
      finish(std::move(done.owned), *done.element, stack.back().self);
      continue;
    }
    stack.back().cursor = node->NextSibling();
    if (!node->IsElement()) continue;
    const Kind kind = KindOfElement(node->Name());
    // Unknown elements are skipped with their subtree; so is a window inside a window.
    if (kind == Kind::None || kind == Kind::Window) continue;
    const int depth = static_cast<int>(stack.size());
    if (depth > kMaxNesting) {
      Error(QStringLiteral("Dialog elements can only be nested %1 levels deep.").arg(kMaxNesting));
      continue;
    }
    DialogObject* parent = stack.back().self;
    QWidget* list = CurrentList();
    std::unique_ptr<DialogObject> object = CreateObject(kind, *node, parent);
    if (!object || HasError()) continue;
    if (kind != Kind::Tab) object->list = list;
    object->depth = depth;
    object->elementName = ElementName(kind);
    opening_->created.push_back(object.get());
    if (node->FirstChild()) {
      DialogObject* self = object.get();
      stack.push_back({std::move(object), self, node, node->FirstChild()});
    } else {
      finish(std::move(object), *node, parent);
    }
  }
  // On an error the unfinished objects of the stack are dropped here; the caller tears down
  // the rest.
}

void RuntimeState::LayoutWindow(Dialog& dialog, int w, int h) {
  if (!dialog.root || !dialog.window) return;
  ++layoutGuard_;
  const Size r = dialog.root->Request();
  const int W = std::max(w, r.w), H = std::max(h, r.h);
  // Sized first: the controls are placed against the client area they will have.
  dialog.window->resize(BoundedSide(W), BoundedSide(H));
  dialog.root->Place(0, 0, W, H);
  --layoutGuard_;
}

void RuntimeState::Refresh(Dialog& dialog) {
  if (!dialog.root || !dialog.window) return;
  LayoutWindow(dialog, dialog.window->width(), dialog.window->height());
}

void RuntimeState::Teardown(Dialog& dialog) {
  for (int number : dialog.controls) {
    // A number taken over by another dialog's control stays with it.
    auto it = gadgets.find(number);
    if (it != gadgets.end() &&
        (!it->second || !dialog.window || dialog.window->isAncestorOf(it->second)))
      gadgets.erase(it);
  }
  if (dialog.windowNumber != -1) {
    auto it = windows.find(dialog.windowNumber);
    if (it != windows.end() && it->second == dialog.window) windows.erase(it);
  }
  dialog.created.clear();
  dialog.controls.clear();
  panelStack.clear();
  if (dialog.window) {
    qDeleteAll(dialog.window->findChildren<QObject*>(QLatin1String(EventRelay::kName)));
    for (QWidget* w : dialog.window->findChildren<QWidget*>()) w->blockSignals(true);
  }
  dialog.root.reset();
  delete dialog.window.data();
  dialog.window = nullptr;
  dialog.windowNumber = -1;
}

}  // namespace bxw::dialog
