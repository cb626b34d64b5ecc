// The designer's commands: context menu, shortcuts, tree view operations, drag and drop, the
// object clipboard and renaming. Every change goes through Designer::Apply.
#include <QMenu>
#include <QTimer>
#include <QTreeWidgetItem>

#include "app/designer.h"
#include "app/windows.h"
#include "model/drop_rules.h"
#include "model/names.h"
#include "preview/preview_host.h"
#include "app/workflows/file_commands.h"
#include "props/properties_panel.h"

namespace bxw {

namespace {
const QString kName = QStringLiteral("name");
}  // namespace

// ---- tree view ---------------------------------------------------------------------------------

void Designer::ExpandBranch(const QString& key, bool collapse) {
  const QString k = key.toLower();
  if (k.isEmpty() || !Tree().Contains(k)) return;
  QSet<QString> expanded = CollectExpandedState();
  QSet<QString> subtree;
  Tree().WalkTree(k, [&](const DesignObject& o) {
    subtree.insert(GetAttribute(o, kName).toLower());
    return false;
  });
  if (collapse)
    expanded.subtract(subtree);
  else
    expanded.unite(subtree);
  RefreshTreeView(expanded, k);
}

// ---- drag and drop -----------------------------------------------------------------------------

void Designer::BeginItemDrag(const QString& key) {
  if (dragging_) return;
  draggedKey_ = key;
  dragging_ = true;
  if (TreeControl()) TreeControl()->setCursor(Qt::ClosedHandCursor);
}

void Designer::DragMove(const QPoint& viewportPos) {
  if (!dragging_ || !TreeControl()) return;
  QTreeWidgetItem* under = TreeControl()->itemAt(viewportPos);
  const QString key = TreeView::KeyOf(under);
  if (key == dropTargetKey_) return;
  if (QTreeWidgetItem* old = ItemForKey(dropTargetKey_)) old->setData(0, Qt::BackgroundRole, {});
  dropTargetKey_ = key;
  if (under)
    under->setBackground(0, TreeControl()->palette().color(QPalette::Highlight).lighter(160));
}

void Designer::DropItem(const QPoint& viewportPos) {
  if (!dragging_) return;
  dragging_ = false;
  DragMove(viewportPos);
  const QString targetKey = dropTargetKey_;
  if (TreeControl()) TreeControl()->unsetCursor();
  if (QTreeWidgetItem* old = ItemForKey(dropTargetKey_)) old->setData(0, Qt::BackgroundRole, {});
  dropTargetKey_.clear();
  const QString source = Tree().Contains(draggedKey_) ? draggedKey_ : QString();
  draggedKey_.clear();

  const DesignObject* target = Tree().Find(targetKey);
  if (!target) return;  // dropped outside any item: only the drag ends
  QStringList alsoExpand{target->parentKey.toLower()};
  const DropDecision d = DecideDrop(Tree(), source, targetKey);
  if (d.move && d.asChild) alsoExpand << targetKey;
  if (d.move) {
    if (std::optional<MoveEdit> move =
            ResolveMove(Tree(), source, targetKey, d.asChild, d.position))
      if (Apply(std::move(*move), EditSource::Command, {}, alsoExpand).changed) return;
  }
  // A refused drop (or one that changes nothing) still refreshes: the dragged object stays
  // selected.
  for (const QString& key : alsoExpand) treeView_->Expand(key);
  if (!source.isEmpty()) Select(source);
}

// ---- commands ----------------------------------------------------------------------------------

void Designer::AddObjectCommand(const QString& cls) {
  const QString parentKey = SelectedKey();
  if (parentKey.isEmpty() || cls.isEmpty()) return;
  // The edit itself refuses to nest deeper than the runtime opens; the menu says so first.
  Apply(AddObjectEdit{parentKey, cls, QString(), settings_.NoCaptions}, EditSource::Command);
}

void Designer::DeleteCommand(bool skipQuestion) {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanDelete(c)) return;
  const QString key = SelectedKey();
  if (key.isEmpty() || c.selected->cls == QLatin1String("dialogs")) return;
  if (!skipQuestion && settings_.ConfirmDelete &&
      !requesters_.AskYesNo(QStringLiteral("Delete item (") + key + QLatin1Char(')'),
                            QStringLiteral("Delete selected object?"), MessageIcon::Information))
    return;
  Apply(DeleteEdit{key}, EditSource::Command);
}

void Designer::RenameCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanRename(c)) return;
  if (!ItemForKey(SelectedKey())) return;
  renameLatch_ = true;
  // Posted, as the platform does: the edit starts once the current event is done.
  QTimer::singleShot(0, this, [this, key = SelectedKey()] {
    if (QTreeWidgetItem* it = ItemForKey(key)) TreeControl()->editItem(it, 0);
  });
}

bool Designer::AllowLabelEdit(const QModelIndex& index) {
  const bool allowed = renameLatch_;
  renameLatch_ = false;
  if (!allowed) return false;
  return index.data(Qt::DisplayRole).toString().toLower() != QLatin1String("dialogs");
}

bool Designer::RenameObject(const std::optional<QString>& edited) {
  if (!edited) return false;
  const DesignObject* o = SelectedObject();
  if (!o) return false;
  const QString n = *edited;
  auto refuse = [this](const QString& why) {
    if (panel_)
      panel_->ShowRefusal(QString(why).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    return false;
  };
  if (n.isEmpty()) return refuse(QStringLiteral("An object needs a name."));
  if (schema_.ClassHasAttribute(o->cls, QStringLiteral("onevent")) ||
      schema_.ClassHasAttribute(o->cls, QStringLiteral("variable")) ||
      o->cls == QLatin1String("window")) {
    const QString problem = ObjectNameProblem(n.toLower());
    if (!problem.isEmpty()) {
      requesters_.Message(QStringLiteral("Invalid object name"), problem, MessageIcon::Warning);
      return refuse(problem);
    }
  }
  const QString key = n.toLower();
  if (key != o->key && Tree().Contains(key))
    return refuse(QStringLiteral("This name is already used by another object."));
  // An unchanged name is refused by the edit itself, without a word.
  return Apply(RenameEdit{o->key, n}, EditSource::Command).changed;
}

// ---- clipboard ---------------------------------------------------------------------------------

void Designer::CopyCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanCopy(c)) return;
  clipboard_.Copy(Tree(), SelectedKey());
}

void Designer::CutCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanCut(c)) return;
  CopyCommand();
  const QString key = SelectedKey();
  Apply(DeleteEdit{key}, EditSource::Command,
        QStringLiteral("Cut '") + GetAttribute(*c.selected, kName) + QLatin1Char('\''));
}

void Designer::PasteCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanPaste(Tree(), c, clipboard_.Object(), clipboard_.Height()))
    return;
  InsertSubtreeEdit paste;
  paste.parentKey = SelectedKey();
  paste.entries = clipboard_.Entries();
  paste.renameTaken = true;
  Apply(std::move(paste), EditSource::Command);
}

// ---- context menu ------------------------------------------------------------------------------

MenuState Designer::CurrentMenuState() const {
  MenuState m;
  SelectionContextNow(m.selection);
  m.settings = settings_;
  if (const DesignObject* held = clipboard_.Object()) m.clipboardName = GetAttribute(*held, kName);
  m.canPaste = CanPaste(Tree(), m.selection, clipboard_.Object(), clipboard_.Height());
  if (undo_.canUndo()) m.undoText = undo_.undoText();
  if (undo_.canRedo()) m.redoText = undo_.redoText();
  m.canTestWindow = preview_ && preview_->Window() != nullptr;
  return m;
}

std::unique_ptr<QMenu> Designer::BuildContextMenu() {
  SelectionContext c;
  if (!SelectionContextNow(c)) return nullptr;
  std::unique_ptr<QMenu> menu = BuildCommandMenu(CurrentMenuState(), TreeControl());
  // Only enabled items run a command; headings and disabled items do nothing.
  for (QAction* a : menu->findChildren<QAction*>()) {
    if (!a->isEnabled() || a->menu() || a->isSeparator() || !a->data().isValid()) continue;
    const int command = a->data().toInt();
    connect(a, &QAction::triggered, this, [this, command] { DispatchMenuCommand(command); });
  }
  return menu;
}

void Designer::ShowContextMenu(const QPoint& globalPos) {
  contextMenu_.reset();  // a new build replaces the menu of the last right click
  contextMenu_ = BuildContextMenu();
  if (contextMenu_) contextMenu_->popup(globalPos);
}

void Designer::DispatchMenuCommand(int number) {
  const auto command = static_cast<Command>(number);
  if (number >= static_cast<int>(Command::AddFirst) &&
      number <= static_cast<int>(Command::AddLast)) {
    AddObjectCommand(ClassForAddCommand(number));
    return;
  }
  switch (command) {
    case Command::Delete:
      DeleteCommand(false);
      return;
    case Command::Rename:
      RenameCommand();
      return;
    case Command::Cut:
      CutCommand();
      return;
    case Command::Copy:
      CopyCommand();
      return;
    case Command::Paste:
      PasteCommand();
      return;
    case Command::ExportCode:
      ExportSourceCommand();
      return;
    case Command::ExportXml:
      ExportXmlCommand();
      return;
    case Command::ImportXml:
      ImportXmlCommand();
      return;
    case Command::RefreshUi:
      RefreshAll();
      return;
    case Command::ToggleExportToClipboard:
      settings_.Export2Clipboard = !settings_.Export2Clipboard;
      return;
    case Command::ToggleEmptyText:
      settings_.NoCaptions = !settings_.NoCaptions;
      return;
    case Command::ToggleWarnUnsaved:
      settings_.ConfirmChanges = !settings_.ConfirmChanges;
      return;
    case Command::ToggleOpenPbFile:
      settings_.RunCode = !settings_.RunCode;
      return;
    case Command::ToggleDpiPatch:
      settings_.DPIPatch = !settings_.DPIPatch;
      RebuildPreview(OwningWindow(Tree(), SelectedKey()));
      return;
    case Command::ToggleConfirmDelete:
      settings_.ConfirmDelete = !settings_.ConfirmDelete;
      return;
    case Command::ToggleNoLoop:
      settings_.NoLoop = !settings_.NoLoop;
      return;
    case Command::ExpandBranch:
      ExpandBranch(SelectedKey(), false);
      return;
    case Command::CollapseBranch:
      ExpandBranch(SelectedKey(), true);
      return;
    case Command::Undo:
      Undo();
      return;
    case Command::Redo:
      Redo();
      return;
    case Command::TestWindow:
      OpenTestWindow();
      return;
    default:
      return;  // headings and unknown numbers do nothing
  }
}

void Designer::TreeKeyHandler(int key, Qt::KeyboardModifiers modifiers) {
  // While a label is being edited the keys belong to the editor.
  if (TreeControl() && TreeControl()->IsEditing()) return;
  const Command c = ShortcutCommand(key, modifiers.testFlag(Qt::ControlModifier),
                                    modifiers.testFlag(Qt::ShiftModifier));
  if (c != Command::None) DispatchMenuCommand(static_cast<int>(c));
}

}  // namespace bxw
