#pragma once
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <functional>

class QMdiArea;

namespace bxw {

// The main window: its client area is an MDI area that hosts the preview and the tool windows.
class MainWindow final : public QMainWindow {
  Q_OBJECT
public:
  explicit MainWindow(QWidget* parent = nullptr);
  QMdiArea* Area() const { return area_; }

  std::function<bool()> onCloseRequest;            // answers whether to quit
  std::function<void(const QStringList&)> onDrop;  // local file paths, in drop order

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  QMdiArea* area_;
};

// A tool window inside the main window's client area: cannot be closed, accepts dropped files,
// and reports size changes of its client area.
class ToolSubWindow final : public QMdiSubWindow {
  Q_OBJECT
public:
  explicit ToolSubWindow(QWidget* parent = nullptr);
  std::function<void(const QStringList&)> onDrop;
  std::function<void()> onResize;

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

// In-place editing of tree labels, opened only when the rename latch allows it and never for the
// root; the edited text is handed to onRenamed (empty optional when cancelled).
class TreeRenameDelegate final : public QStyledItemDelegate {
  Q_OBJECT
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  std::function<bool(const QModelIndex&)> allowEdit;
  std::function<void(const QModelIndex&, const QString&)> onRenamed;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
};

// The tree control. Key releases are routed to the designer before the control's own handling.
class DesignTreeWidget final : public QTreeWidget {
  Q_OBJECT
public:
  explicit DesignTreeWidget(QWidget* parent = nullptr);
  std::function<void(QKeyEvent*)> onKeyRelease;
  std::function<void(const QPoint&)> onRightClick;  // global position
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
  // Our own item drag: started by moving the mouse with the left button down on an item, ended
  // by releasing it. Positions are in viewport coordinates.
  std::function<void(QTreeWidgetItem*)> onDragStart;
  std::function<void(const QPoint&)> onDragMove;
  std::function<void(const QPoint&)> onDrop;
  std::function<bool()> dragging;

protected:
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  QPoint pressPos_;
  QTreeWidgetItem* pressItem_ = nullptr;
};

QStringList DroppedFiles(const QMimeData* mime);

}  // namespace bxw
