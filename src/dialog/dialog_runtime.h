#pragma once
// The dialog runtime: turns one `window` element of dialog XML into a live window, lays it out
// by the two-pass size protocol and again on every resize. One DialogRuntime owns all of its
// state (dialog table, window map, splitter map, PanelStack, SymbolRegistry).
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace bxw {
class XmlDocument;
}

namespace bxw::dialog {

class DialogObject;
class RuntimeState;
class SymbolRegistry;

inline constexpr int kAny = -1;

// A host (the live preview) typically does:
//   int d = rt.CreateDialog(kAny);
//   if (!rt.OpenXMLDialog(d, xml, name)) show rt.DialogErrorText(d);
//   QWidget* w = rt.WindowID(rt.DialogWindow(d));           // embed or reparent it
//   QWidget* g = rt.GadgetID(rt.DialogGadget(d, "button1")); // fonts, colours, tooltips
//   rt.RefreshDialog(d);                                     // after changing natural sizes
//   rt.DestroyDialog(d);                                     // before the next open
class DialogRuntime {
public:
  DialogRuntime();
  ~DialogRuntime();  // destroys every dialog
  DialogRuntime(const DialogRuntime&) = delete;
  DialogRuntime& operator=(const DialogRuntime&) = delete;

  // Nonzero on success; with kAny the answer is the new dialog's number.
  int CreateDialog(int number);
  // Nonzero on success. The short forms pass 0 for the missing values.
  int OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name);
  int OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name, int x, int y);
  int OpenXMLDialog(int dialog, const XmlDocument& xml, const QString& name, int x, int y,
                    int width, int height, QWidget* parentWindow = nullptr);
  // Window number of the open window, or -1.
  int DialogWindow(int dialog) const;
  // Control number of the first object with that name (case-insensitive), or -1.
  int DialogGadget(int dialog, const QString& name) const;
  void RefreshDialog(int dialog);
  QString DialogErrorText(int dialog) const;
  // kAny destroys every dialog.
  void DestroyDialog(int dialog);
  bool DialogExists(int dialog) const;

  // The open window's client size as laid out: its widget's size, except that a side cut to the
  // largest side Qt is handed counts at its laid-out length. Empty when no window is open.
  QSize WindowClientSize(int dialog) const;

  // The widgets behind window and control numbers (null when the number is unknown).
  QWidget* WindowID(int window) const;
  QWidget* GadgetID(int gadget) const;

  SymbolRegistry& Symbols();

  // Inspection, for the companion's layout listing and for tests.
  struct ObjectInfo {
    const DialogObject* object;
    int depth;  // 1 for the window's child
  };
  const DialogObject* Root(int dialog) const;
  std::vector<ObjectInfo> CreatedObjects(int dialog) const;
  size_t WindowMapSize() const;
  size_t SplitterMapSize() const;
  size_t GadgetCount() const;
  int PanelStackDepth() const;

private:
  std::unique_ptr<RuntimeState> s_;
};

}  // namespace bxw::dialog
