#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "dialog/hit_test.h"

namespace bxw {

namespace dialog {
class DialogRuntime;
}

// The preview as a design surface: a transparent sheet over the previewed window that takes the
// mouse, so a click picks the object under it instead of operating a control, and that outlines
// the selected object (and, fainter, the one under the pointer) by the rectangles the runtime
// laid out. It never touches the layout or the controls beneath it.
class PreviewSurface final : public QWidget {
  Q_OBJECT
public:
  PreviewSurface(const dialog::DialogRuntime& runtime, int dialog, QWidget* window);
  ~PreviewSurface() override;

  // The object to outline, by name (case-insensitive); empty for none.
  void SetSelected(const QString& name);
  // A left click picks the object under it: its name (the window's when no child holds the
  // point).
  std::function<void(const QString& name)> onPick;

  // The outlines in the window's client coordinates; empty rectangles when there is none.
  QRect SelectedRect();
  QRect HoverRect();
  // The laid-out objects, built again when the window was laid out anew.
  const dialog::HitTree& Tree();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  QRect NodeRect(int node);
  int NodeAt(QPoint at);
  QString NameOf(int node);

  const dialog::DialogRuntime& runtime_;
  int dialog_;
  QPointer<QWidget> window_;
  dialog::HitTree tree_;
  bool stale_ = true;
  QString selected_;
  int hover_ = -1;
};

}  // namespace bxw
