#include "app/windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace bxw {

QStringList DroppedFiles(const QMimeData* mime) {
  QStringList files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)) {
  setCentralWidget(area_);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAcceptDrops(true);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!onCloseRequest || onCloseRequest())
    event->accept();
  else
    event->ignore();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedFiles(event->mimeData());
  event->acceptProposedAction();
  if (onDrop && !files.isEmpty()) onDrop(files);
}

ToolSubWindow::ToolSubWindow(QWidget* parent) : QMdiSubWindow(parent) {
  setAcceptDrops(true);
  // Tool windows have no close, minimise or maximise buttons and stay above the preview.
  setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowStaysOnTopHint);
}

void ToolSubWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

void ToolSubWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ToolSubWindow::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedFiles(event->mimeData());
  event->acceptProposedAction();
  if (onDrop && !files.isEmpty()) onDrop(files);
}

void ToolSubWindow::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  if (onResize) onResize();
}

QWidget* TreeRenameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
  if (!allowEdit || !allowEdit(index)) return nullptr;
  return QStyledItemDelegate::createEditor(parent, option, index);
}

void TreeRenameDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const {
  // The model is rebuilt from the design tree by the rename itself; never write the label here.
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line && onRenamed) onRenamed(index, line->text());
}

DesignTreeWidget::DesignTreeWidget(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Labels are edited only through the Rename command, never by a click.
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void DesignTreeWidget::keyReleaseEvent(QKeyEvent* event) {
  if (onKeyRelease && !event->isAutoRepeat()) onKeyRelease(event);
  QTreeWidget::keyReleaseEvent(event);
}

void DesignTreeWidget::contextMenuEvent(QContextMenuEvent* event) {
  if (onRightClick) onRightClick(event->globalPos());
  event->accept();
}

}  // namespace bxw

namespace bxw {

void DesignTreeWidget::mousePressEvent(QMouseEvent* event) {
  pressItem_ = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : nullptr;
  pressPos_ = event->position().toPoint();
  QTreeWidget::mousePressEvent(event);
}

void DesignTreeWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool active = dragging && dragging();
  if (!active && pressItem_ && (event->buttons() & Qt::LeftButton) &&
      (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
    if (onDragStart) onDragStart(pressItem_);
    pressItem_ = nullptr;
  }
  if (dragging && dragging()) {
    if (onDragMove) onDragMove(pos);
    return;
  }
  QTreeWidget::mouseMoveEvent(event);
}

void DesignTreeWidget::mouseReleaseEvent(QMouseEvent* event) {
  pressItem_ = nullptr;
  if (event->button() == Qt::LeftButton && dragging && dragging()) {
    if (onDrop) onDrop(event->position().toPoint());
    return;
  }
  QTreeWidget::mouseReleaseEvent(event);
}

}  // namespace bxw
