#include "codegen/runtime_bindings.h"

#include <gtest/gtest.h>

#include "codegen/source_names.h"
#include "test_support.h"

namespace bxw::test {
namespace {

RuntimeBindings Scan(const char* xml) {
  const XmlParseResult parsed = ParseXmlText(QString::fromUtf8(xml));
  EXPECT_TRUE(parsed.ok) << parsed.message.toStdString();
  return parsed.document ? CollectRuntimeBindings(*parsed.document) : RuntimeBindings{};
}

QStringList Constants(const RuntimeBindings& b) {
  QStringList out;
  for (const auto& c : b.constants) out << c.name + " = " + QString::number(c.value);
  return out;
}

QStringList Procedures(const RuntimeBindings& b) {
  QStringList out;
  for (const auto& p : b.procedures) out << p.name;
  return out;
}

TEST(RuntimeBindings, WhatTheXmlAsksOfTheProgram) {
  // Event attributes the designer does not know (kept as written) bind procedures too.
  const RuntimeBindings b = Scan(
      "<dialogs><window name='w' id='#Main' flags='#PB_Window_SystemMenu | #Style | Odd | #Late'>"
      "  <vbox>"
      "    <button name='ok' id='1' onleftclick='OnOk()' onrightclick='Menu()' text='Go()'/>"
      "    <string name='s' id='#Entry' onchange='onok()' onfocus='Plain' width='#Wide'/>"
      "    <text name='t' id='3' text='#Title' comment='#Note'/>"
      "    <spin name='n' id='#PB_Any' min='#PB_Low' max='#Top' value='#main'/>"
      "    <button name='x' id='#Last' onevent='Menu()'/>"
      "  </vbox>"
      "</window></dialogs>");
  EXPECT_TRUE(b.problems.isEmpty()) << b.problems.join('\n').toStdString();
  // Ids get numbers that no literal id (1, 3) uses; other uses get 0: no flag, no size. Names
  // are compared without letter case, as PureBasic compares them, and spelled as first used.
  EXPECT_EQ(Constants(b), QStringList({"#Main = 2", "#Style = 0", "#Entry = 4", "#Wide = 0",
                                       "#Top = 0", "#Last = 5"}));
  EXPECT_EQ(Procedures(b), QStringList({"OnOk", "Menu"}));
  EXPECT_EQ(b.procedures[0].usedBy, "button 'ok': onleftclick \"OnOk()\"");
}

TEST(RuntimeBindings, UsesNoDeclarationCanSatisfy) {
  const RuntimeBindings b = Scan(
      "<dialogs><window name='w&#10;x' id='#a b'>"
      "  <button name='b' onevent='Select()' onleftclick='1st()'/>"
      "</window></dialogs>");
  EXPECT_EQ(b.problems, QStringList({"window 'w\\nx': id \"#a b\" is not a constant name",
                                     "button 'b': onevent \"Select()\" names a PureBasic keyword",
                                     "button 'b': onleftclick \"1st()\" is not an identifier "
                                     "followed by \"()\""}));
  EXPECT_TRUE(b.IsEmpty());
}

TEST(SourceNames, KeywordsWholeNumbersAndEscapes) {
  for (const char* k : {"If", "ENDPROCEDURE", "xor", "MacroExpandedCount", "Runtime", "Global"})
    EXPECT_TRUE(IsPureBasicKeyword(QString::fromLatin1(k))) << k;
  for (const char* n : {"", "Iff", "EndProcedures", "dlg_w", "Ifé", "MacroExpandedCountX"})
    EXPECT_FALSE(IsPureBasicKeyword(QString::fromUtf8(n))) << n;
  for (const char* n : {"0", "-0", "42", "-2147483648", "2147483647", "000000000000000000001"})
    EXPECT_TRUE(IsWholeNumberInRange(QString::fromLatin1(n))) << n;
  for (const char* n : {"", "-", "--1", "1-", "2147483648", "-2147483649", "1e3", " 1"})
    EXPECT_FALSE(IsWholeNumberInRange(QString::fromLatin1(n))) << n;
  EXPECT_EQ(EscapeForMessage(u"a\r\nb\tc\\d\x01\x7f\u2028e"),
            "a\\r\\nb\\tc\\\\d\\x01\\x7F\\u2028e");
  EXPECT_EQ(EscapeForMessage(u"plain \"quoted\" 'name' é"), "plain \"quoted\" 'name' é");
}

}  // namespace
}  // namespace bxw::test
