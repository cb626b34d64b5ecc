// The designer's commands: context menu, shortcuts, tree view operations, drag and drop, the
// object clipboard and renaming.
#include <QMenu>
#include <QPainter>
#include <QTreeWidgetItem>
#include <cmath>

#include "app/designer.h"
#include "app/windows.h"
#include "model/drop_rules.h"
#include "model/names.h"

namespace bxw {

namespace {

constexpr int kKeyRole = Qt::UserRole;

// A 16 x 16 icon: a boxed gradient from colour B at the centre through colour A at p2 to the
// background at p1 and the edge.
QIcon MakeIcon(double p1, double p2, int low, int high, const QColor& background,
               RandomSource& random) {
  auto draw = [&] { return QColor(random.Uniform(low, high), random.Uniform(low, high),
                                  random.Uniform(low, high)); };
  const QColor a = draw();
  const QColor b = draw();
  auto mix = [](const QColor& x, const QColor& y, double t) {
    return QColor(qRound(x.red() + (y.red() - x.red()) * t),
                  qRound(x.green() + (y.green() - x.green()) * t),
                  qRound(x.blue() + (y.blue() - x.blue()) * t));
  };
  QImage image(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Box distance from the centre: 0 in the middle, 1 at the edge.
      const double d = std::max(std::abs(x + 0.5 - 8.0), std::abs(y + 0.5 - 8.0)) / 8.0;
      QColor c;
      if (d <= p2) c = mix(b, a, p2 > 0 ? d / p2 : 1.0);
      else if (d <= p1) c = mix(a, background, (d - p2) / (p1 - p2));
      else c = background;
      image.setPixelColor(x, y, c);
    }
  }
  return QIcon(QPixmap::fromImage(image));
}

QAction* AddItem(QMenu* menu, const QString& caption, int command, bool enabled) {
  QAction* action = menu->addAction(caption);
  action->setData(command);
  action->setEnabled(enabled);
  return action;
}

}  // namespace

// ---- tree view ---------------------------------------------------------------------------------

QIcon Designer::IconForClass(const QString& cls) {
  QString kind = QStringLiteral("gadget");
  if (cls == QLatin1String("dialogs")) kind = QStringLiteral("root");
  else if (cls == QLatin1String("window")) kind = QStringLiteral("window");
  else if (IsContainerClass(cls)) kind = QStringLiteral("container");
  if (icons_.isEmpty()) {
    // Made once, in this order, so the random draws follow the same sequence every run.
    const QColor bg = treeControl_ ? treeControl_->palette().color(QPalette::Base) : QColor(Qt::white);
    icons_.insert(QStringLiteral("root"), MakeIcon(0.8, 0.7, 135, 180, bg, random_));
    icons_.insert(QStringLiteral("window"), MakeIcon(0.7, 0.6, 148, 198, bg, random_));
    icons_.insert(QStringLiteral("container"), MakeIcon(0.6, 0.5, 164, 218, bg, random_));
    icons_.insert(QStringLiteral("gadget"), MakeIcon(0.5, 0.4, 180, 240, bg, random_));
  }
  return icons_.value(kind);
}

void Designer::ExpandBranch(const QString& key, bool collapse) {
  const QString k = key.toLower();
  if (k.isEmpty() || !tree_.Contains(k)) return;
  QSet<QString> expanded = CollectExpandedState();
  QSet<QString> subtree;
  tree_.WalkTree(k, [&](const DesignObject& o) {
    subtree.insert(GetAttribute(o, QStringLiteral("name")).toLower());
    return false;
  });
  if (collapse) expanded.subtract(subtree);
  else expanded.unite(subtree);
  RefreshTreeView(expanded, k);
}

void Designer::RefreshAll() { RefreshChain(SelectedKey()); }

// ---- drag and drop -----------------------------------------------------------------------------

void Designer::BeginItemDrag(const QString& key) {
  if (dragging_) return;
  draggedKey_ = key;
  dragging_ = true;
  if (treeControl_) treeControl_->setCursor(Qt::ClosedHandCursor);
}

void Designer::DragMove(const QPoint& viewportPos) {
  if (!dragging_ || !treeControl_) return;
  QTreeWidgetItem* under = treeControl_->itemAt(viewportPos);
  const QString key = under ? under->data(0, kKeyRole).toString() : QString();
  if (key == dropTargetKey_) return;
  if (QTreeWidgetItem* old = ItemForKey(dropTargetKey_)) old->setData(0, Qt::BackgroundRole, {});
  dropTargetKey_ = key;
  if (under) under->setBackground(0, treeControl_->palette().color(QPalette::Highlight).lighter(160));
}

void Designer::DropItem(const QPoint& viewportPos) {
  if (!dragging_) return;
  dragging_ = false;
  DragMove(viewportPos);
  const QString targetKey = dropTargetKey_;
  if (treeControl_) treeControl_->unsetCursor();

  const DesignObject* target = tree_.Find(targetKey);
  QSet<QString> alsoExpand;
  if (target) {
    const DropDecision d = DecideDrop(tree_, draggedKey_, targetKey);
    if (d.move) tree_.MoveNode(draggedKey_, targetKey, d.asChild, d.position);
    alsoExpand.insert(target->parentKey.toLower());
    if (d.move && d.asChild) alsoExpand.insert(targetKey);
  }
  const QString source = tree_.Contains(draggedKey_) ? draggedKey_ : QString();
  draggedKey_.clear();
  if (!target) {
    // Dropped outside any item: only the drag ends.
    if (QTreeWidgetItem* old = ItemForKey(dropTargetKey_)) old->setData(0, Qt::BackgroundRole, {});
    dropTargetKey_.clear();
    return;
  }
  RefreshChain(source, alsoExpand);
}

// ---- clipboard ---------------------------------------------------------------------------------

void Designer::CopyCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanCopy(c)) return;
  clipboard_.Copy(tree_, SelectedKey());
}

void Designer::CutCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanCut(c)) return;
  CopyCommand();
  DeleteCommand(true);
}

void Designer::PasteCommand() {
  SelectionContext c;
  if (!SelectionContextNow(c) || !CanPaste(tree_, c, clipboard_.Object())) return;
  const QString top = clipboard_.Paste(tree_, SelectedKey(), settings_.NoCaptions);
  if (top.isEmpty()) return;
  RefreshChain(top);
}

// ---- renaming ----------------------------------------------------------------------------------

bool Designer::RenameObject(const std::optional<QString>& edited) {
  if (!edited) return false;
  DesignObject* o = SelectedObject();
  if (!o) return false;
  const QString n = *edited;
  const QString k = n.toLower();
  if (schema_.ClassHasAttribute(o->cls, QStringLiteral("onevent")) ||
      schema_.ClassHasAttribute(o->cls, QStringLiteral("variable")) ||
      o->cls == QLatin1String("window")) {
    const QString problem = ObjectNameProblem(k);
    if (!problem.isEmpty()) {
      requesters_.Message(QStringLiteral("Invalid object name"), problem, MessageIcon::Warning);
      return false;
    }
  }
  const QString oldKey = o->key;
  const bool caseOnly = k == oldKey && n != GetAttribute(*o, QStringLiteral("name"));
  if (!caseOnly && !tree_.RekeyNode(oldKey, k)) return false;
  DesignObject* renamed = tree_.Find(k);
  renamed->key = k;
  SetAttribute(*renamed, QStringLiteral("name"), n);
  if (QTreeWidgetItem* item = treeControl_ ? treeControl_->currentItem() : nullptr) {
    refreshing_ = true;
    item->setData(0, kKeyRole, k);
    item->setText(0, n);
    refreshing_ = false;
  }
  RebuildPreview(OwningWindow(tree_, SelectedKey()));
  ShowProperties(SelectedObject());
  return true;
}

// ---- context menu ------------------------------------------------------------------------------

std::unique_ptr<QMenu> Designer::BuildContextMenu() {
  SelectionContext c;
  if (!SelectionContextNow(c)) return nullptr;
  const bool canAddGadget = c.canAddChildren && !c.full && !c.isPanel;
  const bool canAddTab = c.canAddChildren && !c.full && c.isPanel;
  QString addCaption = QStringLiteral("New");
  if (!c.isRoot && c.canAddChildren && c.full) addCaption = QStringLiteral("(container is full)");
  else if (!c.isRoot && !c.canAddChildren) addCaption = QStringLiteral("(not a container)");

  auto menu = std::make_unique<QMenu>(treeControl_);
  QMenu* add = menu->addMenu(addCaption);
  add->menuAction()->setEnabled(c.isRoot || canAddGadget || canAddTab);
  if (c.isRoot) AddItem(add, QStringLiteral("Window\t1"), 14, true);
  if (canAddGadget || canAddTab) {
    QMenu* box = add->addMenu(QStringLiteral("Container"));
    if (canAddGadget) {
      AddItem(box, QStringLiteral("HBox"), 15, true);
      AddItem(box, QStringLiteral("VBox"), 16, true);
      AddItem(box, QStringLiteral("GridBox"), 17, true);
      AddItem(box, QStringLiteral("Splitter\t2"), 23, true);
      box->addSeparator();
      AddItem(box, QStringLiteral("MultiBox"), 18, true);
      box->addSeparator();
      AddItem(box, QStringLiteral("SingleBox\t1"), 19, true);
      AddItem(box, QStringLiteral("Container\t1"), 20, true);
      AddItem(box, QStringLiteral("Frame\t1"), 22, true);
      AddItem(box, QStringLiteral("ScrollArea\t1"), 21, true);
      box->addSeparator();
      AddItem(box, QStringLiteral("Panel"), 24, true);
    }
    if (canAddTab) AddItem(box, QStringLiteral("Tab"), 51, true);
  }
  if (canAddGadget) {
    add->addSeparator();
    QMenu* input = add->addMenu(QStringLiteral("Button / Input"));
    AddItem(input, QStringLiteral("Button"), 25, true);
    AddItem(input, QStringLiteral("ButtonImage"), 26, true);
    input->addSeparator();
    AddItem(input, QStringLiteral("CheckBox"), 27, true);
    AddItem(input, QStringLiteral("OptionBox"), 28, true);
    input->addSeparator();
    AddItem(input, QStringLiteral("ScrollBar"), 44, true);
    AddItem(input, QStringLiteral("TrackBar"), 45, true);
    AddItem(input, QStringLiteral("SpinBox"), 46, true);
    QMenu* display = add->addMenu(QStringLiteral("Image / Display"));
    AddItem(display, QStringLiteral("Canvas"), 35, true);
    AddItem(display, QStringLiteral("Image"), 36, true);
    display->addSeparator();
    AddItem(display, QStringLiteral("ProgressBar"), 49, true);
    QMenu* text = add->addMenu(QStringLiteral("Text / String"));
    AddItem(text, QStringLiteral("Editor"), 29, true);
    AddItem(text, QStringLiteral("String"), 30, true);
    AddItem(text, QStringLiteral("Text"), 31, true);
    AddItem(text, QStringLiteral("Scintilla"), 32, true);
    text->addSeparator();
    AddItem(text, QStringLiteral("IP address"), 33, true);
    AddItem(text, QStringLiteral("Hyperlink"), 34, true);
    AddItem(text, QStringLiteral("Web"), 50, true);
    text->addSeparator();
    AddItem(text, QStringLiteral("Date"), 47, true);
    AddItem(text, QStringLiteral("Calendar"), 48, true);
    QMenu* list = add->addMenu(QStringLiteral("List"));
    AddItem(list, QStringLiteral("ListCombo"), 37, true);
    AddItem(list, QStringLiteral("ListIcon"), 38, true);
    AddItem(list, QStringLiteral("ListView"), 39, true);
    list->addSeparator();
    AddItem(list, QStringLiteral("TreeView"), 40, true);
    list->addSeparator();
    AddItem(list, QStringLiteral("ExplorerCombo"), 41, true);
    AddItem(list, QStringLiteral("ExplorerList"), 42, true);
    AddItem(list, QStringLiteral("ExplorerTree"), 43, true);
    add->addSeparator();
    AddItem(add, QStringLiteral("Empty"), 52, true);
  }

  menu->addSeparator();
  AddItem(menu.get(), QStringLiteral("Cut\tCtrl+X"), 7, CanCut(c));
  AddItem(menu.get(), QStringLiteral("Copy\tCtrl+C"), 8, CanCopy(c));
  const DesignObject* held = clipboard_.Object();
  AddItem(menu.get(),
          held ? QStringLiteral("Paste '") + GetAttribute(*held, QStringLiteral("name")) +
                     QStringLiteral("'\tCtrl+V")
               : QStringLiteral("Paste\tCtrl+V"),
          9, CanPaste(tree_, c, held));
  menu->addSeparator();
  AddItem(menu.get(), QStringLiteral("Delete\tDel"), 5, CanDelete(c));
  AddItem(menu.get(), QStringLiteral("Rename\tF2"), 6, CanRename(c));
  menu->addSeparator();
  AddItem(menu.get(), QStringLiteral("Expand ++"), 60, CanExpandCollapse(c));
  AddItem(menu.get(), QStringLiteral("Collapse ++"), 61, CanExpandCollapse(c));
  menu->addSeparator();

  QMenu* config = menu->addMenu(QStringLiteral("BXW Config"));
  auto check = [&](const QString& caption, int command, bool on) {
    QAction* a = AddItem(config, caption, command, true);
    a->setCheckable(true);
    a->setChecked(on);
  };
  AddItem(config, QStringLiteral("# Code and XML export #"), 63, false);
  check(QStringLiteral("Apply DPI-awareness patch"), 57, settings_.DPIPatch);
  check(QStringLiteral("Don't add event loop"), 59, settings_.NoLoop);
  check(QStringLiteral("Export to clipboard"), 53, settings_.Export2Clipboard);
  check(QStringLiteral("Open .pb file after export"), 56, settings_.RunCode);
  AddItem(config, QStringLiteral("# Other #"), 64, false);
  check(QStringLiteral("Empty text for new objects"), 54, settings_.NoCaptions);
  check(QStringLiteral("Confirm tree object deletion"), 58, settings_.ConfirmDelete);
  check(QStringLiteral("Warn about unsaved changes"), 55, settings_.ConfirmChanges);
  AddItem(menu.get(), QStringLiteral("Refresh UI"), 13, true);
  menu->addSeparator();
  const bool canExport = CanExport(c);
  if (settings_.Export2Clipboard) {
    AddItem(menu.get(), QStringLiteral("Copy Code\tCtrl+E"), 10, canExport);
    AddItem(menu.get(), QStringLiteral("Copy XML\tCtrl+S"), 11, canExport);
  } else {
    AddItem(menu.get(), QStringLiteral("Export Code\tCtrl+E"), 10, canExport);
    AddItem(menu.get(), QStringLiteral("Export XML\tCtrl+S"), 11, canExport);
  }
  menu->addSeparator();
  AddItem(menu.get(), QStringLiteral("Import XML..\tCtrl+O"), 12, true);

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

void Designer::DispatchMenuCommand(int command) {
  if (command < 4 || command > 62) return;
  switch (command) {
    case 5: DeleteCommand(false); return;
    case 6: RenameCommand(); return;
    case 7: CutCommand(); return;
    case 8: CopyCommand(); return;
    case 9: PasteCommand(); return;
    case 10: ExportSourceCommand(); return;
    case 11: ExportXmlCommand(); return;
    case 12: ImportXmlCommand(); return;
    case 13: RefreshAll(); return;
    case 53: settings_.Export2Clipboard = !settings_.Export2Clipboard; return;
    case 54: settings_.NoCaptions = !settings_.NoCaptions; return;
    case 55: settings_.ConfirmChanges = !settings_.ConfirmChanges; return;
    case 56: settings_.RunCode = !settings_.RunCode; return;
    case 57:
      settings_.DPIPatch = !settings_.DPIPatch;
      RebuildPreview(OwningWindow(tree_, SelectedKey()));
      return;
    case 58: settings_.ConfirmDelete = !settings_.ConfirmDelete; return;
    case 59: settings_.NoLoop = !settings_.NoLoop; return;
    case 60: ExpandBranch(SelectedKey(), false); return;
    case 61: ExpandBranch(SelectedKey(), true); return;
    default: break;
  }
  if (command >= 14 && command <= 52) AddObjectCommand(ClassForAddCommand(command));
}

void Designer::TreeKeyHandler(int key, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
  switch (key) {
    case Qt::Key_Delete: DeleteCommand(false); return;
    case Qt::Key_F2: RenameCommand(); return;
    default: break;
  }
  if (!ctrl) return;
  switch (key) {
    case Qt::Key_X: CutCommand(); return;
    case Qt::Key_V: PasteCommand(); return;
    case Qt::Key_C: CopyCommand(); return;
    case Qt::Key_E: ExportSourceCommand(); return;
    case Qt::Key_S: ExportXmlCommand(); return;
    case Qt::Key_O: ImportXmlCommand(); return;
    default: return;
  }
}


}  // namespace bxw
