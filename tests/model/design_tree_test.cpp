#include <gtest/gtest.h>

#include "model/design_edit.h"
#include "model/design_tree.h"

using namespace bxw;

namespace {

const QString kName = QStringLiteral("name");

// A fresh tree with the root, as the designer starts.
class TreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(Add(QString(), "dialogs", "dialogs"), nullptr);
  }
  DesignObject* Add(const QString& parent, const char* cls, const char* name = "",
                    bool rename = true) {
    return b.CreateObject(parent, QString::fromLatin1(cls), QString::fromLatin1(name), nullptr,
                          kLast, rename, noCaptions);
  }
  QString NameOf(DesignObject* o) { return o ? GetAttribute(*o, kName) : QStringLiteral("<none>"); }
  DesignBuilder b{false};
  const DesignTree& tree = b.Tree();
  bool noCaptions = false;
};

TEST_F(TreeTest, NamesCountFromOneAndReuseFreedCounters) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  EXPECT_EQ(NameOf(Add("vbox1", "button")), QStringLiteral("button1"));
  EXPECT_EQ(NameOf(Add("vbox1", "button")), QStringLiteral("button2"));
  ASSERT_TRUE(b.RemoveNode(QStringLiteral("button1")));
  EXPECT_EQ(NameOf(Add("vbox1", "button")), QStringLiteral("button1"));
  EXPECT_EQ(NameOf(Add("vbox1", "button")), QStringLiteral("button3"));
  EXPECT_EQ(tree.Find(QStringLiteral("vbox1"))->children,
            (QStringList{"button2", "button1", "button3"}));
}

TEST_F(TreeTest, TakenRequestedNamesGetACopyCounterAndCaseCollides) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  Add("vbox1", "button");
  // Requested names collide without regard to case.
  EXPECT_EQ(NameOf(Add("vbox1", "button", "Button1")), QStringLiteral("Button1_c1"));
  EXPECT_EQ(NameOf(Add("vbox1", "button", "Button1")), QStringLiteral("Button1_c2"));
  EXPECT_EQ(Add("vbox1", "button", "BUTTON1", false), nullptr);
  Add("vbox1", "button", "OK");
  EXPECT_EQ(Add("vbox1", "button", "ok", false), nullptr);
  EXPECT_TRUE(tree.Contains(QStringLiteral("button1_c2")));
  // A name like button1_c1 being freed makes its counter free again.
  ASSERT_TRUE(b.RemoveNode(QStringLiteral("button1_c1")));
  EXPECT_EQ(NameOf(Add("vbox1", "button", "button1")), QStringLiteral("button1_c1"));
  // Without renaming allowed even the automatic name fails once taken.
  EXPECT_EQ(Add("vbox1", "button", "", false), nullptr);
}

TEST_F(TreeTest, DefaultsPerClassWithAndWithoutEmptyText) {
  struct Case {
    const char* cls;
    std::vector<Attribute> expected;
  };
  const QList<Case> cases = {
      {"window", {{"name", "window1"}, {"flags", "#PB_Window_SystemMenu"}, {"text", "window1"}}},
      {"hbox", {{"name", "hbox1"}}},
      {"button", {{"name", "button1"}, {"text", "button1"}, {"onevent", "yes"}}},
      {"frame", {{"name", "frame1"}, {"text", "frame1"}, {"variable", "yes"}}},
      {"listview", {{"name", "listview1"}, {"onevent", "yes"}}},
      {"splitter", {{"name", "splitter1"}, {"variable", "yes"}}},
      {"empty", {{"name", "empty1"}}},
  };
  for (bool empty : {false, true}) {
    DesignBuilder t(false);
    for (const Case& c : cases) {
      DesignObject* o = t.CreateObject(QString(), QString::fromLatin1(c.cls), QString(), nullptr,
                                       kLast, true, empty);
      ASSERT_NE(o, nullptr);
      std::vector<Attribute> want = c.expected;
      if (empty) {
        // The empty text replaces a default text in place, or comes last.
        bool had = false;
        for (Attribute& a : want)
          if (a.name == QLatin1String("text")) a.value.clear(), had = true;
        if (!had) want.push_back({QStringLiteral("text"), QString()});
      }
      EXPECT_EQ(o->attributes, want) << c.cls << " empty=" << empty;
      EXPECT_EQ(o->cls, QString::fromLatin1(c.cls));
      EXPECT_EQ(o->key, o->key.toLower());
    }
  }
}

TEST_F(TreeTest, CopySourceKeepsAttributesAndSkipsDefaults) {
  DesignObject source;
  source.cls = QStringLiteral("button");
  source.attributes = {{"name", "b"}, {"text", "Hello"}, {"width", "80"}};
  DesignObject* o = b.CreateObject(QStringLiteral("dialogs"), QStringLiteral("button"),
                                   QStringLiteral("b"), &source, kLast, true, true);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(GetAttribute(*o, QStringLiteral("text")), QStringLiteral("Hello"));
  EXPECT_EQ(GetAttribute(*o, QStringLiteral("width")), QStringLiteral("80"));
  EXPECT_EQ(GetAttribute(*o, QStringLiteral("onevent")), QString());
}

TEST_F(TreeTest, InsertPositionsAndStoreFailures) {
  EXPECT_TRUE(b.InsertNode(QStringLiteral("a"), QStringLiteral("dialogs"), 2));
  EXPECT_TRUE(b.InsertNode(QStringLiteral("b"), QStringLiteral("dialogs"), 1));
  EXPECT_TRUE(b.InsertNode(QStringLiteral("c"), QStringLiteral("dialogs"), 7));
  EXPECT_EQ(tree.Find(QStringLiteral("dialogs"))->children, (QStringList{"b", "a", "c"}));
  EXPECT_FALSE(b.InsertNode(QString(), QStringLiteral("dialogs"), 2));
  EXPECT_FALSE(b.InsertNode(QStringLiteral("a"), QStringLiteral("dialogs"), 2));
  EXPECT_FALSE(b.InsertNode(QStringLiteral("d"), QStringLiteral("nosuch"), 2));
  EXPECT_FALSE(b.RemoveNode(QString()));
  EXPECT_FALSE(b.RemoveNode(QStringLiteral("nosuch")));
  EXPECT_EQ(tree.ChildCount(QStringLiteral("nosuch")), 0);
  EXPECT_EQ(tree.ChildCount(QString()), 0);
}

TEST_F(TreeTest, RemoveTakesTheWholeSubtreeOutOfTheStore) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  Add("vbox1", "hbox");
  Add("hbox1", "button");
  Add("vbox1", "button");
  ASSERT_TRUE(b.RemoveNode(QStringLiteral("vbox1")));
  EXPECT_EQ(tree.Size(), 2);
  for (const char* k : {"vbox1", "hbox1", "button1", "button2"})
    EXPECT_FALSE(tree.Contains(QString::fromLatin1(k))) << k;
  EXPECT_TRUE(tree.Find(QStringLiteral("window1"))->children.isEmpty());
}

TEST_F(TreeTest, RekeyKeepsOrderAndParentLinks) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  for (int i = 0; i < 3; ++i) Add("vbox1", "button");
  Add("button2", "hbox");  // not a container in the designer, but the store allows it
  ASSERT_TRUE(b.RekeyNode(QStringLiteral("button2"), QStringLiteral("okbutton")));
  EXPECT_EQ(tree.Find(QStringLiteral("vbox1"))->children,
            (QStringList{"button1", "okbutton", "button3"}));
  EXPECT_EQ(tree.Find(QStringLiteral("hbox1"))->parentKey, QStringLiteral("okbutton"));
  EXPECT_EQ(tree.Find(QStringLiteral("okbutton"))->key, QStringLiteral("okbutton"));
  EXPECT_FALSE(tree.Contains(QStringLiteral("button2")));
  EXPECT_FALSE(b.RekeyNode(QStringLiteral("okbutton"), QStringLiteral("button1")));
  EXPECT_FALSE(b.RekeyNode(QStringLiteral("nosuch"), QStringLiteral("x")));
  EXPECT_FALSE(b.RekeyNode(QString(), QStringLiteral("x")));
  // The freed name is the next automatic one again.
  EXPECT_EQ(NameOf(Add("vbox1", "button")), QStringLiteral("button2"));
}

TEST_F(TreeTest, CapacitiesSelectionContextAndPasteRules) {
  Add("dialogs", "window");
  Add("window1", "splitter");
  Add("splitter1", "button");
  SelectionContext c;
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("splitter1"), c));
  EXPECT_FALSE(c.full);
  Add("splitter1", "button");
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("splitter1"), c));
  EXPECT_TRUE(c.full);
  EXPECT_TRUE(c.canAddChildren);
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("window1"), c));
  EXPECT_TRUE(c.full);
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("dialogs"), c));
  EXPECT_TRUE(c.isRoot);
  EXPECT_FALSE(c.canAddChildren);
  EXPECT_FALSE(CanDelete(c));
  EXPECT_FALSE(CanRename(c));
  EXPECT_TRUE(CanExport(c));
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("button1"), c));
  EXPECT_FALSE(c.canAddChildren);
  EXPECT_TRUE(CanDelete(c));
  EXPECT_FALSE(ComputeSelectionContext(tree, QString(), c));
  EXPECT_EQ(c.selected, nullptr);

  Add("dialogs", "window");
  Add("window2", "vbox");
  for (int i = 0; i < 50; ++i) Add("vbox1", "button");
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("vbox1"), c));
  EXPECT_FALSE(c.full);

  auto obj = [&](const char* k) { return tree.Find(QString::fromLatin1(k)); };
  Add("vbox1", "panel");
  Add("panel1", "tab");
  Add("vbox1", "singlebox");
  struct Case {
    const char* source;
    const char* target;
    bool ok;
  } cases[] = {
      {"button1", "dialogs", false}, {"window1", "vbox1", false}, {"tab1", "vbox1", false},
      {"button1", "panel1", false},  {"tab1", "panel1", true},    {"window1", "dialogs", true},
      {"button1", "splitter1", false}, {"button1", "window1", false},
      {"button1", "singlebox1", true}, {"button1", "vbox1", true},
  };
  for (const Case& k : cases)
    EXPECT_EQ(CanPasteInto(tree, *obj(k.source), *obj(k.target)), k.ok)
        << k.source << " into " << k.target;
  Add("singlebox1", "button");
  EXPECT_FALSE(CanPasteInto(tree, *obj("button1"), *obj("singlebox1")));
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("singlebox1"), c));
  EXPECT_FALSE(CanPaste(tree, c, obj("button1")));
  ASSERT_TRUE(ComputeSelectionContext(tree, QStringLiteral("dialogs"), c));
  EXPECT_TRUE(CanPaste(tree, c, obj("window1")));
  EXPECT_FALSE(CanPaste(tree, c, obj("button1")));
  EXPECT_FALSE(CanPaste(tree, c, nullptr));
}

TEST_F(TreeTest, OwningWindow) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  Add("vbox1", "hbox");
  Add("hbox1", "button");
  EXPECT_EQ(OwningWindow(tree, QStringLiteral("button1")), tree.Find(QStringLiteral("window1")));
  EXPECT_EQ(OwningWindow(tree, QStringLiteral("window1")), tree.Find(QStringLiteral("window1")));
  EXPECT_EQ(OwningWindow(tree, QStringLiteral("dialogs")), nullptr);
  EXPECT_EQ(OwningWindow(tree, QString()), nullptr);
}

TEST_F(TreeTest, MoveNodePlacesAndRefusesMovesIntoItsOwnSubtree) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  for (int i = 0; i < 3; ++i) Add("vbox1", "button");
  Add("vbox1", "hbox");
  Add("hbox1", "vbox");
  auto children = [&](const char* k) { return tree.Find(QString::fromLatin1(k))->children; };
  // Into its own subtree: refused, nothing changes.
  EXPECT_FALSE(b.MoveNode(QStringLiteral("vbox1"), QStringLiteral("vbox2"), true, 2));
  EXPECT_FALSE(b.MoveNode(QStringLiteral("hbox1"), QStringLiteral("vbox2"), false, 4));
  EXPECT_EQ(children("vbox1"), (QStringList{"button1", "button2", "button3", "hbox1"}));
  EXPECT_TRUE(b.MoveNode(QStringLiteral("vbox1"), QStringLiteral("vbox1"), true, 2));
  EXPECT_FALSE(b.MoveNode(QString(), QStringLiteral("vbox1"), true, 2));
  EXPECT_FALSE(b.MoveNode(QStringLiteral("button1"), QString(), false, 2));
  EXPECT_FALSE(b.MoveNode(QStringLiteral("button1"), QStringLiteral("nosuch"), true, 2));

  ASSERT_TRUE(b.MoveNode(QStringLiteral("button3"), QStringLiteral("button1"), false, 3));
  EXPECT_EQ(children("vbox1"), (QStringList{"button3", "button1", "button2", "hbox1"}));
  ASSERT_TRUE(b.MoveNode(QStringLiteral("button3"), QStringLiteral("button2"), false, 4));
  EXPECT_EQ(children("vbox1"), (QStringList{"button1", "button2", "button3", "hbox1"}));
  ASSERT_TRUE(b.MoveNode(QStringLiteral("button2"), QStringLiteral("vbox2"), true, 1));
  EXPECT_EQ(children("vbox2"), (QStringList{"button2"}));
  EXPECT_EQ(tree.Find(QStringLiteral("button2"))->parentKey, QStringLiteral("vbox2"));
  ASSERT_TRUE(b.MoveNode(QStringLiteral("button1"), QStringLiteral("button2"), false, 1));
  EXPECT_EQ(children("vbox2"), (QStringList{"button1", "button2"}));
  EXPECT_EQ(children("vbox1"), (QStringList{"button3", "hbox1"}));
}

TEST_F(TreeTest, WalkOrderAndSkippingASubtree) {
  Add("dialogs", "window");
  Add("window1", "vbox");
  Add("vbox1", "button");
  Add("vbox1", "hbox");
  Add("hbox1", "button");
  Add("vbox1", "text");
  QStringList seen;
  tree.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject& o) {
    seen << o.key;
    return o.key == QLatin1String("hbox1");
  });
  EXPECT_EQ(seen, (QStringList{"dialogs", "window1", "vbox1", "button1", "hbox1", "text1"}));
  seen.clear();
  tree.WalkTree(QStringLiteral("nosuch"), [&](const DesignObject& o) {
    seen << o.key;
    return false;
  });
  EXPECT_TRUE(seen.isEmpty());
}

// A design 100,000 levels deep, and one with 100,000 siblings, must be created, walked, moved and
// removed without running out of stack.
TEST_F(TreeTest, HugeDepthAndWidthNeedNoRecursion) {
  constexpr int kCount = 100000;
  Add("dialogs", "window");
  Add("window1", "vbox");
  QString parent = QStringLiteral("vbox1");
  for (int i = 0; i < kCount; ++i) {
    DesignObject* o = Add(parent, "vbox");
    ASSERT_NE(o, nullptr);
    parent = o->key;
  }
  const QString deepest = parent;
  EXPECT_EQ(OwningWindow(tree, deepest), tree.Find(QStringLiteral("window1")));
  int visited = 0;
  tree.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject&) { return ++visited, false; });
  EXPECT_EQ(visited, kCount + 3);
  EXPECT_FALSE(b.MoveNode(QStringLiteral("vbox2"), deepest, true, 2));
  ASSERT_TRUE(b.MoveNode(deepest, QStringLiteral("window1"), false, 4));
  ASSERT_TRUE(b.RemoveNode(QStringLiteral("vbox1")));
  EXPECT_EQ(tree.Size(), 3);

  for (int i = 0; i < kCount; ++i) ASSERT_NE(Add("window1", "button"), nullptr);
  EXPECT_EQ(tree.ChildCount(QStringLiteral("window1")), kCount);
  EXPECT_TRUE(tree.Contains(QStringLiteral("button100000")));
  ASSERT_TRUE(b.RemoveNode(QStringLiteral("window1")));
  EXPECT_EQ(tree.Size(), 2);
}

}  // namespace
