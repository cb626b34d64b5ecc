#include "model/design_edit.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

using namespace bxw;

namespace {

// Every object of the tree as one line: key, class, parent, children, attributes in list order,
// comments and the generated-name mark. Two trees with the same dump are the same design.
QStringList Dump(const DesignTree& tree) {
  QStringList out;
  tree.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject& o) {
    QString line = o.key + QLatin1Char(' ') + o.cls + QStringLiteral(" parent=") + o.parentKey +
                   QStringLiteral(" children=") + o.children.join(QLatin1Char(','));
    for (const Attribute& a : o.attributes)
      line += QLatin1Char(' ') + (a.kept ? QStringLiteral("+") : QString()) + a.name +
              QLatin1Char('=') + a.value;
    line += QStringLiteral(" before=") + o.commentsBefore.join(QLatin1Char('|')) +
            QStringLiteral(" inside=") + o.commentsInside.join(QLatin1Char('|')) +
            (o.generatedName ? QStringLiteral(" generated") : QString());
    out << line;
    return false;
  });
  out << QStringLiteral("objects=%1").arg(tree.Size());
  return out;
}

// A design with a bit of everything: two windows, nested boxes, kept attributes and comments.
std::unique_ptr<DesignTree> Sample() {
  DesignBuilder b;
  auto add = [&](const char* parent, const char* cls, const char* name = "") {
    return b.CreateObject(parent, cls, name, nullptr, kLast, true, false);
  };
  add("dialogs", "window", "Main");
  add("main", "vbox");
  DesignObject* hbox = add("vbox1", "hbox");
  hbox->commentsBefore = QStringList{" the buttons "};
  hbox->generatedName = true;
  add("hbox1", "button", "OK");
  add("hbox1", "button", "Cancel");
  DesignObject* text = add("vbox1", "text");
  text->attributes.push_back({QStringLiteral("colums"), QStringLiteral("3"), true});
  text->commentsInside = QStringList{" end "};
  add("dialogs", "window", "Other");
  add("other", "gridbox");
  return b.Take();
}

class EditTest : public ::testing::Test {
protected:
  void SetUp() override { editor.Apply(ReplaceDesignEdit{Sample(), QStringLiteral("/tmp/a.xml")}); }
  DesignEditor editor;
  const DesignTree& tree = editor.Tree();
};

SetAttributeEdit Attr(const char* key, const char* name, std::optional<QString> value,
                      bool kept = false) {
  SetAttributeEdit e;
  e.key = QString::fromLatin1(key);
  e.name = QString::fromLatin1(name);
  e.value = std::move(value);
  e.kept = kept;
  return e;
}

// Every kind of edit, applied, undone and redone: the undo gives back the very same tree and the
// redo the edited one.
TEST_F(EditTest, EveryEditAndItsUndoGiveBackTheSameTree) {
  struct Case {
    const char* what;
    std::function<Edit()> make;
    EditKind kind;
  };
  const std::vector<Case> cases = {
      {"add",
       [] {
         return Edit(AddObjectEdit{"hbox1", "string", QString(), false});
       },
       EditKind::Add},
      {"add with empty text",
       [] {
         return Edit(AddObjectEdit{"vbox1", "button", QString(), true});
       },
       EditKind::Add},
      {"delete a subtree", [] { return Edit(DeleteEdit{"vbox1"}); }, EditKind::Delete},
      {"delete the first child", [] { return Edit(DeleteEdit{"ok"}); }, EditKind::Delete},
      {"move into another window",
       [] {
         return Edit(MoveEdit{"hbox1", "gridbox1", -1});
       },
       EditKind::Move},
      {"move to the front",
       [] {
         return Edit(MoveEdit{"text1", "vbox1", 0});
       },
       EditKind::Move},
      {"move a window",
       [] {
         return Edit(MoveEdit{"other", "dialogs", 0});
       },
       EditKind::Move},
      {"rename a parent",
       [] {
         return Edit(RenameEdit{"vbox1", "Column"});
       },
       EditKind::Rename},
      {"rename a generated name",
       [] {
         return Edit(RenameEdit{"hbox1", "Buttons"});
       },
       EditKind::Rename},
      {"rename letter case only",
       [] {
         return Edit(RenameEdit{"ok", "Ok"});
       },
       EditKind::Rename},
      {"set a new attribute", [] { return Edit(Attr("ok", "width", "80")); },
       EditKind::SetAttribute},
      {"change an attribute", [] { return Edit(Attr("ok", "text", "Fine")); },
       EditKind::SetAttribute},
      {"empty an attribute", [] { return Edit(Attr("ok", "text", "")); }, EditKind::SetAttribute},
      {"clear a kept attribute", [] { return Edit(Attr("text1", "colums", "", true)); },
       EditKind::SetAttribute},
      {"add a kept attribute", [] { return Edit(Attr("text1", "note", "x", true)); },
       EditKind::SetAttribute},
      {"paste over taken names",
       [&] {
         InsertSubtreeEdit e;
         e.parentKey = "gridbox1";
         e.entries = CopySubtree(tree, "hbox1");
         return Edit(std::move(e));
       },
       EditKind::InsertSubtree},
      {"replace the design",
       [] {
         return Edit(ReplaceDesignEdit{NewEmptyDesign(), QString()});
       },
       EditKind::ReplaceDesign},
  };
  for (const Case& c : cases) {
    const QStringList before = Dump(tree);
    const QString fileBefore = editor.FilePath();
    EditOutcome done = editor.Apply(c.make());
    ASSERT_TRUE(done.changed) << c.what;
    EXPECT_EQ(done.kind, c.kind) << c.what;
    const QStringList after = Dump(tree);
    EXPECT_NE(after, before) << c.what;
    EditOutcome undone = editor.Apply(std::move(done.inverse));
    ASSERT_TRUE(undone.changed) << c.what;
    EXPECT_EQ(Dump(tree), before) << c.what;
    EXPECT_EQ(editor.FilePath(), fileBefore) << c.what;
    EditOutcome redone = editor.Apply(std::move(undone.inverse));
    ASSERT_TRUE(redone.changed) << c.what;
    EXPECT_EQ(Dump(tree), after) << c.what;
    editor.Apply(std::move(redone.inverse));
    ASSERT_EQ(Dump(tree), before) << c.what;
  }
}

TEST_F(EditTest, EditsThatChangeNothingAreNotEdits) {
  const QStringList before = Dump(tree);
  struct Case {
    const char* what;
    std::function<Edit()> make;
  } cases[] = {
      {"delete the root", [] { return Edit(DeleteEdit{"dialogs"}); }},
      {"delete an absent key", [] { return Edit(DeleteEdit{"nosuch"}); }},
      {"move to where it is",
       [] {
         return Edit(MoveEdit{"cancel", "hbox1", 1});
       }},
      {"move to the end where it is",
       [] {
         return Edit(MoveEdit{"cancel", "hbox1", -1});
       }},
      {"move into its own subtree",
       [] {
         return Edit(MoveEdit{"vbox1", "hbox1", -1});
       }},
      {"rename to the same name",
       [] {
         return Edit(RenameEdit{"ok", "OK"});
       }},
      {"rename to a taken name",
       [] {
         return Edit(RenameEdit{"ok", "CANCEL"});
       }},
      {"rename the root",
       [] {
         return Edit(RenameEdit{"dialogs", "top"});
       }},
      {"set the value it has", [] { return Edit(Attr("ok", "text", "OK")); }},
      {"set an absent attribute empty", [] { return Edit(Attr("ok", "width", "")); }},
      {"remove an absent kept attribute", [] { return Edit(Attr("ok", "colums", "", true)); }},
      {"the name as an attribute", [] { return Edit(Attr("ok", "name", "Other")); }},
      {"add under an absent parent",
       [] {
         return Edit(AddObjectEdit{"nosuch", "button", QString(), false});
       }},
      {"paste nothing",
       [] {
         return Edit(InsertSubtreeEdit{"vbox1", -1, {}, true});
       }},
      {"no edit at all", [] { return Edit(); }},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(editor.Apply(c.make()).changed) << c.what;
    EXPECT_EQ(Dump(tree), before) << c.what;
  }
}

TEST_F(EditTest, OutcomesSayWhatToSelectAndWhereThingsStand) {
  // A new object is selected; it stands last under its parent.
  EditOutcome add = editor.Apply(AddObjectEdit{"hbox1", "button", QString(), false});
  EXPECT_EQ(add.select, QStringLiteral("button1"));
  EXPECT_EQ(add.newParent, QStringLiteral("hbox1"));
  EXPECT_EQ(add.newIndex, 2);
  EXPECT_TRUE(add.structural);
  // A deleted object hands the selection to its next sibling, else the one before, else its parent.
  EXPECT_EQ(editor.Apply(DeleteEdit{"ok"}).select, QStringLiteral("cancel"));
  EXPECT_EQ(editor.Apply(DeleteEdit{"button1"}).select, QStringLiteral("cancel"));
  EditOutcome last = editor.Apply(DeleteEdit{"cancel"});
  EXPECT_EQ(last.select, QStringLiteral("hbox1"));
  EXPECT_EQ(last.oldParent, QStringLiteral("hbox1"));
  EXPECT_EQ(last.oldIndex, 0);
  // A rename answers both keys; an attribute edit is not structural.
  EditOutcome rename = editor.Apply(RenameEdit{"text1", "Caption"});
  EXPECT_EQ(rename.oldKey, QStringLiteral("text1"));
  EXPECT_EQ(rename.key, QStringLiteral("caption"));
  EditOutcome set = editor.Apply(Attr("caption", "text", "Hello"));
  EXPECT_FALSE(set.structural);
  EXPECT_EQ(set.attribute, QStringLiteral("text"));
  // A move answers where the object went, as ResolveMove computes it from the drop rules.
  std::optional<MoveEdit> move = ResolveMove(tree, "caption", "hbox1", false, kBefore);
  ASSERT_TRUE(move);
  EditOutcome moved = editor.Apply(std::move(*move));
  EXPECT_EQ(moved.newParent, QStringLiteral("vbox1"));
  EXPECT_EQ(tree.Find("vbox1")->children, (QStringList{"caption", "hbox1"}));
  EXPECT_FALSE(ResolveMove(tree, "vbox1", "hbox1", true, kLast));  // into its own subtree
}

TEST_F(EditTest, APasteRenamesAndARestoreKeepsTheVeryRecords) {
  InsertSubtreeEdit paste;
  paste.parentKey = QStringLiteral("gridbox1");
  paste.entries = CopySubtree(tree, QStringLiteral("hbox1"));
  EditOutcome out = editor.Apply(std::move(paste));
  EXPECT_EQ(out.key, QStringLiteral("hbox1_c1"));
  EXPECT_EQ(tree.Find("hbox1_c1")->children, (QStringList{"ok_c1", "cancel_c1"}));
  // The copy carries the original's comments and its unwritten name.
  EXPECT_EQ(tree.Find("hbox1_c1")->commentsBefore, QStringList{" the buttons "});
  EXPECT_TRUE(tree.Find("hbox1_c1")->generatedName);
  // Undoing a delete puts the subtree back at its place, with its keys, even between siblings.
  const QStringList before = Dump(tree);
  EditOutcome deleted = editor.Apply(DeleteEdit{"hbox1"});
  ASSERT_FALSE(tree.Contains("ok"));
  editor.Apply(std::move(deleted.inverse));
  EXPECT_EQ(Dump(tree), before);
  EXPECT_EQ(tree.Find("vbox1")->children, (QStringList{"hbox1", "text1"}));
}

TEST_F(EditTest, ReplacingTheDesignKeepsEveryReaderOfTheTree) {
  const DesignTree* live = &editor.Tree();
  EditOutcome out = editor.Apply(ReplaceDesignEdit{NewEmptyDesign(), QStringLiteral("/x/b.xml")});
  EXPECT_EQ(&editor.Tree(), live);  // the same tree object, with the new contents
  EXPECT_EQ(tree.Size(), 1);
  EXPECT_EQ(editor.FilePath(), QStringLiteral("/x/b.xml"));
  EXPECT_EQ(out.select, QStringLiteral("dialogs"));
  // The history after an import: its undo is the design before, with its file.
  editor.Apply(std::move(out.inverse));
  EXPECT_EQ(tree.Size(), 9);
  EXPECT_EQ(editor.FilePath(), QStringLiteral("/tmp/a.xml"));
  EXPECT_TRUE(tree.Contains("cancel"));
}

}  // namespace
