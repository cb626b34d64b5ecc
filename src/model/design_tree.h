#pragma once
#include <QHashFunctions>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace bxw {

// One attribute of an object. Names of known attributes share the schema's strings, so a name
// costs no allocation per object.
struct Attribute {
  QString name;
  QString value;
  // Read from a file although the object's class does not have it: kept as written, in the
  // order of the file, and written back after the class's own attributes.
  bool kept = false;

  bool operator==(const Attribute&) const = default;
};

// One object of the design: the object part (key, class, attributes) and the tree part (parent,
// ordered children). Held by unique_ptr in the tree, so its address is stable.
struct DesignObject {
  QString key;  // lower-case name, also the object's key in the tree
  QString cls;  // class name, as in the class schema
  QString parentKey;
  QStringList children;
  // The tree's own links to the children, in the order of `children`; kept by DesignTree so that
  // walking the tree follows pointers instead of looking every key up. Empty in copies. (Beside
  // `children`, so that a walk reads one place of each object.)
  std::vector<const DesignObject*> childLinks;
  std::vector<Attribute> attributes;
  // What a hand-written file holds around the element: comments standing before it among its
  // siblings, and comments after its last child, before its end tag.
  QStringList commentsBefore;
  QStringList commentsInside;
  // The file gave the element no name; the designer named it and does not write the name back.
  bool generatedName = false;

  // Equal as records: the links are the tree's business.
  bool operator==(const DesignObject& o) const {
    return key == o.key && cls == o.cls && attributes == o.attributes && parentKey == o.parentKey &&
           children == o.children && commentsBefore == o.commentsBefore &&
           commentsInside == o.commentsInside && generatedName == o.generatedName;
  }
};

// The value of a class attribute (empty when not set). Kept attributes are not read here.
QString GetAttribute(const DesignObject& object, const QString& name);
const QString* FindAttribute(const DesignObject& object, const QString& name);
// Sets a class attribute of a record that is not part of a design tree (a working copy, a
// clipboard entry); an existing entry keeps its place.
void SetAttribute(DesignObject& object, const QString& name, const QString& value);
// The kept attributes of an object, in file order.
std::vector<const Attribute*> KeptAttributes(const DesignObject& object);
const Attribute* FindKeptAttribute(const DesignObject& object, const QString& name);

// The objects of a tree live side by side in chunks of a pool of their own, in the order they
// were made, so that walking a large design reads memory in order instead of all over the heap.
class DesignObjectPool;
struct DesignObjectRelease {
  DesignObjectPool* pool = nullptr;
  void operator()(DesignObject* object) const;
};
using DesignObjectPtr = std::unique_ptr<DesignObject, DesignObjectRelease>;

enum InsertPosition { kFirst = 1, kLast = 2 };

// How deep objects may nest below their window: as deep as the dialog runtime opens them.
inline constexpr int kMaxNestingBelowWindow = 128;
enum SiblingPosition { kSiblingFirst = 1, kSiblingLast = 2, kBefore = 3, kAfter = 4 };

class DesignBuilder;
class DesignEditor;

// The document: a dictionary from key to object. Order lives only in each children list. Every
// operation that follows the tree walks it with an explicit stack, so neither depth nor width of
// a design can exhaust the call stack.
//
// Everyone reads the tree; only the edit layer (DesignEditor for the live design, DesignBuilder
// for a design made aside) changes it.
class DesignTree {
public:
  DesignTree();
  ~DesignTree();
  DesignTree(const DesignTree&) = delete;
  DesignTree& operator=(const DesignTree&) = delete;

  int ChildCount(const QString& key) const;
  // Visits start and its descendants depth first, parents before children. A visitor answering
  // true keeps the walk out of that object's subtree.
  void WalkTree(const QString& startKey,
                const std::function<bool(const DesignObject&)>& visitor) const;

  const DesignObject* Find(const QString& key) const;
  bool Contains(const QString& key) const { return objects_.count(key) != 0; }
  int Size() const { return static_cast<int>(objects_.size()); }

  // True when key is ancestorKey or lies below it.
  bool IsInSubtree(const QString& key, const QString& ancestorKey) const;
  // Number of parent links from the object up to the root (0 for the root, -1 when absent).
  int Depth(const QString& key) const;
  // Position of key in its parent's children list, -1 for the root or an absent key.
  int IndexInParent(const QString& key) const;
  // Levels of the subtree under key, the object itself counted (0 when absent).
  int SubtreeHeight(const QString& key) const;
  // Whether a subtree of that height may go under parentKey without nesting deeper below its
  // window than the runtime opens.
  bool FitsUnder(const QString& parentKey, int height) const;

  // The lowest counter n >= 1 for which base + n is not a key (base compared in lower case).
  int FirstFreeCounter(const QString& base) const;

  // The file the design was read from had a `window` as its main element.
  bool WindowIsMainElement() const { return windowIsMain_; }
  // Comments after the main element of the file the design was read from.
  const QStringList& TrailingComments() const { return trailingComments_; }

private:
  friend class DesignBuilder;
  friend class DesignEditor;

  DesignObject* FindMutable(const QString& key);
  // A new object under key, last under parent (an object of this tree or one still to be
  // adopted); null when the key is empty or taken. Looks the key up once.
  DesignObject* AppendNode(const QString& key, DesignObject& parent);
  // Takes an object made aside, whose key and links the caller has set; false (object kept) when
  // its key is empty or taken.
  bool AdoptNode(DesignObjectPtr& object);
  // An empty object from this tree's pool, to be adopted later.
  DesignObjectPtr NewObject();
  // A child still without a name at the end of the parent's list (it is adopted later), and its
  // name once it has one.
  static void AppendUnnamed(DesignObject& parent, const DesignObject& child);
  static void NameChild(DesignObject& parent, int index, const QString& key);
  // Grows the table for that many objects; never shrinks it.
  void Reserve(int objects) {
    if (objects > 0 && size_t(objects) > objects_.bucket_count()) objects_.reserve(size_t(objects));
  }
  bool InsertNode(const QString& key, const QString& parentKey, int position);
  // Inserts at a position of the parent's children list (clamped; -1 or past the end: last).
  bool InsertNodeAt(const QString& key, const QString& parentKey, int index);
  bool RemoveNode(const QString& key);
  bool RekeyNode(const QString& oldKey, const QString& newKey);
  bool MoveNode(const QString& key, const QString& targetKey, bool asChild, int position);
  // Moves key under newParentKey so that it stands at index of that list afterwards.
  bool MoveNodeTo(const QString& key, const QString& newParentKey, int index);
  void Clear();
  void Swap(DesignTree& other) noexcept;

  // Keys hashed once: the table keeps each key's hash, so growing it and looking keys up compare
  // hashes before touching any text. (Not noexcept on purpose: that makes the table keep them.)
  struct KeyHash {
    size_t operator()(const QString& key) const { return qHash(key); }
  };

  void Forget(const QString& key);  // a key left the store: lower the counter hints it affects
  // Puts the child at index of the parent's list (clamped; -1: last), key and link together.
  static void Link(DesignObject& parent, const DesignObject& child, qsizetype index);
  static void Unlink(DesignObject& parent, const QString& key);
  std::unique_ptr<DesignObjectPool> pool_;  // declared first: it outlives the objects
  std::unordered_map<QString, DesignObjectPtr, KeyHash> objects_;
  // Per lower-case base: every counter below the hint is known to be taken. Keeps naming linear.
  mutable std::unordered_map<QString, int> counterHints_;
  bool windowIsMain_ = false;
  QStringList trailingComments_;
};

bool IsContainerClass(const QString& cls);
// 1 for the single-child containers, 2 for splitter, -1 for unbounded, 0 for no children.
int ClassCapacity(const QString& cls);

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
  bool atNestingLimit = false;  // nothing may go under the selection: it nests too deep already
};

// Fails (answers false, record empty) with no selection or no root.
bool ComputeSelectionContext(const DesignTree& tree, const QString& selectedKey,
                             SelectionContext& out);

// Permission queries for the menus. clipboardObject is the object clipboard's copy, or null.
bool CanRename(const SelectionContext& c);
bool CanDelete(const SelectionContext& c);
bool CanCopy(const SelectionContext& c);
bool CanCut(const SelectionContext& c);
// clipboardHeight: the levels of the clipboard's subtree.
bool CanPaste(const DesignTree& tree, const SelectionContext& c,
              const DesignObject* clipboardObject, int clipboardHeight = 1);
bool CanExpandCollapse(const SelectionContext& c);
bool CanExport(const SelectionContext& c);

}  // namespace bxw
