// The runtime with real widgets: finding the window, creation, errors and teardown, option
// groups, the size protocol and the single-child containers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include "dialog/symbol_registry.h"
#include "platform/widgets/control_factory.h"
#include "runtime_support.h"

namespace bxw::dialog {
namespace {

using test::Opened;

TEST(FindWindow, ByNameInDialogs) {
  const char* xml =
      "<dialogs><window name='a' text='first'/><window name='B' text='second'/></dialogs>";
  {
    Opened o(xml, QStringLiteral("b"));
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.Window()->windowTitle(), QStringLiteral("second"));
  }
  {
    Opened o(xml);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.Window()->windowTitle(), QStringLiteral("first"));
  }
  {
    Opened o(xml, QStringLiteral("c"));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.Error(), QStringLiteral("Dialog window not found"));
    EXPECT_EQ(o.rt.DialogWindow(o.dialog), -1);
    EXPECT_EQ(o.rt.Root(o.dialog), nullptr);
  }
}

TEST(FindWindow, RootWindowWithoutName) {
  EXPECT_TRUE(Opened("<window/>").ok);
  Opened named("<window/>", QStringLiteral("x"));
  EXPECT_FALSE(named.ok);
  EXPECT_EQ(named.Error(), QStringLiteral("Dialog window not found"));
  Opened other("<foo><window/></foo>");
  EXPECT_FALSE(other.ok);
}

TEST(Creation, UnknownElementsAreSkippedWithTheirSubtree) {
  Opened o(
      "<window><vbox><foo><button name='inner' text='x'/></foo><!-- c -->text"
      "<button name='after' text='y'/></vbox></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("inner")), -1);
  EXPECT_NE(o.rt.DialogGadget(o.dialog, QStringLiteral("after")), -1);
}

TEST(Creation, OnlyTheLastChildOfTheWindowIsLaidOut) {
  Opened o(
      "<window margin='0'><empty name='first' width='10' height='10'/>"
      "<button name='b1' text='one'/><empty name='second' width='30' height='20'/></window>");
  ASSERT_TRUE(o.ok);
  // Created all the same, but the window searches only its laid-out child by name.
  EXPECT_NE(o.Obj(QStringLiteral("b1"))->control, -1);
  EXPECT_TRUE(o.Obj(QStringLiteral("b1"))->widget);
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("b1")), -1);
  EXPECT_FALSE(o.Obj(QStringLiteral("first"))->lastRect);
  EXPECT_EQ(o.At(QStringLiteral("second")), (Rect{0, 0, 30, 20}));
  EXPECT_EQ(o.Window()->size(), QSize(30, 20));
}

TEST(Creation, IdsAndLookup) {
  Opened o(
      "<window><vbox name='box'><button id='12' name='Twelve' text='a'/>"
      "<button id='13abc' name='dup' text='b'/><button id='#PB_Any' name='DUP' text='c'/>"
      "</vbox></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("twelve")), 12);
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("Dup")), 13);  // first in creation order
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("box")), -1);  // a box has no control
  EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("none")), -1);
  EXPECT_EQ(o.rt.DialogGadget(o.dialog + 1, QStringLiteral("twelve")), -1);
}

TEST(Creation, DisabledAndInvisible) {
  Opened o(
      "<window><vbox><button name='d' text='a' disabled='YES'/>"
      "<button name='i' text='b' invisible='yes'/><button name='n' text='c' disabled='1'/>"
      "</vbox></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_FALSE(o.Widget(QStringLiteral("d"))->isEnabled());
  EXPECT_TRUE(o.Widget(QStringLiteral("i"))->isHidden());
  EXPECT_TRUE(o.Widget(QStringLiteral("n"))->isEnabled());
  EXPECT_FALSE(o.Widget(QStringLiteral("n"))->isHidden());
}

struct ErrorCase {
  const char* label;
  const char* xml;
  const char* message;
};

TEST(Errors, ExactMessagesAndNothingLeftBehind) {
  const std::vector<ErrorCase> cases = {
      {"empty width", "<window><vbox><button text='a' WIDTH=''/></vbox></window>",
       "<button> 'WIDTH' can't have empty value."},
      {"empty id", "<window><Empty id=''/></window>", "<Empty> 'id' can't have empty value."},
      {"unknown constant", "<window><button id='#MyButton'/></window>",
       "'#MyButton' constant is not found or not declared as runtime."},
      {"window flag on a button", "<window><button flags='#PB_Text_Center'/></window>",
       "'#PB_Text_Center' flag is not supported for the following gadget: button"},
      {"empty flag name", "<window><button flags='#|#PB_Button_Default'/></window>",
       "'#' flag is not supported for the following gadget: button"},
      {"flag on the window", "<window flags='#PB_Button_Default'/>",
       "'#PB_Button_Default' flag is not supported for the following gadget: window"},
      {"unsupported event", "<window><button OnLeftClick='x'/></window>",
       "'OnLeftClick' is not supported for the following gadget: button"},
      {"not a runtime procedure", "<window><button onevent='Handler()'/></window>",
       "'Handler()' is not a runtime procedure."},
      {"tab outside a panel", "<window><tab text='t'/></window>",
       "<tab> node requiers a parent <panel> node."},
      {"rowspan above 65", "<window><gridbox><button rowspan='70'/></gridbox></window>",
       "A gridbox can only have a maximum of 65 rows (70 was specified)."},
      {"only the first error",
       "<window><vbox><button text='ok'/><button text='ok'/>"
       "<button flags='#Nope'/><tab/></vbox></window>",
       "'#Nope' flag is not supported for the following gadget: button"},
      {"third splitter child", "<window><splitter><button/><button/><button/></splitter></window>",
       "<splitter> node can only have two children."},
      {"grid cells past the last row",
       "<window><gridbox columns='1'><empty rowspan='65'/><empty rowspan='5'/><empty/>"
       "</gridbox></window>",
       "A gridbox can only have a maximum of 70 rows of cells."},
  };
  const int widgetsBefore = QApplication::allWidgets().size();
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.label);
    Opened o(c.xml);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.Error(), QString::fromUtf8(c.message));
    EXPECT_EQ(o.rt.DialogWindow(o.dialog), -1);
    EXPECT_EQ(o.rt.DialogGadget(o.dialog, QStringLiteral("anything")), -1);
    EXPECT_EQ(o.rt.GadgetCount(), 0u);
    EXPECT_EQ(o.rt.WindowMapSize(), 0u);
    EXPECT_EQ(o.rt.SplitterMapSize(), 0u);
    EXPECT_EQ(o.rt.PanelStackDepth(), 0);
    EXPECT_TRUE(o.rt.DialogExists(o.dialog));
    EXPECT_EQ(QApplication::allWidgets().size(), widgetsBefore);
  }
}

TEST(Errors, ErrorIsClearedByTheNextOpen) {
  Opened o(
      "<dialogs><window name='bad'><button flags='#X'/></window><window name='good'/></dialogs>",
      QStringLiteral("bad"));
  EXPECT_FALSE(o.ok);
  EXPECT_FALSE(o.Error().isEmpty());
  EXPECT_TRUE(o.rt.OpenXMLDialog(o.dialog, *o.doc, QStringLiteral("good")));
  EXPECT_TRUE(o.Error().isEmpty());
}

TEST(Errors, NestingTooDeepIsRefusedWithoutRecursion) {
  // Far deeper than any stack would survive if walking, layout or teardown recursed per level.
  const int depth = 200000;
  QByteArray xml = "<window>";
  for (int i = 0; i < depth; ++i) xml += "<vbox>";
  for (int i = 0; i < depth; ++i) xml += "</vbox>";
  xml += "</window>";
  Opened o(xml.constData());
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.Error(), QStringLiteral("Dialog elements can only be nested 128 levels deep."));
  EXPECT_EQ(o.rt.WindowMapSize(), 0u);
}

TEST(Errors, PanelsNestedDeeperThan32AreRefused) {
  auto nested = [](int n) {
    QByteArray xml = "<window>";
    for (int i = 0; i < n; ++i) xml += "<panel><tab>";
    xml += "<button name='deep' text='x'/>";
    for (int i = 0; i < n; ++i) xml += "</tab></panel>";
    return xml + "</window>";
  };
  Opened ok(nested(32).constData());
  EXPECT_TRUE(ok.ok) << ok.Error().toStdString();
  EXPECT_EQ(ok.rt.PanelStackDepth(), 0);
  Opened deep(nested(33).constData());
  EXPECT_FALSE(deep.ok);
  EXPECT_EQ(deep.Error(), QStringLiteral("<panel> nodes can only be nested 32 deep."));
}

TEST(Errors, HostileNumbersOpenWithoutHarm) {
  Opened o(
      "<window margin='-2147483648' width='99999999999'><vbox spacing='2147483647' "
      "height='-5'><gridbox columns='2000000000' colspacing='2147483647'>"
      "<empty width='2147483647' height='2147483647' colspan='2147483647' rowspan='-3'/>"
      "<listview width='2147483647' height='2147483647'/></gridbox>"
      "<frame margin='horizontal:2147483647'><text text='x'/></frame>"
      "<scrollarea innerwidth='2147483647' innerheight='-2147483648' scrolling='horizontal'>"
      "<button text='b'/></scrollarea></vbox></window>",
      QString(), -10, 2147483647);
  EXPECT_TRUE(o.ok) << o.Error().toStdString();
  EXPECT_LE(o.Window()->width(), QWIDGETSIZE_MAX);
  o.rt.RefreshDialog(o.dialog);
}

TEST(Lifecycle, DestroyLeavesNothingBehind) {
  DialogRuntime rt;
  XmlParseResult parsed = ParseXmlText(
      QStringLiteral("<window><vbox><button text='a'/><splitter><button/><string/></splitter>"
                     "<panel><tab><text text='x'/></tab></panel></vbox></window>"));
  ASSERT_TRUE(parsed.ok);
  const int d = rt.CreateDialog(kAny);
  EXPECT_NE(d, 0);
  EXPECT_EQ(rt.CreateDialog(7), 7);
  ASSERT_TRUE(rt.OpenXMLDialog(d, *parsed.document, QString()));
  QPointer<QWidget> window = rt.WindowID(rt.DialogWindow(d));
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->isVisible());
  EXPECT_GT(rt.GadgetCount(), 0u);
  EXPECT_EQ(rt.WindowMapSize(), 1u);
  EXPECT_EQ(rt.SplitterMapSize(), 2u);
  rt.DestroyDialog(d);
  EXPECT_FALSE(rt.DialogExists(d));
  EXPECT_TRUE(rt.DialogExists(7));
  EXPECT_FALSE(window);
  EXPECT_EQ(rt.GadgetCount(), 0u);
  EXPECT_EQ(rt.WindowMapSize(), 0u);
  EXPECT_EQ(rt.SplitterMapSize(), 0u);
  rt.DestroyDialog(kAny);
  EXPECT_FALSE(rt.DialogExists(7));
  // Entry points on a number that names no dialog do nothing.
  EXPECT_EQ(rt.OpenXMLDialog(d, *parsed.document, QString()), 0);
  rt.RefreshDialog(d);
  EXPECT_EQ(rt.DialogErrorText(d), QString());
}

TEST(Lifecycle, WindowClosedBehindTheRuntimesBack) {
  Opened o(
      "<window><vbox><panel><tab><button text='a'/></tab></panel>"
      "<splitter><button/><scrollarea><string/></scrollarea></splitter></vbox></window>");
  ASSERT_TRUE(o.ok);
  delete o.Window();
  o.rt.RefreshDialog(o.dialog);  // nothing to lay out, nothing touched
  o.rt.DestroyDialog(o.dialog);
  EXPECT_EQ(o.rt.SplitterMapSize(), 0u);
  EXPECT_EQ(o.rt.WindowMapSize(), 0u);
}

TEST(Lifecycle, InvisibleFlagAndOpenSize) {
  const char* xml =
      "<window flags='#PB_Window_Invisible' margin='0'><hbox>"
      "<empty name='a' width='50' height='20'/><empty name='b' width='60' height='25'/>"
      "</hbox></window>";
  Opened natural(xml);
  ASSERT_TRUE(natural.ok);
  EXPECT_FALSE(natural.Window()->isVisible());
  EXPECT_EQ(natural.Window()->size(), QSize(115, 25));
  Opened wide(xml, QString(), 215, 10);
  EXPECT_EQ(wide.Window()->size(), QSize(215, 25));
  EXPECT_EQ(wide.At(QStringLiteral("b")), (Rect{105, 0, 110, 25}));
}

TEST(Lifecycle, ScreenCentered) {
  Opened o(
      "<window flags='#PB_Window_ScreenCentered' margin='0'><empty width='200' "
      "height='100'/></window>");
  ASSERT_TRUE(o.ok);
  const QRect screen = o.Window()->screen()->availableGeometry();
  EXPECT_EQ(o.Window()->x(), screen.center().x() - 100);
  EXPECT_EQ(o.Window()->y(), screen.center().y() - 50);
}

TEST(Operations, SetHiddenAndRefreshTextVisitTheTree) {
  Opened o(
      "<window><vbox><button name='a' text='A'/><frame name='f' text='F'>"
      "<button name='b' text='B' folded='yes'/></frame><panel><tab name='t' text='T'>"
      "<text name='c' text='C'/></tab></panel></vbox></window>");
  ASSERT_TRUE(o.ok);
  auto* root = const_cast<DialogObject*>(o.rt.Root(o.dialog));
  root->SetHidden(true);
  for (const char* n : {"a", "f", "b", "c"})
    EXPECT_TRUE(o.Widget(QString::fromLatin1(n))->isHidden()) << n;
  root->SetHidden(false);
  for (const char* n : {"a", "f", "c"})
    EXPECT_FALSE(o.Widget(QString::fromLatin1(n))->isHidden()) << n;
  EXPECT_TRUE(o.Widget(QStringLiteral("b"))->isHidden());  // folded objects are not shown again
  qobject_cast<QPushButton*>(o.Widget(QStringLiteral("a")))->setText(QStringLiteral("changed"));
  auto* panel =
      dynamic_cast<PanelControl*>(o.Widget(QStringLiteral("c"))->parentWidget()->parentWidget());
  ASSERT_TRUE(panel);
  panel->SetPageTitle(0, QStringLiteral("changed"));
  root->RefreshText();
  EXPECT_EQ(qobject_cast<QPushButton*>(o.Widget(QStringLiteral("a")))->text(), QStringLiteral("A"));
  EXPECT_EQ(panel->TabBar()->tabText(0), QStringLiteral("T"));
}

TEST(OptionGroups, CreatedAfterTheOtherChildrenEachGroupExclusive) {
  Opened o(
      "<window><vbox><option name='a' group='1' text='a'/><option name='b' group='1' text='b'/>"
      "<button name='button' text='x'/><option name='c' group='2' text='c'/>"
      "<option name='d' group='1' text='d'/></vbox></window>");
  ASSERT_TRUE(o.ok);
  auto num = [&](const char* n) { return o.rt.DialogGadget(o.dialog, QString::fromLatin1(n)); };
  // Numbers are handed out in creation order.
  EXPECT_LT(num("button"), num("a"));
  EXPECT_LT(num("a"), num("b"));
  EXPECT_LT(num("b"), num("d"));
  EXPECT_LT(num("d"), num("c"));
  auto radio = [&](const char* n) {
    return qobject_cast<QRadioButton*>(o.Widget(QString::fromLatin1(n)));
  };
  ASSERT_TRUE(radio("a") && radio("b") && radio("c") && radio("d"));
  radio("a")->setChecked(true);
  radio("c")->setChecked(true);
  radio("b")->setChecked(true);
  EXPECT_FALSE(radio("a")->isChecked());
  EXPECT_TRUE(radio("c")->isChecked());
  radio("d")->setChecked(true);
  EXPECT_FALSE(radio("b")->isChecked());
  EXPECT_TRUE(radio("c")->isChecked());
  // Options are placed like other children once created.
  EXPECT_EQ(o.At(QStringLiteral("d")).x, o.At(QStringLiteral("a")).x);
}

TEST(OptionGroups, UngroupedOptionsInARunShareAGroup) {
  Opened o(
      "<window><vbox><option name='a' text='a'/><option name='b' text='b'/>"
      "<button text='x'/><option name='c' text='c'/></vbox></window>");
  ASSERT_TRUE(o.ok);
  auto* a = qobject_cast<QRadioButton*>(o.Widget(QStringLiteral("a")));
  auto* b = qobject_cast<QRadioButton*>(o.Widget(QStringLiteral("b")));
  auto* c = qobject_cast<QRadioButton*>(o.Widget(QStringLiteral("c")));
  ASSERT_TRUE(a && b && c);
  a->setChecked(true);
  c->setChecked(true);
  EXPECT_TRUE(a->isChecked());
  b->setChecked(true);
  EXPECT_FALSE(a->isChecked());
  EXPECT_TRUE(c->isChecked());
}

TEST(Events, RegisteredProceduresAreBoundByEventType) {
  DialogRuntime rt;
  std::vector<std::pair<int, int>> calls;  // (gadget, event type)
  rt.Symbols().AddProcedure(QStringLiteral("Handler"),
                            [&](int g, int t) { calls.emplace_back(g, t); });
  XmlParseResult parsed = ParseXmlText(QStringLiteral(
      "<window><vbox><button name='b' text='go' onevent='Handler'/>"
      "<canvas name='c' width='50' height='50' onrightclick='Handler' onfocus='Handler' "
      "flags='#PB_Canvas_Keyboard'/>"
      "<string name='s' onchange='Handler'/><tree name='t' width='50' height='50' "
      "onleftdoubleclick='Handler'/></vbox></window>"));
  const int d = rt.CreateDialog(kAny);
  ASSERT_TRUE(rt.OpenXMLDialog(d, *parsed.document, QString()))
      << rt.DialogErrorText(d).toStdString();
  auto gadget = [&](const char* n) { return rt.DialogGadget(d, QString::fromLatin1(n)); };
  auto widget = [&](const char* n) { return rt.GadgetID(gadget(n)); };
  QApplication::processEvents();
  calls.clear();  // showing the window may have focused the button

  qobject_cast<QPushButton*>(widget("b"))->click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls.back(), std::make_pair(gadget("b"), 0));

  calls.clear();
  QTest::mouseClick(widget("c"), Qt::LeftButton);  // not bound: nothing
  QTest::mouseClick(widget("c"), Qt::RightButton);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls.back(), std::make_pair(gadget("c"), 1));

  calls.clear();
  QTest::keyClicks(widget("s"), QStringLiteral("ab"));
  EXPECT_EQ(calls.size(), 2u);
  for (const auto& c : calls) EXPECT_EQ(c, std::make_pair(gadget("s"), 768));

  calls.clear();
  auto* tree = qobject_cast<QAbstractItemView*>(widget("t"));
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), std::make_pair(gadget("t"), 2));

  // Focus leaves controls while a dialog is destroyed: no procedure runs for it any more.
  widget("b")->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(widget("b")->hasFocus());
  calls.clear();
  widget("s")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{gadget("b"), 14001}}));
  widget("b")->setFocus();
  QApplication::processEvents();
  calls.clear();
  rt.DestroyDialog(d);
  EXPECT_TRUE(calls.empty());
}

TEST(SizeProtocol, WindowWithMarginZeroFitsItsButton) {
  Opened o("<window margin='0'><button name='b' text='Press me'/></window>");
  ASSERT_TRUE(o.ok);
  QWidget* b = o.Widget(QStringLiteral("b"));
  EXPECT_EQ(o.Window()->size(), b->sizeHint());
  EXPECT_EQ(b->geometry(), QRect(QPoint(0, 0), b->sizeHint()));
  Opened wide("<window margin='0' width='400'><button name='b' text='Press me'/></window>");
  EXPECT_EQ(wide.Window()->width(), 400);
  EXPECT_EQ(wide.Widget(QStringLiteral("b"))->width(), 400);
}

TEST(SizeProtocol, NaturalSizeIsAtLeastTheAttributes) {
  Opened o(
      "<window><vbox><button name='plain' text='Ok'/><button name='wide' text='Ok' width='300'/>"
      "<button name='folded' text='Ok' folded='yes'/><empty name='gone' width='-1' height='7'/>"
      "<empty name='fold' width='5' height='5' folded='yes'/></vbox></window>");
  ASSERT_TRUE(o.ok);
  const QSize hint = o.Widget(QStringLiteral("plain"))->sizeHint();
  EXPECT_EQ(o.Req(QStringLiteral("plain")), (Size{hint.width(), hint.height()}));
  EXPECT_EQ(o.Req(QStringLiteral("wide")), (Size{300, hint.height()}));
  EXPECT_EQ(o.Req(QStringLiteral("folded")), (Size{hint.width(), hint.height()}));
  EXPECT_EQ(o.Req(QStringLiteral("gone")), (Size{0, 7}));
  EXPECT_EQ(o.Req(QStringLiteral("fold")), (Size{0, 0}));
  EXPECT_FALSE(o.Obj(QStringLiteral("fold"))->lastRect);  // a folded child is not placed
}

TEST(SizeProtocol, ResizeUsesStoredRequestsRefreshAsksAgain) {
  Opened o(
      "<window flags='#PB_Window_SizeGadget'><hbox expand='no'>"
      "<button name='b' text='Ok'/></hbox></window>");
  ASSERT_TRUE(o.ok);
  QWidget* b = o.Widget(QStringLiteral("b"));
  const int before = b->width();
  static_cast<QPushButton*>(b)->setText(QStringLiteral("A much, much longer caption"));
  ASSERT_GT(b->sizeHint().width(), before);
  o.Window()->resize(o.Window()->width() + 300, o.Window()->height() + 20);
  QApplication::processEvents();
  EXPECT_EQ(o.At(QStringLiteral("b")).w, before);  // stored request, no new size request
  EXPECT_EQ(o.Obj(QStringLiteral("b"))->parent->lastRect->w, o.Window()->width() - 16);
  const int windowWidth = o.Window()->width();
  o.rt.RefreshDialog(o.dialog);
  EXPECT_EQ(b->width(), b->sizeHint().width());
  EXPECT_EQ(o.Window()->width(), std::max(windowWidth, b->sizeHint().width() + 16));
}

TEST(SizeProtocol, TextIsMovedDownWhenThereIsRoom) {
  Opened o(
      "<window margin='0'><hbox><empty width='5' height='40'/><text name='t' text='Label'/>"
      "<text name='framed' text='Label' flags='#PB_Text_Border'/>"
      "<text name='tall' text='Label' height='39'/></hbox></window>");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.At(QStringLiteral("t")).h, 40);
  EXPECT_EQ(o.Widget(QStringLiteral("t"))->geometry().top(), 2);
  EXPECT_EQ(o.Widget(QStringLiteral("t"))->height(), 38);
  EXPECT_EQ(o.Widget(QStringLiteral("framed"))->geometry(),
            QRect(QPoint(o.At(QStringLiteral("framed")).x, 0),
                  QSize(o.At(QStringLiteral("framed")).w, 40)));
  EXPECT_EQ(o.Widget(QStringLiteral("tall"))->height(), 40);  // 39 > 40 - 2: no room
}

TEST(SizeProtocol, ListviewRoundsUpToWholeRows) {
  Opened o("<window><listview name='l' width='100' height='61'/></window>");
  ASSERT_TRUE(o.ok);
  QWidget* l = o.Widget(QStringLiteral("l"));
  const int ih = ListItemHeight(l), e = ListEdges(l);
  ASSERT_GT(ih, 0);
  const Size r = o.Req(QStringLiteral("l"));
  EXPECT_EQ(r.w, 100);
  EXPECT_GE(r.h, 61);
  EXPECT_LT(r.h, 61 + ih);
  EXPECT_EQ((r.h - e) % ih, 0);
}

TEST(WindowBounds, AutoAndNumeric) {
  Opened autoBounds(
      "<window margin='0' minwidth='auto' maxwidth='AUTO'><empty width='200' "
      "height='100'/></window>");
  ASSERT_TRUE(autoBounds.ok);
  EXPECT_EQ(autoBounds.Window()->size(), QSize(200, 100));
  EXPECT_EQ(autoBounds.Window()->minimumWidth(), 200);
  EXPECT_EQ(autoBounds.Window()->maximumWidth(), 200);
  autoBounds.Window()->resize(500, 100);
  EXPECT_EQ(autoBounds.Window()->width(), 200);  // cannot be resized horizontally

  Opened numeric(
      "<window margin='0' minwidth='300' minheight='auto'><empty width='200' "
      "height='100'/></window>");
  ASSERT_TRUE(numeric.ok);
  EXPECT_EQ(numeric.Window()->size(), QSize(300, 100));
  EXPECT_EQ(numeric.Window()->minimumWidth(), 300);
  EXPECT_EQ(numeric.Window()->minimumHeight(), 100);
  EXPECT_EQ(numeric.Window()->maximumWidth(), QWIDGETSIZE_MAX);
}

TEST(SingleChild, SingleBoxContainerFrameCanvasMultibox) {
  Opened o(
      "<window margin='0'><vbox spacing='0'>"
      "<singlebox name='sb' expand='no' align='bottom,right' width='120' height='60'>"
      "<empty name='sbc' width='40' height='20'/></singlebox>"
      "<container name='plain' width='100' height='50'><empty name='pc' width='10' "
      "height='10'/></container>"
      "<container name='flat' flags='#PB_Container_Flat' width='100' height='50'>"
      "<empty name='fc' width='10' height='10'/></container>"
      "<frame name='fr' width='100' height='60'><empty name='frc' width='10' height='10'/></frame>"
      "<canvas name='cv' flags='#PB_Canvas_Container' margin='3'><empty name='cvc' width='10' "
      "height='10'/></canvas>"
      "<canvas name='leaf' width='30' height='30'><button name='orphan' text='x'/></canvas>"
      "<multibox name='mb'><empty name='m1' width='50' height='10'/><empty name='m2' width='30' "
      "height='40'/>"
      "<empty name='m3' width='20' height='20'/></multibox>"
      "</vbox></window>",
      QString(), 120, 0);
  ASSERT_TRUE(o.ok);
  // singlebox: no control, child at the bottom right inside the margins.
  EXPECT_EQ(o.At(QStringLiteral("sb")), (Rect{0, 0, 120, 60}));
  EXPECT_EQ(o.At(QStringLiteral("sbc")), (Rect{70, 30, 40, 20}));
  // container: child coordinates inside it; the flat border moves it by one pixel.
  EXPECT_EQ(o.At(QStringLiteral("pc")), (Rect{10, 10, 100, 30}));
  EXPECT_EQ(o.Req(QStringLiteral("flat")), (Size{100, 50}));
  EXPECT_EQ(o.At(QStringLiteral("fc")), (Rect{11, 11, 98, 28}));
  // frame without caption text: t = 10; the child is in the frame's own list's coordinates.
  const Rect fr = o.At(QStringLiteral("fr"));
  EXPECT_EQ(o.At(QStringLiteral("frc")),
            (Rect{fr.x + 4 + 5, fr.y + 10 + 5, 120 - 8 - 10, 60 - 14 - 10}));
  // canvas with the container flag: its margins inside; without it children are never placed.
  EXPECT_EQ(o.Req(QStringLiteral("cv")), (Size{16, 16}));
  EXPECT_EQ(o.At(QStringLiteral("cvc")), (Rect{3, 3, 114, 10}));
  EXPECT_TRUE(o.Obj(QStringLiteral("orphan"))->widget);
  EXPECT_FALSE(o.Obj(QStringLiteral("orphan"))->lastRect);
  // multibox: largest child, every child on the same rectangle.
  EXPECT_EQ(o.Req(QStringLiteral("mb")), (Size{50, 40}));
  const Rect mb = o.At(QStringLiteral("mb"));
  for (const char* n : {"m1", "m2", "m3"}) EXPECT_EQ(o.At(QString::fromLatin1(n)), mb);
}

TEST(SingleChild, FrameCaptionIsAtLeastTen) {
  Opened o(
      "<window><frame name='f' text='Caption'><empty name='c' width='10' "
      "height='10'/></frame></window>");
  ASSERT_TRUE(o.ok);
  const Rect f = o.At(QStringLiteral("f")), c = o.At(QStringLiteral("c"));
  const int t = c.y - f.y - 5;
  EXPECT_GE(t, 10);
  EXPECT_EQ(o.Req(QStringLiteral("f")).h, 10 + 10 + 4 + t);
}

}  // namespace
}  // namespace bxw::dialog
