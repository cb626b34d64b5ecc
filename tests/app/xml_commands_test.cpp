#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>

#include "designer_fixture.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

void CtrlRelease(QWidget* w, Qt::Key key) {
  QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
  QApplication::sendEvent(w, &release);
}

// The designer's commands reach the XML writer, reader and exporter through its context.
TEST_F(DesignerTest, SaveThenQuitAsksNothingAndImportReplacesTheDesign) {
  designer->Config().ConfirmChanges = true;
  const QString w = Add("dialogs", "window");
  Add(Add(w, "vbox"), "button");
  const QString path = dir.filePath("saved.xml");
  requesters.fileAnswers.push_back({path, 0});
  CtrlRelease(designer->TreeControl(), Qt::Key_S);
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(requesters.fileRequests.last().title, QStringLiteral("Export XML"));
  EXPECT_EQ(designer->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree: saved.xml"));
  EXPECT_EQ(designer->Config().IOLastDIR, dir.path() + QLatin1Char('/'));
  EXPECT_TRUE(designer->QuitRequested());  // saved: no question
  EXPECT_EQ(requesters.Count("yesno"), 0);

  // A change since the save makes both the quit and an import ask first.
  Add("dialogs", "window");
  requesters.yesNoAnswers = {false, false};
  EXPECT_FALSE(designer->QuitRequested());
  designer->ImportDroppedFiles({path, dir.filePath("second.xml")});
  EXPECT_TRUE(designer->Tree().Contains("window2"));  // No: nothing imported
  EXPECT_EQ(requesters.asked.last().title, QStringLiteral("Load XML"));

  requesters.yesNoAnswers = {true};
  designer->ImportDroppedFiles({path});
  EXPECT_FALSE(designer->Tree().Contains("window2"));
  EXPECT_TRUE(designer->Tree().Contains("button1"));
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("dialogs"));
  EXPECT_FALSE(designer->ItemForKey("window1")->isExpanded());
  EXPECT_TRUE(designer->QuitRequested());  // the import recorded a new snapshot
}

TEST_F(DesignerTest, CopyXmlAndExportsOfAnEmptyDesign) {
  // Nothing to export without a window: no requester, no clipboard text.
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  CtrlRelease(designer->TreeControl(), Qt::Key_S);
  CtrlRelease(designer->TreeControl(), Qt::Key_E);
  EXPECT_TRUE(requesters.asked.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

  Add("dialogs", "window");
  designer->DispatchMenuCommand(53);  // Export to clipboard
  designer->DispatchMenuCommand(11);  // Copy XML
  const QString xml = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(xml.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<dialogs>")));
  EXPECT_TRUE(xml.contains(QStringLiteral("<window name=\"window1\"")));
  designer->DispatchMenuCommand(10);  // Copy Code
  EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("OpenXMLDialog")));
  EXPECT_TRUE(requesters.fileRequests.isEmpty());
}

}  // namespace
