#include "preview/preview_host.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QStyle>
#include <QTimer>

#include "dialog/file_symbols.h"
#include "model/settings.h"
#include "platform/widgets/qt_values.h"

namespace bxw {

// ---- frame -------------------------------------------------------------------------------------

PreviewSubWindow::PreviewSubWindow(QPoint anchor, QWidget* parent)
    : QMdiSubWindow(parent), anchor_(anchor) {
  // No close, minimise or maximise buttons: the preview goes away with the next rebuild only.
  setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setOption(QMdiSubWindow::RubberBandMove, false);
}

void PreviewSubWindow::moveEvent(QMoveEvent* event) {
  QMdiSubWindow::moveEvent(event);
  // A move, or a drag on the top or left edges, never shifts the window from its anchor.
  if (pos() != anchor_) move(anchor_);
}

void PreviewSubWindow::mousePressEvent(QMouseEvent* event) {
  // Dragging by the caption is swallowed; the edges stay free for resizing.
  const int titleHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  if (event->position().y() < titleHeight && event->button() == Qt::LeftButton) {
    event->accept();
    return;
  }
  QMdiSubWindow::mousePressEvent(event);
}

bool PreviewSubWindow::event(QEvent* event) {
  const bool handled = QMdiSubWindow::event(event);
  // Activation puts it back behind the tool windows.
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::FocusIn) lower();
  return handled;
}

// ---- host --------------------------------------------------------------------------------------

PreviewHost::PreviewHost(Inputs inputs) : in_(std::move(inputs)) {}

PreviewHost::~PreviewHost() {
  CloseTestWindow();
  testFilter_.reset();
  if (dialog_) runtime_.DestroyDialog(dialog_);
  delete frame_.data();
}

void PreviewHost::ShowSelection(const QString& name) {
  selection_ = name;
  if (surface_) surface_->SetSelected(name);
}

QWidget* PreviewHost::Window() const {
  return dialog_ ? runtime_.WindowID(runtime_.DialogWindow(dialog_)) : nullptr;
}

int PreviewHost::LoadedFonts() const {
  int n = 0;
  for (const PreviewFontEntry& e : tables_.PreviewFont) n += e.font.isValid() ? 1 : 0;
  return n;
}

QFont PreviewHost::LoadFont(PreviewFontEntry& entry) {
  if (!entry.font.isValid()) {
    QFont f(entry.face);
    if (entry.size > 0) f.setPointSize(entry.size);
    ApplyFontStyle(f, entry.style);
    entry.font = f;
    ++fontLoads_;
  }
  return entry.font.value<QFont>();
}

namespace {

}  // namespace

bool PreviewHost::ApplyStyles(PreviewTables& tables, int dialog) {
  bool fonts = false;
  for (auto it = tables.PreviewStyle.begin(); it != tables.PreviewStyle.end(); ++it) {
    QWidget* gadget = runtime_.GadgetID(runtime_.DialogGadget(dialog, it.key()));
    if (!gadget) continue;
    const PreviewStyleEntry& style = it.value();
    if (!style.fontKey.isEmpty()) {
      auto font = tables.PreviewFont.find(style.fontKey);
      if (font != tables.PreviewFont.end()) {
        gadget->setFont(LoadFont(*font));
        fonts = true;
      }
    }
    QPalette palette = gadget->palette();
    if (style.hasFrontColour) {
      const QColor c = QColorOfPlatformColour(style.frontColour);
      for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, c);
    }
    if (style.hasBackColour) {
      const QColor c = QColorOfPlatformColour(style.backColour);
      for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, c);
      gadget->setAutoFillBackground(true);
    }
    if (style.hasFrontColour || style.hasBackColour) gadget->setPalette(palette);
    if (!style.tooltip.isEmpty()) gadget->setToolTip(style.tooltip);
  }
  return fonts;
}

int PreviewHost::Rebuild(const DesignObject* window) {
  if (in_.setStatus) in_.setStatus(QString());
  if (dialog_) {
    runtime_.DestroyDialog(dialog_);
    dialog_ = 0;
    previewedKey_.clear();
  }
  // The frame stays for the next window: only a preview that ends without one drops it.
  auto dropFrame = [this] {
    if (!frame_) return;
    frame_->setWidget(nullptr);
    delete frame_.data();
  };
  for (PreviewFontEntry& e : tables_.PreviewFont) e.inUse = false;
  tables_.PreviewStyle.clear();
  failed_ = false;
  if (!window) {
    dropFrame();
    return 1;
  }

  QWidget* focus = QApplication::focusWidget();
  QMdiSubWindow* active = in_.area ? in_.area->activeSubWindow() : nullptr;
  const QString name = GetAttribute(*window, QStringLiteral("name"));
  XmlBuildInputs build{in_.tree,   in_.schema, in_.settings.DPIPatch,
                       in_.scaleX, in_.scaleY, &tables_};
  if (!in_.writer.BuildDialogXml(build, XmlBuildMode::Preview, name)) {
    dropFrame();
    failed_ = true;
    return 0;
  }
  const XmlDocument* doc = in_.writer.Document();
  if (!doc) {
    dropFrame();
    if (in_.setStatus) in_.setStatus(QStringLiteral("(error: cannot generate XML)"));
    failed_ = true;
    return 0;
  }
  // The document is built in memory, never parsed, so there is no parse error to report here.

  // A hand-written file names its program's constants and procedures: the preview shows it as
  // its program would.
  dialog::RegisterFileSymbols(*doc, runtime_.Symbols());
  dialog_ = runtime_.CreateDialog(dialog::kAny);
  if (!runtime_.OpenXMLDialog(dialog_, *doc, name)) {
    if (in_.setStatus)
      in_.setStatus(QStringLiteral("(error: ") + runtime_.DialogErrorText(dialog_) +
                    QLatin1Char(')'));
    runtime_.DestroyDialog(dialog_);
    dialog_ = 0;
    dropFrame();
    failed_ = true;
    return 0;
  }
  previewedKey_ = window->key;
  if (in_.setStatus) in_.setStatus(QLatin1Char('\'') + name + QLatin1Char('\''));

  if (QWidget* w = Window()) {
    // The whole document's font is the default for every control of the preview.
    bool fonts = false;
    auto doc_style = tables_.PreviewStyle.find(QStringLiteral("dialogs"));
    if (doc_style != tables_.PreviewStyle.end() && !doc_style->fontKey.isEmpty()) {
      auto font = tables_.PreviewFont.find(doc_style->fontKey);
      if (font != tables_.PreviewFont.end()) {
        w->setFont(LoadFont(*font));
        fonts = true;
      }
    }
    fonts = ApplyStyles(tables_, dialog_) || fonts;
    // Fonts no longer used by any control are dropped.
    for (auto it = tables_.PreviewFont.begin(); it != tables_.PreviewFont.end();) {
      if (!it->inUse)
        it = tables_.PreviewFont.erase(it);
      else
        ++it;
    }
    if (fonts) runtime_.RefreshDialog(dialog_);  // fonts change natural sizes
    if (in_.area) {
      const bool fresh = !frame_;
      if (fresh) frame_ = new PreviewSubWindow(in_.offset);
      const QSize size = w->size();
      frame_->setWidget(w);
      if (fresh) in_.area->addSubWindow(frame_);
      frame_->setWindowTitle(w->windowTitle());
      w->show();
      frame_->show();
      frame_->resize(size + (frame_->size() - frame_->widget()->size()));
      frame_->move(in_.offset);
      frame_->lower();
    }
    surface_ = new PreviewSurface(runtime_, dialog_, w);
    surface_->onPick = in_.onPick;
    surface_->SetSelected(selection_);
  }
  // Keyboard focus goes back to where it was (the tree or the Properties panel).
  if (active && in_.area) in_.area->setActiveSubWindow(active);
  if (focus) focus->setFocus();
  return 0;
}

}  // namespace bxw

namespace bxw {

namespace {

// Closes the test window on Esc, and tells the host once it was closed.
class TestWindowFilter final : public QObject {
public:
  explicit TestWindowFilter(std::function<void()> closed) : closed_(std::move(closed)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      static_cast<QWidget*>(watched)->close();
      return true;
    }
    if (event->type() == QEvent::Close) {
      // The window's own teardown must not run inside its close event.
      QTimer::singleShot(0, this, [this] {
        if (closed_) closed_();
      });
    }
    return false;
  }

private:
  std::function<void()> closed_;
};

}  // namespace

QWidget* PreviewHost::TestWindow() const {
  return testDialog_ ? runtime_.WindowID(runtime_.DialogWindow(testDialog_)) : nullptr;
}

void PreviewHost::CloseTestWindow() {
  if (!testDialog_) return;
  if (QWidget* w = TestWindow()) w->removeEventFilter(testFilter_.get());
  runtime_.DestroyDialog(testDialog_);
  testDialog_ = 0;
  testTables_ = PreviewTables{};
  // The filter may be the one reporting the close right now.
  if (testFilter_) testFilter_.release()->deleteLater();
}

bool PreviewHost::OpenTestWindow(const DesignObject* window, QWidget* over) {
  CloseTestWindow();
  if (!window) return false;
  const QString name = GetAttribute(*window, QStringLiteral("name"));
  XmlBuildInputs build{in_.tree,   in_.schema, in_.settings.DPIPatch,
                       in_.scaleX, in_.scaleY, &testTables_};
  if (!in_.writer.BuildDialogXml(build, XmlBuildMode::Preview, name) || !in_.writer.Document())
    return false;
  testDialog_ = runtime_.CreateDialog(dialog::kAny);
  if (!runtime_.OpenXMLDialog(testDialog_, *in_.writer.Document(), name)) {
    runtime_.DestroyDialog(testDialog_);
    testDialog_ = 0;
    return false;
  }
  QWidget* w = TestWindow();
  if (!w) {
    CloseTestWindow();
    return false;
  }
  auto doc_style = testTables_.PreviewStyle.find(QStringLiteral("dialogs"));
  if (doc_style != testTables_.PreviewStyle.end() && !doc_style->fontKey.isEmpty()) {
    auto font = testTables_.PreviewFont.find(doc_style->fontKey);
    if (font != testTables_.PreviewFont.end()) w->setFont(LoadFont(*font));
  }
  ApplyStyles(testTables_, testDialog_);
  runtime_.RefreshDialog(testDialog_);
  testFilter_ = std::make_unique<TestWindowFilter>([this] { CloseTestWindow(); });
  w->installEventFilter(testFilter_.get());
  // Over the designer, which waits until it is closed.
  w->setWindowModality(Qt::ApplicationModal);
  if (over) {
    const QPoint centre = over->mapToGlobal(over->rect().center());
    w->move(centre - QPoint(w->width() / 2, w->height() / 2));
  }
  w->show();
  w->raise();
  w->activateWindow();
  return true;
}

}  // namespace bxw
