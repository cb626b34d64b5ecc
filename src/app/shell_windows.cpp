#include "app/shell_windows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "app/windows.h"
#include "model/app_info.h"

namespace bxw {

namespace {
constexpr int kRelayoutDelayMs = 24;
}  // namespace

ShellWindows::ShellWindows(const LayoutMetrics& metrics) : metrics_(metrics) {
  for (QTimer* t : {&mainTimer_, &treeTimer_, &propsTimer_}) {
    t->setSingleShot(true);
    t->setInterval(kRelayoutDelayMs);
  }
  connect(&mainTimer_, &QTimer::timeout, this, &ShellWindows::MainRelayout);
  connect(&treeTimer_, &QTimer::timeout, this, &ShellWindows::TreeRelayout);
  connect(&propsTimer_, &QTimer::timeout, this, &ShellWindows::PropertiesRelayout);
  helpFont_ = QFont(QStringLiteral("Tahoma"));
  helpFont_.setPointSize(9);
  editorFont_ = QFont(QStringLiteral("Arial"));
  editorFont_.setPointSize(8);
}

ShellWindows::~ShellWindows() {
  Close();
}

QMdiArea* ShellWindows::Area() const {
  return main_ ? main_->Area() : nullptr;
}

void ShellWindows::ShowFirstHint(bool show) {
  if (!hint_) return;
  hint_->setVisible(show);
  if (show) hint_->lower();  // behind the tool windows and the preview
}

void ShellWindows::Close() {
  if (!main_) return;
  hint_ = nullptr;
  for (QTimer* t : {&mainTimer_, &treeTimer_, &propsTimer_}) t->stop();
  main_->Area()->viewport()->removeEventFilter(this);
  treeWindow_->onResize = nullptr;
  propsWindow_->onResize = nullptr;
  main_->onCloseRequest = nullptr;
  main_->onDrop = nullptr;
  MainWindow* doomed = main_;
  main_ = nullptr;
  treeWindow_ = propsWindow_ = nullptr;
  treeControl_ = nullptr;
  propsArea_ = nullptr;
  helpText_ = nullptr;
  delete doomed;
}

void ShellWindows::Open() {
  const LayoutMetrics& m = metrics_;
  main_ = new MainWindow;
  main_->setWindowTitle(kTitleBase);
  main_->Area()->setMinimumSize(m.main);
  main_->resize(m.main);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    main_->move(avail.center() - QPoint(m.main.width() / 2, m.main.height() / 2));
  }
  main_->Area()->viewport()->installEventFilter(this);
  hint_ = new QLabel(
      QStringLiteral(
          "Right-click 'dialogs' in the Interface Tree and choose New > Window to start."),
      main_->Area()->viewport());
  hint_->setObjectName(QStringLiteral("firstHint"));
  hint_->move(m.previewOffset + QPoint(8, 8));
  hint_->adjustSize();
  hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
  hint_->hide();

  // Interface Tree window.
  auto* treeClient = new QWidget;
  treeClient->setFixedSize(m.tree);
  treeControl_ = new DesignTreeWidget(treeClient);
  treeControl_->setGeometry(m.treeMargin.width(), m.treeMargin.height(),
                            m.tree.width() - 2 * m.treeMargin.width(),
                            m.tree.height() - 2 * m.treeMargin.height());
  QFont treeFont(QStringLiteral("Tahoma"));
  treeFont.setPointSize(9);
  treeControl_->setFont(treeFont);
  treeWindow_ = new ToolSubWindow;
  treeWindow_->setWidget(treeClient);
  treeWindow_->setWindowTitle(QStringLiteral("Interface Tree"));
  treeWindow_->onResize = [this] { treeTimer_.start(); };

  // Properties window: scroll area above, help text below.
  auto* propsClient = new QWidget;
  propsClient->setFixedSize(m.properties);
  const int pw = m.properties.width(), ph = m.properties.height();
  propsArea_ = new QScrollArea(propsClient);
  propsArea_->setGeometry(m.propertiesMargin.width(), m.propertiesMargin.height(),
                          pw - 2 * m.propertiesMargin.width(),
                          ph - (m.helpHeight + 2 * m.propertiesMargin.height()));
  auto* inner = new QWidget;
  inner->resize(qRound(pw * 0.8), 0);
  propsArea_->setWidget(inner);
  propsArea_->verticalScrollBar()->setSingleStep(m.propertiesRowHeight);
  helpText_ = new QLabel(propsClient);
  helpText_->setGeometry(m.propertiesMargin.width(),
                         ph - (m.helpHeight + m.propertiesMargin.height()),
                         pw - 2 * m.propertiesMargin.width(), m.helpHeight);
  helpText_->setWordWrap(true);
  helpText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  helpText_->setFont(helpFont_);
  propsWindow_ = new ToolSubWindow;
  propsWindow_->setWidget(propsClient);
  propsWindow_->setWindowTitle(QStringLiteral("Properties"));
  propsWindow_->onResize = [this] { propsTimer_.start(); };

  main_->Area()->addSubWindow(treeWindow_);
  main_->Area()->addSubWindow(propsWindow_);
  main_->show();
  // The client sizes are the metrics; the frames add whatever the style draws around them.
  for (ToolSubWindow* w : {treeWindow_, propsWindow_}) {
    w->show();
    QWidget* client = w->widget();
    const QSize base = client->size();
    const QSize frame = w->size() - client->size();
    client->setMinimumSize(base);
    client->setMaximumSize(2 * base.width(), QWIDGETSIZE_MAX);
    w->resize(base + frame);
    w->setMinimumSize(base + frame);
    w->setMaximumSize(2 * base.width() + frame.width(), QWIDGETSIZE_MAX);
  }
  // Against the right edge; the properties window half over the tree window's left, at the bottom.
  const QSize client = main_->Area()->viewport()->size();
  treeWindow_->move(client.width() - treeWindow_->width(), 0);
  propsWindow_->move(static_cast<int>(std::lround(
                         client.width() - (propsWindow_->width() * 0.5 + treeWindow_->width()))),
                     client.height() - propsWindow_->height());
  main_->Area()->setActiveSubWindow(treeWindow_);
  treeControl_->setFocus();
  mainTimer_.start();
}

bool ShellWindows::eventFilter(QObject* watched, QEvent* event) {
  if (main_ && watched == main_->Area()->viewport() && event->type() == QEvent::Resize)
    mainTimer_.start();
  return QObject::eventFilter(watched, event);
}

void ShellWindows::MainRelayout() {
  mainTimer_.stop();
  if (!main_) return;
  const QSize now = main_->Area()->viewport()->size();
  if (now == lastMain_) return;
  if (lastMain_.width() != 0 && lastMain_.height() != 0) {
    treeWindow_->move(FollowMainWindow(treeWindow_->pos(), lastMain_, now, false));
    propsWindow_->move(FollowMainWindow(propsWindow_->pos(), lastMain_, now, true));
  }
  lastMain_ = now;
}

void ShellWindows::TreeRelayout() {
  treeTimer_.stop();
  QWidget* client = treeWindow_ ? treeWindow_->widget() : nullptr;
  if (!client) return;
  const QSize now = client->size();
  if (now != lastTree_ && lastTree_.width() != 0 && lastTree_.height() != 0) {
    const QSize mg = metrics_.treeMargin;
    treeControl_->setGeometry(mg.width(), mg.height(), now.width() - 2 * mg.width(),
                              now.height() - 2 * mg.height());
  }
  lastTree_ = now;
}

void ShellWindows::PropertiesRelayout() {
  propsTimer_.stop();
  QWidget* client = propsWindow_ ? propsWindow_->widget() : nullptr;
  if (!client) return;
  const QSize now = client->size();
  if (now != lastProps_ && lastProps_.width() != 0 && lastProps_.height() != 0) {
    const QSize mg = metrics_.propertiesMargin;
    const int help = metrics_.helpHeight;
    propsArea_->setGeometry(mg.width(), mg.height(), now.width() - 2 * mg.width(),
                            now.height() - (help + 2 * mg.height()));
    helpText_->setGeometry(mg.width(), now.height() - (help + mg.height()),
                           now.width() - 2 * mg.width(), help);
  }
  if (now != lastProps_ && onPropertiesResized) onPropertiesResized();
  lastProps_ = now;
}

}  // namespace bxw
