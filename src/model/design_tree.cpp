#include "model/design_tree.h"

#include <algorithm>
#include <new>
#include <vector>

#include "model/class_schema.h"

namespace bxw {

QString GetAttribute(const DesignObject& object, const QString& name) {
  const QString* v = FindAttribute(object, name);
  return v ? *v : QString();
}

const QString* FindAttribute(const DesignObject& object, const QString& name) {
  for (const Attribute& a : object.attributes)
    if (!a.kept && a.name == name) return &a.value;
  return nullptr;
}

void SetAttribute(DesignObject& object, const QString& name, const QString& value) {
  for (Attribute& a : object.attributes) {
    if (!a.kept && a.name == name) {
      a.value = value;
      return;
    }
  }
  object.attributes.push_back({name, value, false});
}

std::vector<const Attribute*> KeptAttributes(const DesignObject& object) {
  std::vector<const Attribute*> out;
  for (const Attribute& a : object.attributes)
    if (a.kept) out.push_back(&a);
  return out;
}

const Attribute* FindKeptAttribute(const DesignObject& object, const QString& name) {
  for (const Attribute& a : object.attributes)
    if (a.kept && a.name == name) return &a;
  return nullptr;
}

class DesignObjectPool {
public:
  DesignObject* New() {
    if (free_.empty()) Grow();
    void* slot = free_.back();
    free_.pop_back();
    return new (slot) DesignObject();
  }
  void Release(DesignObject* object) {
    object->~DesignObject();
    free_.push_back(object);
  }

private:
  static constexpr size_t kChunk = 512;
  struct alignas(DesignObject) Slot {
    unsigned char bytes[sizeof(DesignObject)];
  };
  void Grow() {
    chunks_.push_back(std::make_unique<Slot[]>(kChunk));
    Slot* chunk = chunks_.back().get();
    // Handed out from the lowest address up.
    for (size_t i = kChunk; i-- > 0;) free_.push_back(&chunk[i]);
  }
  std::vector<std::unique_ptr<Slot[]>> chunks_;
  std::vector<void*> free_;
};

void DesignObjectRelease::operator()(DesignObject* object) const {
  if (object && pool) pool->Release(object);
}

DesignTree::DesignTree() : pool_(std::make_unique<DesignObjectPool>()) {}

DesignObjectPtr DesignTree::NewObject() { return DesignObjectPtr(pool_->New(), {pool_.get()}); }

// Objects hold no pointers to each other, so the map can be dropped flat.
DesignTree::~DesignTree() = default;

DesignObject* DesignTree::FindMutable(const QString& key) {
  auto it = objects_.find(key);
  return it == objects_.end() ? nullptr : it->second.get();
}

const DesignObject* DesignTree::Find(const QString& key) const {
  auto it = objects_.find(key);
  return it == objects_.end() ? nullptr : it->second.get();
}

void DesignTree::Clear() {
  objects_.clear();
  counterHints_.clear();
  windowIsMain_ = false;
  trailingComments_.clear();
}

void DesignTree::Swap(DesignTree& other) noexcept {
  objects_.swap(other.objects_);
  pool_.swap(other.pool_);  // each pool goes with the objects it holds
  counterHints_.swap(other.counterHints_);
  std::swap(windowIsMain_, other.windowIsMain_);
  trailingComments_.swap(other.trailingComments_);
}

DesignObject* DesignTree::AppendNode(const QString& key, DesignObject& parent) {
  if (key.isEmpty()) return nullptr;
  auto [it, inserted] = objects_.try_emplace(key);
  if (!inserted) return nullptr;
  it->second = NewObject();
  DesignObject* object = it->second.get();
  object->key = key;
  object->parentKey = parent.key;  // shares the parent's string
  Link(parent, *object, -1);
  return object;
}

void DesignTree::AppendUnnamed(DesignObject& parent, const DesignObject& child) {
  parent.children.append(QString());
  parent.childLinks.push_back(&child);
}

void DesignTree::NameChild(DesignObject& parent, int index, const QString& key) {
  if (index >= 0 && index < parent.children.size()) parent.children[index] = key;
}

bool DesignTree::AdoptNode(DesignObjectPtr& object) {
  if (!object || object->key.isEmpty()) return false;
  auto [it, inserted] = objects_.try_emplace(object->key);
  if (!inserted) return false;
  it->second = std::move(object);
  return true;
}

bool DesignTree::InsertNode(const QString& key, const QString& parentKey, int position) {
  return InsertNodeAt(key, parentKey, position == kFirst ? 0 : -1);
}

bool DesignTree::InsertNodeAt(const QString& key, const QString& parentKey, int index) {
  if (key.isEmpty() || Contains(key)) return false;
  DesignObject* parent = nullptr;
  if (!parentKey.isEmpty()) {
    parent = FindMutable(parentKey);
    if (!parent) return false;
  }
  DesignObjectPtr object = NewObject();
  object->key = key;
  if (parent) {
    object->parentKey = parent->key;  // shares the parent's string
    Link(*parent, *object, index);
  }
  objects_.emplace(key, std::move(object));
  return true;
}

void DesignTree::Link(DesignObject& parent, const DesignObject& child, qsizetype index) {
  if (index < 0 || index > parent.children.size()) index = parent.children.size();
  parent.children.insert(index, child.key);
  parent.childLinks.insert(parent.childLinks.begin() + index, &child);
}

void DesignTree::Unlink(DesignObject& parent, const QString& key) {
  const qsizetype at = parent.children.indexOf(key);
  if (at < 0) return;
  parent.children.removeAt(at);
  if (at < static_cast<qsizetype>(parent.childLinks.size()))
    parent.childLinks.erase(parent.childLinks.begin() + at);
}

void DesignTree::Forget(const QString& key) {
  if (counterHints_.empty()) return;
  // A key base + n (n without leading zeros) frees counter n of base. Try every split that ends
  // in a run of digits.
  qsizetype i = key.size();
  while (i > 0 && key[i - 1].isDigit() && key[i - 1].unicode() < 128) --i;
  for (qsizetype start = i; start < key.size(); ++start) {
    if (key[start] == QLatin1Char('0')) continue;
    const QStringView digits = QStringView(key).mid(start);
    if (digits.size() > 9) continue;
    const int n = digits.toInt();
    auto it = counterHints_.find(key.left(start));
    if (it != counterHints_.end() && it->second > n) it->second = n;
  }
}

bool DesignTree::RemoveNode(const QString& key) {
  if (key.isEmpty()) return false;
  auto it = objects_.find(key);
  if (it == objects_.end()) return false;
  // Collect the subtree first; all of it goes, so the descendants' own children lists need no
  // upkeep. Only the top object leaves a list that survives.
  std::vector<QString> doomed{key};
  for (size_t i = 0; i < doomed.size(); ++i) {
    const DesignObject* o = Find(doomed[i]);
    if (!o) continue;
    for (const QString& c : o->children)
      if (c != key) doomed.push_back(c);  // a corrupted list must not loop
  }
  const QString parentKey = it->second->parentKey;
  if (DesignObject* parent = parentKey.isEmpty() ? nullptr : FindMutable(parentKey))
    Unlink(*parent, key);
  for (auto d = doomed.rbegin(); d != doomed.rend(); ++d) {
    if (objects_.erase(*d)) Forget(*d);
  }
  return true;
}

bool DesignTree::RekeyNode(const QString& oldKey, const QString& newKey) {
  if (oldKey.isEmpty() || newKey.isEmpty()) return false;
  auto it = objects_.find(oldKey);
  if (it == objects_.end() || Contains(newKey)) return false;
  DesignObjectPtr object = std::move(it->second);
  objects_.erase(it);
  for (const QString& c : object->children)
    if (DesignObject* child = FindMutable(c)) child->parentKey = newKey;
  if (DesignObject* parent =
          object->parentKey.isEmpty() ? nullptr : FindMutable(object->parentKey)) {
    const qsizetype at = parent->children.indexOf(oldKey);
    if (at >= 0) parent->children[at] = newKey;
  }
  object->key = newKey;
  objects_.emplace(newKey, std::move(object));
  Forget(oldKey);
  return true;
}

bool DesignTree::IsInSubtree(const QString& key, const QString& ancestorKey) const {
  QString k = key;
  // Bounded by the number of objects, in case a parent chain were ever corrupted into a loop.
  for (int steps = 0; !k.isEmpty() && steps <= Size(); ++steps) {
    if (k == ancestorKey) return true;
    const DesignObject* o = Find(k);
    if (!o) return false;
    k = o->parentKey;
  }
  return false;
}

int DesignTree::Depth(const QString& key) const {
  const DesignObject* o = Find(key);
  if (!o) return -1;
  int depth = 0;
  for (int steps = 0; o && !o->parentKey.isEmpty() && steps <= Size(); ++steps) {
    o = Find(o->parentKey);
    ++depth;
  }
  return depth;
}

int DesignTree::SubtreeHeight(const QString& key) const {
  const DesignObject* top = Find(key);
  if (!top) return 0;
  const int base = Depth(key);
  int deepest = base;
  // Depths follow from the walk order: a child is one below the last object on the path.
  std::vector<std::pair<const DesignObject*, int>> stack{{top, base}};
  while (!stack.empty()) {
    auto [o, depth] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, depth);
    for (const DesignObject* c : o->childLinks) stack.push_back({c, depth + 1});
  }
  return deepest - base + 1;
}

bool DesignTree::FitsUnder(const QString& parentKey, int height) const {
  const int parentDepth = Depth(parentKey);
  if (parentDepth < 0) return false;
  // Windows stand at depth 1; their children at 2 are the runtime's first level.
  return parentDepth + height - 1 <= kMaxNestingBelowWindow;
}

int DesignTree::IndexInParent(const QString& key) const {
  const DesignObject* o = Find(key);
  const DesignObject* parent = o && !o->parentKey.isEmpty() ? Find(o->parentKey) : nullptr;
  return parent ? static_cast<int>(parent->children.indexOf(key)) : -1;
}

bool DesignTree::MoveNode(const QString& key, const QString& targetKey, bool asChild,
                          int position) {
  if (key.isEmpty() || (targetKey.isEmpty() && !asChild)) return false;
  DesignObject* object = FindMutable(key);
  if (!object) return false;
  if (key == targetKey) return true;
  DesignObject* target = targetKey.isEmpty() ? nullptr : FindMutable(targetKey);
  if (!targetKey.isEmpty() && !target) return false;
  if (target && IsInSubtree(targetKey, key)) return false;

  QString newParentKey;
  if (asChild) {
    newParentKey = targetKey;
  } else {
    newParentKey = target->parentKey;
  }
  DesignObject* newParent = newParentKey.isEmpty() ? nullptr : FindMutable(newParentKey);

  if (DesignObject* old = object->parentKey.isEmpty() ? nullptr : FindMutable(object->parentKey))
    Unlink(*old, key);
  if (newParent) {
    const QStringList& list = newParent->children;
    qsizetype at = list.size();
    if (asChild) {
      if (position == kFirst) at = 0;
    } else if (position == kSiblingFirst) {
      at = 0;
    } else if (position != kSiblingLast) {  // before or after the target
      const qsizetype t = list.indexOf(targetKey);
      if (t >= 0) at = position == kBefore ? t : t + 1;
    }
    Link(*newParent, *object, at);
  }
  object->parentKey = newParentKey;
  return true;
}

bool DesignTree::MoveNodeTo(const QString& key, const QString& newParentKey, int index) {
  DesignObject* object = FindMutable(key);
  DesignObject* newParent = FindMutable(newParentKey);
  if (!object || !newParent || IsInSubtree(newParentKey, key)) return false;
  if (DesignObject* old = object->parentKey.isEmpty() ? nullptr : FindMutable(object->parentKey))
    Unlink(*old, key);
  Link(*newParent, *object, index);
  object->parentKey = newParent->key;
  return true;
}

int DesignTree::ChildCount(const QString& key) const {
  if (key.isEmpty()) return 0;
  const DesignObject* o = Find(key);
  return o ? static_cast<int>(o->children.size()) : 0;
}

void DesignTree::WalkTree(const QString& startKey,
                          const std::function<bool(const DesignObject&)>& visitor) const {
  if (startKey.isEmpty()) return;
  const DesignObject* start = Find(startKey);
  if (!start || visitor(*start)) return;
  // One frame per open level (not per waiting sibling), so a wide design needs no big stack.
  struct Frame {
    const DesignObject* object;
    qsizetype next;
  };
  std::vector<Frame> stack{{start, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const DesignObject& o = *f.object;
    if (f.next >= o.children.size()) {
      stack.pop_back();
      continue;
    }
    const qsizetype i = f.next++;
    const DesignObject* child = static_cast<size_t>(o.children.size()) == o.childLinks.size()
                                    ? o.childLinks[static_cast<size_t>(i)]
                                    : Find(o.children[i]);
    if (child && !visitor(*child) && !child->children.isEmpty()) stack.push_back({child, 0});
  }
}

int DesignTree::FirstFreeCounter(const QString& base) const {
  const QString lower = base.toLower();
  auto hint = counterHints_.find(lower);
  int n = hint == counterHints_.end() ? 1 : hint->second;
  while (Contains(lower + QString::number(n))) ++n;
  counterHints_[lower] = n;
  return n;
}

// ---- classes -----------------------------------------------------------------------------------

bool IsContainerClass(const QString& cls) {
  // The root holds the windows but is not a container that objects are added to.
  return cls != QLatin1String("dialogs") && FactsOfClass(cls).capacity != 0;
}

int ClassCapacity(const QString& cls) {
  return FactsOfClass(cls).capacity;
}

namespace {

// The class may go into the parent's class, and the parent's class takes it.
bool ClassesFit(const QString& child, const QString& parent) {
  const ClassFacts& c = FactsOfClass(child);
  const ClassFacts& p = FactsOfClass(parent);
  return (!c.onlyParent || parent == QLatin1String(c.onlyParent)) &&
         (!p.onlyChild || child == QLatin1String(p.onlyChild));
}

bool IsFull(const QString& cls, int children) {
  const int capacity = ClassCapacity(cls);
  return capacity > 0 && children >= capacity;
}

}  // namespace

// ---- objects -----------------------------------------------------------------------------------

void ApplyNewObjectDefaults(DesignObject& object, bool noCaptions) {
  const ClassFacts& facts = FactsOfClass(object.cls);
  const QString name = GetAttribute(object, QStringLiteral("name"));
  if (facts.newFlags)
    SetAttribute(object, QStringLiteral("flags"), QString::fromLatin1(facts.newFlags));
  if (facts.newTextIsName) SetAttribute(object, QStringLiteral("text"), name);
  if (facts.newOnEvent) SetAttribute(object, QStringLiteral("onevent"), QStringLiteral("yes"));
  if (facts.newVariable) SetAttribute(object, QStringLiteral("variable"), QStringLiteral("yes"));
  if (noCaptions) SetAttribute(object, QStringLiteral("text"), QString());
}

bool CanPasteInto(const DesignTree& tree, const DesignObject& source, const DesignObject& target) {
  return ClassesFit(source.cls, target.cls) && !IsFull(target.cls, tree.ChildCount(target.key));
}

const DesignObject* OwningWindow(const DesignTree& tree, const QString& selectedKey) {
  if (selectedKey.isEmpty()) return nullptr;
  const DesignObject* o = tree.Find(selectedKey);
  if (!o) return nullptr;
  if (o->cls == QLatin1String("window")) return o;
  QString k = o->parentKey;
  for (int steps = 0; !k.isEmpty() && steps <= tree.Size(); ++steps) {
    const DesignObject* p = tree.Find(k);
    if (!p) return nullptr;
    if (p->cls == QLatin1String("window")) return p;
    k = p->parentKey;
  }
  return nullptr;
}

bool ComputeSelectionContext(const DesignTree& tree, const QString& selectedKey,
                             SelectionContext& out) {
  out = SelectionContext{};
  const DesignObject* selected = selectedKey.isEmpty() ? nullptr : tree.Find(selectedKey);
  const DesignObject* root = tree.Find(QStringLiteral("dialogs"));
  if (!selected || !root) return false;
  out.selected = selected;
  out.root = root;
  out.isRoot = selected == root;
  out.canAddChildren = !out.isRoot && IsContainerClass(selected->cls);
  out.childCount = static_cast<int>(selected->children.size());
  out.full = IsFull(selected->cls, out.childCount);
  out.isPanel = selected->cls == QLatin1String("panel");
  out.rootHasNoWindows = root->children.isEmpty();
  out.atNestingLimit = !out.isRoot && !tree.FitsUnder(selectedKey, 1);
  return true;
}

bool CanRename(const SelectionContext& c) {
  return c.selected && !c.isRoot;
}
bool CanDelete(const SelectionContext& c) {
  return c.selected && !c.isRoot;
}
bool CanCopy(const SelectionContext& c) {
  return c.selected && !c.isRoot;
}
bool CanCut(const SelectionContext& c) {
  return c.selected && !c.isRoot;
}

bool CanPaste(const DesignTree& tree, const SelectionContext& c,
              const DesignObject* clipboardObject, int clipboardHeight) {
  if (!c.selected || !clipboardObject) return false;
  if (!tree.FitsUnder(c.selected->key, clipboardHeight)) return false;
  if (c.canAddChildren && !c.full && CanPasteInto(tree, *clipboardObject, *c.selected)) return true;
  return c.isRoot && clipboardObject->cls == QLatin1String("window");
}

bool CanExpandCollapse(const SelectionContext& c) {
  return c.selected && c.childCount != 0;
}
bool CanExport(const SelectionContext& c) {
  return c.root && !c.rootHasNoWindows;
}

}  // namespace bxw
