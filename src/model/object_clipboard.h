#pragma once
#include <QHash>
#include <QString>
#include <vector>

#include "model/design_tree.h"

namespace bxw {

// Copies of a subtree, independent of later edits: the copied object first, then its
// descendants in walk order, so every entry comes after its parent.
class ObjectClipboard {
public:
  void Copy(const DesignTree& tree, const QString& key);
  // Recreates the copy under parentKey; answers the key of the new top object, empty on failure.
  QString Paste(DesignTree& tree, const QString& parentKey, bool noCaptions) const;

  const DesignObject* Object() const { return entries_.empty() ? nullptr : &entries_.front(); }
  bool IsEmpty() const { return entries_.empty(); }
  int Count() const { return static_cast<int>(entries_.size()); }

private:
  std::vector<DesignObject> entries_;
  QHash<QString, QString> copiedKeys_;
};

}  // namespace bxw
