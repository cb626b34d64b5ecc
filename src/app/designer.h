#pragma once
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <memory>
#include <optional>

#include "app/command_menu.h"
#include "platform/layout_metrics.h"
#include "app/recovery_journal.h"
#include "app/shell_windows.h"
#include "app/tree_view.h"
#include "model/app_info.h"
#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "model/object_clipboard.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "app/workflows/designer_context.h"
#include "xml/dialog_xml_writer.h"

class QLabel;
class QMenu;
class QMdiArea;
class QScrollArea;
class QTreeWidgetItem;

namespace bxw {

class MainWindow;
class PropertiesPanel;
class ToolSubWindow;
class DesignTreeWidget;
class TreeRenameDelegate;
class PreviewHost;

struct DesignerOptions {
  QString settingsPath;  // read and written when given; empty: found from the program's path
  double scaleX = 0;     // 0: read the screen's resolution
  double scaleY = 0;
  QString recoveryFolder;  // where the recovery journals live; empty: no journal
};

// Where an edit came from: it decides how the views follow it.
enum class EditSource {
  Command,     // a menu item, shortcut or drag in the tree
  Properties,  // an editor of the Properties panel, which shows the value already
  UndoRedo,
  Import,
};

// Owns the whole designer: the document (through its edit layer), the schema, the settings, the
// undo history, the recovery journal, the three windows and their views. Everything is reached
// through one instance; tests make a fresh one per case.
class Designer final : public QObject {
  Q_OBJECT
public:
  Designer(Requesters& requesters, Clock& clock, RandomSource& random,
           DesignerOptions options = {});
  ~Designer() override;

  void Startup();

  // ---- state ----
  const DesignTree& Tree() const { return editor_.Tree(); }
  const DesignEditor& Editor() const { return editor_; }
  const ClassSchema& Schema() const { return schema_; }
  Settings& Config() { return settings_; }
  const LayoutMetrics& Metrics() const { return metrics_; }
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  QString SettingsPath() const { return settingsPath_; }
  Requesters& Ask() { return requesters_; }

  QString SavedSnapshot() const { return savedSnapshot_; }
  void RecordSavedSnapshot(const QString& fingerprint);
  QString Fingerprint() const;

  // ---- editing ----
  // The one entry point for changes of the design: applies the edit, records it for undo (unless
  // it changed nothing) under the description, or one made from what changed, and runs the
  // refresh chain. alsoExpand opens further items of the tree.
  EditOutcome Apply(Edit edit, EditSource source, const QString& description = {},
                    const QStringList& alsoExpand = {});
  void Undo();
  void Redo();
  const QUndoStack& UndoStack() const { return undo_; }
  RecoveryJournal& Journal() { return journal_; }
  // Writes or removes the journal now, as its timer would.
  void UpdateJournal();

  // ---- windows ----
  MainWindow* Main() const { return shell_.Main(); }
  QMdiArea* Area() const { return shell_.Area(); }
  ToolSubWindow* TreeWindow() const { return shell_.TreeWindow(); }
  ToolSubWindow* PropertiesWindow() const { return shell_.PropertiesWindow(); }
  DesignTreeWidget* TreeControl() const { return shell_.TreeControl(); }
  QScrollArea* PropertiesArea() const { return shell_.PropertiesArea(); }
  QLabel* HelpText() const { return shell_.HelpText(); }

  // ---- selection: the designer's own state, which the tree view follows ----
  QString SelectedKey() const { return selectedKey_; }
  const DesignObject* SelectedObject() const;
  // Selects the object as a click in the tree would.
  void Select(const QString& key);
  QTreeWidgetItem* ItemForKey(const QString& key) const;
  bool SelectionContextNow(SelectionContext& out) const;

  // ---- tree view ----
  void RefreshTreeView(const QSet<QString>& expanded, const QString& nameToSelect);
  QSet<QString> CollectExpandedState() const;
  void ExpandBranch(const QString& key, bool collapse);
  void RefreshAll();
  QIcon IconForClass(const QString& cls);
  TreeView* View() const { return treeView_.get(); }

  // ---- drag and drop in the tree ----
  void BeginItemDrag(const QString& key);
  void DragMove(const QPoint& viewportPos);
  void DropItem(const QPoint& viewportPos);
  bool Dragging() const { return dragging_; }
  QString DropTargetKey() const { return dropTargetKey_; }

  // ---- commands ----
  void AddObjectCommand(const QString& cls);
  void DeleteCommand(bool skipQuestion);
  void RenameCommand();
  bool RenameLatch() const { return renameLatch_; }
  // The end of an in-place label edit: accepts or refuses the new name (nullopt: cancelled).
  bool RenameObject(const std::optional<QString>& edited);
  void CopyCommand();
  void CutCommand();
  void PasteCommand();
  const ObjectClipboard& Clipboard() const { return clipboard_; }
  void ExportSourceCommand();
  void ExportXmlCommand();
  void ImportXmlCommand();

  // ---- context menu and shortcuts ----
  std::unique_ptr<QMenu> BuildContextMenu();
  void ShowContextMenu(const QPoint& globalPos);
  void DispatchMenuCommand(int command);
  void TreeKeyHandler(int key, Qt::KeyboardModifiers modifiers);

  // ---- quit ----
  bool QuitRequested();  // the main window's close test; true to quit
  void Shutdown();

  // ---- relayouts (run by the 24 ms timers; public for tests) ----
  void MainRelayout() { shell_.MainRelayout(); }
  void TreeRelayout() { shell_.TreeRelayout(); }
  void PropertiesRelayout() { shell_.PropertiesRelayout(); }
  QSize LastMainSize() const { return shell_.LastMainSize(); }

  // The Properties panel for the object, or emptied for none.
  void ShowProperties(const DesignObject* object);
  PropertiesPanel* Panel() const { return panel_.get(); }
  // Rebuilds the live preview for the window (none clears it) and puts its status in the title.
  void RebuildPreview(const DesignObject* window);
  QString PreviewedWindowKey() const { return previewedKey_; }
  PreviewHost* Preview() const { return preview_.get(); }
  // "Test window": the previewed window as a live top-level window, until it is closed.
  void OpenTestWindow();
  // What the XML and source commands work on: the design, settings, requesters and the shell's
  // hooks (clipboard, edits, the design's file, opening a written file).
  DesignerContext Context();

  // Deferred preview rebuild after property edits: restarts the one-shot timer and records the
  // window that owns the selection; a burst of edits rebuilds once.
  void SchedulePreviewRebuild(int delayMs);
  const QTimer& PreviewTimer() const { return previewTimer_; }
  QString PreviewRebuildKey() const { return previewRebuildKey_; }

  void ImportDroppedFiles(const QStringList& files);

private:
  friend class EditCommand;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void WireWindows();
  void OnUserSelected(const QString& key);
  void AfterSelectionChanged();
  // The preview outlines the selection; a click there selects what it hit.
  void OutlineSelection();
  void PickInPreview(const QString& name);
  bool AllowLabelEdit(const QModelIndex& index);
  // Applies without recording: the undo history's own replays come through here.
  EditOutcome ApplyAndRefresh(Edit edit, EditSource source);
  void Follow(const EditOutcome& outcome, EditSource source);
  void UpdateTreeWindowTitle();
  void OfferRecovery();
  MenuState CurrentMenuState() const;

  Requesters& requesters_;
  Clock& clock_;
  RandomSource& random_;
  DesignerOptions options_;

  double scaleX_ = 1, scaleY_ = 1;
  LayoutMetrics metrics_;
  QString settingsPath_;
  DesignEditor editor_;
  ClassSchema schema_;
  Settings settings_;
  QString savedSnapshot_;

  ShellWindows shell_{metrics_};
  TreeRenameDelegate* renameDelegate_ = nullptr;
  std::unique_ptr<TreeView> treeView_;
  QString selectedKey_;

  QUndoStack undo_;
  int saveGeneration_ = 0;  // typing bursts never merge across a save
  RecoveryJournal journal_;
  QTimer journalTimer_;

  bool discardOnQuit_ = false;  // the user chose to quit without saving
  bool renameLatch_ = false;
  ObjectClipboard clipboard_;
  std::unique_ptr<QMenu> contextMenu_;
  bool dragging_ = false;
  QString draggedKey_;
  QString dropTargetKey_;
  QString previewedKey_;
  DialogXmlWriter writer_;
  std::unique_ptr<PreviewHost> preview_;
  bool previewFailed_ = false;  // the last preview attempt showed nothing
  QTimer previewTimer_;
  QString previewRebuildKey_;  // by key: the window may be deleted before the timer fires
  std::unique_ptr<PropertiesPanel> panel_;
};

}  // namespace bxw
