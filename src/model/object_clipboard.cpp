#include "model/object_clipboard.h"

#include "model/design_edit.h"

namespace bxw {

void ObjectClipboard::Copy(const DesignTree& tree, const QString& key) {
  entries_ = CopySubtree(tree, key);
  height_ = tree.SubtreeHeight(key);
}

}  // namespace bxw
