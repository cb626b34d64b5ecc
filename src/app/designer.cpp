#include "app/designer.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidgetItem>
#include <algorithm>
#include <zlib.h>

#include "app/settings_file.h"
#include "app/windows.h"
#include "codegen/source_export.h"
#include "preview/preview_host.h"
#include "props/properties_panel.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace bxw {

namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kRelayoutDelayMs = 24;
}  // namespace

Designer::Designer(Requesters& requesters, Clock& clock, RandomSource& random,
                   DesignerOptions options)
    : requesters_(requesters), clock_(clock), random_(random), options_(std::move(options)) {
  for (QTimer* t : {&mainTimer_, &treeTimer_, &propsTimer_}) {
    t->setSingleShot(true);
    t->setInterval(kRelayoutDelayMs);
  }
  connect(&mainTimer_, &QTimer::timeout, this, &Designer::MainRelayout);
  connect(&treeTimer_, &QTimer::timeout, this, &Designer::TreeRelayout);
  connect(&propsTimer_, &QTimer::timeout, this, &Designer::PropertiesRelayout);
  previewTimer_.setSingleShot(true);
  connect(&previewTimer_, &QTimer::timeout, this, [this] {
    previewTimer_.stop();
    // Only the window on show (or a failed attempt) is worth rebuilding; a window deleted in the
    // meantime has already been dealt with by the refresh chain.
    const DesignObject* window =
        previewRebuildKey_.isEmpty() ? nullptr : tree_.Find(previewRebuildKey_);
    if (!previewRebuildKey_.isEmpty() && !window) return;
    if (previewedKey_ == previewRebuildKey_ || previewFailed_) RebuildPreview(window);
  });
}

Designer::~Designer() {
  if (!main_) return;
  // Nothing may call back into the designer while the windows are torn down.
  main_->Area()->viewport()->removeEventFilter(this);
  treeControl_->disconnect(this);
  treeControl_->onKeyRelease = nullptr;
  treeWindow_->onResize = nullptr;
  propsWindow_->onResize = nullptr;
  panel_.reset();  // its editors must not report the focus changes of the teardown
  preview_.reset();
  MainWindow* doomed = main_;
  main_ = nullptr;
  treeControl_ = nullptr;
  delete doomed;
}

QMdiArea* Designer::Area() const { return main_ ? main_->Area() : nullptr; }

void Designer::Startup() {
  // Display scale: pixels per logical inch / 96.
  scaleX_ = options_.scaleX;
  scaleY_ = options_.scaleY;
  if (scaleX_ <= 0 || scaleY_ <= 0) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    scaleX_ = ScaleFromDpi(screen ? screen->logicalDotsPerInchX() : 0);
    scaleY_ = ScaleFromDpi(screen ? screen->logicalDotsPerInchY() : 0);
  }
  const SettingsLocation where =
      options_.settingsPath.isEmpty()
          ? ResolveSettingsLocation(QCoreApplication::applicationFilePath(),
                                    UserSettingsDirectory(), FileSystemProbes())
          : SettingsLocation{options_.settingsPath, options_.settingsPath};
  settingsPath_ = where.writePath;
  schema_.BuildClassSchema();
  metrics_ = ComputeLayoutMetrics(scaleX_, scaleY_);
  LoadSettingsAtStart(settings_, where.readPath);  // a missing or broken file leaves the defaults
  OpenWindows();

  CreateObject(tree_, QString(), QStringLiteral("dialogs"), QStringLiteral("dialogs"), nullptr,
               kFirst, false, false);
  savedSnapshot_ = Fingerprint();
  RefreshTreeView({kExpandAllMarker}, QStringLiteral("dialogs"));
  ShowProperties(SelectedObject());
}

void Designer::OpenWindows() {
  const LayoutMetrics& m = metrics_;
  main_ = new MainWindow;
  main_->setWindowTitle(kTitleBase);
  main_->Area()->setMinimumSize(m.main);
  main_->resize(m.main);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    main_->move(avail.center() - QPoint(m.main.width() / 2, m.main.height() / 2));
  }
  main_->onCloseRequest = [this] { return QuitRequested(); };
  main_->onDrop = [this](const QStringList& files) { ImportDroppedFiles(files); };
  main_->Area()->viewport()->installEventFilter(this);

  // Interface Tree window.
  auto* treeClient = new QWidget;
  treeClient->setFixedSize(m.tree);
  treeClient->setMinimumSize(m.tree);
  treeClient->setMaximumSize(2 * m.tree.width(), QWIDGETSIZE_MAX);
  treeControl_ = new DesignTreeWidget(treeClient);
  treeControl_->setGeometry(m.treeMargin.width(), m.treeMargin.height(),
                            m.tree.width() - 2 * m.treeMargin.width(),
                            m.tree.height() - 2 * m.treeMargin.height());
  QFont treeFont(QStringLiteral("Tahoma"));
  treeFont.setPointSize(9);
  treeControl_->setFont(treeFont);
  renameDelegate_ = new TreeRenameDelegate(treeControl_);
  renameDelegate_->allowEdit = [this](const QModelIndex& i) { return AllowLabelEdit(i); };
  renameDelegate_->onRenamed = [this](const QModelIndex& i, const QString& t) {
    OnLabelEdited(i, t);
  };
  treeControl_->setItemDelegate(renameDelegate_);
  treeControl_->onKeyRelease = [this](QKeyEvent* e) { TreeKeyHandler(e->key(), e->modifiers()); };
  treeControl_->onRightClick = [this](const QPoint& at) { ShowContextMenu(at); };
  treeControl_->onDragStart = [this](QTreeWidgetItem* item) {
    BeginItemDrag(item->data(0, kKeyRole).toString());
  };
  treeControl_->onDragMove = [this](const QPoint& p) { DragMove(p); };
  treeControl_->onDrop = [this](const QPoint& p) { DropItem(p); };
  treeControl_->dragging = [this] { return dragging_; };
  connect(treeControl_, &QTreeWidget::currentItemChanged, this, [this] {
    if (!refreshing_) OnSelectionChanged();
  });

  treeWindow_ = new ToolSubWindow;
  treeWindow_->setWidget(treeClient);
  treeWindow_->setWindowTitle(QStringLiteral("Interface Tree"));
  treeWindow_->onDrop = [this](const QStringList& files) { ImportDroppedFiles(files); };
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
  helpText_->setGeometry(m.propertiesMargin.width(), ph - (m.helpHeight + m.propertiesMargin.height()),
                         pw - 2 * m.propertiesMargin.width(), m.helpHeight);
  helpText_->setWordWrap(true);
  helpText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont helpFont(QStringLiteral("Tahoma"));
  helpFont.setPointSize(9);
  helpText_->setFont(helpFont);

  propsWindow_ = new ToolSubWindow;
  propsWindow_->setWidget(propsClient);
  propsWindow_->setWindowTitle(QStringLiteral("Properties"));
  propsWindow_->onDrop = [this](const QStringList& files) { ImportDroppedFiles(files); };
  propsWindow_->onResize = [this] { propsTimer_.start(); };

  QFont editorFont(QStringLiteral("Arial"));
  editorFont.setPointSize(8);
  panel_ = std::make_unique<PropertiesPanel>(PropertiesHost{
      tree_, schema_, requesters_, random_, metrics_, propsArea_, helpText_, propsWindow_,
      helpFont, editorFont, [this](int delayMs) { SchedulePreviewRebuild(delayMs); }});

  preview_ = std::make_unique<PreviewHost>(PreviewHost::Inputs{
      tree_, schema_, settings_, writer_, scaleX_, scaleY_, main_->Area(), m.previewOffset,
      [this](const QString& status) {
        if (main_)
          main_->setWindowTitle(status.isEmpty() ? kTitleBase : kTitleBase + QStringLiteral(": ") + status);
      }});

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
  propsWindow_->move(
      static_cast<int>(std::lround(client.width() -
                                   (propsWindow_->width() * 0.5 + treeWindow_->width()))),
      client.height() - propsWindow_->height());
  main_->Area()->setActiveSubWindow(treeWindow_);
  treeControl_->setFocus();
  mainTimer_.start();
}

bool Designer::eventFilter(QObject* watched, QEvent* event) {
  if (main_ && watched == main_->Area()->viewport() && event->type() == QEvent::Resize)
    mainTimer_.start();
  return QObject::eventFilter(watched, event);
}

// ---- relayouts ---------------------------------------------------------------------------------

void Designer::MainRelayout() {
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

void Designer::TreeRelayout() {
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

void Designer::PropertiesRelayout() {
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
  if (now != lastProps_ && panel_) panel_->RelayoutProperties();
  lastProps_ = now;
}

// ---- XML and source commands ------------------------------------------------------------------

QString Designer::Fingerprint() const {
  return WholeDocumentFingerprint(tree_, schema_, const_cast<DialogXmlWriter&>(writer_));
}

DesignerContext Designer::Context() {
  DesignerContext ctx{tree_, schema_, settings_, requesters_, clock_, writer_, savedSnapshot_, {}};
  DesignerHooks& hooks = ctx.hooks;
  hooks.setClipboardText = [](const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
  };
  hooks.setTreeWindowTitle = [this](const QString& title) {
    if (treeWindow_) treeWindow_->setWindowTitle(title);
  };
  hooks.refreshAfterImport = [this](const QString& selectKey, const QSet<QString>& expanded) {
    RefreshTreeView(expanded, selectKey);
    ShowProperties(SelectedObject());
    RebuildPreview(OwningWindow(tree_, SelectedKey()));
  };
  hooks.openWithAssociatedProgram = [](const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  return ctx;
}

void Designer::ExportSourceCommand() {
  DesignerContext ctx = Context();
  ExportSource(ctx, settings_.Export2Clipboard);
}

void Designer::ExportXmlCommand() {
  DesignerContext ctx = Context();
  ExportXml(ctx, settings_.Export2Clipboard);
}

void Designer::ImportXmlCommand() {
  DesignerContext ctx = Context();
  bxw::ImportXmlCommand(ctx);
}

void Designer::ImportDroppedFiles(const QStringList& files) {
  if (files.isEmpty()) return;
  // Only the first dropped file is imported.
  DesignerContext ctx = Context();
  ImportXmlFile(ctx, files.first());
}

// ---- selection ---------------------------------------------------------------------------------

QString Designer::SelectedKey() const {
  if (!treeControl_) return QString();
  const QTreeWidgetItem* item = treeControl_->currentItem();
  return item ? item->data(0, kKeyRole).toString() : QString();
}

DesignObject* Designer::SelectedObject() {
  const QString key = SelectedKey();
  return key.isEmpty() ? nullptr : tree_.Find(key);
}

bool Designer::SelectionContextNow(SelectionContext& out) const {
  return ComputeSelectionContext(tree_, SelectedKey(), out);
}

QTreeWidgetItem* Designer::ItemForKey(const QString& key) const {
  if (!treeControl_ || key.isEmpty()) return nullptr;
  for (QTreeWidgetItemIterator it(treeControl_); *it; ++it)
    if ((*it)->data(0, kKeyRole).toString() == key) return *it;
  return nullptr;
}

// ---- tree view ---------------------------------------------------------------------------------

QSet<QString> Designer::CollectExpandedState() const {
  QSet<QString> set;
  if (!treeControl_) return set;
  for (QTreeWidgetItemIterator it(treeControl_); *it; ++it) {
    // Qt keeps no expanded state for items without children; remember what was asked for them
    // so a box that gets its first child opens as it would have.
    const QString text = (*it)->text(0).toLower();
    if ((*it)->isExpanded() || ((*it)->childCount() == 0 && expandedLeaves_.contains(text)))
      set.insert(text);
  }
  return set;
}

void Designer::RefreshTreeView(const QSet<QString>& expanded, const QString& nameToSelect) {
  if (!treeControl_) return;
  refreshing_ = true;
  treeControl_->setUpdatesEnabled(false);
  const int scroll = treeControl_->verticalScrollBar()->value();
  treeControl_->clear();
  dropTargetKey_.clear();

  // Items in walk order; the parent item of each object is the last item made for its parent.
  QHash<QString, QTreeWidgetItem*> made;
  QList<QTreeWidgetItem*> order;
  tree_.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject& o) {
    QTreeWidgetItem* parent = made.value(o.parentKey, nullptr);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(treeControl_);
    item->setText(0, GetAttribute(o, QStringLiteral("name")));
    item->setData(0, kKeyRole, o.key);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setIcon(0, IconForClass(o.cls));
    made.insert(o.key, item);
    order.append(item);
    return false;
  });

  const bool all = expanded.contains(kExpandAllMarker);
  const QString select = nameToSelect.toLower();
  expandedLeaves_.clear();
  for (QTreeWidgetItem* item : order) {
    const QString text = item->text(0).toLower();
    if (all || expanded.contains(text)) {
      item->setExpanded(true);
      if (item->childCount() == 0) expandedLeaves_.insert(text);
    }
    if (!select.isEmpty() && text == select) {
      treeControl_->setCurrentItem(item);
      item->setSelected(true);
    }
  }
  treeControl_->verticalScrollBar()->setValue(scroll);
  treeControl_->setUpdatesEnabled(true);
  refreshing_ = false;
}

void Designer::RefreshChain(const QString& nameToSelect, const QSet<QString>& alsoExpand) {
  QSet<QString> set = CollectExpandedState();
  set.unite(alsoExpand);
  RefreshTreeView(set, nameToSelect);
  ShowProperties(SelectedObject());
  RebuildPreview(OwningWindow(tree_, SelectedKey()));
}

void Designer::OnSelectionChanged() {
  const DesignObject* window = OwningWindow(tree_, SelectedKey());
  const QString key = window ? window->key : QString();
  if (key != previewedKey_) RebuildPreview(window);
  ShowProperties(SelectedObject());
}

// ---- properties panel and preview --------------------------------------------------------------

void Designer::ShowProperties(const DesignObject* object) {
  if (panel_) panel_->ShowProperties(object);
}

void Designer::SchedulePreviewRebuild(int delayMs) {
  previewTimer_.stop();
  const DesignObject* window = OwningWindow(tree_, SelectedKey());
  previewRebuildKey_ = window ? window->key : QString();
  previewTimer_.start(delayMs);
}

void Designer::RebuildPreview(const DesignObject* window) {
  if (!preview_) return;
  preview_->Rebuild(window);
  previewedKey_ = preview_->PreviewedKey();
  previewFailed_ = preview_->Failed();
}

// ---- commands ----------------------------------------------------------------------------------

void Designer::AddObjectCommand(const QString& cls) {
  const QString parentKey = SelectedKey();
  if (parentKey.isEmpty() || cls.isEmpty()) return;
  DesignObject* o = CreateObject(tree_, parentKey, cls, QString(), nullptr, kLast, true,
                                 settings_.NoCaptions);
  if (!o) return;
  RefreshChain(GetAttribute(*o, QStringLiteral("name")));
}

void Designer::DeleteCommand(bool skipQuestion) {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanDelete(c)) return;
  const QString key = SelectedKey();
  QTreeWidgetItem* item = treeControl_->currentItem();
  if (key.isEmpty() || !item || c.selected->cls == QLatin1String("dialogs")) return;
  if (!skipQuestion && settings_.ConfirmDelete &&
      !requesters_.AskYesNo(QStringLiteral("Delete item (") + key + QLatin1Char(')'),
                            QStringLiteral("Delete selected object?"), MessageIcon::Information))
    return;
  if (!tree_.RemoveNode(key)) return;
  refreshing_ = true;
  delete item;  // takes its sub-items along; the control picks the new current item
  refreshing_ = false;
  RebuildPreview(OwningWindow(tree_, SelectedKey()));
  ShowProperties(SelectedObject());
}

void Designer::RenameCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanRename(c)) return;
  QTreeWidgetItem* item = treeControl_->currentItem();
  if (!item) return;
  renameLatch_ = true;
  // Posted, as the platform does: the edit starts once the current event is done.
  QTimer::singleShot(0, this, [this, key = SelectedKey()] {
    if (QTreeWidgetItem* it = ItemForKey(key)) treeControl_->editItem(it, 0);
  });
}

bool Designer::AllowLabelEdit(const QModelIndex& index) {
  const bool allowed = renameLatch_;
  renameLatch_ = false;
  if (!allowed) return false;
  return index.data(Qt::DisplayRole).toString().toLower() != QLatin1String("dialogs");
}

void Designer::OnLabelEdited(const QModelIndex& index, const QString& text) {
  Q_UNUSED(index);
  RenameObject(text);
}

// ---- quit --------------------------------------------------------------------------------------

bool Designer::QuitRequested() {
  if (!settings_.ConfirmChanges) return true;
  if (Fingerprint() == savedSnapshot_) return true;
  return requesters_.AskYesNo(kTitleBase, QStringLiteral("Quit without saving XML?"),
                              MessageIcon::Information);
}

void Designer::Shutdown() {
  // Windows first, then the settings; a failed save is not reported.
  if (main_) main_->hide();
  SaveSettingsAtQuit(settings_, settingsPath_);
}

}  // namespace bxw
