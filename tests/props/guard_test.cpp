#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "panel_fixture.h"

namespace bxw::test {
namespace {

class GuardTest : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    button = Add(Add(win, QStringLiteral("vbox")), QStringLiteral("button"));
  }
  // A real wheel turn over the widget's centre.
  static void Wheel(QWidget* w, int steps) {
    const QPointF at = QRectF(w->rect()).center();
    QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
  }
  QString button;
};

TEST_F(GuardTest, TheWheelOverUnfocusedEditorsScrollsThePanelAndChangesNothing) {
  Set(win, QStringLiteral("minwidth"), QStringLiteral("250"));
  Show(win);
  QScrollBar* bar = area->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);  // a window's rows do not fit
  Editor<QLineEdit>(QStringLiteral("id"))->setFocus();
  const int stored = static_cast<int>(this->stored.size());
  for (const char* row : {"minwidth", "maxheight", "#PB_Window_Tool", "width"}) {
    SCOPED_TRACE(row);
    QWidget* editor = Editor<QWidget>(QString::fromLatin1(row));
    ASSERT_NE(editor, nullptr);
    ASSERT_FALSE(editor->hasFocus());
    bar->setValue(0);
    Wheel(editor, 2);
    EXPECT_GT(bar->value(), 0);  // the panel scrolled
  }
  EXPECT_EQ(static_cast<int>(this->stored.size()), stored);
  EXPECT_EQ(Value(win, QStringLiteral("minwidth")), QStringLiteral("250"));
  EXPECT_EQ(Editor<QComboBox>(QStringLiteral("minwidth"))->currentText(), QStringLiteral("250"));
  EXPECT_TRUE(Value(win, QStringLiteral("maxheight")).isEmpty());
  EXPECT_TRUE(delays.empty());

  // Over the picker of a button, and over a drop-down of a box.
  Show(button);
  bar->setValue(0);
  Wheel(Editor<QListWidget>(QStringLiteral("font"))->viewport(), 1);
  Wheel(Editor<QComboBox>(QStringLiteral("onevent")), 1);
  EXPECT_EQ(Value(button, QStringLiteral("onevent")), QStringLiteral("yes"));
  EXPECT_TRUE(delays.empty());
}

TEST_F(GuardTest, RefusedValuesSayWhyUntilTheNextSelectionOrEdit) {
  Show(button);
  QLineEdit* width = Editor<QLineEdit>(QStringLiteral("width"));
  width->setFocus();
  QTest::keyClicks(width, QStringLiteral("12a"));
  EXPECT_EQ(width->text(), QStringLiteral("12"));
  EXPECT_EQ(help->text(), QStringLiteral("Only whole numbers are accepted here."));
  // Moving to another row keeps the word; the next accepted edit ends it.
  QComboBox* onevent = Editor<QComboBox>(QStringLiteral("onevent"));
  onevent->setFocus();
  EXPECT_EQ(help->text(), QStringLiteral("Only whole numbers are accepted here."));
  onevent->lineEdit()->selectAll();
  QTest::keyClicks(onevent->lineEdit(), QStringLiteral("my "));
  EXPECT_EQ(onevent->currentText(), QStringLiteral("my"));
  EXPECT_EQ(help->text(),
            QStringLiteral("Only a procedure name is accepted here: letters, digits and _, not "
                           "starting with a digit."));
  QTest::keyClicks(onevent->lineEdit(), QStringLiteral("proc"));
  EXPECT_EQ(Value(button, QStringLiteral("onevent")), QStringLiteral("myproc"));
  EXPECT_EQ(help->text(), PropertiesPanel::AttributeHelpText({}, QStringLiteral("onevent")));

  // A size row names the words it takes besides numbers.
  Show(win);
  EXPECT_EQ(help->text(), QStringLiteral("window1 (window)"));
  QComboBox* minwidth = Editor<QComboBox>(QStringLiteral("minwidth"));
  minwidth->setFocus();
  QTest::keyClicks(minwidth->lineEdit(), QStringLiteral("x"));
  EXPECT_EQ(help->text(), QStringLiteral("Only whole numbers or 'auto' are accepted here."));
  Show(button);  // a new selection ends it
  EXPECT_FALSE(panel->ShowsRefusal());
}

// A control character pasted into a text would make a file that no parser reads back.
TEST_F(GuardTest, TextsRefuseCharactersADialogFileCannotHold) {
  Show(button);
  QLineEdit* text = Editor<QLineEdit>(QStringLiteral("text"));
  const QString before = Value(button, QStringLiteral("text"));
  for (const QString& bad : {QString(QChar(1)), QStringLiteral("a") + QChar(0x1B) + "b",
                             QString(QChar(0xFFFF)), QString(QChar(0xD800))}) {
    text->setFocus();
    text->insert(bad);
    EXPECT_EQ(Value(button, QStringLiteral("text")), before);
    EXPECT_EQ(text->text(), before);
    EXPECT_EQ(help->text(), QStringLiteral("Only text that a dialog file can hold is accepted "
                                           "here: no control characters."));
  }
  // Tabs and characters beyond the basic plane are text like any other.
  text->insert(QStringLiteral("\t") + QString::fromUcs4(U"\U0001F600"));
  EXPECT_EQ(Value(button, QStringLiteral("text")),
            before + QStringLiteral("\t") + QString::fromUcs4(U"\U0001F600"));
}

TEST_F(GuardTest, UnderlineAndStrikeOutAreKeptInTheFontStyle) {
  Show(button);
  auto* font = Editor<QListWidget>(QStringLiteral("font"));
  FontChoice chosen{QStringLiteral("Arial"), 10, true, false, true, true};
  requesters.fontAnswers.push_back(chosen);
  QTest::mouseClick(font->viewport(), Qt::LeftButton);
  EXPECT_EQ(Value(button, QStringLiteral("font")), QStringLiteral("Arial|10|268"));
  chosen.bold = false;
  chosen.strikeOut = false;
  requesters.fontAnswers.push_back(chosen);
  QTest::mouseClick(font->viewport(), Qt::LeftButton);
  EXPECT_EQ(Value(button, QStringLiteral("font")), QStringLiteral("Arial|10|4"));
}

}  // namespace
}  // namespace bxw::test
