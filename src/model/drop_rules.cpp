#include "model/drop_rules.h"

namespace bxw {

DropDecision DecideDrop(const DesignTree& tree, const QString& sourceKey,
                        const QString& targetKey) {
  DropDecision d;
  const DesignObject* source = tree.Find(sourceKey);
  const DesignObject* target = tree.Find(targetKey);
  if (!source || !target || source == target) return d;
  const QLatin1String dialogs("dialogs");
  if (source->cls == dialogs || target->cls == dialogs) return d;

  const QString& sourceParent = source->parentKey;
  const QString& targetParent = target->parentKey;
  const DesignObject* parent = tree.Find(targetParent);

  const bool sourceIsWindow = source->cls == QLatin1String("window");
  if (IsContainerClass(target->cls) && !sourceIsWindow && sourceParent != target->key &&
      target->children.isEmpty()) {
    if (!CanPasteInto(tree, *source, *target)) return d;
    d.move = true;
    d.asChild = true;
    d.position = kLast;
    return d;
  }

  if (!parent) return d;
  d.position = kAfter;
  if (sourceParent == targetParent) {
    if (parent->children.size() < 2) return d;
    const qsizetype s = parent->children.indexOf(source->key);
    const qsizetype t = parent->children.indexOf(target->key);
    d.position = s < t ? kAfter : kBefore;
  } else {
    const int capacity = ClassCapacity(parent->cls);
    const int count = static_cast<int>(parent->children.size());
    if (capacity == 1 && count >= 1) return d;
    if (parent->cls == QLatin1String("splitter") && count >= 2) return d;
    if (parent->cls == QLatin1String("panel") && source->cls != QLatin1String("tab")) return d;
  }
  if (sourceIsWindow && parent->cls != dialogs) return d;
  if (parent->cls == dialogs && !sourceIsWindow) return d;
  if (source->cls == QLatin1String("tab") && parent->cls != QLatin1String("panel")) return d;
  // A move into the source's own subtree is refused by the store itself.
  d.move = !tree.IsInSubtree(targetKey, sourceKey);
  return d;
}

}  // namespace bxw
