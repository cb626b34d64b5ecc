#pragma once
// The one way the design changes. Every change is an edit value applied through
// DesignEditor::Apply, which alone calls the tree's mutators and answers what changed together
// with the edit that undoes it. Designs made aside (an import, a test, a benchmark) are built with
// DesignBuilder and brought in whole by a ReplaceDesignEdit.
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "model/design_tree.h"

namespace bxw {

// A new object named by the naming rule (class + counter, or requestedName with "_c" + counter
// when taken), last under its parent, with the class defaults.
struct AddObjectEdit {
  QString parentKey;
  QString cls;
  QString requestedName;
  bool noCaptions = false;  // "Empty text for new objects"
};

// The object and everything below it. The root cannot be deleted.
struct DeleteEdit {
  QString key;
};

// The object moves under parentKey so that it stands at index of that list afterwards (-1: last).
struct MoveEdit {
  QString key;
  QString parentKey;
  int index = -1;
};

// A new name for the object (its key becomes the name in lower case). Refused when another
// object has the name in any letter case; a change of letter case only is a rename too.
struct RenameEdit {
  QString key;
  QString name;
  bool generatedName = false;  // only undo sets it: the name the designer once made up
};

// One attribute of one object. A class attribute is set (absent and empty count as the same);
// a kept attribute is set, or removed by an empty value.
struct SetAttributeEdit {
  QString key;
  QString name;
  std::optional<QString> value;  // nullopt removes the entry
  bool kept = false;
  int position = -1;   // where a new entry goes (-1: last); undo puts an entry back in its place
  bool typed = false;  // typed into an editor: consecutive typed edits of one attribute merge
};

// Copies of objects placed as a new subtree under parentKey at index (-1: last). The entries
// are the top object first, then its descendants in walk order. A paste renames taken names
// ("_c" + counter); an undo of a delete puts the very same records back.
struct InsertSubtreeEdit {
  QString parentKey;
  int index = -1;
  std::vector<DesignObject> entries;
  bool renameTaken = true;
};

// The whole design, for an import (and its undo), with the file it belongs to.
struct ReplaceDesignEdit {
  std::unique_ptr<DesignTree> design;
  QString filePath;
};

using Edit = std::variant<std::monostate, AddObjectEdit, DeleteEdit, MoveEdit, RenameEdit,
                          SetAttributeEdit, InsertSubtreeEdit, ReplaceDesignEdit>;

enum class EditKind { None, Add, Delete, Move, Rename, SetAttribute, InsertSubtree, ReplaceDesign };

// What an edit changed, for the views that follow it, and the edit that undoes it.
struct EditOutcome {
  bool changed = false;
  EditKind kind = EditKind::None;
  bool structural = false;  // objects came, went, moved or were renamed; else attributes only
  QString select;           // the object to select afterwards
  QStringList expand;       // items to open besides the ancestors of select
  QString key;              // the object the edit is about (the top of a subtree)
  QString oldKey;           // a rename: the key before
  QString oldParent;        // a delete or move: where the object stood
  int oldIndex = -1;
  QString newParent;  // an add, insert or move: where it stands now
  int newIndex = -1;
  QString attribute;  // a set attribute: which one
  Edit inverse;
};

// The live design and its file. Owns the tree; everyone else reads it through Tree().
class DesignEditor {
public:
  DesignEditor();  // an empty design: the root alone
  ~DesignEditor();
  DesignEditor(const DesignEditor&) = delete;
  DesignEditor& operator=(const DesignEditor&) = delete;

  const DesignTree& Tree() const { return *tree_; }
  // The file the design was last imported from or exported to; empty for none.
  const QString& FilePath() const { return filePath_; }
  void SetFilePath(const QString& path) { filePath_ = path; }

  // Applies the edit. Nothing changes (changed false, no inverse) when the edit is refused or
  // would change nothing.
  EditOutcome Apply(Edit edit);

  // Shorthands for building a design edit by edit; they answer the key of the new object (empty
  // when refused) and whether the attribute changed.
  QString Add(const QString& parentKey, const QString& cls, const QString& requestedName = {},
              bool noCaptions = false);
  bool Set(const QString& key, const QString& name, const QString& value);

private:
  EditOutcome AddObject(AddObjectEdit& e);
  EditOutcome Delete(DeleteEdit& e);
  EditOutcome Move(MoveEdit& e);
  EditOutcome Rename(RenameEdit& e);
  EditOutcome SetAttributeOf(SetAttributeEdit& e);
  EditOutcome InsertSubtree(InsertSubtreeEdit& e);
  EditOutcome ReplaceDesign(ReplaceDesignEdit& e);

  std::unique_ptr<DesignTree> tree_;
  QString filePath_;
};

// A design made aside, object by object: imports, tests and benchmarks. Take() hands the result
// over; bringing it into the live design is a ReplaceDesignEdit.
class DesignBuilder {
public:
  explicit DesignBuilder(bool withRoot = true);
  const DesignTree& Tree() const { return *tree_; }
  DesignObject* Object(const QString& key);

  // Names, inserts and fills a new object as the designer does; null when it cannot. With a copy
  // source the object gets the source's attributes and comments and no class defaults.
  DesignObject* CreateObject(const QString& parentKey, const QString& cls,
                             const QString& requestedName, const DesignObject* copySource,
                             int position, bool renameAllowed, bool noCaptions);
  // The store operations, on this design only.
  bool InsertNode(const QString& key, const QString& parentKey, int position);
  // For readers that keep the open parents at hand: a new, empty object last under parent (an
  // object of this design, or one made aside for AdoptNode); null when key is empty or taken.
  DesignObject* AppendNode(const QString& key, DesignObject& parent);
  // An object made aside joins the design under its key; its links are the caller's. False (the
  // object stays with the caller) when the key is empty or taken.
  bool AdoptNode(DesignObjectPtr& object);
  // An empty object of this design's kind, made aside for AdoptNode.
  DesignObjectPtr NewObject();
  // A child made aside joins its parent's list before it has a name; NameChild gives the list its
  // key once it has one.
  void AppendUnnamed(DesignObject& parent, const DesignObject& child);
  void NameChild(DesignObject& parent, int index, const QString& key);
  // Room for that many objects, so that a design read from a large file is not rehashed as it
  // grows.
  void Reserve(int objects);
  bool RemoveNode(const QString& key);
  bool RekeyNode(const QString& oldKey, const QString& newKey);
  bool MoveNode(const QString& key, const QString& targetKey, bool asChild, int position);
  void Clear();
  void SetWindowIsMainElement(bool on);
  void SetTrailingComments(const QStringList& comments);

  std::unique_ptr<DesignTree> Take();

  // CreateObject on any tree: the edit layer's own naming and insertion.
  static DesignObject* CreateIn(DesignTree& tree, const QString& parentKey, const QString& cls,
                                const QString& requestedName, const DesignObject* copySource,
                                int position, bool renameAllowed, bool noCaptions);

private:
  std::unique_ptr<DesignTree> tree_;
};

// A design holding the root alone.
std::unique_ptr<DesignTree> NewEmptyDesign();

// Where the tree's drop rules put an object (as a child of target, or as its sibling at
// SiblingPosition), as a parent and an index for a MoveEdit; nullopt when the move is impossible
// (into its own subtree, absent keys).
std::optional<MoveEdit> ResolveMove(const DesignTree& tree, const QString& key,
                                    const QString& targetKey, bool asChild, int position);

// Copies of the object and its descendants in walk order, as a clipboard or an undo keeps them.
std::vector<DesignObject> CopySubtree(const DesignTree& tree, const QString& key);

}  // namespace bxw
