// Hostile files in the runtime: numbers at the 32-bit limits combined without overflow (the
// sanitizer build aborts on any), and controls larger than Qt should be given bounded while the
// layout keeps its arithmetic.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>

#include "dialog/symbol_registry.h"
#include "platform/widgets/control_factory.h"
#include "runtime_support.h"

namespace bxw::dialog {
namespace {

using test::Opened;

TEST(HostileNumbers, ExpandItemsAtTheLimitNameNoChild) {
  struct Case {
    const char* label;
    const char* xml;
  } cases[] = {
      {"hbox",
       "<window margin='0' width='200'><hbox name='box' expand='item:-2147483648'>"
       "<empty name='a' width='50' height='10'/><empty name='b' width='50' height='10'/>"
       "</hbox></window>"},
      {"gridbox columns",
       "<window margin='0' width='200'><gridbox name='box' "
       "colexpand='item:-2147483648' rowexpand='item:-2147483648'>"
       "<empty name='a' width='50' height='10'/><empty name='b' width='50' "
       "height='10'/></gridbox></window>"},
      {"item past the end",
       "<window margin='0' width='200'><hbox name='box' "
       "expand='item:2147483647' spacing='5'><empty name='a' width='50' "
       "height='10'/><empty name='b' width='50' height='10'/></hbox></window>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Opened o(c.xml);
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    // Nobody receives the free space: both keep their requested width.
    EXPECT_EQ(o.At(QStringLiteral("a")).w, 50);
    EXPECT_EQ(o.At(QStringLiteral("b")).w, 50);
  }
}

TEST(HostileNumbers, ScrollBarRangeAndPageSaturate) {
  struct Case {
    const char* xml;
    int maximum;
    int page;
  } cases[] = {
      {"<window><scrollbar name='s' page='-2147483648'/></window>", INT_MAX, INT_MAX},
      {"<window><scrollbar name='s' max='2147483647' page='0'/></window>", INT_MAX, 0},
      {"<window><scrollbar name='s' min='-2147483648' max='2147483647' page='-1'/></window>",
       INT_MAX, 1},
      {"<window><scrollbar name='s' min='5' max='2' page='10'/></window>", 5, 10},
      {"<window><scrollbar name='s' max='100' page='10'/></window>", 91, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    Opened o(c.xml);
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    auto* bar = qobject_cast<QScrollBar*>(o.Widget(QStringLiteral("s")));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), c.maximum);
    EXPECT_EQ(bar->pageStep(), c.page);
  }
  Opened step("<window><scrollarea name='sa' step='-2147483648'><empty/></scrollarea></window>");
  EXPECT_TRUE(step.ok) << step.Error().toStdString();
}

TEST(HostileNumbers, FloatConstantsSaturate) {
  SymbolRegistry r;
  r.AddFloatConstant(QStringLiteral("big"), 1e300);
  r.AddFloatConstant(QStringLiteral("small"), -1e300);
  r.AddFloatConstant(QStringLiteral("nan"), std::nan(""));
  r.AddFloatConstant(QStringLiteral("pi"), -3.9);
  EXPECT_EQ(r.Value(QStringLiteral("big")), INT_MAX);
  EXPECT_EQ(r.Value(QStringLiteral("small")), INT_MIN);
  EXPECT_EQ(r.Value(QStringLiteral("nan")), 0);
  EXPECT_EQ(r.Value(QStringLiteral("pi")), -3);
}

QRect Geometry(const Opened& o, const char* name) {
  QWidget* w = o.Widget(QString::fromLatin1(name));
  return w ? w->geometry() : QRect(-1, -1, -1, -1);
}

TEST(OversizedControls, LayoutKeepsItsArithmeticWhileQtGetsBoundedControls) {
  {
    Opened o(
        "<window name='big'><button name='b' text='big' width='30000' height='30000'/>"
        "</window>");
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    EXPECT_EQ(o.At(QStringLiteral("b")), (Rect{8, 8, 30000, 30000}));
    EXPECT_EQ(o.rt.WindowClientSize(o.dialog), QSize(30016, 30016));
    EXPECT_EQ(o.Window()->size(), QSize(kMaxControlSide, kMaxControlSide));
    // Cut to the largest side (its parent, the window, is cut the same way).
    EXPECT_EQ(Geometry(o, "b"), QRect(8, 8, kMaxControlSide, kMaxControlSide));
  }
  {
    Opened o("<window margin='-15000'><button name='b'/></window>", QString(), 400, 300);
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    EXPECT_EQ(o.At(QStringLiteral("b")), (Rect{-15000, -15000, 30400, 30300}));
    EXPECT_EQ(o.Window()->size(), QSize(400, 300));
    EXPECT_EQ(Geometry(o, "b"), QRect(-kControlOverhang, -kControlOverhang,
                                      400 + 2 * kControlOverhang, 300 + 2 * kControlOverhang));
  }
  {
    // A container keeps its place (its children are placed in its coordinates); only its size
    // is cut. The leaf inside is cut against the container.
    Opened o(
        "<window margin='-15000'><container name='c'><button name='b'/></container>"
        "</window>",
        QString(), 400, 300);
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    EXPECT_EQ(o.At(QStringLiteral("c")), (Rect{-15000, -15000, 30400, 30300}));
    EXPECT_EQ(Geometry(o, "c"), QRect(-15000, -15000, kMaxControlSide, kMaxControlSide));
    EXPECT_EQ(o.At(QStringLiteral("b")), (Rect{10, 10, 30380, 30280}));
    EXPECT_EQ(Geometry(o, "b"), QRect(10, 10, kMaxControlSide, kMaxControlSide));
  }
  {
    // A control reaching out of its parent (here a window held narrower by its maximum, and
    // left hidden, so that no size change lays it out again) is handed what the layout says up
    // to the overhang, and cut there.
    Opened o(
        "<window margin='0' maxwidth='100' flags='#PB_Window_Invisible'><hbox><empty width='10'/>"
        "<button name='near' text='x' width='900' height='40'/>"
        "<button name='far' text='x' width='2000' height='40'/></hbox></window>");
    ASSERT_TRUE(o.ok) << o.Error().toStdString();
    EXPECT_EQ(o.Window()->width(), 100);
    EXPECT_EQ(Geometry(o, "near"), QRect(15, 0, 900, 40));
    EXPECT_EQ(o.At(QStringLiteral("far")), (Rect{920, 0, 2000, 40}));
    EXPECT_EQ(Geometry(o, "far"), QRect(920, 0, 100 + kControlOverhang - 920, 40));
  }
}

TEST(OversizedControls, PanesAndPagesKeepTheLaidOutLengthAcrossTheCut) {
  Opened o(
      "<window margin='0'><vbox spacing='0'>"
      "<splitter name='s' width='30000' height='40'><empty name='top'/><empty name='bottom'/>"
      "</splitter><panel name='p' width='30000'><tab margin='0'><empty name='page'/></tab>"
      "</panel></vbox></window>");
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  EXPECT_EQ(Geometry(o, "s").width(), kMaxControlSide);
  // Panes one above the other: each as wide as the splitter was laid out.
  EXPECT_EQ(o.At(QStringLiteral("top")).w, 30000);
  EXPECT_EQ(o.At(QStringLiteral("bottom")).w, 30000);
  EXPECT_EQ(o.At(QStringLiteral("page")).w, 30000 - 4);
}

TEST(OversizedControls, WindowBoundsStayWithinTheLargestSide) {
  Opened o("<window minwidth='auto' minheight='32767'><empty width='40000' height='5'/></window>");
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  EXPECT_EQ(o.Window()->minimumSize(), QSize(kMaxControlSide, kMaxControlSide));
  EXPECT_EQ(o.rt.WindowClientSize(o.dialog), QSize(40016, 32767));
}

TEST(OversizedControls, ShownWindowIsPaintedAndPolished) {
  // Polish requests of new controls are dropped so that teardown stays linear; showing the
  // window polishes every control all the same.
  Opened o(
      "<window margin='-15000'><vbox><button name='b' text='x'/><string name='s'/>"
      "<spin name='n'/></vbox></window>",
      QString(), 300, 200);
  ASSERT_TRUE(o.ok) << o.Error().toStdString();
  o.Window()->show();
  for (const char* name : {"b", "s", "n"})
    EXPECT_TRUE(o.Widget(QString::fromLatin1(name))->testAttribute(Qt::WA_WState_Polished)) << name;
  const QPixmap shot = o.Window()->grab();
  EXPECT_EQ(shot.size(), QSize(300, 200));
}

}  // namespace
}  // namespace bxw::dialog
