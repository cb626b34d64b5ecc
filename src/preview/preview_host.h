#pragma once
#include <QFont>
#include <QHash>
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "dialog/dialog_runtime.h"
#include "model/design_tree.h"
#include "preview/preview_surface.h"
#include "xml/dialog_xml_writer.h"

class QMdiArea;

namespace bxw {

class ClassSchema;
struct Settings;

// The frame of the embedded preview: pinned at its anchor in the main window's client area,
// resizable by its right and bottom edges, always behind the tool windows.
class PreviewSubWindow final : public QMdiSubWindow {
  Q_OBJECT
public:
  explicit PreviewSubWindow(QPoint anchor, QWidget* parent = nullptr);

protected:
  void moveEvent(QMoveEvent* event) override;
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  QPoint anchor_;
};

// Shows the window that owns the selection, rebuilt from scratch by the dialog runtime after every
// change, and reports its status (the window's name or the error) for the main window's title.
class PreviewHost {
public:
  struct Inputs {
    const DesignTree& tree;
    const ClassSchema& schema;
    const Settings& settings;
    DialogXmlWriter& writer;
    double scaleX = 1;
    double scaleY = 1;
    QMdiArea* area = nullptr;  // the main window's client area
    QPoint offset;             // where the preview sits in it
    std::function<void(const QString& status)> setStatus;
    // A click in the preview picked the object with this name.
    std::function<void(const QString& name)> onPick;
  };

  explicit PreviewHost(Inputs inputs);
  ~PreviewHost();

  // Rebuilds for the given window object (none clears the preview). Answers 1 when called with
  // none, else 0, like the designer's other rebuild callers expect.
  int Rebuild(const DesignObject* window);

  // The previewed object: the key of the window shown, empty when cleared; Failed() after an
  // attempt that showed nothing.
  QString PreviewedKey() const { return previewedKey_; }
  bool Failed() const { return failed_; }

  QWidget* Window() const;  // the runtime's window widget, or null
  // The design surface over the window: picks and outlines objects.
  PreviewSurface* Surface() const { return surface_; }
  // Outlines the object with this name (the selection), empty for none; kept across rebuilds.
  void ShowSelection(const QString& name);

  // The window as the finished program shows it: a live, resizable top-level window laid out by
  // the runtime, controls working, over the designer until it is closed (or Esc). False when the
  // window cannot be opened.
  bool OpenTestWindow(const DesignObject* window, QWidget* over);
  void CloseTestWindow();
  QWidget* TestWindow() const;
  PreviewSubWindow* Frame() const { return frame_; }
  dialog::DialogRuntime& Runtime() { return runtime_; }
  int Dialog() const { return dialog_; }
  int FontLoads() const { return fontLoads_; }  // how many fonts were loaded so far
  int LoadedFonts() const;                      // fonts loaded and kept now

private:
  QFont LoadFont(PreviewFontEntry& entry);
  // Answers whether a font was set (fonts change natural sizes).
  bool ApplyStyles(PreviewTables& tables, int dialog);

  Inputs in_;
  dialog::DialogRuntime runtime_;
  int dialog_ = 0;  // 0: none
  QPointer<PreviewSubWindow> frame_;
  QPointer<PreviewSurface> surface_;
  QString selection_;
  QString previewedKey_;
  bool failed_ = false;
  PreviewTables tables_;
  int fontLoads_ = 0;
  int testDialog_ = 0;  // 0: no test window
  PreviewTables testTables_;
  std::unique_ptr<QObject> testFilter_;
};

}  // namespace bxw
