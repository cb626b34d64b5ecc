#pragma once
#include <QString>

#include "model/class_schema.h"
#include "model/design_tree.h"

namespace bxw {

struct DropDecision {
  bool move = false;     // false: the drop is rejected, the tree stays as it is
  bool asChild = false;  // into the target, last; else next to it
  int position = kAfter;
};

// Where dropping the dragged object on the target item puts it, by the tree's placement rules.
DropDecision DecideDrop(const DesignTree& tree, const QString& sourceKey, const QString& targetKey);

}  // namespace bxw
