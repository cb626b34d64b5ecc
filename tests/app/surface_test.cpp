#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "designer_fixture.h"
#include "preview/preview_host.h"
#include "preview/preview_surface.h"
#include "props/properties_panel.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

class SurfaceTest : public DesignerTest {
protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }
};

TEST_F(SurfaceTest, ExportsProposeTheFileTheDesignCameFrom) {
  Add("dialogs", "window");
  // A new design: a new name in the last folder, as ever.
  designer->Config().IOLastDIR = dir.path() + QLatin1Char('/');
  designer->ExportXmlCommand();
  designer->ExportSourceCommand();
  ASSERT_EQ(requesters.fileRequests.size(), 2);
  EXPECT_EQ(requesters.fileRequests[0].startPath, dir.filePath("UI_2026-01-02_03-04-05.xml"));
  EXPECT_EQ(requesters.fileRequests[1].startPath, dir.filePath("UI_2026-01-02_03-04-05.pb"));

  // Imported from login.xml: both exports propose it, the code beside it as login.pb.
  const QString path = WriteFile("login.xml", "<dialogs><window name='login'/></dialogs>");
  designer->ImportDroppedFiles({path});
  designer->ExportXmlCommand();
  designer->ExportSourceCommand();
  EXPECT_EQ(requesters.fileRequests[2].startPath, path);
  EXPECT_EQ(requesters.fileRequests[2].title, QStringLiteral("Export XML"));
  EXPECT_EQ(requesters.fileRequests[3].startPath, dir.filePath("login.pb"));
  EXPECT_EQ(requesters.fileRequests[3].patterns,
            QStringLiteral("PB source file (*.pb)|*.pb|All files (*.*)|*.*"));

  // Saved elsewhere: the next save proposes that file.
  const QString other = dir.filePath("saved as.xml");
  requesters.fileAnswers.push_back({other, 0});
  designer->ExportXmlCommand();
  ASSERT_TRUE(QFile::exists(other));
  designer->ExportXmlCommand();
  EXPECT_EQ(requesters.fileRequests.last().startPath, other);
}

TEST_F(SurfaceTest, RefusedNamesSayWhyInTheHelpLine) {
  const QString w = Add("dialogs", "window");
  const QString box = Add(w, "vbox");
  Add(box, "button");
  Select("button1");
  EXPECT_FALSE(designer->RenameObject(QStringLiteral("VBOX1")));
  EXPECT_EQ(designer->HelpText()->text(),
            QStringLiteral("This name is already used by another object."));
  EXPECT_FALSE(designer->RenameObject(QString()));
  EXPECT_EQ(designer->HelpText()->text(), QStringLiteral("An object needs a name."));
  EXPECT_FALSE(designer->RenameObject(QStringLiteral("2ok")));
  EXPECT_EQ(designer->HelpText()->text(),
            QStringLiteral("This object name must start with a-Z or _ character"));
  EXPECT_EQ(requesters.Count("message"), 1);  // the warning box stays as it was
  // An unchanged name is refused without a word; an accepted one ends the word.
  EXPECT_FALSE(designer->RenameObject(QStringLiteral("button1")));
  EXPECT_TRUE(designer->RenameObject(QStringLiteral("ok")));
  EXPECT_EQ(designer->HelpText()->text(), QStringLiteral("ok (button)"));
}

TEST_F(SurfaceTest, TheEmptyClientAreaShowsAFirstHintUntilThereIsAWindow) {
  QLabel* hint = designer->Main()->findChild<QLabel*>(QStringLiteral("firstHint"));
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->text(), QStringLiteral("Right-click 'dialogs' in the Interface Tree and choose "
                                         "New > Window to start."));
  EXPECT_TRUE(hint->isVisible());
  Add("dialogs", "window");
  EXPECT_FALSE(hint->isVisible());
  designer->Undo();
  EXPECT_TRUE(hint->isVisible());
}

TEST_F(SurfaceTest, TheTestWindowIsTheLiveWindowUntilClosedOrEsc) {
  const QString w = Add("dialogs", "window");
  const QString box = Add(w, "vbox");
  const QString button = Add(box, "button");
  Set(button, "font", "Arial|12|268");  // bold, underlined, struck out
  designer->RebuildPreview(designer->Tree().Find(w));
  QKeyEvent t(QEvent::KeyRelease, Qt::Key_T, Qt::ControlModifier);
  QApplication::sendEvent(designer->TreeControl(), &t);
  PreviewHost& host = *designer->Preview();
  QWidget* test = host.TestWindow();
  ASSERT_NE(test, nullptr);
  EXPECT_TRUE(test->isVisible());
  EXPECT_TRUE(test->isWindow());
  EXPECT_NE(test, host.Window());  // the preview stays as it is
  EXPECT_EQ(test->windowModality(), Qt::ApplicationModal);
  // Laid out by the runtime, and live: it follows a resize.
  QWidget* b = host.Runtime().GadgetID(host.Runtime().DialogGadget(host.Dialog(), button));
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->font().underline());
  EXPECT_TRUE(b->font().strikeOut());
  QWidget* live = nullptr;
  for (QWidget* c : test->findChildren<QWidget*>())
    if (c->metaObject()->className() == b->metaObject()->className()) live = c;
  ASSERT_NE(live, nullptr);
  EXPECT_TRUE(live->font().underline());
  const int before = live->width();
  test->resize(test->width() + 60, test->height());
  QTest::qWait(20);
  EXPECT_EQ(live->width(), before + 60);
  // Esc closes it and the designer is back.
  QTest::keyClick(test, Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.TestWindow() == nullptr; }, 3000));
  // Without a previewed window the command is off.
  Select("dialogs");
  designer->OpenTestWindow();
  EXPECT_EQ(host.TestWindow(), nullptr);
}

// A click in the preview selects what lies under it, as a selection in the tree does, and
// operates nothing.
TEST_F(SurfaceTest, AClickSelectsTheObjectUnderItAndTheOutlineFollows) {
  designer->Main()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(designer->Main()));
  const QString w = Add("dialogs", "window");
  const QString box = Add(w, "vbox");
  const QString ok = Add(box, "button");
  const QString name = Add(box, "string");
  Set(box, "spacing", "20");  // room between the children
  designer->RebuildPreview(designer->Tree().Find(w));
  PreviewHost& host = *designer->Preview();
  PreviewSurface* surface = host.Surface();
  ASSERT_NE(surface, nullptr);
  auto& rt = host.Runtime();
  QWidget* button = rt.GadgetID(rt.DialogGadget(host.Dialog(), ok));
  QWidget* field = rt.GadgetID(rt.DialogGadget(host.Dialog(), name));
  ASSERT_TRUE(button && field);
  auto inWindow = [&](QWidget* g) { return QRect(g->mapTo(host.Window(), QPoint()), g->size()); };
  bool pressed = false;
  QObject::connect(static_cast<QAbstractButton*>(button), &QAbstractButton::pressed,
                   [&] { pressed = true; });

  // The outline of the selection (the string, added last) is the string's rectangle.
  EXPECT_EQ(surface->SelectedRect(), inWindow(field));
  QTest::mouseClick(surface, Qt::LeftButton, {}, inWindow(button).center());
  EXPECT_EQ(designer->SelectedKey(), ok);
  EXPECT_EQ(designer->TreeControl()->currentItem(), designer->ItemForKey(ok));
  EXPECT_EQ(surface->SelectedRect(), inWindow(button));
  EXPECT_FALSE(pressed);                                            // the click operated nothing
  EXPECT_EQ(QApplication::focusWidget(), designer->TreeControl());  // the shortcuts work again
  EXPECT_EQ(host.Surface(), surface);                               // same window: no rebuild

  // Between the children lies the box; on the string, the string, which does not take the focus.
  const QPoint between((inWindow(button).center().x()),
                       (inWindow(button).bottom() + inWindow(field).top()) / 2);
  QTest::mouseClick(surface, Qt::LeftButton, {}, between);
  EXPECT_EQ(designer->SelectedKey(), box);
  QTest::mouseClick(surface, Qt::LeftButton, {}, inWindow(field).center());
  EXPECT_EQ(designer->SelectedKey(), name);
  EXPECT_FALSE(field->hasFocus());
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
  EXPECT_EQ(static_cast<QLineEdit*>(field)->text(), QStringLiteral("string1"));
  // The margin of the window is the window itself.
  QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(designer->SelectedKey(), w);

  // The pointer gets a fainter outline of its own.
  QTest::mouseMove(surface, inWindow(button).center());
  EXPECT_EQ(surface->HoverRect(), inWindow(button));
  // Selected in the tree, outlined in the preview.
  Select(ok);
  EXPECT_EQ(surface->SelectedRect(), inWindow(button));
  Select("dialogs");
  EXPECT_EQ(host.Surface(), nullptr);
}

}  // namespace
