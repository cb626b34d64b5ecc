#include "preview/preview_surface.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"

namespace bxw {

PreviewSurface::PreviewSurface(const dialog::DialogRuntime& runtime, int dialog, QWidget* window)
    : QWidget(window), runtime_(runtime), dialog_(dialog), window_(window) {
  setObjectName(QStringLiteral("previewSurface"));
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(window->rect());
  window->installEventFilter(this);
  raise();
  show();
}

PreviewSurface::~PreviewSurface() {
  if (window_) window_->removeEventFilter(this);
}

bool PreviewSurface::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Resize) {
    // The runtime lays the window out again for its new size.
    setGeometry(window_->rect());
    stale_ = true;
    raise();
  }
  return false;
}

const dialog::HitTree& PreviewSurface::Tree() {
  if (stale_) {
    tree_ = dialog::BuildHitTree(runtime_, dialog_);
    stale_ = false;
  }
  return tree_;
}

QString PreviewSurface::NameOf(int node) {
  const dialog::HitTree& t = Tree();
  if (node < 0 || node >= static_cast<int>(t.nodes.size())) return QString();
  const dialog::DialogObject* o = t.nodes[static_cast<size_t>(node)].object;
  return o && o->hasName ? o->name : QString();
}

QRect PreviewSurface::NodeRect(int node) {
  const dialog::HitTree& t = Tree();
  if (node < 0 || node >= static_cast<int>(t.nodes.size())) return QRect();
  const dialog::HitNode& n = t.nodes[static_cast<size_t>(node)];
  if (!n.visible) return QRect();
  const QRect r(n.rect.x, n.rect.y, n.rect.w, n.rect.h);
  return r.intersected(QRect(n.clip.x, n.clip.y, n.clip.w, n.clip.h));
}

int PreviewSurface::NodeAt(QPoint at) {
  return dialog::HitTest(Tree(), at.x(), at.y());
}

void PreviewSurface::SetSelected(const QString& name) {
  if (name == selected_) return;
  selected_ = name;
  update();
}

QRect PreviewSurface::SelectedRect() {
  if (selected_.isEmpty()) return QRect();
  return NodeRect(dialog::HitNodeByName(Tree(), selected_));
}

QRect PreviewSurface::HoverRect() {
  return NodeRect(hover_);
}

void PreviewSurface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor colour = palette().color(QPalette::Highlight);
  // Drawn just around the object (inside the window), with handles at its corners, so that it
  // reads as a selection and not as a control's own focus frame.
  const QRect inside = rect();
  auto frame = [&](const QRect& object) {
    return object.adjusted(-1, -1, 0, 0).intersected(inside);
  };
  const QRect hover = HoverRect();
  const QRect selected = SelectedRect();
  if (!hover.isEmpty() && hover != selected) {
    QColor faint = colour;
    faint.setAlpha(110);
    p.setPen(QPen(faint, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame(hover));
  }
  if (selected.isEmpty()) return;
  const QRect r = frame(selected);
  p.setPen(QPen(colour, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  constexpr int kHandle = 5;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
    QRect handle(0, 0, kHandle, kHandle);
    handle.moveCenter(corner);
    p.drawRect(handle.intersected(inside));
  }
}

void PreviewSurface::mousePressEvent(QMouseEvent* event) {
  event->accept();  // no control beneath gets it
  if (event->button() != Qt::LeftButton) return;
  const int node = NodeAt(event->position().toPoint());
  if (node < 0) return;
  if (onPick) onPick(NameOf(node));
}

void PreviewSurface::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  const int node = NodeAt(event->position().toPoint());
  if (node == hover_) return;
  hover_ = node;
  update();
}

void PreviewSurface::leaveEvent(QEvent*) {
  if (hover_ == -1) return;
  hover_ = -1;
  update();
}

void PreviewSurface::wheelEvent(QWheelEvent* event) {
  // A scroll area beneath still scrolls: its content moves, the values of controls do not.
  event->accept();
  if (!window_) return;
  setAttribute(Qt::WA_TransparentForMouseEvents, true);
  QWidget* under = window_->childAt(event->position().toPoint());
  setAttribute(Qt::WA_TransparentForMouseEvents, false);
  for (QWidget* w = under; w && w != window_; w = w->parentWidget()) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
      const QPointF at = area->viewport()->mapFrom(this, event->position().toPoint());
      QWheelEvent wheel(at, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                        event->buttons(), event->modifiers(), event->phase(), event->inverted());
      QApplication::sendEvent(area->viewport(), &wheel);
      stale_ = true;
      update();
      return;
    }
  }
}

}  // namespace bxw
