#include "model/design_edit.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kName = QStringLiteral("name");

// The object that takes the selection when key goes: the next sibling, else the one before,
// else the parent (as a tree control moves its current item).
QString NeighbourOf(const DesignTree& tree, const QString& key) {
  const DesignObject* o = tree.Find(key);
  if (!o) return QString();
  const DesignObject* parent = tree.Find(o->parentKey);
  if (!parent) return QString();
  const qsizetype at = parent->children.indexOf(key);
  if (at + 1 < parent->children.size()) return parent->children[at + 1];
  if (at > 0) return parent->children[at - 1];
  return parent->key;
}

// Levels of a subtree given as copies in walk order (every entry after its parent).
int EntriesHeight(const std::vector<DesignObject>& entries) {
  std::unordered_map<QString, int> depth;
  int deepest = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    auto parent = depth.find(entries[i].parentKey);
    const int d = i == 0 || parent == depth.end() ? 1 : parent->second + 1;
    depth[entries[i].key] = d;
    deepest = std::max(deepest, d);
  }
  return deepest;
}

int AttributeIndex(const DesignObject& o, const QString& name, bool kept) {
  for (size_t i = 0; i < o.attributes.size(); ++i)
    if (o.attributes[i].kept == kept && o.attributes[i].name == name) return static_cast<int>(i);
  return -1;
}

}  // namespace

// ---- building --------------------------------------------------------------------------------

DesignObject* DesignBuilder::CreateIn(DesignTree& tree, const QString& parentKey,
                                      const QString& cls, const QString& requestedName,
                                      const DesignObject* copySource, int position,
                                      bool renameAllowed, bool noCaptions) {
  QString candidate;
  if (!requestedName.isEmpty()) {
    candidate = requestedName;
    if (tree.Contains(candidate.toLower())) {
      if (!renameAllowed) return nullptr;
      const QString base = requestedName + QStringLiteral("_c");
      candidate = base + QString::number(tree.FirstFreeCounter(base));
    }
  } else {
    candidate = cls + QLatin1Char('1');
    if (tree.Contains(candidate.toLower())) {
      if (!renameAllowed) return nullptr;
      candidate = cls + QString::number(tree.FirstFreeCounter(cls));
    }
  }
  const QString key = candidate.toLower();
  // The copy source may live in this very tree; take what we need before inserting.
  DesignObject copy;
  if (copySource) {
    copy.attributes = copySource->attributes;
    copy.commentsBefore = copySource->commentsBefore;
    copy.commentsInside = copySource->commentsInside;
    copy.generatedName = copySource->generatedName;
  }
  if (!tree.InsertNode(key, parentKey, position)) return nullptr;
  DesignObject* object = tree.FindMutable(key);
  object->attributes = std::move(copy.attributes);
  object->commentsBefore = std::move(copy.commentsBefore);
  object->commentsInside = std::move(copy.commentsInside);
  object->generatedName = copy.generatedName;
  object->cls = cls;
  SetAttribute(*object, kName, candidate);
  if (!copySource) ApplyNewObjectDefaults(*object, noCaptions);
  return object;
}

DesignBuilder::DesignBuilder(bool withRoot) : tree_(std::make_unique<DesignTree>()) {
  if (withRoot) CreateIn(*tree_, QString(), kDialogs, kDialogs, nullptr, kFirst, false, false);
}

DesignObject* DesignBuilder::Object(const QString& key) {
  return tree_->FindMutable(key);
}

DesignObject* DesignBuilder::CreateObject(const QString& parentKey, const QString& cls,
                                          const QString& requestedName,
                                          const DesignObject* copySource, int position,
                                          bool renameAllowed, bool noCaptions) {
  return CreateIn(*tree_, parentKey, cls, requestedName, copySource, position, renameAllowed,
                  noCaptions);
}

bool DesignBuilder::InsertNode(const QString& key, const QString& parentKey, int position) {
  return tree_->InsertNode(key, parentKey, position);
}
DesignObject* DesignBuilder::AppendNode(const QString& key, DesignObject& parent) {
  return tree_->AppendNode(key, parent);
}
DesignObjectPtr DesignBuilder::NewObject() { return tree_->NewObject(); }

bool DesignBuilder::AdoptNode(DesignObjectPtr& object) {
  return tree_->AdoptNode(object);
}
void DesignBuilder::AppendUnnamed(DesignObject& parent, const DesignObject& child) {
  DesignTree::AppendUnnamed(parent, child);
}

void DesignBuilder::NameChild(DesignObject& parent, int index, const QString& key) {
  DesignTree::NameChild(parent, index, key);
}

void DesignBuilder::Reserve(int objects) {
  tree_->Reserve(objects);
}
bool DesignBuilder::RemoveNode(const QString& key) {
  return tree_->RemoveNode(key);
}
bool DesignBuilder::RekeyNode(const QString& oldKey, const QString& newKey) {
  return tree_->RekeyNode(oldKey, newKey);
}
bool DesignBuilder::MoveNode(const QString& key, const QString& targetKey, bool asChild,
                             int position) {
  return tree_->MoveNode(key, targetKey, asChild, position);
}
void DesignBuilder::Clear() {
  tree_->Clear();
}
void DesignBuilder::SetWindowIsMainElement(bool on) {
  tree_->windowIsMain_ = on;
}
void DesignBuilder::SetTrailingComments(const QStringList& comments) {
  tree_->trailingComments_ = comments;
}

std::unique_ptr<DesignTree> DesignBuilder::Take() {
  std::unique_ptr<DesignTree> out = std::move(tree_);
  tree_ = std::make_unique<DesignTree>();
  return out;
}

std::unique_ptr<DesignTree> NewEmptyDesign() {
  return DesignBuilder(true).Take();
}

std::optional<MoveEdit> ResolveMove(const DesignTree& tree, const QString& key,
                                    const QString& targetKey, bool asChild, int position) {
  const DesignObject* object = tree.Find(key);
  const DesignObject* target = tree.Find(targetKey);
  if (!object || !target || key == targetKey || tree.IsInSubtree(targetKey, key))
    return std::nullopt;
  MoveEdit m;
  m.key = key;
  if (asChild) {
    m.parentKey = targetKey;
    m.index = position == kFirst ? 0 : -1;
    return m;
  }
  const DesignObject* parent = tree.Find(target->parentKey);
  if (!parent) return std::nullopt;
  m.parentKey = parent->key;
  // Positions in the list as it is once the object has left it.
  QStringList list = parent->children;
  list.removeOne(key);
  const int at = static_cast<int>(list.indexOf(targetKey));
  switch (position) {
    case kSiblingFirst:
      m.index = 0;
      break;
    case kSiblingLast:
      m.index = -1;
      break;
    case kBefore:
      m.index = at;
      break;
    default:
      m.index = at + 1;
      break;
  }
  if (m.index >= list.size()) m.index = -1;
  return m;
}

std::vector<DesignObject> CopySubtree(const DesignTree& tree, const QString& key) {
  std::vector<DesignObject> out;
  tree.WalkTree(key, [&](const DesignObject& o) {
    out.push_back(o);
    return false;
  });
  return out;
}

// ---- editing ---------------------------------------------------------------------------------

DesignEditor::DesignEditor() : tree_(NewEmptyDesign()) {}
DesignEditor::~DesignEditor() = default;

EditOutcome DesignEditor::Apply(Edit edit) {
  return std::visit(
      [this](auto& e) -> EditOutcome {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return EditOutcome{};
        else if constexpr (std::is_same_v<T, AddObjectEdit>)
          return AddObject(e);
        else if constexpr (std::is_same_v<T, DeleteEdit>)
          return Delete(e);
        else if constexpr (std::is_same_v<T, MoveEdit>)
          return Move(e);
        else if constexpr (std::is_same_v<T, RenameEdit>)
          return Rename(e);
        else if constexpr (std::is_same_v<T, SetAttributeEdit>)
          return SetAttributeOf(e);
        else if constexpr (std::is_same_v<T, InsertSubtreeEdit>)
          return InsertSubtree(e);
        else
          return ReplaceDesign(e);
      },
      edit);
}

QString DesignEditor::Add(const QString& parentKey, const QString& cls,
                          const QString& requestedName, bool noCaptions) {
  const EditOutcome out = Apply(AddObjectEdit{parentKey, cls, requestedName, noCaptions});
  return out.changed ? out.key : QString();
}

bool DesignEditor::Set(const QString& key, const QString& name, const QString& value) {
  SetAttributeEdit e;
  e.key = key;
  e.name = name;
  e.value = value;
  return Apply(std::move(e)).changed;
}

EditOutcome DesignEditor::AddObject(AddObjectEdit& e) {
  EditOutcome out;
  if (e.cls.isEmpty() || !tree_->FitsUnder(e.parentKey, 1)) return out;
  const DesignObject* made = DesignBuilder::CreateIn(*tree_, e.parentKey, e.cls, e.requestedName,
                                                     nullptr, kLast, true, e.noCaptions);
  if (!made) return out;
  out.changed = true;
  out.kind = EditKind::Add;
  out.structural = true;
  out.key = out.select = made->key;
  out.newParent = made->parentKey;
  out.newIndex = tree_->ChildCount(made->parentKey) - 1;
  out.inverse = DeleteEdit{made->key};
  return out;
}

EditOutcome DesignEditor::Delete(DeleteEdit& e) {
  EditOutcome out;
  const DesignObject* o = tree_->Find(e.key);
  if (!o || o->parentKey.isEmpty()) return out;  // absent, or the root
  InsertSubtreeEdit undo;
  undo.parentKey = o->parentKey;
  undo.index = tree_->IndexInParent(e.key);
  undo.renameTaken = false;
  undo.entries = CopySubtree(*tree_, e.key);
  out.select = NeighbourOf(*tree_, e.key);
  out.oldParent = undo.parentKey;
  out.oldIndex = undo.index;
  if (!tree_->RemoveNode(e.key)) return EditOutcome{};
  out.changed = true;
  out.kind = EditKind::Delete;
  out.structural = true;
  out.key = e.key;
  out.inverse = std::move(undo);
  return out;
}

EditOutcome DesignEditor::Move(MoveEdit& e) {
  EditOutcome out;
  const DesignObject* o = tree_->Find(e.key);
  const DesignObject* parent = tree_->Find(e.parentKey);
  if (!o || !parent || o->parentKey.isEmpty() || tree_->IsInSubtree(e.parentKey, e.key)) return out;
  if (o->parentKey != e.parentKey && !tree_->FitsUnder(e.parentKey, tree_->SubtreeHeight(e.key)))
    return out;  // it would nest deeper than the runtime opens
  const QString oldParent = o->parentKey;
  const int oldIndex = tree_->IndexInParent(e.key);
  const int lastIndex =
      static_cast<int>(parent->children.size()) - (oldParent == e.parentKey ? 1 : 0);
  const int index = e.index < 0 || e.index > lastIndex ? lastIndex : e.index;
  if (oldParent == e.parentKey && oldIndex == index) return out;  // already there
  if (!tree_->MoveNodeTo(e.key, e.parentKey, index)) return out;
  out.changed = true;
  out.kind = EditKind::Move;
  out.structural = true;
  out.key = out.select = e.key;
  out.oldParent = oldParent;
  out.oldIndex = oldIndex;
  out.newParent = e.parentKey;
  out.newIndex = tree_->IndexInParent(e.key);
  out.inverse = MoveEdit{e.key, oldParent, oldIndex};
  return out;
}

EditOutcome DesignEditor::Rename(RenameEdit& e) {
  EditOutcome out;
  DesignObject* o = tree_->FindMutable(e.key);
  if (!o || e.name.isEmpty() || o->parentKey.isEmpty()) return out;
  const QString oldName = GetAttribute(*o, kName);
  const bool oldGenerated = o->generatedName;
  const QString newKey = e.name.toLower();
  if (newKey == o->key) {
    if (e.name == oldName && e.generatedName == oldGenerated) return out;  // nothing to change
  } else if (!tree_->RekeyNode(o->key, newKey)) {
    return out;  // the name is taken
  }
  o = tree_->FindMutable(newKey);
  SetAttribute(*o, kName, e.name);
  o->generatedName = e.generatedName;
  out.changed = true;
  out.kind = EditKind::Rename;
  out.structural = true;
  out.key = out.select = newKey;
  out.oldKey = e.key;
  out.inverse = RenameEdit{newKey, oldName, oldGenerated};
  return out;
}

EditOutcome DesignEditor::SetAttributeOf(SetAttributeEdit& e) {
  EditOutcome out;
  DesignObject* o = tree_->FindMutable(e.key);
  if (!o || e.name.isEmpty()) return out;
  // The name belongs to the object, not to its class attribute: renames are their own edit.
  if (!e.kept && e.name == kName) return out;
  const int at = AttributeIndex(*o, e.name, e.kept);
  SetAttributeEdit undo;
  undo.key = e.key;
  undo.name = e.name;
  undo.kept = e.kept;
  undo.typed = e.typed;
  // A kept attribute set to the empty text goes; a class attribute keeps an entry.
  std::optional<QString> value = e.value;
  if (e.kept && value && value->isEmpty()) value.reset();
  if (at < 0) {
    if (!value || (!e.kept && value->isEmpty())) return out;  // absent stays absent
    const int position = e.position < 0 || e.position > static_cast<int>(o->attributes.size())
                             ? static_cast<int>(o->attributes.size())
                             : e.position;
    o->attributes.insert(o->attributes.begin() + position, Attribute{e.name, *value, e.kept});
    undo.value.reset();
  } else {
    Attribute& a = o->attributes[static_cast<size_t>(at)];
    if (value && a.value == *value) return out;
    undo.value = a.value;
    undo.position = at;
    if (value)
      a.value = *value;
    else
      o->attributes.erase(o->attributes.begin() + at);
  }
  out.changed = true;
  out.kind = EditKind::SetAttribute;
  out.key = out.select = e.key;
  out.attribute = e.name;
  out.inverse = std::move(undo);
  return out;
}

EditOutcome DesignEditor::InsertSubtree(InsertSubtreeEdit& e) {
  EditOutcome out;
  if (e.entries.empty() || !tree_->FitsUnder(e.parentKey, EntriesHeight(e.entries))) return out;
  QString top;
  if (e.renameTaken) {
    // A paste: every entry named by CreateObject's rule, under the copy of its parent.
    std::unordered_map<QString, QString> translation;
    for (size_t i = 0; i < e.entries.size(); ++i) {
      const DesignObject& entry = e.entries[i];
      QString parent = e.parentKey;
      if (i > 0) {
        auto it = translation.find(entry.parentKey);
        if (it == translation.end()) continue;  // its parent could not be made
        parent = it->second;
      }
      const DesignObject* made = DesignBuilder::CreateIn(
          *tree_, parent, entry.cls, GetAttribute(entry, kName), &entry, kLast, true, false);
      if (!made) continue;
      if (i == 0) {
        top = made->key;
        if (e.index >= 0) tree_->MoveNodeTo(top, e.parentKey, e.index);
      }
      translation[entry.key] = made->key;
    }
  } else {
    // The very records again: keys, names and order as they were.
    for (const DesignObject& entry : e.entries)
      if (tree_->Contains(entry.key)) return out;
    for (size_t i = 0; i < e.entries.size(); ++i) {
      DesignObject& entry = e.entries[i];
      const QString parent = i == 0 ? e.parentKey : entry.parentKey;
      if (!tree_->InsertNodeAt(entry.key, parent, i == 0 ? e.index : -1)) continue;
      DesignObject* made = tree_->FindMutable(entry.key);
      made->cls = std::move(entry.cls);
      made->attributes = std::move(entry.attributes);
      made->commentsBefore = std::move(entry.commentsBefore);
      made->commentsInside = std::move(entry.commentsInside);
      made->generatedName = entry.generatedName;
      if (i == 0) top = entry.key;
    }
  }
  if (top.isEmpty()) return out;
  out.changed = true;
  out.kind = EditKind::InsertSubtree;
  out.structural = true;
  out.key = out.select = top;
  out.newParent = e.parentKey;
  out.newIndex = tree_->IndexInParent(top);
  out.inverse = DeleteEdit{top};
  return out;
}

EditOutcome DesignEditor::ReplaceDesign(ReplaceDesignEdit& e) {
  EditOutcome out;
  if (!e.design) return out;
  // The contents change places: everyone holding the tree keeps holding the live design.
  tree_->Swap(*e.design);
  ReplaceDesignEdit undo;
  undo.design = std::move(e.design);
  undo.filePath = filePath_;
  filePath_ = e.filePath;
  out.changed = true;
  out.kind = EditKind::ReplaceDesign;
  out.structural = true;
  out.key = out.select = kDialogs;
  out.inverse = std::move(undo);
  return out;
}

}  // namespace bxw
