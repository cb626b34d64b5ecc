#include <QFile>
#include <QMdiArea>
#include <QTest>

#include "app/designer_fixture.h"
#include "preview/preview_host.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

class PreviewTest : public DesignerTest {
protected:
  QString Title() const { return designer->Main()->windowTitle(); }
  PreviewHost& Host() { return *designer->Preview(); }
  QWidget* Gadget(const QString& name) {
    auto& rt = Host().Runtime();
    return rt.GadgetID(rt.DialogGadget(Host().Dialog(), name));
  }
};

TEST_F(PreviewTest, ShowsTheOwningWindowAndClearsForTheRoot) {
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  const QString button = Add(vbox, "button");
  Select(button);
  EXPECT_EQ(Title(), QStringLiteral("Boxwright [1.0.1.8]: 'window1'"));
  ASSERT_NE(Host().Window(), nullptr);
  ASSERT_NE(Host().Frame(), nullptr);
  EXPECT_TRUE(Host().Frame()->isVisible());
  // Inside the main window's client area, at the preview offset, behind the tool windows.
  EXPECT_EQ(Host().Frame()->parentWidget(), designer->Area()->viewport());
  EXPECT_EQ(Host().Frame()->pos(), designer->Metrics().previewOffset);
  const QList<QMdiSubWindow*> order = designer->Area()->subWindowList(QMdiArea::StackingOrder);
  EXPECT_EQ(order.first(), Host().Frame());
  EXPECT_NE(Gadget(button), nullptr);
  // The tree window stays the active one.
  EXPECT_EQ(designer->Area()->activeSubWindow(), designer->TreeWindow());

  Select("dialogs");
  EXPECT_EQ(Title(), QStringLiteral("Boxwright [1.0.1.8]"));
  EXPECT_EQ(Host().Window(), nullptr);
  EXPECT_EQ(Host().Frame(), nullptr);
  EXPECT_TRUE(designer->PreviewedWindowKey().isEmpty());
}

TEST_F(PreviewTest, RuntimeErrorsShowInTheTitle) {
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  // A tab outside a panel cannot be made through the menus, but an imported file can hold one.
  ASSERT_TRUE(
      designer->Apply(AddObjectEdit{vbox, "tab", QString(), false}, EditSource::Command).changed);
  EXPECT_EQ(
      Title(),
      QStringLiteral("Boxwright [1.0.1.8]: (error: <tab> node requiers a parent <panel> node.)"));
  EXPECT_EQ(Host().Window(), nullptr);
  EXPECT_TRUE(Host().Failed());
  // The failed attempt makes the next selection change try again.
  designer->Apply(DeleteEdit{"tab1"}, EditSource::Properties);
  Select(w);
  EXPECT_EQ(Title(), QStringLiteral("Boxwright [1.0.1.8]: 'window1'"));
}

TEST_F(PreviewTest, FontsLoadOnceAndStylesReachTheControls) {
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  const QString button = Add(vbox, "button");
  const QString text = Add(vbox, "text");
  Set(button, "font", "Arial|12|256");
  Set(button, "tooltip", "Press me");
  Set(text, "frontcolor", "$FF");
  Set(text, "backcolor", "$FF0000");
  designer->RebuildPreview(designer->Tree().Find(w));
  EXPECT_EQ(Host().FontLoads(), 1);
  designer->RebuildPreview(designer->Tree().Find(w));
  EXPECT_EQ(Host().FontLoads(), 1);
  EXPECT_EQ(Host().LoadedFonts(), 1);
  QWidget* b = Gadget(button);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->font().pointSize(), 12);
  EXPECT_TRUE(b->font().bold());
  EXPECT_EQ(b->toolTip(), QStringLiteral("Press me"));
  QWidget* t = Gadget(text);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(t->palette().color(QPalette::Window), QColor(0, 0, 255));
  // A font nobody uses any more is dropped; the design itself never gets the preview's styling.
  Set(button, "font", "");
  designer->RebuildPreview(designer->Tree().Find(w));
  EXPECT_EQ(Host().LoadedFonts(), 0);
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(w), "flags"),
            QStringLiteral("#PB_Window_SystemMenu"));
}

TEST_F(PreviewTest, WideningThePreviewWidensItsControls) {
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  const QString button = Add(vbox, "button");
  Select(button);
  PreviewSubWindow* frame = Host().Frame();
  ASSERT_NE(frame, nullptr);
  QWidget* b = Gadget(button);
  const int before = b->width();
  frame->resize(frame->width() + 100, frame->height());
  QTest::qWait(10);
  EXPECT_EQ(b->width(), before + 100);
  // The frame stays pinned at its anchor.
  frame->move(100, 100);
  EXPECT_EQ(frame->pos(), designer->Metrics().previewOffset);
}

TEST_F(PreviewTest, PropertyEditsRebuildAfterTheirDelay) {
  const QString w = Add("dialogs", "window");
  const QString button = Add(Add(w, "vbox"), "button");
  QWidget* first = Host().Window();
  Set(button, "text", "Changed");
  designer->SchedulePreviewRebuild(1);
  EXPECT_EQ(Host().Window(), first);  // not yet
  QTest::qWait(30);
  EXPECT_NE(Host().Window(), nullptr);
  QWidget* b = Gadget(button);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->property("text").toString(), QStringLiteral("Changed"));
}

}  // namespace

namespace {

// Rebuilds reuse the frame and lay out again only when fonts change natural sizes.
TEST_F(PreviewTest, RebuildsKeepTheFrameAndLayOutFontsAgain) {
  const QString w = Add("dialogs", "window");
  const QString vbox = Add(w, "vbox");
  const QString button = Add(vbox, "button");
  PreviewSubWindow* frame = Host().Frame();
  ASSERT_NE(frame, nullptr);
  QWidget* first = Host().Window();
  Set(button, "text", "A much longer caption than before");
  designer->RebuildPreview(designer->Tree().Find(w));
  EXPECT_EQ(Host().Frame(), frame);
  EXPECT_NE(Host().Window(), first);
  EXPECT_EQ(Host().Frame()->widget(), Host().Window());
  const int plain = Gadget(button)->width();
  Set(button, "font", "Arial|24|256");
  designer->RebuildPreview(designer->Tree().Find(w));
  QWidget* big = Gadget(button);
  ASSERT_NE(big, nullptr);
  EXPECT_GE(big->width(), big->sizeHint().width());  // laid out with its font
  EXPECT_GT(big->width(), plain);
  EXPECT_EQ(Host().Frame(), frame);
  // Nothing to show: the frame goes.
  Select("dialogs");
  EXPECT_EQ(Host().Frame(), nullptr);
}

}  // namespace

namespace {

// A hand-written file names its program's procedures and constants; the preview shows it as the
// program would instead of refusing the window.
TEST_F(PreviewTest, HandWrittenFilesWithRuntimeNamesPreview) {
  const QString path = dir.filePath("hand.xml");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(
      "<window name='w' flags='#PB_Window_SystemMenu|#MY_STYLE'>\n"
      "  <vbox>\n"
      "    <listview name='ok' onleftclick='OnOk()' comment='the choices'/>\n"
      "    <string name='user' onchange='UserChanged()'/>\n"
      "  </vbox>\n"
      "</window>\n");
  f.close();
  designer->ImportDroppedFiles({path});
  Select("ok");
  EXPECT_EQ(Title(), QStringLiteral("Boxwright [1.0.1.8]: 'w'"));
  EXPECT_NE(Gadget("ok"), nullptr);
  EXPECT_FALSE(Host().Failed());
}

}  // namespace
