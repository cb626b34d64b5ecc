#pragma once
#include <QString>
#include <memory>

#include "model/design_tree.h"
#include "model/settings.h"

class QMenu;
class QWidget;

namespace bxw {

// The designer's commands. The numbers are those the context menu has always carried; the add
// commands 14..52 map to classes through ClassForAddCommand.
enum class Command : int {
  None = 0,
  Delete = 5,
  Rename = 6,
  Cut = 7,
  Copy = 8,
  Paste = 9,
  ExportCode = 10,
  ExportXml = 11,
  ImportXml = 12,
  RefreshUi = 13,
  AddFirst = 14,
  AddLast = 52,
  ToggleExportToClipboard = 53,
  ToggleEmptyText = 54,
  ToggleWarnUnsaved = 55,
  ToggleOpenPbFile = 56,
  ToggleDpiPatch = 57,
  ToggleConfirmDelete = 58,
  ToggleNoLoop = 59,
  ExpandBranch = 60,
  CollapseBranch = 61,
  HeadingExport = 63,
  HeadingOther = 64,
  Undo = 65,
  Redo = 66,
  TestWindow = 67,
};

// Everything a menu build looks at, gathered once per right click.
struct MenuState {
  SelectionContext selection;
  Settings settings;
  QString clipboardName;  // the object clipboard's object, empty when it holds none
  bool canPaste = false;
  QString undoText;  // what Undo would take back, empty for nothing
  QString redoText;
  bool canTestWindow = false;  // a window is previewed
};

// Builds the context menu from the command table for this state. Each enabled item carries its
// command number in its data(); headings and disabled items carry none that runs.
std::unique_ptr<QMenu> BuildCommandMenu(const MenuState& state, QWidget* parent);

// The command of a key released in the tree (or, for undo and redo, in the other windows).
Command ShortcutCommand(int key, bool ctrl, bool shift);

}  // namespace bxw
