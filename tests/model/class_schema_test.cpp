#include <gtest/gtest.h>

#include "model/class_schema.h"

using namespace bxw;

namespace {

class SchemaTest : public ::testing::Test {
protected:
  ClassSchema schema;
};

QStringList L(std::initializer_list<const char*> items) {
  QStringList out;
  for (const char* s : items) out << QString::fromLatin1(s);
  return out;
}

TEST_F(SchemaTest, HoldsFortyClassesAndEveryButTheRootHasAnAddCommand) {
  EXPECT_EQ(schema.ClassCount(), 40);
  QSet<QString> added;
  for (int n = 0; n < 70; ++n) {
    const QString cls = ClassForAddCommand(n);
    if (cls.isEmpty()) continue;
    EXPECT_TRUE(schema.IsKnownClass(cls)) << cls.toStdString();
    added.insert(cls);
  }
  EXPECT_EQ(added.size(), 39);
  EXPECT_FALSE(added.contains(QStringLiteral("dialogs")));
  EXPECT_EQ(ClassForAddCommand(13), QString());
  EXPECT_EQ(ClassForAddCommand(53), QString());
  EXPECT_EQ(ClassForAddCommand(51), QStringLiteral("tab"));
  EXPECT_EQ(ClassForAddCommand(14), QStringLiteral("window"));
  EXPECT_EQ(ClassForAddCommand(52), QStringLiteral("empty"));
}

TEST_F(SchemaTest, AttributeOrdersKeepTheirClassSpecificPlaces) {
  EXPECT_EQ(schema.ClassAttributes(QStringLiteral("dialogs")), L({"font"}));
  EXPECT_EQ(schema.ClassAttributes(QStringLiteral("tab")), L({"name", "height", "width", "text"}));
  EXPECT_EQ(schema.ClassAttributes(QStringLiteral("editor")).at(2), QStringLiteral("text"));
  const QStringList frame = schema.ClassAttributes(QStringLiteral("frame"));
  EXPECT_LT(frame.indexOf(QStringLiteral("text")), frame.indexOf(QStringLiteral("flags")));
  const QStringList button = schema.ClassAttributes(QStringLiteral("button"));
  EXPECT_GT(button.indexOf(QStringLiteral("text")), button.indexOf(QStringLiteral("flags")));
  EXPECT_EQ(schema.ClassAttributes(QStringLiteral("progressbar")).mid(4, 5),
            L({"height", "width", "max", "min", "value"}));
  EXPECT_EQ(schema.ClassAttributes(QStringLiteral("window")),
            L({"name", "id", "text", "height", "width", "flags", "minwidth", "maxwidth",
               "minheight", "maxheight", "margin"}));
}

TEST_F(SchemaTest, MembershipQueriesAreExactAndSafeForUnknownClasses) {
  struct Case {
    const char* cls;
    const char* attribute;
    bool expected;
  } cases[] = {
      {"window", "rowspan", false}, {"empty", "id", false},      {"multibox", "tooltip", true},
      {"multibox", "disabled", false}, {"explorercombo", "tooltip", false},
      {"canvas", "font", false},    {"scintilla", "onevent", false}, {"web", "onevent", false},
      {"Window", "name", false},    {"nosuch", "name", false},  {"option", "group", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(schema.ClassHasAttribute(QString::fromLatin1(c.cls), QString::fromLatin1(c.attribute)),
              c.expected)
        << c.cls << "." << c.attribute;
  EXPECT_FALSE(schema.IsKnownClass(QStringLiteral("Window")));
  EXPECT_TRUE(schema.IsKnownClass(QStringLiteral("window")));

  QStringList out{QStringLiteral("stale")};
  schema.ClassAttributes(QStringLiteral("nosuch"), out);
  EXPECT_TRUE(out.isEmpty());
  out = QStringList{QStringLiteral("stale")};
  schema.SuggestedValues(QStringLiteral("window"), QStringLiteral("nosuch"), out);
  EXPECT_TRUE(out.isEmpty());
}

TEST_F(SchemaTest, SuggestedValuesAndFlags) {
  EXPECT_EQ(schema.SuggestedValues(QStringLiteral("singlebox"), QStringLiteral("expand")),
            L({"yes", "no", "vertical", "horizontal"}));
  EXPECT_EQ(schema.SuggestedValues(QStringLiteral("hbox"), QStringLiteral("expand")),
            L({"yes", "no", "equal"}));
  EXPECT_TRUE(schema.SuggestedValues(QStringLiteral("option"), QStringLiteral("flags")).isEmpty());
  EXPECT_EQ(schema.SuggestedValues(QStringLiteral("button"), QStringLiteral("onevent")), L({"yes"}));
  EXPECT_TRUE(schema.SuggestedValues(QStringLiteral("scintilla"), QStringLiteral("onevent")).isEmpty());
  const QStringList windowFlags = schema.SuggestedValues(QStringLiteral("window"), QStringLiteral("flags"));
  EXPECT_EQ(windowFlags.size(), 13);
  EXPECT_EQ(windowFlags.first(), QStringLiteral("#PB_Window_SystemMenu"));
  EXPECT_EQ(windowFlags.last(), QStringLiteral("#PB_Window_NoActivate"));
  EXPECT_TRUE(schema.IsSuggestedValue(QStringLiteral("window"), QStringLiteral("flags"),
                                      QStringLiteral("#PB_Window_Tool")));
  EXPECT_FALSE(schema.IsSuggestedValue(QStringLiteral("window"), QStringLiteral("flags"),
                                       QStringLiteral("#pb_window_tool")));
  EXPECT_TRUE(schema.IsSuggestedValue(QStringLiteral("calendar"), QStringLiteral("flags"),
                                      QStringLiteral("#PB_Calendar_Borderless")));
  EXPECT_TRUE(schema.IsSuggestedValue(QStringLiteral("container"), QStringLiteral("flags"),
                                      QStringLiteral("#PB_Container_BorderLess")));
  EXPECT_FALSE(schema.IsSuggestedValue(QStringLiteral("nosuch"), QStringLiteral("flags"),
                                       QStringLiteral("x")));
  EXPECT_EQ(schema.SuggestedValues(QStringLiteral("splitter"), QStringLiteral("firstmin")), L({"auto"}));
}

TEST_F(SchemaTest, Events) {
  EXPECT_TRUE(schema.ClassEvents(QStringLiteral("button")).isEmpty());
  const QStringList web = schema.ClassEvents(QStringLiteral("web"));
  ASSERT_EQ(web.size(), 7);
  EXPECT_EQ(web.first(), QStringLiteral("#PB_EventType_TitleChange"));
  EXPECT_EQ(schema.ClassEvents(QStringLiteral("window")).size(), 18);
  EXPECT_EQ(schema.ClassEvents(QStringLiteral("canvas")).size(), 19);
  EXPECT_EQ(schema.ClassEvents(QStringLiteral("tree")), schema.ClassEvents(QStringLiteral("listicon")));
  EXPECT_EQ(schema.ClassEvents(QStringLiteral("explorertree")),
            L({"#PB_EventType_Change", "#PB_EventType_LeftClick", "#PB_EventType_RightClick",
               "#PB_EventType_LeftDoubleClick", "#PB_EventType_RightDoubleClick",
               "#PB_EventType_DragStart"}));
}

}  // namespace
