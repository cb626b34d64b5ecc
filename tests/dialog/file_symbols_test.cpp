// Registering the runtime names a hand-written file uses, as its program would before opening it.
#include "dialog/file_symbols.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "dialog/symbol_registry.h"
#include "runtime_support.h"
#include "test_support.h"

namespace bxw::dialog {
namespace {

std::unique_ptr<XmlDocument> Parse(const QByteArray& xml) {
  XmlParseResult parsed = ParseXml(xml);
  EXPECT_TRUE(parsed.ok) << parsed.message.toStdString();
  return std::move(parsed.document);
}

QByteArray AddressBook() {
  return bxw::test::ReadFileBytes(bxw::test::DataPath(QStringLiteral("dialog/address_book.xml")));
}

TEST(FileSymbols, FoundOnceEachInDocumentOrder) {
  const auto doc = Parse(
      "<dialogs><window id='#W' flags='#PB_Window_Tool|#Mine| #Mine |#PB_Button_Default'>"
      "<vbox><button id='#B' onevent='Go()' flags='#PB_Button_Default|#Other'/>"
      "<foo><string id='#PB_Any' onchange='Go()' onfocus='NotAProcedure'/></foo>"
      "<button id='#B' onleftclick='Click()' flags='#'/><button id='#PB_Whatever'/>"
      "<text id='#' onevent='()'/></vbox></window></dialogs>");
  SymbolRegistry registry;
  registry.AddProcedure(QStringLiteral("Click()"), [](int, int) {});
  const FileSymbols found = FindFileSymbols(*doc, registry);
  EXPECT_EQ(found.idConstants, (QStringList{"#W", "#B"}));
  // PureBasic's own names (a button flag on a window) are no program's constants.
  EXPECT_EQ(found.flagConstants, (QStringList{"Mine", "Other"}));
  // Registered names and values that are no procedure call are left alone.
  EXPECT_EQ(found.procedures, (QStringList{"Go()"}));
}

TEST(FileSymbols, RealFileOpensOnlyWithItsNamesRegistered) {
  const auto doc = Parse(AddressBook());
  {
    DialogRuntime rt;
    const int d = rt.CreateDialog(kAny);
    EXPECT_FALSE(rt.OpenXMLDialog(d, *doc, QString()));
    EXPECT_EQ(rt.DialogErrorText(d),
              QStringLiteral("'#W_Main' constant is not found or not declared as runtime."));
  }
  DialogRuntime rt;
  const FileSymbols registered = RegisterFileSymbols(*doc, rt.Symbols());
  EXPECT_EQ(registered.idConstants, (QStringList{"#W_Main", "#G_List", "#G_Ok", "#G_Cancel"}));
  EXPECT_EQ(registered.flagConstants, QStringList{"W_Flags"});
  EXPECT_EQ(registered.procedures, (QStringList{"OnEdit()", "OnOk()", "OnCancel()"}));
  const int d = rt.CreateDialog(kAny);
  ASSERT_TRUE(rt.OpenXMLDialog(d, *doc, QString())) << rt.DialogErrorText(d).toStdString();
  // Fresh constants: distinct numbers, none of them the literal id of the file.
  const int list = rt.DialogGadget(d, QStringLiteral("list"));
  const int ok = rt.DialogGadget(d, QStringLiteral("ok"));
  const int cancel = rt.DialogGadget(d, QStringLiteral("cancel"));
  EXPECT_EQ(list, *rt.Symbols().Value(QStringLiteral("#G_List")));
  EXPECT_NE(list, ok);
  EXPECT_NE(ok, cancel);
  EXPECT_EQ(rt.DialogGadget(d, QStringLiteral("help")), 7);
  EXPECT_EQ(rt.DialogWindow(d), *rt.Symbols().Value(QStringLiteral("#W_Main")));
  // A flag constant of unknown value changes nothing: the window is shown, not a tool window.
  QWidget* window = rt.WindowID(rt.DialogWindow(d));
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::Tool));
  // The procedures are bound and do nothing when the events come.
  auto* button = qobject_cast<QPushButton*>(rt.GadgetID(ok));
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  rt.DestroyDialog(d);
}

TEST(FileSymbols, NamesTheHostRegisteredKeepTheirValues) {
  const auto doc = Parse(AddressBook());
  DialogRuntime rt;
  rt.Symbols().AddConstant(QStringLiteral("#G_Ok"), 42);
  rt.Symbols().AddConstant(QStringLiteral("W_Flags"), 0x4);  // PB_Window_Tool's value
  const FileSymbols registered = RegisterFileSymbols(*doc, rt.Symbols());
  EXPECT_FALSE(registered.idConstants.contains(QStringLiteral("#G_Ok")));
  EXPECT_TRUE(registered.flagConstants.isEmpty());
  const int d = rt.CreateDialog(kAny);
  ASSERT_TRUE(rt.OpenXMLDialog(d, *doc, QString())) << rt.DialogErrorText(d).toStdString();
  EXPECT_EQ(rt.DialogGadget(d, QStringLiteral("ok")), 42);
  EXPECT_TRUE(rt.WindowID(rt.DialogWindow(d))->windowFlags().testFlag(Qt::Tool));
}

TEST(FileSymbols, WrongFlagsStillFailAsInTheProgram) {
  const auto doc = Parse("<window><button flags='#PB_Text_Center'/></window>");
  DialogRuntime rt;
  RegisterFileSymbols(*doc, rt.Symbols());
  const int d = rt.CreateDialog(kAny);
  EXPECT_FALSE(rt.OpenXMLDialog(d, *doc, QString()));
  EXPECT_EQ(
      rt.DialogErrorText(d),
      QStringLiteral("'#PB_Text_Center' flag is not supported for the following gadget: button"));
}

}  // namespace
}  // namespace bxw::dialog
