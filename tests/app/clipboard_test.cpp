#include "designer_fixture.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

class ClipboardTest : public DesignerTest {
protected:
  void SetUp() override {
    DesignerTest::SetUp();
    Add("dialogs", "window");
    Add("window1", "hbox");
    Add("hbox1", "vbox");
    Add("vbox1", "button");
    Add("vbox1", "button");
    Add("hbox1", "singlebox");  // singlebox1, empty
    Set("button1", "width", "80");
  }
  QStringList Children(const char* key) { return designer->Tree().Find(key)->children; }
  QString Attr(const char* key, const char* a) {
    return GetAttribute(*designer->Tree().Find(key), a);
  }
};

TEST_F(ClipboardTest, CopyAndPasteRenamesTakenNamesAndKeepsEveryAttribute) {
  Select("vbox1");
  designer->CopyCommand();
  Set("button1", "width", "99");  // after the copy
  Select("singlebox1");
  designer->PasteCommand();
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("vbox1_c1"));
  EXPECT_EQ(Children("singlebox1"), QStringList{"vbox1_c1"});
  EXPECT_EQ(Children("vbox1_c1"), (QStringList{"button1_c1", "button2_c1"}));
  EXPECT_EQ(Attr("button1_c1", "width"), QStringLiteral("80"));
  EXPECT_EQ(Attr("button1_c1", "text"), QStringLiteral("button1"));
  EXPECT_EQ(Attr("button1_c1", "onevent"), QStringLiteral("yes"));
  EXPECT_EQ(Attr("button1_c1", "name"), QStringLiteral("button1_c1"));
  EXPECT_EQ(designer->Tree().Find("button2_c1")->parentKey, QStringLiteral("vbox1_c1"));

  // A second paste into a box that holds many: counter 2.
  Select("hbox1");
  designer->PasteCommand();
  EXPECT_EQ(Children("hbox1"), (QStringList{"vbox1", "singlebox1", "vbox1_c2"}));
  EXPECT_EQ(Children("vbox1_c2"), (QStringList{"button1_c2", "button2_c2"}));
}

TEST_F(ClipboardTest, CutAsksNothingAndPasteKeepsTheNames) {
  designer->Config().ConfirmDelete = true;
  Select("vbox1");
  designer->CutCommand();
  EXPECT_EQ(requesters.Count("yesno"), 0);
  EXPECT_FALSE(designer->Tree().Contains("vbox1"));
  Select("singlebox1");
  designer->PasteCommand();
  EXPECT_EQ(Children("singlebox1"), QStringList{"vbox1"});
  EXPECT_EQ(Children("vbox1"), (QStringList{"button1", "button2"}));
}

TEST_F(ClipboardTest, RefusedPastesAndRootCopy) {
  Select("button1");
  designer->CopyCommand();
  Select("dialogs");
  designer->CopyCommand();  // nothing: the clipboard keeps the button
  ASSERT_NE(designer->Clipboard().Object(), nullptr);
  EXPECT_EQ(designer->Clipboard().Object()->key, QStringLiteral("button1"));
  const int before = designer->Tree().Size();
  designer->PasteCommand();  // a button into the root
  Select("window1");
  designer->PasteCommand();  // a full window
  Select("button2");
  designer->PasteCommand();  // not a container
  EXPECT_EQ(designer->Tree().Size(), before);

  Select("window1");
  designer->CopyCommand();
  Select("vbox1");
  designer->PasteCommand();  // a window only goes to the root
  EXPECT_EQ(designer->Tree().Size(), before);
  Select("dialogs");
  designer->PasteCommand();
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("window1_c1"));
  EXPECT_EQ(designer->Tree().Size(), 2 * before - 1);
}

}  // namespace
