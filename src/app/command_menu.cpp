#include "app/command_menu.h"

#include <QAction>
#include <QMenu>
#include <vector>

namespace bxw {

namespace {

enum class Kind { Item, Separator, Begin, End };
// When an entry is part of the menu at all.
enum class Shown { Always, IsRoot, CanAddGadget, CanAddTab, CanAddAny };
// When a shown item can be chosen.
enum class Enabled {
  Always,
  Never,
  AddMenu,
  Cut,
  Copy,
  Paste,
  Delete,
  Rename,
  ExpandCollapse,
  Export,
  Undo,
  Redo,
  TestWindow
};
// Settings shown as check marks.
enum class Check {
  None,
  DpiPatch,
  NoLoop,
  Export2Clipboard,
  RunCode,
  NoCaptions,
  ConfirmDelete,
  ConfirmChanges
};
// Captions that depend on the state; Fixed uses the entry's text.
enum class Caption { Fixed, AddMenu, Paste, ExportCode, ExportXml, Undo, Redo };

struct Entry {
  Kind kind;
  Command command = Command::None;
  const char* text = "";
  Shown shown = Shown::Always;
  Enabled enabled = Enabled::Always;
  Check check = Check::None;
  Caption caption = Caption::Fixed;
};

constexpr Command Add(int number) {
  return static_cast<Command>(number);
}

Entry Item(Command c, const char* text, Shown shown = Shown::Always,
           Enabled enabled = Enabled::Always) {
  return {Kind::Item, c, text, shown, enabled};
}
Entry Toggle(Command c, const char* text, Check check) {
  return {Kind::Item, c, text, Shown::Always, Enabled::Always, check};
}
Entry Heading(Command c, const char* text) {
  return {Kind::Item, c, text, Shown::Always, Enabled::Never};
}
Entry Dynamic(Command c, Caption caption, Enabled enabled) {
  return {Kind::Item, c, "", Shown::Always, enabled, Check::None, caption};
}
Entry Separator(Shown shown = Shown::Always) {
  return {Kind::Separator, Command::None, "", shown};
}
Entry Begin(const char* text, Shown shown = Shown::Always) {
  return {Kind::Begin, Command::None, text, shown};
}
Entry End() {
  return {Kind::End};
}

// The whole context menu, top to bottom.
const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = {
      {Kind::Begin, Command::None, "", Shown::Always, Enabled::AddMenu, Check::None,
       Caption::AddMenu},
      Item(Add(14), "Window\t1", Shown::IsRoot),
      Begin("Container", Shown::CanAddAny),
      Item(Add(15), "HBox", Shown::CanAddGadget),
      Item(Add(16), "VBox", Shown::CanAddGadget),
      Item(Add(17), "GridBox", Shown::CanAddGadget),
      Item(Add(23), "Splitter\t2", Shown::CanAddGadget),
      Separator(Shown::CanAddGadget),
      Item(Add(18), "MultiBox", Shown::CanAddGadget),
      Separator(Shown::CanAddGadget),
      Item(Add(19), "SingleBox\t1", Shown::CanAddGadget),
      Item(Add(20), "Container\t1", Shown::CanAddGadget),
      Item(Add(22), "Frame\t1", Shown::CanAddGadget),
      Item(Add(21), "ScrollArea\t1", Shown::CanAddGadget),
      Separator(Shown::CanAddGadget),
      Item(Add(24), "Panel", Shown::CanAddGadget),
      Item(Add(51), "Tab", Shown::CanAddTab),
      End(),
      Separator(Shown::CanAddGadget),
      Begin("Button / Input", Shown::CanAddGadget),
      Item(Add(25), "Button"),
      Item(Add(26), "ButtonImage"),
      Separator(),
      Item(Add(27), "CheckBox"),
      Item(Add(28), "OptionBox"),
      Separator(),
      Item(Add(44), "ScrollBar"),
      Item(Add(45), "TrackBar"),
      Item(Add(46), "SpinBox"),
      End(),
      Begin("Image / Display", Shown::CanAddGadget),
      Item(Add(35), "Canvas"),
      Item(Add(36), "Image"),
      Separator(),
      Item(Add(49), "ProgressBar"),
      End(),
      Begin("Text / String", Shown::CanAddGadget),
      Item(Add(29), "Editor"),
      Item(Add(30), "String"),
      Item(Add(31), "Text"),
      Item(Add(32), "Scintilla"),
      Separator(),
      Item(Add(33), "IP address"),
      Item(Add(34), "Hyperlink"),
      Item(Add(50), "Web"),
      Separator(),
      Item(Add(47), "Date"),
      Item(Add(48), "Calendar"),
      End(),
      Begin("List", Shown::CanAddGadget),
      Item(Add(37), "ListCombo"),
      Item(Add(38), "ListIcon"),
      Item(Add(39), "ListView"),
      Separator(),
      Item(Add(40), "TreeView"),
      Separator(),
      Item(Add(41), "ExplorerCombo"),
      Item(Add(42), "ExplorerList"),
      Item(Add(43), "ExplorerTree"),
      End(),
      Separator(Shown::CanAddGadget),
      Item(Add(52), "Empty", Shown::CanAddGadget),
      End(),
      Separator(),
      Item(Command::Cut, "Cut\tCtrl+X", Shown::Always, Enabled::Cut),
      Item(Command::Copy, "Copy\tCtrl+C", Shown::Always, Enabled::Copy),
      Dynamic(Command::Paste, Caption::Paste, Enabled::Paste),
      Separator(),
      Item(Command::Delete, "Delete\tDel", Shown::Always, Enabled::Delete),
      Item(Command::Rename, "Rename\tF2", Shown::Always, Enabled::Rename),
      Separator(),
      Item(Command::ExpandBranch, "Expand ++", Shown::Always, Enabled::ExpandCollapse),
      Item(Command::CollapseBranch, "Collapse ++", Shown::Always, Enabled::ExpandCollapse),
      Separator(),
      Begin("BXW Config"),
      Heading(Command::HeadingExport, "# Code and XML export #"),
      Toggle(Command::ToggleDpiPatch, "Apply DPI-awareness patch", Check::DpiPatch),
      Toggle(Command::ToggleNoLoop, "Don't add event loop", Check::NoLoop),
      Toggle(Command::ToggleExportToClipboard, "Export to clipboard", Check::Export2Clipboard),
      Toggle(Command::ToggleOpenPbFile, "Open .pb file after export", Check::RunCode),
      Heading(Command::HeadingOther, "# Other #"),
      Toggle(Command::ToggleEmptyText, "Empty text for new objects", Check::NoCaptions),
      Toggle(Command::ToggleConfirmDelete, "Confirm tree object deletion", Check::ConfirmDelete),
      Toggle(Command::ToggleWarnUnsaved, "Warn about unsaved changes", Check::ConfirmChanges),
      End(),
      Item(Command::RefreshUi, "Refresh UI"),
      Item(Command::TestWindow, "Test window\tCtrl+T", Shown::Always, Enabled::TestWindow),
      Separator(),
      Dynamic(Command::ExportCode, Caption::ExportCode, Enabled::Export),
      Dynamic(Command::ExportXml, Caption::ExportXml, Enabled::Export),
      Separator(),
      Item(Command::ImportXml, "Import XML..\tCtrl+O"),
      Separator(),
      Dynamic(Command::Undo, Caption::Undo, Enabled::Undo),
      Dynamic(Command::Redo, Caption::Redo, Enabled::Redo),
  };
  return table;
}

struct Decisions {
  const MenuState& s;
  bool canAddGadget = false;
  bool canAddTab = false;

  explicit Decisions(const MenuState& state) : s(state) {
    const SelectionContext& c = s.selection;
    canAddGadget = c.canAddChildren && !c.full && !c.isPanel && !c.atNestingLimit;
    canAddTab = c.canAddChildren && !c.full && c.isPanel && !c.atNestingLimit;
  }

  bool Shows(Shown w) const {
    switch (w) {
      case Shown::Always:
        return true;
      case Shown::IsRoot:
        return s.selection.isRoot;
      case Shown::CanAddGadget:
        return canAddGadget;
      case Shown::CanAddTab:
        return canAddTab;
      case Shown::CanAddAny:
        return canAddGadget || canAddTab;
    }
    return false;
  }

  bool Enables(Enabled e) const {
    const SelectionContext& c = s.selection;
    switch (e) {
      case Enabled::Always:
        return true;
      case Enabled::Never:
        return false;
      case Enabled::AddMenu:
        return c.isRoot || canAddGadget || canAddTab;
      case Enabled::Cut:
        return CanCut(c);
      case Enabled::Copy:
        return CanCopy(c);
      case Enabled::Paste:
        return s.canPaste;
      case Enabled::Delete:
        return CanDelete(c);
      case Enabled::Rename:
        return CanRename(c);
      case Enabled::ExpandCollapse:
        return CanExpandCollapse(c);
      case Enabled::Export:
        return CanExport(c);
      case Enabled::Undo:
        return !s.undoText.isEmpty();
      case Enabled::Redo:
        return !s.redoText.isEmpty();
      case Enabled::TestWindow:
        return s.canTestWindow;
    }
    return false;
  }

  bool Checked(Check k) const {
    const Settings& t = s.settings;
    switch (k) {
      case Check::None:
        return false;
      case Check::DpiPatch:
        return t.DPIPatch;
      case Check::NoLoop:
        return t.NoLoop;
      case Check::Export2Clipboard:
        return t.Export2Clipboard;
      case Check::RunCode:
        return t.RunCode;
      case Check::NoCaptions:
        return t.NoCaptions;
      case Check::ConfirmDelete:
        return t.ConfirmDelete;
      case Check::ConfirmChanges:
        return t.ConfirmChanges;
    }
    return false;
  }

  QString CaptionOf(const Entry& e) const {
    const SelectionContext& c = s.selection;
    switch (e.caption) {
      case Caption::Fixed:
        return QString::fromUtf8(e.text);
      case Caption::AddMenu:
        if (!c.isRoot && c.canAddChildren && c.full) return QStringLiteral("(container is full)");
        if (!c.isRoot && !c.canAddChildren) return QStringLiteral("(not a container)");
        return QStringLiteral("New");
      case Caption::Paste:
        return s.clipboardName.isEmpty()
                   ? QStringLiteral("Paste\tCtrl+V")
                   : QStringLiteral("Paste '") + s.clipboardName + QStringLiteral("'\tCtrl+V");
      case Caption::ExportCode:
        return s.settings.Export2Clipboard ? QStringLiteral("Copy Code\tCtrl+E")
                                           : QStringLiteral("Export Code\tCtrl+E");
      case Caption::ExportXml:
        return s.settings.Export2Clipboard ? QStringLiteral("Copy XML\tCtrl+S")
                                           : QStringLiteral("Export XML\tCtrl+S");
      case Caption::Undo:
        return s.undoText.isEmpty()
                   ? QStringLiteral("Undo\tCtrl+Z")
                   : QStringLiteral("Undo ") + s.undoText + QStringLiteral("\tCtrl+Z");
      case Caption::Redo:
        return s.redoText.isEmpty()
                   ? QStringLiteral("Redo\tCtrl+Y")
                   : QStringLiteral("Redo ") + s.redoText + QStringLiteral("\tCtrl+Y");
    }
    return QString();
  }
};

}  // namespace

std::unique_ptr<QMenu> BuildCommandMenu(const MenuState& state, QWidget* parent) {
  const Decisions d(state);
  auto menu = std::make_unique<QMenu>(parent);
  std::vector<QMenu*> open{menu.get()};
  int skipping = 0;  // depth inside a sub-menu that is not shown
  for (const Entry& e : Table()) {
    if (skipping > 0) {
      if (e.kind == Kind::Begin)
        ++skipping;
      else if (e.kind == Kind::End)
        --skipping;
      continue;
    }
    if (e.kind == Kind::End) {
      open.pop_back();
      continue;
    }
    if (!d.Shows(e.shown)) {
      if (e.kind == Kind::Begin) skipping = 1;
      continue;
    }
    QMenu* into = open.back();
    switch (e.kind) {
      case Kind::Separator:
        into->addSeparator();
        break;
      case Kind::Begin: {
        QMenu* sub = into->addMenu(d.CaptionOf(e));
        sub->menuAction()->setEnabled(d.Enables(e.enabled));
        open.push_back(sub);
        break;
      }
      case Kind::Item: {
        QAction* a = into->addAction(d.CaptionOf(e));
        a->setData(static_cast<int>(e.command));
        a->setEnabled(d.Enables(e.enabled));
        if (e.check != Check::None) {
          a->setCheckable(true);
          a->setChecked(d.Checked(e.check));
        }
        break;
      }
      case Kind::End:
        break;
    }
  }
  return menu;
}

Command ShortcutCommand(int key, bool ctrl, bool shift) {
  struct Key {
    int key;
    bool ctrl;
    bool shift;  // only where Shift makes another command
    Command command;
  };
  static const Key kKeys[] = {
      {Qt::Key_Delete, false, false, Command::Delete},
      {Qt::Key_F2, false, false, Command::Rename},
      {Qt::Key_X, true, false, Command::Cut},
      {Qt::Key_V, true, false, Command::Paste},
      {Qt::Key_C, true, false, Command::Copy},
      {Qt::Key_E, true, false, Command::ExportCode},
      {Qt::Key_S, true, false, Command::ExportXml},
      {Qt::Key_O, true, false, Command::ImportXml},
      {Qt::Key_Z, true, true, Command::Redo},
      {Qt::Key_Z, true, false, Command::Undo},
      {Qt::Key_Y, true, false, Command::Redo},
      {Qt::Key_T, true, false, Command::TestWindow},
  };
  for (const Key& k : kKeys) {
    if (k.key != key || (k.ctrl && !ctrl)) continue;
    if (k.shift && !shift) continue;
    return k.command;
  }
  return Command::None;
}

}  // namespace bxw
