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
    if (capacity > 0 && count >= capacity) return d;
    const ClassFacts& parentFacts = FactsOfClass(parent->cls);
    if (parentFacts.onlyChild && source->cls != QLatin1String(parentFacts.onlyChild)) return d;
  }
  const ClassFacts& sourceFacts = FactsOfClass(source->cls);
  if (sourceFacts.onlyParent && parent->cls != QLatin1String(sourceFacts.onlyParent)) return d;
  // Objects that a hand-written file put beside the windows are not reordered there either.
  if (parent->cls == dialogs && !sourceIsWindow) return d;
  // A move into the source's own subtree is refused by the store itself.
  d.move = !tree.IsInSubtree(targetKey, sourceKey);
  return d;
}

}  // namespace bxw
