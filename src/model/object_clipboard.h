#pragma once
#include <QString>
#include <vector>

#include "model/design_tree.h"

namespace bxw {

// Copies of a subtree, independent of later edits: the copied object first, then its
// descendants in walk order, so every entry comes after its parent. A paste hands the entries to
// an InsertSubtreeEdit.
class ObjectClipboard {
public:
  void Copy(const DesignTree& tree, const QString& key);

  const DesignObject* Object() const { return entries_.empty() ? nullptr : &entries_.front(); }
  const std::vector<DesignObject>& Entries() const { return entries_; }
  bool IsEmpty() const { return entries_.empty(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  int Height() const { return height_; }  // levels of the copied subtree

private:
  std::vector<DesignObject> entries_;
  int height_ = 0;
};

}  // namespace bxw
