#pragma once
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QString>

#include "model/design_edit.h"
#include "model/design_tree.h"
#include "platform/random_source.h"

class QTreeWidgetItem;

namespace bxw {

class DesignTreeWidget;

inline const QString kExpandAllMarker = QStringLiteral("WhoWantsToLiveForever");

// The "Interface Tree": one item per object, labelled with its name, carrying its key. Rebuilt
// from the design on import and Refresh UI; an edit is followed in place, touching only the items
// it changed, so expanded items and the scroll position stay as they are.
class TreeView {
public:
  TreeView(DesignTreeWidget* control, const DesignTree& tree, RandomSource& random);

  DesignTreeWidget* Control() const { return control_; }

  // Rebuilds every item, expanding those whose key is in the set (or all, with the marker), and
  // makes nameToSelect the current item.
  void Rebuild(const QSet<QString>& expanded, const QString& nameToSelect);
  QSet<QString> CollectExpandedState() const;
  // Brings the items in step with an edit that was just applied to the design.
  void Follow(const EditOutcome& outcome);
  // Makes the item of key current, opening its ancestors; no selection signal reaches the
  // designer (the designer decided the selection itself).
  void SetCurrent(const QString& key);
  void Expand(const QString& key);

  QTreeWidgetItem* ItemForKey(const QString& key) const;
  static QString KeyOf(const QTreeWidgetItem* item);
  // True while the view changes items itself; selection signals then are not the user's.
  bool Changing() const { return changing_ > 0; }

  QIcon IconForClass(const QString& cls);

private:
  QTreeWidgetItem* MakeItem(const DesignObject& o, QTreeWidgetItem* parent, int index);
  void AddSubtree(const QString& key);
  void Forget(QTreeWidgetItem* item);

  DesignTreeWidget* control_;
  const DesignTree& tree_;
  RandomSource& random_;
  QHash<QString, QTreeWidgetItem*> items_;
  QHash<QString, QIcon> icons_;  // root, window, container, gadget; made on first use
  // Qt keeps no expanded state for items without children; what was asked for them is kept here
  // so a box that gets its first child opens as it would have.
  QSet<QString> expandedLeaves_;
  // Items that were open when their object went: an undo that brings it back opens them again.
  QSet<QString> openWhenRemoved_;
  int changing_ = 0;
};

}  // namespace bxw
