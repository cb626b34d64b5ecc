// Attribute values without widgets: integer text, flag expressions, margins, alignment.
#include "dialog/attributes.h"

#include <gtest/gtest.h>

#include "dialog/symbol_registry.h"

namespace bxw::dialog {
namespace {

TEST(IntegerText, LeadingDecimalInteger) {
  EXPECT_EQ(IntegerText(QStringLiteral("12")), 12);
  EXPECT_EQ(IntegerText(QStringLiteral("12abc")), 12);
  EXPECT_EQ(IntegerText(QStringLiteral(" \t-7px")), -7);
  EXPECT_EQ(IntegerText(QStringLiteral("+3")), 3);
  EXPECT_EQ(IntegerText(QStringLiteral("abc")), 0);
  EXPECT_EQ(IntegerText(QString()), 0);
  EXPECT_EQ(IntegerText(QStringLiteral("$10")), 0);  // decimal only
  EXPECT_EQ(IntegerText(QStringLiteral("99999999999999999999")), INT_MAX);
  EXPECT_EQ(IntegerText(QStringLiteral("-99999999999999999999")), INT_MIN);
}

struct FlagCase {
  const char* label;
  Kind kind;
  const char* expression;
  uint32_t value;
  QStringList unknown;
};

TEST(FlagExpression, Cases) {
  const std::vector<FlagCase> cases = {
      {"two text flags", Kind::Text, "#PB_Text_Center|#PB_Text_Border", 0x20001, {}},
      {"text flag on a button",
       Kind::Button,
       "#PB_Text_Center|#PB_Text_Border",
       0,
       {"PB_Text_Center", "PB_Text_Border"}},
      {"blanks and tabs",
       Kind::Button,
       " \t #PB_Button_Default \t|\t  #PB_Button_MultiLine  \t",
       0x2001,
       {}},
      {"second name without #", Kind::Button, "#PB_Button_Default | PB_Button_MultiLine", 0x1, {}},
      {"empty name", Kind::Button, "#|#PB_Button_Default", 0x1, {""}},
      {"case-insensitive", Kind::Window, "#pb_window_screencentered", 0x1, {}},
      {"empty text", Kind::Button, "", 0, {}},
      {"no table", Kind::HBox, "#PB_Button_Default", 0, {"PB_Button_Default"}},
      {"value zero still known", Kind::Container, "#PB_Container_BorderLess", 0, {}},
      {"name over 128 characters",
       Kind::Button,
       "#PB_Button_Default|#AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
       "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA|#PB_Button_MultiLine",
       0x1,
       {}},
  };
  SymbolRegistry none;
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.label);
    QStringList unknown;
    const uint32_t v = EvaluateFlags(c.kind, QString::fromLatin1(c.expression), none,
                                     [&](const QString& n) { unknown << n; });
    EXPECT_EQ(v, c.value);
    EXPECT_EQ(unknown, c.unknown);
  }
}

TEST(FlagExpression, RegisteredNameIsAccepted) {
  SymbolRegistry symbols;
  symbols.AddConstant(QStringLiteral("MyFlag"), 0x40);
  QStringList unknown;
  EXPECT_EQ(EvaluateFlags(Kind::Button, QStringLiteral("#MyFlag|#PB_Button_Default"), symbols,
                          [&](const QString& n) { unknown << n; }),
            0x41u);
  EXPECT_TRUE(unknown.isEmpty());
}

TEST(Margins, AllForms) {
  struct Case {
    const char* value;
    int top, bottom, left, right;
  };
  for (const Case& c : std::vector<Case>{{"10", 10, 10, 10, 10},
                                         {"left:5", 0, 0, 5, 0},
                                         {"vertical:4,left:2", 4, 4, 2, 0},
                                         {"horizontal:3,top:1", 1, 0, 3, 3},
                                         {"TOP:7, Bottom:8, left:1, right:2", 7, 8, 1, 2},
                                         {"0", 0, 0, 0, 0}}) {
    SCOPED_TRACE(c.value);
    Placement p;
    ParseMargin(QString::fromLatin1(c.value), &p);
    EXPECT_EQ(p.top, c.top);
    EXPECT_EQ(p.bottom, c.bottom);
    EXPECT_EQ(p.left, c.left);
    EXPECT_EQ(p.right, c.right);
  }
}

TEST(Alignment, SubstringRule) {
  struct Case {
    const char* value;
    int h, v;
  };
  for (const Case& c : std::vector<Case>{{"center", 2, 2},
                                         {"top,center", 2, 1},
                                         {"bottom,right", 3, 3},
                                         {"left", 1, 1},
                                         {"top bottom left right", 3, 3},
                                         {"whatever", 1, 1}}) {
    SCOPED_TRACE(c.value);
    Placement p;
    ParseAlign(QString::fromLatin1(c.value), &p);
    EXPECT_EQ(p.alignH, c.h);
    EXPECT_EQ(p.alignV, c.v);
  }
}

TEST(Expand, Keywords) {
  Placement p;
  ParseExpand(QStringLiteral("vertical"), &p);
  EXPECT_FALSE(p.expandH);
  EXPECT_TRUE(p.expandV);
  ParseExpand(QStringLiteral("yes"), &p);  // leaves the current pair
  EXPECT_FALSE(p.expandH);
  ParseExpand(QStringLiteral("HORIZONTAL"), &p);
  EXPECT_TRUE(p.expandH);
  EXPECT_FALSE(p.expandV);
  ParseExpand(QStringLiteral("no"), &p);
  EXPECT_FALSE(p.expandH || p.expandV);
}

TEST(ElementTable, NamesAndEvents) {
  EXPECT_EQ(KindOfElement(QStringLiteral("VBox")), Kind::VBox);
  EXPECT_EQ(KindOfElement(QStringLiteral("foo")), Kind::None);
  EXPECT_EQ(ElementName(Kind::IPAddress), QStringLiteral("ipaddress"));
  EventInfo info;
  ASSERT_TRUE(FindEvent(QStringLiteral("OnLeftClick"), &info));
  EXPECT_EQ(info.capability, 0x02u);
  EXPECT_FALSE(FindEvent(QStringLiteral("onclick"), &info));
  EXPECT_EQ(EventCapabilities(Kind::Button), 0u);
  EXPECT_EQ(EventCapabilities(Kind::ListIcon), 0x9Fu);
}

}  // namespace
}  // namespace bxw::dialog
