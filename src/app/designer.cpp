#include "app/designer.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTreeWidgetItem>
#include <QUrl>

#include "app/settings_file.h"
#include "app/windows.h"
#include "codegen/source_export.h"
#include "model/value_text.h"
#include "preview/preview_host.h"
#include "props/properties_panel.h"
#include "xml/dialog_xml_reader.h"
#include "app/workflows/file_commands.h"
#include "platform/export_path.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kName = QStringLiteral("name");
constexpr int kJournalDelayMs = 1000;
constexpr int kTypingMergeId = 1;

QString Quoted(const QString& name) {
  return QLatin1Char('\'') + name + QLatin1Char('\'');
}

QString NameIn(const DesignTree& tree, const QString& key) {
  const DesignObject* o = tree.Find(key);
  return o ? GetAttribute(*o, kName) : key;
}

// What the undo menu calls an edit: "Delete 'vbox1'", "Set text of 'button1'".
QString Describe(const EditOutcome& out, const DesignTree& tree) {
  switch (out.kind) {
    case EditKind::Add:
      return QStringLiteral("Add ") + Quoted(NameIn(tree, out.key));
    case EditKind::Delete: {
      const auto* undo = std::get_if<InsertSubtreeEdit>(&out.inverse);
      const QString name =
          undo && !undo->entries.empty() ? GetAttribute(undo->entries.front(), kName) : out.key;
      return QStringLiteral("Delete ") + Quoted(name);
    }
    case EditKind::Move:
      return QStringLiteral("Move ") + Quoted(NameIn(tree, out.key));
    case EditKind::Rename: {
      const auto* undo = std::get_if<RenameEdit>(&out.inverse);
      return QStringLiteral("Rename ") + Quoted(undo ? undo->name : out.oldKey) +
             QStringLiteral(" to ") + Quoted(NameIn(tree, out.key));
    }
    case EditKind::SetAttribute:
      return QStringLiteral("Set ") + out.attribute + QStringLiteral(" of ") +
             Quoted(NameIn(tree, out.key));
    case EditKind::InsertSubtree:
      return QStringLiteral("Paste ") + Quoted(NameIn(tree, out.key));
    case EditKind::ReplaceDesign:
      return QStringLiteral("Import");
    case EditKind::None:
      break;
  }
  return QString();
}

// Widgets that take Ctrl+Z and Ctrl+Y for themselves while the user types in them.
bool IsTextEditor(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w))
      return !w->property("readOnly").toBool();
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
    if (w->inherits("QsciScintilla")) return true;
  }
  return false;
}

}  // namespace

// One step of the undo history: the edit that takes the design to the other side of the step.
// Applying it gives back the edit for the way back, so undo and redo are the same operation.
class EditCommand final : public QUndoCommand {
public:
  EditCommand(Designer& designer, Edit back, const QString& text, const EditOutcome& done,
              bool mergeable, int generation)
      : QUndoCommand(text),
        designer_(designer),
        edit_(std::move(back)),
        insertion_(done.kind == EditKind::Add || done.kind == EditKind::InsertSubtree),
        replacement_(done.kind == EditKind::ReplaceDesign),
        mergeable_(mergeable),
        generation_(generation),
        key_(done.key),
        attribute_(done.attribute) {}

  // The view of the design before an import, given back by its undo.
  void RememberView(QSet<QString> expanded, QString selected) {
    expandedBefore_ = std::move(expanded);
    selectedBefore_ = std::move(selected);
  }

  void undo() override {
    Replay();
    if (replacement_ && designer_.treeView_) {
      designer_.treeView_->Rebuild(expandedBefore_, selectedBefore_);
      if (designer_.Tree().Contains(selectedBefore_)) designer_.Select(selectedBefore_);
    }
  }
  void redo() override {
    if (first_) {
      first_ = false;  // pushed after the edit was applied
      return;
    }
    Replay();
  }
  int id() const override { return mergeable_ ? kTypingMergeId : -1; }

  // Typing into one editor is one step: consecutive typed changes of one attribute of one object,
  // never across a save. A burst that ends where it began changes nothing and goes.
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const EditCommand*>(other);
    if (!next->mergeable_ || next->key_ != key_ || next->attribute_ != attribute_ ||
        next->generation_ != generation_)
      return false;
    if (const auto* back = std::get_if<SetAttributeEdit>(&edit_)) {
      const DesignObject* o = designer_.Tree().Find(key_);
      const QString now = o ? GetAttribute(*o, attribute_) : QString();
      if (o && (back->value ? *back->value == now : now.isEmpty())) setObsolete(true);
    }
    return true;
  }

private:
  void Replay() {
    EditOutcome out = designer_.ApplyAndRefresh(std::move(edit_), EditSource::UndoRedo);
    // Taking an object back out selects the container it was added to.
    if (out.changed && out.kind == EditKind::Delete && insertion_ &&
        designer_.Tree().Contains(out.oldParent))
      designer_.Select(out.oldParent);
    edit_ = std::move(out.inverse);
  }

  Designer& designer_;
  Edit edit_;
  bool insertion_;
  bool replacement_;
  bool mergeable_;
  int generation_;
  QString key_;
  QString attribute_;
  bool first_ = true;
  QSet<QString> expandedBefore_;
  QString selectedBefore_;
};

Designer::Designer(Requesters& requesters, Clock& clock, RandomSource& random,
                   DesignerOptions options)
    : requesters_(requesters),
      clock_(clock),
      random_(random),
      options_(std::move(options)),
      journal_(options_.recoveryFolder) {
  previewTimer_.setSingleShot(true);
  connect(&previewTimer_, &QTimer::timeout, this, [this] {
    previewTimer_.stop();
    // Only the window on show (or a failed attempt) is worth rebuilding; a window deleted in the
    // meantime has already been dealt with by the refresh chain.
    const DesignObject* window =
        previewRebuildKey_.isEmpty() ? nullptr : Tree().Find(previewRebuildKey_);
    if (!previewRebuildKey_.isEmpty() && !window) return;
    if (previewedKey_ == previewRebuildKey_ || previewFailed_) RebuildPreview(window);
  });
  journalTimer_.setSingleShot(true);
  journalTimer_.setInterval(kJournalDelayMs);
  connect(&journalTimer_, &QTimer::timeout, this, &Designer::UpdateJournal);
}

Designer::~Designer() {
  // Nothing may call back into the designer while the windows are torn down.
  qApp->removeEventFilter(this);
  previewTimer_.stop();
  journalTimer_.stop();
  if (DesignTreeWidget* tree = shell_.TreeControl()) {
    tree->disconnect(this);
    tree->onKeyRelease = nullptr;
    tree->onRightClick = nullptr;
    tree->onDragStart = nullptr;
    tree->onDragMove = nullptr;
    tree->onDrop = nullptr;
    tree->dragging = nullptr;
  }
  if (renameDelegate_) {
    renameDelegate_->allowEdit = nullptr;
    renameDelegate_->onRenamed = nullptr;
  }
  shell_.onPropertiesResized = nullptr;
  contextMenu_.reset();  // parented to the tree control: it must go before the windows
  panel_.reset();        // its editors must not report the focus changes of the teardown
  preview_.reset();
  undo_.clear();
  treeView_.reset();
  shell_.Close();
}

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
  metrics_ = ComputeLayoutMetrics(scaleX_, scaleY_);
  LoadSettingsAtStart(settings_, where.readPath);  // a missing or broken file leaves the defaults
  shell_.Open();
  WireWindows();

  // The editor starts with the root alone.
  savedSnapshot_ = Fingerprint();
  selectedKey_ = kDialogs;
  RefreshTreeView({kExpandAllMarker}, kDialogs);
  ShowProperties(SelectedObject());
  shell_.ShowFirstHint(true);
  OfferRecovery();
}

void Designer::WireWindows() {
  MainWindow* main = shell_.Main();
  DesignTreeWidget* tree = shell_.TreeControl();
  main->onCloseRequest = [this] { return QuitRequested(); };
  main->onDrop = [this](const QStringList& files) { ImportDroppedFiles(files); };
  shell_.TreeWindow()->onDrop = [this](const QStringList& files) { ImportDroppedFiles(files); };
  shell_.PropertiesWindow()->onDrop = [this](const QStringList& files) {
    ImportDroppedFiles(files);
  };

  treeView_ = std::make_unique<TreeView>(tree, Tree(), random_);
  renameDelegate_ = new TreeRenameDelegate(tree);
  renameDelegate_->allowEdit = [this](const QModelIndex& i) { return AllowLabelEdit(i); };
  renameDelegate_->onRenamed = [this](const QModelIndex&, const QString& t) { RenameObject(t); };
  tree->setItemDelegate(renameDelegate_);
  tree->onKeyRelease = [this](QKeyEvent* e) { TreeKeyHandler(e->key(), e->modifiers()); };
  tree->onRightClick = [this](const QPoint& at) { ShowContextMenu(at); };
  tree->onDragStart = [this](QTreeWidgetItem* item) { BeginItemDrag(TreeView::KeyOf(item)); };
  tree->onDragMove = [this](const QPoint& p) { DragMove(p); };
  tree->onDrop = [this](const QPoint& p) { DropItem(p); };
  tree->dragging = [this] { return dragging_; };
  connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!treeView_ || treeView_->Changing()) return;
    OnUserSelected(TreeView::KeyOf(item));
  });

  panel_ = std::make_unique<PropertiesPanel>(PropertiesHost{
      Tree(), schema_, requesters_, random_, metrics_, shell_.PropertiesArea(), shell_.HelpText(),
      shell_.PropertiesWindow(), shell_.HelpFont(), shell_.EditorFont(),
      [this](int delayMs) { SchedulePreviewRebuild(delayMs); },
      [this](SetAttributeEdit edit) { Apply(std::move(edit), EditSource::Properties); }});
  shell_.onPropertiesResized = [this] {
    if (panel_) panel_->RelayoutProperties();
  };

  preview_ = std::make_unique<PreviewHost>(PreviewHost::Inputs{
      Tree(), schema_, settings_, writer_, scaleX_, scaleY_, shell_.Area(), metrics_.previewOffset,
      [this](const QString& status) {
        if (MainWindow* m = shell_.Main())
          m->setWindowTitle(status.isEmpty() ? kTitleBase
                                             : kTitleBase + QStringLiteral(": ") + status);
      },
      [this](const QString& name) { PickInPreview(name); }});
  // Undo and redo reach the designer from the Properties window and the preview too.
  qApp->installEventFilter(this);
}

bool Designer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyRelease || !shell_.Main()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // The release reaches every widget up to the window; act once, at the focused one.
  QWidget* focus = QApplication::focusWidget();
  if (!focus || watched != focus || key->isAutoRepeat()) return false;
  if (shell_.TreeControl() && shell_.TreeControl()->isAncestorOf(focus)) return false;
  if (focus == shell_.TreeControl()) return false;  // the tree has its own shortcuts
  const bool inProperties = shell_.PropertiesWindow()->isAncestorOf(focus);
  QWidget* frame = preview_ ? static_cast<QWidget*>(preview_->Frame()) : nullptr;
  const bool inPreview = frame && (frame == focus || frame->isAncestorOf(focus));
  if (!inProperties && !inPreview) return false;
  if (IsTextEditor(focus)) return false;  // Ctrl+Z stays the editor's own there
  const Command c = ShortcutCommand(key->key(), key->modifiers().testFlag(Qt::ControlModifier),
                                    key->modifiers().testFlag(Qt::ShiftModifier));
  if (c == Command::Undo)
    Undo();
  else if (c == Command::Redo)
    Redo();
  return false;
}

// ---- editing -----------------------------------------------------------------------------------

EditOutcome Designer::ApplyAndRefresh(Edit edit, EditSource source) {
  EditOutcome out = editor_.Apply(std::move(edit));
  Follow(out, source);
  return out;
}

EditOutcome Designer::Apply(Edit edit, EditSource source, const QString& description,
                            const QStringList& alsoExpand) {
  QSet<QString> expandedBefore;
  const bool replacing = std::holds_alternative<ReplaceDesignEdit>(edit);
  if (replacing && treeView_) expandedBefore = treeView_->CollectExpandedState();
  const QString selectedBefore = selectedKey_;
  const auto* set = std::get_if<SetAttributeEdit>(&edit);
  const bool typed = set && set->typed;

  EditOutcome out = editor_.Apply(std::move(edit));
  if (!out.changed) return out;
  out.expand << alsoExpand;
  const QString text = description.isEmpty() ? Describe(out, Tree()) : description;
  auto* command = new EditCommand(*this, std::move(out.inverse), text, out, typed, saveGeneration_);
  if (replacing) command->RememberView(std::move(expandedBefore), selectedBefore);
  undo_.push(command);  // the first redo is a no-op: the edit is applied already
  Follow(out, source);
  return out;
}

void Designer::Undo() {
  if (undo_.canUndo()) undo_.undo();
}

void Designer::Redo() {
  if (undo_.canRedo()) undo_.redo();
}

void Designer::Follow(const EditOutcome& out, EditSource source) {
  if (!out.changed) return;
  if (treeView_) {
    treeView_->Follow(out);
    if (out.kind == EditKind::ReplaceDesign) {
      selectedKey_ = kDialogs;
    } else if (out.structural || source == EditSource::UndoRedo) {
      selectedKey_ = out.select;
      treeView_->SetCurrent(selectedKey_);
    }
  }
  UpdateTreeWindowTitle();
  shell_.ShowFirstHint(Tree().ChildCount(kDialogs) == 0);
  if (source != EditSource::Properties) {
    ShowProperties(SelectedObject());
    RebuildPreview(OwningWindow(Tree(), selectedKey_));
  }
  if (journal_.Active()) journalTimer_.start();
}

void Designer::UpdateTreeWindowTitle() {
  if (ToolSubWindow* w = shell_.TreeWindow())
    w->setWindowTitle(TreeWindowTitle(editor_.FilePath()));
}

void Designer::RecordSavedSnapshot(const QString& fingerprint) {
  savedSnapshot_ = fingerprint;
  ++saveGeneration_;
  UpdateJournal();
}

QString Designer::Fingerprint() const {
  return WholeDocumentFingerprint(Tree(), schema_);
}

void Designer::UpdateJournal() {
  journalTimer_.stop();
  if (!journal_.Active()) return;
  if (Fingerprint() == savedSnapshot_) {
    journal_.Remove();
    return;
  }
  journal_.Write(DesignFileBytes(Tree(), schema_), editor_.FilePath());
}

void Designer::OfferRecovery() {
  std::optional<RecoveryJournal::Orphan> orphan = journal_.FindOrphan();
  if (!orphan) return;
  if (!requesters_.AskYesNo(kTitleBase,
                            QStringLiteral("Restore the unsaved design of the last session?"),
                            MessageIcon::Information)) {
    RecoveryJournal::Discard(*orphan);
    return;
  }
  XmlLoadResult loaded = LoadDialogXml(schema_, RecoveryJournal::Read(*orphan));
  if (loaded.status == XmlLoadStatus::Loaded && HasValidRoot(*loaded.design)) {
    Apply(ReplaceDesignEdit{std::move(loaded.design), orphan->designFile}, EditSource::Import,
          QStringLiteral("Restore the unsaved design"));
    UpdateJournal();  // it is this designer's journal now
  } else {
    requesters_.Message(kTitleBase,
                        QStringLiteral("The unsaved design of the last session could not be "
                                       "read and was not restored."),
                        MessageIcon::Warning);
  }
  RecoveryJournal::Discard(*orphan);
}

// ---- XML and source commands ------------------------------------------------------------------

DesignerContext Designer::Context() {
  DesignerContext ctx{Tree(),  schema_,        settings_, requesters_,       clock_,
                      writer_, savedSnapshot_, {},        editor_.FilePath()};
  DesignerHooks& hooks = ctx.hooks;
  hooks.setClipboardText = [](const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
  };
  hooks.applyEdit = [this](Edit edit, const QString& description) {
    return Apply(std::move(edit), EditSource::Import, description);
  };
  hooks.setDesignFile = [this](const QString& path) {
    editor_.SetFilePath(path);
    UpdateTreeWindowTitle();
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
  if (ExportXml(ctx, settings_.Export2Clipboard)) RecordSavedSnapshot(savedSnapshot_);
}

void Designer::ImportXmlCommand() {
  DesignerContext ctx = Context();
  bxw::ImportXmlCommand(ctx);
  RecordSavedSnapshot(savedSnapshot_);
}

void Designer::ImportDroppedFiles(const QStringList& files) {
  if (files.isEmpty()) return;
  // Only the first dropped file is imported.
  DesignerContext ctx = Context();
  ImportXmlFile(ctx, files.first());
  RecordSavedSnapshot(savedSnapshot_);
}

// ---- selection ---------------------------------------------------------------------------------

const DesignObject* Designer::SelectedObject() const {
  return selectedKey_.isEmpty() ? nullptr : Tree().Find(selectedKey_);
}

void Designer::Select(const QString& key) {
  selectedKey_ = Tree().Contains(key) ? key : QString();
  if (treeView_) treeView_->SetCurrent(selectedKey_);
  AfterSelectionChanged();
}

void Designer::OnUserSelected(const QString& key) {
  selectedKey_ = key;
  AfterSelectionChanged();
}

void Designer::AfterSelectionChanged() {
  const DesignObject* window = OwningWindow(Tree(), selectedKey_);
  const QString key = window ? window->key : QString();
  if (key != previewedKey_) RebuildPreview(window);
  ShowProperties(SelectedObject());
  OutlineSelection();
}

void Designer::OutlineSelection() {
  if (!preview_) return;
  const DesignObject* o = SelectedObject();
  preview_->ShowSelection(o ? GetAttribute(*o, kName) : QString());
}

void Designer::PickInPreview(const QString& name) {
  const QString key = name.toLower();
  if (Tree().Contains(key) && key != selectedKey_) Select(key);
  // The keyboard goes back to the tree, where the shortcuts work.
  if (ToolSubWindow* w = shell_.TreeWindow()) shell_.Area()->setActiveSubWindow(w);
  if (DesignTreeWidget* tree = shell_.TreeControl()) tree->setFocus(Qt::MouseFocusReason);
}

bool Designer::SelectionContextNow(SelectionContext& out) const {
  return ComputeSelectionContext(Tree(), selectedKey_, out);
}

QTreeWidgetItem* Designer::ItemForKey(const QString& key) const {
  return treeView_ ? treeView_->ItemForKey(key) : nullptr;
}

// ---- tree view ---------------------------------------------------------------------------------

QSet<QString> Designer::CollectExpandedState() const {
  return treeView_ ? treeView_->CollectExpandedState() : QSet<QString>();
}

void Designer::RefreshTreeView(const QSet<QString>& expanded, const QString& nameToSelect) {
  if (!treeView_) return;
  treeView_->Rebuild(expanded, nameToSelect);
  const QString key = nameToSelect.toLower();
  if (Tree().Contains(key))
    selectedKey_ = key;
  else if (!Tree().Contains(selectedKey_))
    selectedKey_.clear();
}

QIcon Designer::IconForClass(const QString& cls) {
  return treeView_ ? treeView_->IconForClass(cls) : QIcon();
}

void Designer::RefreshAll() {
  RefreshTreeView(CollectExpandedState(), selectedKey_);
  ShowProperties(SelectedObject());
  RebuildPreview(OwningWindow(Tree(), selectedKey_));
}

// ---- properties panel and preview --------------------------------------------------------------

void Designer::ShowProperties(const DesignObject* object) {
  if (panel_) panel_->ShowProperties(object);
}

void Designer::SchedulePreviewRebuild(int delayMs) {
  previewTimer_.stop();
  const DesignObject* window = OwningWindow(Tree(), selectedKey_);
  previewRebuildKey_ = window ? window->key : QString();
  previewTimer_.start(delayMs);
}

void Designer::RebuildPreview(const DesignObject* window) {
  if (!preview_) return;
  OutlineSelection();
  preview_->Rebuild(window);
  previewedKey_ = preview_->PreviewedKey();
  previewFailed_ = preview_->Failed();
}

void Designer::OpenTestWindow() {
  if (!preview_ || previewedKey_.isEmpty()) return;
  preview_->OpenTestWindow(Tree().Find(previewedKey_), shell_.Main());
}

// ---- quit --------------------------------------------------------------------------------------

bool Designer::QuitRequested() {
  if (!settings_.ConfirmChanges) return true;
  if (Fingerprint() == savedSnapshot_) return true;
  const bool quit = requesters_.AskYesNo(kTitleBase, QStringLiteral("Quit without saving XML?"),
                                         MessageIcon::Information);
  // The user chose to lose the changes: the journal goes with them.
  if (quit) discardOnQuit_ = true;
  return quit;
}

void Designer::Shutdown() {
  journalTimer_.stop();
  if (journal_.Active()) {
    // Kept only when changes would otherwise be lost without the user having said so.
    if (discardOnQuit_ || Fingerprint() == savedSnapshot_)
      journal_.Remove();
    else
      UpdateJournal();
  }
  // Windows first, then the settings; a failed save is not reported.
  if (MainWindow* m = shell_.Main()) m->hide();
  SaveSettingsAtQuit(settings_, settingsPath_);
}

}  // namespace bxw
