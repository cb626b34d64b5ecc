#pragma once
#include <QFont>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <functional>

#include "platform/layout_metrics.h"

class QLabel;
class QMdiArea;
class QScrollArea;

namespace bxw {

class MainWindow;
class ToolSubWindow;
class DesignTreeWidget;

// The three windows of the designer and their relayouts: the main window whose client area hosts
// the preview, and the "Interface Tree" and "Properties" tool windows kept above it, following its
// right and bottom edges. Size changes are debounced by 24 ms one-shot timers.
class ShellWindows final : public QObject {
  Q_OBJECT
public:
  explicit ShellWindows(const LayoutMetrics& metrics);
  ~ShellWindows() override;

  // Creates, shows and places the windows, then activates the tree window.
  void Open();
  // Closes every window; nothing may call back into the designer afterwards.
  void Close();

  MainWindow* Main() const { return main_; }
  QMdiArea* Area() const;
  ToolSubWindow* TreeWindow() const { return treeWindow_; }
  ToolSubWindow* PropertiesWindow() const { return propsWindow_; }
  DesignTreeWidget* TreeControl() const { return treeControl_; }
  QScrollArea* PropertiesArea() const { return propsArea_; }
  QLabel* HelpText() const { return helpText_; }
  const QFont& HelpFont() const { return helpFont_; }
  // The one line of help the empty client area shows while the design has no window.
  QLabel* FirstHint() const { return hint_; }
  void ShowFirstHint(bool show);
  const QFont& EditorFont() const { return editorFont_; }

  // The Properties panel lays its rows out again after its window changed size.
  std::function<void()> onPropertiesResized;

  // Run by the 24 ms timers; public for tests.
  void MainRelayout();
  void TreeRelayout();
  void PropertiesRelayout();
  QSize LastMainSize() const { return lastMain_; }

private:
  bool eventFilter(QObject* watched, QEvent* event) override;

  const LayoutMetrics& metrics_;
  MainWindow* main_ = nullptr;  // owned; deleted by Close (it owns the rest)
  ToolSubWindow* treeWindow_ = nullptr;
  ToolSubWindow* propsWindow_ = nullptr;
  DesignTreeWidget* treeControl_ = nullptr;
  QScrollArea* propsArea_ = nullptr;
  QLabel* helpText_ = nullptr;
  QLabel* hint_ = nullptr;
  QFont helpFont_, editorFont_;
  QTimer mainTimer_, treeTimer_, propsTimer_;
  QSize lastMain_{0, 0}, lastTree_{0, 0}, lastProps_{0, 0};  // 0,0 until the first relayout
};

}  // namespace bxw
