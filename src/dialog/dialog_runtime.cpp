#include "dialog/dialog_runtime.h"

#include "dialog/runtime_state.h"
#include "platform/widgets/control_factory.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

namespace {

bool Is(const QString& a, const char* b) {
  return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// A window element matches when no name is asked for, or when its first `name` attribute
// equals the name (case-insensitive).
bool WindowMatches(const XmlNode& element, const QString& name) {
  if (!Is(element.Name(), "window")) return false;
  if (name.isEmpty()) return true;
  for (const XmlAttribute& a : element.Attributes())
    if (Is(a.name, "name")) return a.value.compare(name, Qt::CaseInsensitive) == 0;
  return false;
}

const XmlNode* FindWindowElement(const XmlDocument& xml, const QString& name) {
  const XmlNode* main = xml.MainElement();
  if (!main) return nullptr;
  if (Is(main->Name(), "window")) return WindowMatches(*main, name) ? main : nullptr;
  if (!Is(main->Name(), "dialogs")) return nullptr;
  for (const XmlNode* n = main->FirstChild(); n; n = n->NextSibling())
    if (n->IsElement() && WindowMatches(*n, name)) return n;
  return nullptr;
}

}  // namespace

DialogRuntime::DialogRuntime() : s_(std::make_unique<RuntimeState>()) {}

DialogRuntime::~DialogRuntime() = default;

int DialogRuntime::CreateDialog(int number) {
  if (number < -1) return 0;
  if (number == kAny) {
    while (s_->dialogs.count(s_->nextDialog)) ++s_->nextDialog;
    number = s_->nextDialog++;
  } else if (auto it = s_->dialogs.find(number); it != s_->dialogs.end()) {
    // Asking for a number in use replaces that dialog.
    s_->Teardown(*it->second);
    s_->dialogs.erase(it);
  }
  s_->dialogs[number] = std::make_unique<Dialog>();
  return number == 0 ? 1 : number;
}

int DialogRuntime::OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name) {
  return OpenXMLDialog(dialog, xml, name, 0, 0, 0, 0, nullptr);
}

int DialogRuntime::OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name, int x,
                                 int y) {
  return OpenXMLDialog(dialog, xml, name, x, y, 0, 0, nullptr);
}

int DialogRuntime::OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name, int x,
                                 int y, int width, int height, QWidget* parentWindow) {
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end()) return 0;
  Dialog& d = *it->second;
  d.hasError = false;
  d.error.clear();
  s_->panelStack.clear();
  s_->opening_ = &d;
  // A window still open on this dialog would lose its owner: close it first.
  if (d.root) s_->Teardown(d);
  int result = 0;
  if (const XmlNode* element = FindWindowElement(xml, name)) {
    result = s_->Open(d, element, x, y, width, height, parentWindow);
  } else {
    s_->Error(QStringLiteral("Dialog window not found"));
  }
  s_->panelStack.clear();
  s_->opening_ = nullptr;
  return result;
}

int DialogRuntime::DialogWindow(int dialog) const {
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end() || !it->second->root) return -1;
  return it->second->windowNumber;
}

int DialogRuntime::DialogGadget(int dialog, const QString& name) const {
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end() || !it->second->root) return -1;
  const DialogObject* hit = it->second->root->FindByName(name);
  return hit ? hit->control : -1;
}

void DialogRuntime::RefreshDialog(int dialog) {
  auto it = s_->dialogs.find(dialog);
  if (it != s_->dialogs.end()) s_->Refresh(*it->second);
}

QString DialogRuntime::DialogErrorText(int dialog) const {
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end() || !it->second->hasError) return QString();
  return QString::fromLatin1(it->second->error);
}

void DialogRuntime::DestroyDialog(int dialog) {
  if (dialog == kAny) {
    for (auto& [n, d] : s_->dialogs) s_->Teardown(*d);
    s_->dialogs.clear();
    return;
  }
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end()) return;
  s_->Teardown(*it->second);
  s_->dialogs.erase(it);
}

bool DialogRuntime::DialogExists(int dialog) const {
  return s_->dialogs.count(dialog) != 0;
}

QSize DialogRuntime::WindowClientSize(int dialog) const {
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end() || !it->second->root || !it->second->window) return QSize();
  QSize size = it->second->window->size();
  if (const auto& laid = it->second->root->lastRect) {
    if (size.width() == kMaxControlSide && laid->w > kMaxControlSide) size.setWidth(laid->w);
    if (size.height() == kMaxControlSide && laid->h > kMaxControlSide) size.setHeight(laid->h);
  }
  return size;
}

QWidget* DialogRuntime::WindowID(int window) const {
  auto it = s_->windows.find(window);
  return it == s_->windows.end() ? nullptr : it->second.data();
}

QWidget* DialogRuntime::GadgetID(int gadget) const {
  auto it = s_->gadgets.find(gadget);
  return it == s_->gadgets.end() ? nullptr : it->second.data();
}

SymbolRegistry& DialogRuntime::Symbols() {
  return s_->symbols;
}

const DialogObject* DialogRuntime::Root(int dialog) const {
  auto it = s_->dialogs.find(dialog);
  return it == s_->dialogs.end() ? nullptr : it->second->root.get();
}

std::vector<DialogRuntime::ObjectInfo> DialogRuntime::CreatedObjects(int dialog) const {
  std::vector<ObjectInfo> out;
  auto it = s_->dialogs.find(dialog);
  if (it == s_->dialogs.end() || !it->second->root) return out;
  for (const DialogObject* o : it->second->created) out.push_back({o, o->depth});
  return out;
}

size_t DialogRuntime::WindowMapSize() const {
  return s_->windowMap.size();
}
size_t DialogRuntime::SplitterMapSize() const {
  return s_->splitterMap.size();
}
size_t DialogRuntime::GadgetCount() const {
  return s_->gadgets.size();
}
int DialogRuntime::PanelStackDepth() const {
  return static_cast<int>(s_->panelStack.size());
}

}  // namespace bxw::dialog
