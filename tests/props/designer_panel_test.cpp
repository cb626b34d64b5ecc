#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyle>
#include <QTest>
#include <cmath>

#include "app/designer_fixture.h"
#include "preview/preview_host.h"
#include "props/properties_panel.h"

namespace bxw::test {
namespace {

class DesignerPanelTest : public DesignerTest {
protected:
  template <typename W>
  W* Editor(const QString& row) {
    const PropertyRow* r = designer->Panel()->Row(row);
    return r ? qobject_cast<W*>(r->editor.data()) : nullptr;
  }
};

TEST_F(DesignerPanelTest, SelectionDrivesThePanel) {
  ASSERT_NE(designer->Panel(), nullptr);
  EXPECT_EQ(designer->PropertiesWindow()->windowTitle(), QStringLiteral("Properties: dialogs"));
  EXPECT_EQ(designer->HelpText()->text(), QStringLiteral("dialogs (dialogs)"));
  const QString window = Add(QStringLiteral("dialogs"), QStringLiteral("window"));
  const QString button = Add(window, QStringLiteral("button"));
  EXPECT_EQ(designer->PropertiesWindow()->windowTitle(), QStringLiteral("Properties: button1"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("class"))->text(), QStringLiteral("button"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("text"))->parentWidget(),
            designer->PropertiesArea()->widget());
  Select(window);
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("class"))->text(), QStringLiteral("window"));
  EXPECT_EQ(designer->Panel()->Row(QStringLiteral("onevent")), nullptr);
  Q_UNUSED(button);
}

TEST_F(DesignerPanelTest, EditsScheduleTheDeferredPreviewRebuild) {
  const QString window = Add(QStringLiteral("dialogs"), QStringLiteral("window"));
  const QString button = Add(window, QStringLiteral("button"));
  const QTimer& timer = designer->PreviewTimer();
  EXPECT_FALSE(timer.isActive());

  // Typed text waits a second; the timer remembers the window that owns the edit.
  QTest::keyClicks(Editor<QLineEdit>(QStringLiteral("width")), QStringLiteral("40"));
  EXPECT_EQ(GetAttribute(*designer->Tree().Find(button), QStringLiteral("width")),
            QStringLiteral("40"));
  EXPECT_TRUE(timer.isActive());
  EXPECT_TRUE(timer.isSingleShot());
  EXPECT_EQ(timer.interval(), 1000);
  EXPECT_EQ(designer->PreviewRebuildKey(), window);

  // A discrete change pulls the rebuild forward; when it fires the shown window is rebuilt.
  QCheckBox* disabled = Editor<QCheckBox>(QStringLiteral("disabled"));
  QTest::mouseClick(disabled, Qt::LeftButton, {}, QPoint(8, disabled->height() / 2));
  EXPECT_EQ(timer.interval(), 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !timer.isActive(); }, 5000));
  PreviewHost& host = *designer->Preview();
  QWidget* shown = host.Runtime().GadgetID(host.Runtime().DialogGadget(host.Dialog(), button));
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(shown->isEnabled());
}

TEST_F(DesignerPanelTest, PropertiesRelayoutRelaysOutTheRows) {
  Add(QStringLiteral("dialogs"), QStringLiteral("window"));
  QWidget* client = designer->PropertiesWindow()->widget();
  designer->PropertiesRelayout();
  const int before = designer->PropertiesArea()->widget()->width();
  designer->PropertiesWindow()->resize(designer->PropertiesWindow()->size() + QSize(80, 0));
  ASSERT_GT(client->width(), designer->Metrics().properties.width());
  designer->PropertiesRelayout();
  QScrollArea* area = designer->PropertiesArea();
  const int scrollBar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
  EXPECT_EQ(area->widget()->width(),
            area->width() - (designer->Metrics().propertiesLeftMargin + scrollBar));
  EXPECT_GT(area->widget()->width(), before);
  const QRect name = Editor<QLineEdit>(QStringLiteral("name"))->geometry();
  EXPECT_EQ(name.width(), static_cast<int>(std::lround(area->widget()->width() * 0.66)));
}

}  // namespace
}  // namespace bxw::test
