#pragma once
// Everything a DialogRuntime owns, and the services the object kinds use while a window is built
// and laid out. Not part of the runtime's public interface.
#include <QButtonGroup>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "dialog/dialog_object.h"
#include "dialog/symbol_registry.h"

namespace bxw::dialog {

// Hostile files can nest elements arbitrarily deep; layout and teardown recurse over the object
// tree, so the depth is bounded when the tree is built.
inline constexpr int kMaxNesting = 128;
inline constexpr int kPanelStackSize = 32;

struct Dialog {
  std::unique_ptr<WindowObject> root;  // null: nothing open
  bool hasError = false;
  QByteArray error;                    // 8-bit, as the messages are formatted
  std::vector<int> controls;           // numbers this dialog registered
  std::vector<DialogObject*> created;  // creation order, for inspection
  QPointer<QWidget> window;
  int windowNumber = -1;
};

class RuntimeState;

// Relays size changes of windows and splitter panes to their objects.
class RuntimeEventFilter : public QObject {
public:
  explicit RuntimeEventFilter(RuntimeState& rt) : rt_(rt) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  RuntimeState& rt_;
};

class RuntimeState {
public:
  RuntimeState();
  ~RuntimeState();

  // ---- errors: only the first of an open is kept ----
  void Error(const QString& message);
  bool HasError() const { return opening_ && opening_->hasError; }

  // ---- gadget lists (the widget new controls are created in) ----
  QWidget* CurrentList() const { return lists_.empty() ? nullptr : lists_.back().data(); }
  void OpenList(QWidget* list) { lists_.emplace_back(list); }
  void CloseList() {
    if (lists_.size() > 1) lists_.pop_back();
  }
  void ReplaceList(QWidget* list) {
    if (lists_.size() > 1)
      lists_.back() = list;
    else
      lists_.emplace_back(list);
  }

  // ---- controls ----
  // Enters a created control in the number table; sets the object's control and widget.
  void RegisterControl(DialogObject& object, QWidget* control);
  // Option buttons created one after another in the same list share one group.
  void JoinOptionRun(QWidget* option);
  void BreakOptionRun() { optionGroup_ = nullptr; }

  // ---- attribute evaluation ----
  void EvaluateCommon(DialogObject& object, const XmlNode& element);
  void EvaluatePlacement(SingleChildObject& object, const XmlNode& element, int margin);
  void BindEvents(DialogObject& object, const XmlNode& element, uint32_t capabilities);
  void ApplyState(DialogObject& object, const XmlNode& element);
  void CreatePendingOptions(DialogObject& parent);

  std::unique_ptr<DialogObject> CreateObject(Kind kind, const XmlNode& element,
                                             DialogObject* parent);

  // ---- maps and handlers ----
  void BindWindow(WindowObject* object, QWidget* window);
  // The key is only compared; the widget may already be gone.
  void UnbindWindow(QObject* key, QWidget* window);
  void BindPane(SplitterObject* splitter, QWidget* pane);
  void UnbindPane(QObject* key, QWidget* pane);
  void OnResized(QObject* watched);

  // ---- opening and teardown ----
  int Open(Dialog& dialog, const XmlNode* windowElement, int x, int y, int w, int h,
           QWidget* parentWindow);
  void Walk(const XmlNode& windowElement, WindowObject& window);
  void Teardown(Dialog& dialog);
  void Refresh(Dialog& dialog);
  // Lays the window out at (at least) the given client size and sizes the window to it.
  void LayoutWindow(Dialog& dialog, int w, int h);

  SymbolRegistry symbols;
  struct PanelEntry {
    PanelObject* panel;
    int nextTab;
  };
  std::vector<PanelEntry> panelStack;
  std::unordered_map<QObject*, WindowObject*> windowMap;
  std::unordered_map<QObject*, SplitterObject*> splitterMap;
  std::map<int, QPointer<QWidget>> gadgets;
  std::map<int, QPointer<QWidget>> windows;
  std::map<int, std::unique_ptr<Dialog>> dialogs;
  int nextGadget = 0x100000;
  int nextWindow = 0x100000;
  int nextDialog = 0x100000;
  Dialog* opening_ = nullptr;
  int depth_ = 0;  // nesting depth of the object being created

private:
  // One factory per kind; `list` is the gadget list current when the element was reached.
  std::unique_ptr<DialogObject> CreateBox(Kind kind, const XmlNode& element);
  std::unique_ptr<DialogObject> CreateMultiBox(const XmlNode& element);
  std::unique_ptr<DialogObject> CreateSingleBox(const XmlNode& element);
  std::unique_ptr<DialogObject> CreateGrid(const XmlNode& element);
  std::unique_ptr<DialogObject> CreateEmpty(const XmlNode& element);
  std::unique_ptr<DialogObject> CreateContainer(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreateFrame(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreateCanvas(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreatePanel(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreateTab(const XmlNode& element);
  std::unique_ptr<DialogObject> CreateScrollArea(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreateSplitter(const XmlNode& element, QWidget* list);
  std::unique_ptr<DialogObject> CreateOption(const XmlNode& element, DialogObject* parent,
                                             QWidget* list);
  // The other leaf controls: the object of the kind's family, then its control.
  std::unique_ptr<DialogObject> NewLeafObject(Kind kind);
  std::unique_ptr<DialogObject> CreateLeaf(Kind kind, const XmlNode& element, QWidget* list);

  std::vector<QPointer<QWidget>> lists_;
  QPointer<QWidget> optionList_;
  QPointer<QButtonGroup> optionGroup_;
  RuntimeEventFilter filter_;
  int layoutGuard_ = 0;  // our own window resizes are not size-change events
};

}  // namespace bxw::dialog
