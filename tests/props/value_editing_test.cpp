#include <QApplication>
#include <QClipboard>
#include <cstring>
#include <deque>

#include "panel_fixture.h"

namespace bxw::test {
namespace {

class EditingTest : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    box = Add(win, QStringLiteral("vbox"));
    button = Add(box, QStringLiteral("button"));
    string = Add(box, QStringLiteral("string"));
  }
  // Focuses the editor as the user would, so that focus-driven behaviour runs too.
  template <typename W>
  W* Focused(const QString& row) {
    W* w = Editor<W>(row);
    if (w) w->setFocus(Qt::MouseFocusReason);
    return w;
  }
  QString box, button, string;
};

// Keys typed one after the other; after each: stored value, shown text, scheduled delay (0: none).
struct Keystroke {
  const char* keys;
  const char* stored;
  const char* shown;
  int delay;
};

void TypeAndCheck(QLineEdit* line, std::initializer_list<Keystroke> steps, std::vector<int>& delays,
                  const std::function<QString()>& value) {
  for (const Keystroke& s : steps) {
    SCOPED_TRACE(s.keys);
    delays.clear();
    QTest::keyClicks(line, QString::fromLatin1(s.keys));
    EXPECT_EQ(value(), QString::fromLatin1(s.stored));
    EXPECT_EQ(line->text(), QString::fromLatin1(s.shown));
    // One scheduling per accepted key, none for a refused one.
    if (s.delay)
      EXPECT_EQ(delays, std::vector<int>(strlen(s.keys), s.delay));
    else
      EXPECT_TRUE(delays.empty());
  }
}

TEST_F(EditingTest, NumberRowsAcceptIntegersOnly) {
  Show(button);
  auto* width = Focused<QLineEdit>(QStringLiteral("width"));
  ASSERT_NE(width, nullptr);
  auto value = [&] { return Value(button, QStringLiteral("width")); };
  TypeAndCheck(width, {{"1", "1", "1", 1000}, {"2", "12", "12", 1000}, {"a", "12", "12", 0}},
               delays, value);

  auto* height = Focused<QLineEdit>(QStringLiteral("height"));
  auto heightValue = [&] { return Value(button, QStringLiteral("height")); };
  Set(button, QStringLiteral("height"), QStringLiteral("30"));
  // "-" alone stores nothing yet keeps the minus on screen; then -5 is a number.
  TypeAndCheck(height, {{"-", "", "-", 1000}, {"5", "-5", "-5", 1000}}, delays, heightValue);
  // Surrounding spaces are dropped from the stored value; the field keeps what was typed.
  height->clear();
  TypeAndCheck(height, {{" 7", "7", " 7", 1000}, {" ", "7", " 7 ", 1000}}, delays, heightValue);
}

TEST_F(EditingTest, TextRowsStoreAnythingWithTheLongDelay) {
  Show(button);
  auto* text = Focused<QLineEdit>(QStringLiteral("text"));
  text->clear();
  TypeAndCheck(text, {{"O", "O", "O", 1000}, {"k !", "Ok !", "Ok !", 1000}}, delays,
               [&] { return Value(button, QStringLiteral("text")); });
}

TEST_F(EditingTest, ValuesShownByCodeAreNeverStoredBack) {
  Set(button, QStringLiteral("width"), QStringLiteral("12a"));  // as imported
  Show(button);
  Show(string);
  Show(button);
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("width"))->text(), QStringLiteral("12a"));
  EXPECT_EQ(Value(button, QStringLiteral("width")), QStringLiteral("12a"));
  EXPECT_EQ(Value(string, QStringLiteral("width")), QString());
  EXPECT_TRUE(delays.empty());
}

TEST_F(EditingTest, SizeRowsTakeIntegersOrSuggestedWords) {
  Show(win);
  auto* minwidth = Focused<QComboBox>(QStringLiteral("minwidth"));
  ASSERT_NE(minwidth, nullptr);
  EXPECT_EQ(Items(minwidth), (QStringList{"", "auto"}));

  // Picked from the list: a suggested value, stored at once with the short delay.
  QTest::keyClick(minwidth, Qt::Key_Down);
  EXPECT_EQ(Value(win, QStringLiteral("minwidth")), QStringLiteral("auto"));
  EXPECT_EQ(delays, std::vector<int>{1});

  // Typed: letters are refused one by one, so "Auto" never gets in; numbers do.
  auto value = [&] { return Value(win, QStringLiteral("minwidth")); };
  minwidth->lineEdit()->clear();
  TypeAndCheck(minwidth->lineEdit(), {{"A", "auto", "auto", 0}, {"-", "auto", "auto", 0}}, delays,
               value);
  minwidth->lineEdit()->clear();
  TypeAndCheck(minwidth->lineEdit(), {{"-", "", "-", 1000}, {"2", "-2", "-2", 1000}}, delays,
               value);
  minwidth->lineEdit()->clear();
  TypeAndCheck(minwidth->lineEdit(),
               {{"2", "2", "2", 1000}, {"50", "250", "250", 1000}, {"x", "250", "250", 0}}, delays,
               value);

  // Pasted whole: "auto" is a suggestion, "Auto" is not (letter case counts).
  const struct {
    const char* pasted;
    const char* stored;
    int delay;
  } pastes[] = {{"auto", "auto", 1}, {"Auto", "auto", 0}, {"300", "300", 1000}, {"Auto", "300", 0}};
  for (const auto& p : pastes) {
    SCOPED_TRACE(p.pasted);
    delays.clear();
    QApplication::clipboard()->setText(QString::fromLatin1(p.pasted));
    minwidth->lineEdit()->selectAll();
    QTest::keySequence(minwidth->lineEdit(), QKeySequence::Paste);
    EXPECT_EQ(value(), QString::fromLatin1(p.stored));
    EXPECT_EQ(minwidth->currentText(), QString::fromLatin1(p.stored));
    if (p.delay)
      EXPECT_EQ(delays, std::vector<int>{p.delay});
    else
      EXPECT_TRUE(delays.empty());
  }
}

TEST_F(EditingTest, EventRowsTakeIdentifiersOrNothing) {
  Show(button);
  auto* onevent = Focused<QComboBox>(QStringLiteral("onevent"));
  ASSERT_NE(onevent, nullptr);
  QLineEdit* line = onevent->lineEdit();
  auto value = [&] { return Value(button, QStringLiteral("onevent")); };
  line->clear();
  TypeAndCheck(line, {{"my_proc", "my_proc", "my_proc", 1000}, {" ", "my_proc", "my_proc", 0}},
               delays, value);

  delays.clear();
  QApplication::clipboard()->setText(QStringLiteral("my proc"));
  line->selectAll();
  QTest::keySequence(line, QKeySequence::Paste);
  EXPECT_EQ(value(), QStringLiteral("my_proc"));
  EXPECT_EQ(line->text(), QStringLiteral("my_proc"));
  EXPECT_TRUE(delays.empty());

  // Clearing the field stores the empty text.
  line->selectAll();
  QTest::keyClick(line, Qt::Key_Delete);
  EXPECT_EQ(value(), QString());
  EXPECT_EQ(delays, std::vector<int>{1000});

  // Picking the entries with the arrow keys.
  delays.clear();
  QTest::keyClick(onevent, Qt::Key_Up);
  EXPECT_EQ(value(), QString());
  QTest::keyClick(onevent, Qt::Key_Down);
  EXPECT_EQ(value(), QStringLiteral("yes"));
  EXPECT_EQ(delays, (std::vector<int>{1000, 1000}));
}

TEST_F(EditingTest, ChoiceRowsStoreThePick) {
  Show(box);
  auto* align = Focused<QComboBox>(QStringLiteral("align"));
  ASSERT_NE(align, nullptr);
  QTest::keyClick(align, Qt::Key_Down);
  EXPECT_EQ(Value(box, QStringLiteral("align")), QStringLiteral("top/left"));
  EXPECT_EQ(delays, std::vector<int>{1});
}

TEST_F(EditingTest, YesNoAndFlagBoxesStoreOnClick) {
  Show(button);
  auto* disabled = Editor<QCheckBox>(QStringLiteral("disabled"));
  ClickBox(disabled);
  EXPECT_EQ(Value(button, QStringLiteral("disabled")), QStringLiteral("yes"));
  ClickBox(disabled);
  EXPECT_EQ(Value(button, QStringLiteral("disabled")), QStringLiteral("no"));
  EXPECT_EQ(delays, (std::vector<int>{1, 1}));

  Set(win, QStringLiteral("flags"),
               QStringLiteral("#PB_Window_SystemMenu | #PB_Window_SizeGadget"));
  Show(win);
  const struct {
    const char* flag;
    const char* stored;
  } clicks[] = {
      {"#PB_Window_SizeGadget", "#PB_Window_SystemMenu"},
      {"#PB_Window_Tool", "#PB_Window_SystemMenu|#PB_Window_Tool"},
      {"#PB_Window_SystemMenu", "#PB_Window_Tool"},
      {"#PB_Window_Tool", ""},
      {"#PB_Window_Minimize", "#PB_Window_Minimize"},  // not confused with MinimizeGadget
      {"#PB_Window_MinimizeGadget", "#PB_Window_Minimize|#PB_Window_MinimizeGadget"},
      {"#PB_Window_Minimize", "#PB_Window_MinimizeGadget"},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.flag);
    delays.clear();
    ClickBox(Editor<QCheckBox>(QString::fromLatin1(c.flag)));
    EXPECT_EQ(Value(win, QStringLiteral("flags")), QString::fromLatin1(c.stored));
    EXPECT_EQ(delays, std::vector<int>{1});
  }

  // Mixed case in the stored value: unticking still finds the constant.
  Set(win, QStringLiteral("flags"),
               QStringLiteral("#pb_window_tool|#PB_Window_Invisible"));
  Show(win);
  auto* tool = Editor<QCheckBox>(QStringLiteral("#PB_Window_Tool"));
  ASSERT_TRUE(tool->isChecked());
  ClickBox(tool);
  EXPECT_EQ(Value(win, QStringLiteral("flags")), QStringLiteral("#PB_Window_Invisible"));
}

TEST_F(EditingTest, FontPickerGoesThroughTheRequester) {
  Show(button);
  auto* font = Editor<QListWidget>(QStringLiteral("font"));
  ASSERT_NE(font, nullptr);
  requesters.fontAnswers.push_back(FontChoice{QStringLiteral("Arial"), 10, true, false});
  QTest::mouseClick(font->viewport(), Qt::LeftButton);
  EXPECT_EQ(Value(button, QStringLiteral("font")), QStringLiteral("Arial|10|256"));
  ASSERT_EQ(font->count(), 1);
  EXPECT_EQ(font->item(0)->text(), QStringLiteral("Arial, 10"));
  EXPECT_EQ(delays, std::vector<int>{1});

  // Italic too, and the requester is opened on the stored font.
  requesters.fontAnswers.push_back(FontChoice{QStringLiteral("Tahoma"), 9, true, true});
  QTest::mouseClick(font->viewport(), Qt::LeftButton);
  EXPECT_EQ(requesters.asked.last().text, QStringLiteral("Arial"));
  EXPECT_EQ(Value(button, QStringLiteral("font")), QStringLiteral("Tahoma|9|768"));

  // Cancelling removes the font.
  delays.clear();
  requesters.fontAnswers.push_back(std::nullopt);
  QTest::mouseClick(font->viewport(), Qt::LeftButton);
  EXPECT_EQ(requesters.Count(QStringLiteral("font")), 3);
  EXPECT_EQ(Value(button, QStringLiteral("font")), QString());
  ASSERT_EQ(font->count(), 1);
  EXPECT_EQ(font->item(0)->text(), QString());
  EXPECT_EQ(delays, std::vector<int>{1});
}

TEST_F(EditingTest, ColourPickerStoresPlatformColours) {
  Show(string);
  auto* back = Editor<QListWidget>(QStringLiteral("backcolor"));
  ASSERT_NE(back, nullptr);
  const struct {
    int answer;
    const char* stored;
    QColor shown;
    const char* initialAsked;
  } cases[] = {
      {0x0000FF, "$FF", QColor(255, 0, 0), "0"},
      {0xFF0000, "$FF0000", QColor(0, 0, 255), "255"},
      {0x000000, "$0", QColor(0, 0, 0), "16711680"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    delays.clear();
    requesters.colourAnswers.push_back(c.answer);
    QTest::mouseClick(back->viewport(), Qt::LeftButton);
    EXPECT_EQ(requesters.asked.last().text, QString::fromLatin1(c.initialAsked));
    EXPECT_EQ(Value(string, QStringLiteral("backcolor")), QString::fromLatin1(c.stored));
    EXPECT_EQ(back->palette().color(QPalette::Base), c.shown);
    EXPECT_EQ(delays, std::vector<int>{1});
  }
  // Cancelled (-1): the colour is removed and the default background comes back.
  delays.clear();
  requesters.colourAnswers.push_back(-1);
  QTest::mouseClick(back->viewport(), Qt::LeftButton);
  EXPECT_EQ(Value(string, QStringLiteral("backcolor")), QString());
  EXPECT_EQ(back->palette().color(QPalette::Base), QListWidget().palette().color(QPalette::Base));
  EXPECT_EQ(delays, std::vector<int>{1});
}

TEST_F(EditingTest, RightClickClearsAPicker) {
  Set(string, QStringLiteral("font"), QStringLiteral("Arial|10|256"));
  Set(string, QStringLiteral("frontcolor"), QStringLiteral("$FF"));
  Show(string);
  const QColor plain = QListWidget().palette().color(QPalette::Base);
  for (const char* row : {"font", "frontcolor"}) {
    SCOPED_TRACE(row);
    delays.clear();
    auto* list = Editor<QListWidget>(QString::fromLatin1(row));
    QTest::mouseClick(list->viewport(), Qt::RightButton);
    EXPECT_EQ(Value(string, QString::fromLatin1(row)), QString());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QString());
    EXPECT_EQ(list->palette().color(QPalette::Base), plain);
    EXPECT_EQ(delays, std::vector<int>{1});
  }
  EXPECT_EQ(requesters.asked.size(), 0);
}

TEST_F(EditingTest, FocusedRowGetsAGreyLabelAndItsHelpText) {
  Show(button);
  const struct {
    const char* row;
    const char* help;
    std::deque<int> draws;
    QColor grey;
  } cases[] = {
      {"width",
       "Defines 'minimum size' of a control, can be '0'",
       {100, 1, 2, 24},
       {101, 102, 124}},
      {"onevent",
       "Generate event callback (code). Can be auto-generated (yes) or custom proc. name, "
       "also several controls may bind to the same proc.",
       {80, 0, 0, 0},
       {80, 80, 80}},
      {"font", "A font used by this object (code)", {180, 24, 24, 24}, {204, 204, 204}},
      {"disabled", "Creates the object disabled", {90, 3, 2, 1}, {93, 92, 91}},
      {"#PB_Button_Left", "", {120, 0, 5, 10}, {120, 125, 130}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    const QString row = QString::fromLatin1(c.row);
    QLabel* label = Label(row);
    const QColor normal = label->palette().color(QPalette::WindowText);
    random.answers = c.draws;
    random.ranges.clear();
    Focused<QWidget>(row);
    EXPECT_EQ(help->text(), QString::fromLatin1(c.help));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), c.grey);
    EXPECT_EQ(random.ranges,
              (std::vector<std::pair<int, int>>{{80, 180}, {0, 24}, {0, 24}, {0, 24}}));
    Editor<QWidget>(row)->clearFocus();
    EXPECT_EQ(help->text(), QStringLiteral("button1 (button)"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), normal);
    EXPECT_TRUE(delays.empty());  // focus alone changes no value
  }
}

TEST_F(EditingTest, EventsForVanishedObjectsAndForeignControlsAreIgnored) {
  Show(button);
  QLineEdit* width = Focused<QLineEdit>(QStringLiteral("width"));
  ASSERT_TRUE(editor.Apply(DeleteEdit{button}).changed);  // deleted while its rows are on screen
  QTest::keyClicks(width, QStringLiteral("5"));
  Editor<QLineEdit>(QStringLiteral("width"))->clearFocus();
  EXPECT_TRUE(delays.empty());
  QLabel* label = Label(QStringLiteral("width"));
  panel->OnPropertyEvent(label, PropertyEvent::Change);
  panel->OnPropertyEvent(nullptr, PropertyEvent::LeftClick);
  EXPECT_TRUE(delays.empty());
  Show(string);
  EXPECT_EQ(panel->Row(QStringLiteral("width"))->objectKey, string);
}

}  // namespace
}  // namespace bxw::test
