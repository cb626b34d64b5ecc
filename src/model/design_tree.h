#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <unordered_map>

namespace bxw {

// One object of the design: the object part (key, class, attributes) and the tree part (parent,
// own key, ordered children). Held by unique_ptr in the tree, so its address is stable.
struct DesignObject {
  QString key;  // lower-case name
  QString cls;  // class name, as in the class schema
  QHash<QString, QString> attributes;
  QString parentKey;
  QString ownKey;
  QStringList children;
};

QString GetAttribute(const DesignObject& object, const QString& name);
void SetAttribute(DesignObject& object, const QString& name, const QString& value);

enum InsertPosition { kFirst = 1, kLast = 2 };
enum SiblingPosition { kSiblingFirst = 1, kSiblingLast = 2, kBefore = 3, kAfter = 4 };

// The document: a dictionary from key to object. Order lives only in each children list. Every
// operation that follows the tree walks it with an explicit stack, so neither depth nor width of
// a design can exhaust the call stack.
class DesignTree {
public:
  DesignTree();
  ~DesignTree();
  DesignTree(const DesignTree&) = delete;
  DesignTree& operator=(const DesignTree&) = delete;

  bool InsertNode(const QString& key, const QString& parentKey, int position);
  bool RemoveNode(const QString& key);
  bool RekeyNode(const QString& oldKey, const QString& newKey);
  bool MoveNode(const QString& key, const QString& targetKey, bool asChild, int position);
  int ChildCount(const QString& key) const;
  // Visits start and its descendants depth first, parents before children. A visitor answering
  // true keeps the walk out of that object's subtree.
  void WalkTree(const QString& startKey, const std::function<bool(DesignObject&)>& visitor);
  void WalkTree(const QString& startKey,
                const std::function<bool(const DesignObject&)>& visitor) const;

  DesignObject* Find(const QString& key);
  const DesignObject* Find(const QString& key) const;
  bool Contains(const QString& key) const { return objects_.count(key) != 0; }
  int Size() const { return static_cast<int>(objects_.size()); }
  void Clear();
  // Exchanges the whole content with another tree (an import builds aside, then swaps in).
  void Swap(DesignTree& other) noexcept {
    objects_.swap(other.objects_);
    counterHints_.swap(other.counterHints_);
  }

  // True when key is ancestorKey or lies below it.
  bool IsInSubtree(const QString& key, const QString& ancestorKey) const;

  // The lowest counter n >= 1 for which base + n is not a key (base compared in lower case).
  int FirstFreeCounter(const QString& base) const;

private:
  void Forget(const QString& key);  // a key left the store: lower the counter hints it affects
  std::unordered_map<QString, std::unique_ptr<DesignObject>> objects_;
  // Per lower-case base: every counter below the hint is known to be taken. Keeps naming linear.
  mutable QHash<QString, int> counterHints_;
};

bool IsContainerClass(const QString& cls);
// 1 for the single-child containers, 2 for splitter, -1 for unbounded, 0 for no children.
int ClassCapacity(const QString& cls);

// CreateObject: names, inserts and fills a new object; null when it cannot.
DesignObject* CreateObject(DesignTree& tree, const QString& parentKey, const QString& cls,
                           const QString& requestedName, const DesignObject* copySource,
                           int position, bool renameAllowed, bool noCaptions);
void ApplyNewObjectDefaults(DesignObject& object, bool noCaptions);

bool CanPasteInto(const DesignTree& tree, const DesignObject& source, const DesignObject& target);

// The window that contains the object under key (or the object itself), or null.
const DesignObject* OwningWindow(const DesignTree& tree, const QString& selectedKey);

struct SelectionContext {
  const DesignObject* selected = nullptr;
  const DesignObject* root = nullptr;
  bool canAddChildren = false;
  int childCount = 0;
  bool full = false;
  bool isPanel = false;
  bool isRoot = false;
  bool rootHasNoWindows = false;
};

// Fails (answers false, record empty) with no selection or no root.
bool ComputeSelectionContext(const DesignTree& tree, const QString& selectedKey,
                             SelectionContext& out);

// Permission queries for the menus. clipboardObject is the object clipboard's copy, or null.
bool CanRename(const SelectionContext& c);
bool CanDelete(const SelectionContext& c);
bool CanCopy(const SelectionContext& c);
bool CanCut(const SelectionContext& c);
bool CanPaste(const DesignTree& tree, const SelectionContext& c, const DesignObject* clipboardObject);
bool CanExpandCollapse(const SelectionContext& c);
bool CanExport(const SelectionContext& c);

}  // namespace bxw
