#pragma once
// One DialogObject per created element of a dialog's window. The nine operations are virtual
// functions; the kind families are intermediate classes, the kinds override slot by slot. Free
// (slot 8) is the destructor: children are owned through unique_ptr, and the kinds that enter
// runtime maps leave them there.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dialog/attributes.h"
#include "dialog/layout_math.h"

class QGroupBox;
class QScrollArea;
class QSplitter;

namespace bxw {
class XmlNode;
class PanelControl;
}  // namespace bxw

namespace bxw::dialog {

class RuntimeState;

struct PendingOption {
  class DialogObject* object;
  int group;
  const XmlNode* element;
};

class DialogObject {
public:
  DialogObject(RuntimeState& rt, Kind kind);
  DialogObject(const DialogObject&) = delete;
  DialogObject& operator=(const DialogObject&) = delete;
  virtual ~DialogObject();  // Free

  virtual Size SizeRequest();                                                          // slot 0
  virtual Size CalculateSize();                                                        // slot 1
  virtual void Resize(int x, int y, int w, int h);                                     // slot 2
  virtual void AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element);  // slot 3
  virtual void SetHidden(bool hide);                                                   // slot 4
  virtual DialogObject* FindByName(const QString& name);                               // slot 5
  virtual void FinishChildren();                                                       // slot 6
  virtual void RefreshText();                                                          // slot 7

  // Whether children are placed in the coordinates of this object's control (containers,
  // canvas containers, scroll areas, panels, splitters).
  virtual bool HoldsControls() const { return false; }

  // Every caller goes through these, so that the last request and placement can be inspected.
  Size Request();
  void Place(int x, int y, int w, int h);
  Size Request(DialogObject* child) { return child ? child->Request() : Size{}; }

  // Common fields.
  DialogObject* parent = nullptr;
  int control = -1;
  QPointer<QWidget> widget;  // the control's widget (owned by the window's widget tree)
  int requestedId = -1;
  uint32_t flags = 0;
  Kind kind;
  bool folded = false;
  int width = 0;
  int height = 0;
  bool hasName = false;
  QString name;
  bool hasText = false;
  QString text;
  std::vector<PendingOption> pendingOptions;

  // The gadget list the object was created in: its rectangle is in this widget's coordinates.
  QPointer<QWidget> list;

  // Inspection.
  int depth = 0;
  QString elementName;
  std::optional<Size> lastRequest;
  std::optional<Rect> lastRect;

protected:
  RuntimeState& rt_;
  // Children that no layout slot takes (earlier children of a single-child container, children
  // of leaf controls): created as the file asks, owned here so that they are freed.
  std::vector<std::unique_ptr<DialogObject>> unattached_;
};

// Leaf controls sized by their natural size.
class NaturalLeaf : public DialogObject {
public:
  using DialogObject::DialogObject;
  Size SizeRequest() override;
  void Resize(int x, int y, int w, int h) override;
};

// listview: height rounded to whole rows.
class ListViewLeaf : public DialogObject {
public:
  using DialogObject::DialogObject;
  Size SizeRequest() override;
};

// ---- multi-child family ----
class MultiChildObject : public DialogObject {
public:
  using DialogObject::DialogObject;
  void AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element) override;
  void SetHidden(bool hide) override;
  DialogObject* FindByName(const QString& name) override;
  void RefreshText() override;
  int ChildCount() const { return static_cast<int>(children_.size()); }
  DialogObject* Child(int i) const { return children_[i].get(); }

protected:
  std::vector<std::unique_ptr<DialogObject>> children_;
};

class BoxObject : public MultiChildObject {
public:
  BoxObject(RuntimeState& rt, Kind kind);
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  BoxParams params;

private:
  std::vector<int> axis_;
  int axisTotal_ = 0;
};

class MultiBoxObject : public MultiChildObject {
public:
  using MultiChildObject::MultiChildObject;
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
};

class GridObject : public MultiChildObject {
public:
  GridObject(RuntimeState& rt, const GridParams& params);
  void AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element) override;
  void FinishChildren() override;
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  const GridTable& Table() const { return table_; }
  GridParams params;

private:
  GridTable table_;
};

class PanelObject : public MultiChildObject {
public:
  PanelObject(RuntimeState& rt, PanelControl* control, bool pushed);
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  void FinishChildren() override;
  PanelControl* Control() const { return panel_; }
  bool HoldsControls() const override { return true; }

private:
  PanelControl* panel_;
  bool pushed_;  // entered the PanelStack (not when the stack was full)
};

// ---- single-child family ----
class SingleChildObject : public DialogObject {
public:
  SingleChildObject(RuntimeState& rt, Kind kind, bool closesList);
  void AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element) override;
  void SetHidden(bool hide) override;
  DialogObject* FindByName(const QString& name) override;
  void FinishChildren() override;
  void RefreshText() override;
  DialogObject* Child() const { return child_.get(); }
  Placement placement;

protected:
  Size RequestChildPlusMargins();  // stores the child request
  std::unique_ptr<DialogObject> child_;
  Size childReq_;
  bool closesList_;
};

class WindowObject : public SingleChildObject {
public:
  explicit WindowObject(RuntimeState& rt);
  ~WindowObject() override;
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  int windowNumber = -1;
  QPointer<QWidget> windowWidget;  // the window keeps its own field; its control stays -1
  QObject* mapKey = nullptr;       // its key in the window map, valid even after the widget died
  uint32_t windowFlags = 0;
  int minW = kBoundUnset, minH = kBoundUnset, maxW = kBoundUnset, maxH = kBoundUnset;
};

class SingleBoxObject : public SingleChildObject {
public:
  explicit SingleBoxObject(RuntimeState& rt) : SingleChildObject(rt, Kind::SingleBox, false) {}
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
};

class ContainerObject : public SingleChildObject {
public:
  explicit ContainerObject(RuntimeState& rt) : SingleChildObject(rt, Kind::Container, true) {}
  bool HoldsControls() const override { return true; }
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;

private:
  Size border_;
  bool borderComputed_ = false;
};

class FrameObject : public SingleChildObject {
public:
  explicit FrameObject(RuntimeState& rt) : SingleChildObject(rt, Kind::Frame, false) {}
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;

private:
  int Caption() const;
};

class CanvasContainerObject : public SingleChildObject {
public:
  explicit CanvasContainerObject(RuntimeState& rt) : SingleChildObject(rt, Kind::Canvas, true) {}
  bool HoldsControls() const override { return true; }
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
};

class TabObject : public SingleChildObject {
public:
  TabObject(RuntimeState& rt, PanelControl* panel, int index);
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  void RefreshText() override;
  int TabIndex() const { return index_; }

private:
  PanelControl* panel_;
  int index_;
};

class ScrollAreaObject : public SingleChildObject {
public:
  explicit ScrollAreaObject(RuntimeState& rt) : SingleChildObject(rt, Kind::ScrollArea, true) {}
  bool HoldsControls() const override { return true; }
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  ScrollAreaParams params;
  QScrollArea* area = nullptr;
};

// ---- splitter ----
class SplitterObject : public DialogObject {
public:
  explicit SplitterObject(RuntimeState& rt);
  ~SplitterObject() override;
  bool HoldsControls() const override { return true; }
  Size CalculateSize() override;
  void Resize(int x, int y, int w, int h) override;
  void AddChild(std::unique_ptr<DialogObject> child, const XmlNode& element) override;
  DialogObject* FindByName(const QString& name) override;
  void FinishChildren() override;
  void RefreshText() override;
  // The size-change handler of one pane.
  void PaneResized(QWidget* pane);

  QSplitter* splitter = nullptr;
  QPointer<QWidget> panes[2];
  QObject* paneKeys[2] = {nullptr, nullptr};  // keys in the splitter map
  bool autoMin[2] = {false, false};
  bool vertical = false;

private:
  std::unique_ptr<DialogObject> children_[2];
  int count_ = 0;
  Size lastChildReq_[2];
};

}  // namespace bxw::dialog
