#pragma once
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QIcon>
#include <memory>
#include <optional>

#include "app/layout_metrics.h"
#include "model/app_info.h"
#include "model/class_schema.h"
#include "model/design_tree.h"
#include "model/object_clipboard.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "xml/designer_context.h"
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

inline const QString kExpandAllMarker = QStringLiteral("WhoWantsToLiveForever");

struct DesignerOptions {
  QString settingsPath;  // read and written when given; empty: found from the program's path
  double scaleX = 0;     // 0: read the screen's resolution
  double scaleY = 0;
};

// Owns the whole designer: the document, the schema, the settings, the three windows and their
// timers. Everything is reached through one instance; tests make a fresh one per case.
class Designer final : public QObject {
  Q_OBJECT
public:
  Designer(Requesters& requesters, Clock& clock, RandomSource& random,
           DesignerOptions options = {});
  ~Designer() override;

  void Startup();

  // ---- state ----
  DesignTree& Tree() { return tree_; }
  const ClassSchema& Schema() const { return schema_; }
  Settings& Config() { return settings_; }
  const LayoutMetrics& Metrics() const { return metrics_; }
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  QString SettingsPath() const { return settingsPath_; }
  Requesters& Ask() { return requesters_; }

  QString SavedSnapshot() const { return savedSnapshot_; }
  void RecordSavedSnapshot(const QString& fingerprint) { savedSnapshot_ = fingerprint; }
  QString Fingerprint() const;

  // ---- windows ----
  MainWindow* Main() const { return main_; }
  QMdiArea* Area() const;
  ToolSubWindow* TreeWindow() const { return treeWindow_; }
  ToolSubWindow* PropertiesWindow() const { return propsWindow_; }
  DesignTreeWidget* TreeControl() const { return treeControl_; }
  QScrollArea* PropertiesArea() const { return propsArea_; }
  QLabel* HelpText() const { return helpText_; }

  // ---- selection ----
  QString SelectedKey() const;
  DesignObject* SelectedObject();
  QTreeWidgetItem* ItemForKey(const QString& key) const;
  bool SelectionContextNow(SelectionContext& out) const;

  // ---- tree view ----
  void RefreshTreeView(const QSet<QString>& expanded, const QString& nameToSelect);
  QSet<QString> CollectExpandedState() const;
  // The refresh every command ends with: tree view (keeping expanded items, selecting
  // nameToSelect), Properties panel, preview.
  void RefreshChain(const QString& nameToSelect, const QSet<QString>& alsoExpand = {});

  void ExpandBranch(const QString& key, bool collapse);
  void RefreshAll();
  QIcon IconForClass(const QString& cls);

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
  void MainRelayout();
  void TreeRelayout();
  void PropertiesRelayout();
  QSize LastMainSize() const { return lastMain_; }

  // The Properties panel for the object, or emptied for none.
  void ShowProperties(const DesignObject* object);
  PropertiesPanel* Panel() const { return panel_.get(); }
  // Rebuilds the live preview for the window (none clears it) and puts its status in the title.
  void RebuildPreview(const DesignObject* window);
  QString PreviewedWindowKey() const { return previewedKey_; }
  PreviewHost* Preview() const { return preview_.get(); }
  // What the XML and source commands work on: the design, settings, requesters and the shell's
  // hooks (clipboard, tree window title, refresh after an import, opening a written file).
  DesignerContext Context();

  // Deferred preview rebuild after property edits: restarts the one-shot timer and records the
  // window that owns the selection; a burst of edits rebuilds once.
  void SchedulePreviewRebuild(int delayMs);
  const QTimer& PreviewTimer() const { return previewTimer_; }
  QString PreviewRebuildKey() const { return previewRebuildKey_; }

  void ImportDroppedFiles(const QStringList& files);

private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OpenWindows();
  void OnSelectionChanged();
  bool AllowLabelEdit(const QModelIndex& index);
  void OnLabelEdited(const QModelIndex& index, const QString& text);

  Requesters& requesters_;
  Clock& clock_;
  RandomSource& random_;
  DesignerOptions options_;

  double scaleX_ = 1, scaleY_ = 1;
  LayoutMetrics metrics_;
  QString settingsPath_;
  DesignTree tree_;
  ClassSchema schema_;
  Settings settings_;
  QString savedSnapshot_;

  MainWindow* main_ = nullptr;  // owned; deleted in the destructor (it owns the rest)
  ToolSubWindow* treeWindow_ = nullptr;
  ToolSubWindow* propsWindow_ = nullptr;
  DesignTreeWidget* treeControl_ = nullptr;
  TreeRenameDelegate* renameDelegate_ = nullptr;
  QScrollArea* propsArea_ = nullptr;
  QLabel* helpText_ = nullptr;

  QTimer mainTimer_, treeTimer_, propsTimer_;
  QSize lastMain_{0, 0}, lastTree_{0, 0}, lastProps_{0, 0};  // 0,0 until the first relayout
  bool renameLatch_ = false;
  ObjectClipboard clipboard_;
  std::unique_ptr<QMenu> contextMenu_;
  QHash<QString, QIcon> icons_;  // root, window, container, gadget; made on first use
  bool dragging_ = false;
  QString draggedKey_;
  QString dropTargetKey_;
  QSet<QString> expandedLeaves_;
  bool refreshing_ = false;
  QString previewedKey_;
  DialogXmlWriter writer_;
  std::unique_ptr<PreviewHost> preview_;
  bool previewFailed_ = false;  // the last preview attempt showed nothing
  QTimer previewTimer_;
  QString previewRebuildKey_;  // by key: the window may be deleted before the timer fires
  std::unique_ptr<PropertiesPanel> panel_;
};

}  // namespace bxw
