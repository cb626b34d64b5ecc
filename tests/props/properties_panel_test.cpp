#include <QStyle>
#include <cmath>
#include <map>

#include "panel_fixture.h"

namespace bxw::test {
namespace {

TEST(PropertiesClassificationTest, EditorKindOfRowNames) {
  const struct {
    const char* name;
    EditorKind kind;
  } cases[] = {
      {"invisible", EditorKind::YesNo},      {"variable", EditorKind::YesNo},
      {"#PB_Window_Tool", EditorKind::Flag}, {"#anything at all", EditorKind::Flag},
      {"flags", EditorKind::Flag},           {"text", EditorKind::Text},
      {"tooltip", EditorKind::Text},         {"id", EditorKind::Number},
      {"page", EditorKind::Number},          {"rowspan", EditorKind::Number},
      {"align", EditorKind::Choice},         {"scrolling", EditorKind::Choice},
      {"onevent", EditorKind::Event},        {"minwidth", EditorKind::Size},
      {"secondmin", EditorKind::Size},       {"font", EditorKind::Picker},
      {"frontcolor", EditorKind::Picker},    {"name", EditorKind::Info},
      {"childs", EditorKind::Info},          {"bxwsomething", EditorKind::Other},
      {"Text", EditorKind::Other},  // names are exact
  };
  for (const auto& c : cases)
    EXPECT_EQ(PropertiesPanel::EditorKindOf(QString::fromLatin1(c.name)), c.kind) << c.name;
}

TEST(PropertiesClassificationTest, OrderGroupsAndSortKey) {
  const struct {
    const char* name;
    const char* group;
  } cases[] = {
      {"childs", "0"},        {"#PB_Button_Left", "1"}, {"id", "11"},
      {"tooltip", "2"},       {"font", "22"},           {"frontcolor", "222"},
      {"disabled", "3"},      {"variable", "33"},       {"innerwidth", "444444"},
      {"minheight", "44444"}, {"maxwidth", "4444"},     {"maxheight", "444"},
      {"width", "44"},        {"height", "4"},          {"min", "55"},
      {"value", "5"},         {"scrolling", "666"},     {"columns", "66"},
      {"margin", "6"},        {"spacing", "777"},       {"expandwidth", "77"},
      {"expandheight", "7"},  {"colspan", "8"},         {"unknown", "zzz"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PropertiesPanel::RowOrderGroup(QString::fromLatin1(c.name)),
              QString::fromLatin1(c.group))
        << c.name;
  EXPECT_EQ(PropertiesPanel::RowSortKey(QStringLiteral("#PB_Window_Tool")),
            QStringLiteral("1_#pb_window_tool"));
  // "_" sorts after the digits: group 11 comes before group 1.
  EXPECT_LT(PropertiesPanel::RowSortKey(QStringLiteral("id")),
            PropertiesPanel::RowSortKey(QStringLiteral("#PB_Window_Tool")));
}

TEST(PropertiesClassificationTest, HelpTextsAreExactAndCaseSensitive) {
  using P = PropertiesPanel;
  EXPECT_EQ(P::AttributeHelpText(QStringLiteral("window"), QStringLiteral("group")),
            QStringLiteral("Items with same 'group' number have radio communication between them "
                           "(what a joke :)"));
  EXPECT_EQ(P::AttributeHelpText(QString(), QStringLiteral("childs")),
            QStringLiteral("Number of nested controls object has"));
  EXPECT_EQ(P::AttributeHelpText(QStringLiteral("gridbox"), QStringLiteral("rowexpand")),
            QStringLiteral("Automatically changes size of nested controls to fit all free space. "
                           "'yes' - enable resizing for all childs, 'no' - disabled (default), "
                           "'equal' - force all childs to have same size, 'item:<number>' - "
                           "resize only one specified child"));
  EXPECT_EQ(P::AttributeHelpText(QString(), QStringLiteral("colexpand")),
            P::AttributeHelpText(QString(), QStringLiteral("expand")));
  EXPECT_EQ(P::AttributeHelpText(QString(), QStringLiteral("innerwidth")),
            QStringLiteral("Internal size of scroll area: integer value or 'auto' (default)"));
  EXPECT_EQ(P::AttributeHelpText(QString(), QStringLiteral("Name")), QString());
  EXPECT_EQ(P::AttributeHelpText(QString(), QStringLiteral("#PB_Window_Tool")), QString());
}

TEST_F(PanelTest, WindowRowsInDisplayOrder) {
  Show(win);
  const QStringList expected{"childs",
                             "class",
                             "name",
                             "parent",
                             "id",
                             "#PB_Window_BorderLess",
                             "#PB_Window_Invisible",
                             "#PB_Window_Maximize",
                             "#PB_Window_MaximizeGadget",
                             "#PB_Window_Minimize",
                             "#PB_Window_MinimizeGadget",
                             "#PB_Window_NoActivate",
                             "#PB_Window_ScreenCentered",
                             "#PB_Window_SizeGadget",
                             "#PB_Window_SystemMenu",
                             "#PB_Window_TitleBar",
                             "#PB_Window_Tool",
                             "#PB_Window_WindowCentered",
                             "text",
                             "minwidth",
                             "minheight",
                             "maxwidth",
                             "maxheight",
                             "width",
                             "height",
                             "margin"};
  EXPECT_EQ(panel->RowNamesInOrder(), expected);
  // On screen too: every row one row height below the previous one.
  const QStringList order = panel->RowNamesInOrder();
  for (int i = 0; i < order.size(); ++i) {
    EXPECT_EQ(Editor<QWidget>(order[i])->y(),
              metrics.propertiesTopMargin + i * metrics.propertiesRowHeight)
        << order[i].toStdString();
    EXPECT_EQ(Label(order[i])->y(), Editor<QWidget>(order[i])->y() + 2);
  }
}

TEST_F(PanelTest, ButtonInGridboxThenInHbox) {
  const QString grid = Add(win, QStringLiteral("gridbox"));
  const QString row = Add(win, QStringLiteral("hbox"));
  const QString button = Add(grid, QStringLiteral("button"));
  Show(button);
  const QStringList expected{"childs",
                             "class",
                             "name",
                             "parent",
                             "id",
                             "#PB_Button_Default",
                             "#PB_Button_Left",
                             "#PB_Button_MultiLine",
                             "#PB_Button_Right",
                             "#PB_Button_Toggle",
                             "font",
                             "text",
                             "tooltip",
                             "onevent",
                             "variable",
                             "disabled",
                             "invisible",
                             "width",
                             "height",
                             "colspan",
                             "rowspan"};
  EXPECT_EQ(panel->RowNamesInOrder(), expected);
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("parent"))->text(), QStringLiteral("gridbox1"));

  ASSERT_TRUE(editor.Apply(*ResolveMove(tree, button, row, true, kLast)).changed);
  Show(button);
  QStringList withoutSpans = expected;
  withoutSpans.removeAll(QStringLiteral("colspan"));
  withoutSpans.removeAll(QStringLiteral("rowspan"));
  EXPECT_EQ(panel->RowNamesInOrder(), withoutSpans);
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("parent"))->text(), QStringLiteral("hbox1"));
}

TEST_F(PanelTest, EditorsLabelsAndFontsPerKind) {
  const QString box = Add(win, QStringLiteral("vbox"));
  const QString button = Add(box, QStringLiteral("button"));
  Show(button);
  const struct {
    const char* row;
    const char* widgetClass;
    const char* label;
    bool readOnly;
  } cases[] = {
      {"class", "QLineEdit", "! class", true},
      {"name", "QLineEdit", "! name", true},
      {"childs", "QLineEdit", "! childs", true},
      {"parent", "QLineEdit", "! parent", true},
      {"id", "QLineEdit", "id", false},
      {"text", "QLineEdit", "text", false},
      {"disabled", "QCheckBox", "disabled", false},
      {"#PB_Button_Toggle", "QCheckBox", "flags:", false},
      {"onevent", "QComboBox", "onevent", false},
      {"font", "QListWidget", "font", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    const QString name = QString::fromLatin1(c.row);
    QWidget* editor = Editor<QWidget>(name);
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->metaObject()->className(), c.widgetClass);
    EXPECT_EQ(Label(name)->text(), QString::fromLatin1(c.label));
    EXPECT_EQ(Label(name)->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Label(name)->font().pointSize(), 9);
    EXPECT_EQ(editor->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(editor->font().pointSize(), 8);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      EXPECT_EQ(line->isReadOnly(), c.readOnly);
    }
    EXPECT_EQ(panel->Index().at(editor), panel->Row(name));
  }
  EXPECT_EQ(panel->Index().size(), panel->Rows().size());
  auto* toggle = Editor<QCheckBox>(QStringLiteral("#PB_Button_Toggle"));
  EXPECT_EQ(toggle->text(), QStringLiteral("#PB_Button_Toggle"));
  EXPECT_EQ(toggle->toolTip(), QStringLiteral("#PB_Button_Toggle"));
  EXPECT_EQ(panel->Row(QStringLiteral("#PB_Button_Toggle"))->group, QStringLiteral("flags"));
  EXPECT_EQ(Editor<QCheckBox>(QStringLiteral("disabled"))->text(), QString());
  EXPECT_EQ(Editor<QCheckBox>(QStringLiteral("disabled"))->toolTip(),
            QStringLiteral("Creates the object disabled"));
  EXPECT_TRUE(Editor<QComboBox>(QStringLiteral("onevent"))->isEditable());
  EXPECT_EQ(Items(Editor<QComboBox>(QStringLiteral("onevent"))), (QStringList{"", "yes"}));
  EXPECT_EQ(Editor<QComboBox>(QStringLiteral("onevent"))->currentText(), QStringLiteral("yes"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("text"))->text(), QStringLiteral("button1"));
  EXPECT_EQ(Editor<QListWidget>(QStringLiteral("font"))->toolTip(),
            QStringLiteral("A font used by this object (code)"));
}

TEST_F(PanelTest, FlagsWithSpacesAndMixedCaseShowTicked) {
  Set(win, QStringLiteral("flags"),
      QStringLiteral("#PB_Window_SystemMenu | #pb_window_sizegadget"));
  Show(win);
  int flagRows = 0;
  for (const auto& [name, row] : panel->Rows()) {
    if (row->kind != EditorKind::Flag) continue;
    ++flagRows;
    const bool expected = name == QLatin1String("#PB_Window_SystemMenu") ||
                          name == QLatin1String("#PB_Window_SizeGadget");
    EXPECT_EQ(static_cast<QCheckBox*>(row->editor.data())->isChecked(), expected)
        << name.toStdString();
  }
  EXPECT_EQ(flagRows, 13);
}

TEST_F(PanelTest, ExpandDropDownsListGeneratedItems) {
  const QString hbox = Add(win, QStringLiteral("hbox"));
  for (int i = 0; i < 3; ++i) Add(hbox, QStringLiteral("button"));
  Show(hbox);
  auto* expand = Editor<QComboBox>(QStringLiteral("expand"));
  ASSERT_NE(expand, nullptr);
  EXPECT_FALSE(expand->isEditable());
  EXPECT_EQ(Items(expand), (QStringList{"", "yes", "no", "equal", "item:1", "item:2", "item:3"}));

  const QString grid = Add(win, QStringLiteral("gridbox"));
  Set(grid, QStringLiteral("columns"), QStringLiteral("4"));
  Set(grid, QStringLiteral("rowexpand"), QStringLiteral("item:2"));
  Add(grid, QStringLiteral("button"));
  Add(grid, QStringLiteral("button"));
  Show(grid);
  EXPECT_EQ(Items(Editor<QComboBox>(QStringLiteral("colexpand"))),
            (QStringList{"", "yes", "no", "equal", "item:1", "item:2", "item:3", "item:4"}));
  auto* rowexpand = Editor<QComboBox>(QStringLiteral("rowexpand"));
  EXPECT_EQ(Items(rowexpand), (QStringList{"", "yes", "no", "equal", "item:1", "item:2"}));
  EXPECT_EQ(rowexpand->currentText(), QStringLiteral("item:2"));

  // Nonsense and absurd column counts.
  const struct {
    const char* columns;
    int generated;
  } cases[] = {
      {"abc", 0}, {"-3", 0}, {"$3", 3}, {"99999999999", PropertiesPanel::kMaxGeneratedItems}};
  for (const auto& c : cases) {
    Set(grid, QStringLiteral("columns"), QString::fromLatin1(c.columns));
    Show(grid);
    EXPECT_EQ(Editor<QComboBox>(QStringLiteral("colexpand"))->count(), 4 + c.generated)
        << c.columns;
  }
}

TEST_F(PanelTest, PickerRowsShowFontsAndColours) {
  const QString box = Add(win, QStringLiteral("vbox"));
  const QString string = Add(box, QStringLiteral("string"));
  const struct {
    const char* font;
    const char* shown;
  } cases[] = {{"Arial|10|256", "Arial, 10"},
               {"Arial|10", "Arial"},
               {"", ""},
               {"Courier New|12|0", "Courier New, 12"}};
  for (const auto& c : cases) {
    Set(string, QStringLiteral("font"), QString::fromLatin1(c.font));
    Show(string);
    auto* list = Editor<QListWidget>(QStringLiteral("font"));
    ASSERT_EQ(list->count(), 1) << c.font;
    EXPECT_EQ(list->item(0)->text(), QString::fromLatin1(c.shown)) << c.font;
  }
  Set(string, QStringLiteral("backcolor"), QStringLiteral("$FF8000"));
  Show(string);
  auto* back = Editor<QListWidget>(QStringLiteral("backcolor"));
  ASSERT_EQ(back->count(), 1);
  EXPECT_EQ(back->item(0)->text(), QString());
  EXPECT_EQ(back->palette().color(QPalette::Base),
            QColor(0x00, 0x80, 0xFF));  // red is the low byte
  Set(string, QStringLiteral("backcolor"), QString());
  Show(string);
  EXPECT_EQ(back->palette().color(QPalette::Base), QListWidget().palette().color(QPalette::Base));
}

TEST_F(PanelTest, HelpLineAndTitleFollowTheSelection) {
  ASSERT_TRUE(editor.Apply(RenameEdit{win, QStringLiteral("Main")}).changed);
  win = QStringLiteral("main");
  Show(win);
  EXPECT_EQ(help->text(), QStringLiteral("Main (window)"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Properties: Main"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("name"))->text(), QStringLiteral("Main"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("parent"))->text(), QStringLiteral("dialogs"));

  QPointer<QWidget> editor = Editor<QWidget>(QStringLiteral("name"));
  Show(QString());
  EXPECT_TRUE(panel->Rows().empty());
  EXPECT_TRUE(panel->Index().empty());
  EXPECT_TRUE(editor.isNull());
  EXPECT_EQ(help->text(), QString());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Properties"));
  EXPECT_EQ(area->widget()->findChildren<QWidget*>().size(), 0);

  // A class the schema does not know: the four fact rows only.
  ASSERT_EQ(this->editor.Add(win, QStringLiteral("oddity"), QStringLiteral("odd1")),
            QStringLiteral("odd1"));
  Set(QStringLiteral("odd1"), QStringLiteral("width"), QStringLiteral("5"));
  Show(QStringLiteral("odd1"));
  EXPECT_EQ(panel->RowNamesInOrder(), (QStringList{"childs", "class", "name", "parent"}));
  EXPECT_EQ(help->text(), QStringLiteral("odd1 (oddity)"));

  // The root: no parent, one child, its single attribute.
  Show(QStringLiteral("dialogs"));
  EXPECT_EQ(panel->RowNamesInOrder(), (QStringList{"childs", "class", "name", "parent", "font"}));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("childs"))->text(), QStringLiteral("1"));
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("parent"))->text(), QString());
}

TEST_F(PanelTest, RowsAndControlsLiveOnAcrossSelections) {
  const QString box = Add(win, QStringLiteral("vbox"));
  const QString b1 = Add(box, QStringLiteral("button"));
  const QString b2 = Add(box, QStringLiteral("button"));
  Set(b2, QStringLiteral("disabled"), QStringLiteral("yes"));
  Show(b1);
  std::map<QString, std::pair<QWidget*, QLabel*>> before;
  for (const auto& [name, row] : panel->Rows())
    before[name] = {row->editor.data(), row->label.data()};
  const QList<QWidget*> childrenBefore = area->widget()->findChildren<QWidget*>();

  Show(b2);
  ASSERT_EQ(panel->Rows().size(), before.size());
  for (const auto& [name, row] : panel->Rows()) {
    ASSERT_TRUE(before.count(name)) << name.toStdString();
    EXPECT_EQ(row->editor.data(), before[name].first) << name.toStdString();
    EXPECT_EQ(row->label.data(), before[name].second) << name.toStdString();
    EXPECT_EQ(row->objectKey, b2);
    EXPECT_FALSE(row->touched);
  }
  EXPECT_EQ(area->widget()->findChildren<QWidget*>(), childrenBefore);
  EXPECT_EQ(Editor<QLineEdit>(QStringLiteral("name"))->text(), QStringLiteral("button2"));
  EXPECT_TRUE(Editor<QCheckBox>(QStringLiteral("disabled"))->isChecked());

  // A class without flags: the flag rows go, the shared rows stay.
  QPointer<QWidget> flag = Editor<QWidget>(QStringLiteral("#PB_Button_Toggle"));
  QWidget* height = Editor<QWidget>(QStringLiteral("height"));
  Show(box);
  EXPECT_TRUE(flag.isNull());
  EXPECT_EQ(panel->Row(QStringLiteral("#PB_Button_Toggle")), nullptr);
  EXPECT_EQ(Editor<QWidget>(QStringLiteral("height")), height);
  for (const auto& [name, row] : panel->Rows()) EXPECT_NE(row->kind, EditorKind::Flag);
}

TEST_F(PanelTest, RelayoutFollowsTheAreaWidthAndTabWalksTheRows) {
  Show(win);
  const int scrollBar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
  for (int width : {300, 420}) {
    SCOPED_TRACE(width);
    area->resize(width, 440);
    panel->RelayoutProperties();
    const int w = area->widget()->width();
    EXPECT_EQ(w, width - (metrics.propertiesLeftMargin + scrollBar));
    EXPECT_EQ(area->widget()->height(),
              metrics.propertiesTopMargin + 26 * metrics.propertiesRowHeight);
    const int lw = static_cast<int>(std::lround(w * 0.33 - metrics.propertiesLeftMargin));
    const int ew = static_cast<int>(std::lround(w * 0.66));
    const QStringList order = panel->RowNamesInOrder();
    for (int i = 0; i < order.size(); ++i) {
      const int y = metrics.propertiesTopMargin + i * metrics.propertiesRowHeight;
      EXPECT_EQ(Label(order[i])->geometry(),
                QRect(metrics.propertiesLeftMargin, y + 2, lw, metrics.propertiesControlHeight));
      EXPECT_EQ(Editor<QWidget>(order[i])->geometry(),
                QRect(lw + metrics.propertiesLeftMargin, y, ew, metrics.propertiesControlHeight));
    }
  }

  // The Tab key walks the editors top to bottom.
  const QStringList order = panel->RowNamesInOrder();
  Editor<QWidget>(order.first())->setFocus(Qt::TabFocusReason);
  QStringList walked;
  for (int i = 0; i < order.size(); ++i) {
    QWidget* focus = QApplication::focusWidget();
    while (focus && !panel->Index().count(focus)) focus = focus->parentWidget();
    walked << (focus ? panel->Index().at(focus)->name : QStringLiteral("?"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(walked, order);
}

}  // namespace
}  // namespace bxw::test

namespace bxw::test {
namespace {

// Attributes a file held that the class does not know are listed below the class's rows and
// edited as text; clearing one removes it.
TEST_F(PanelTest, KeptAttributesAreTextRowsBelowTheClassRows) {
  const QString box = Add(win, QStringLiteral("vbox"));
  for (const char* name : {"comment", "colums"}) {
    SetAttributeEdit e;
    e.key = box;
    e.name = QString::fromLatin1(name);
    e.value = QStringLiteral("3");
    e.kept = true;
    ASSERT_TRUE(editor.Apply(std::move(e)).changed);
  }
  Show(box);
  const QStringList order = panel->RowNamesInOrder();
  ASSERT_GE(order.size(), 2);
  EXPECT_EQ(order.mid(order.size() - 2), (QStringList{"kept:colums", "kept:comment"}));
  EXPECT_EQ(Label(QStringLiteral("kept:comment"))->text(), QStringLiteral("comment"));
  QLineEdit* comment = Editor<QLineEdit>(QStringLiteral("kept:comment"));
  ASSERT_NE(comment, nullptr);
  EXPECT_FALSE(comment->isReadOnly());
  comment->setFocus();
  comment->selectAll();
  QTest::keyClicks(comment, QStringLiteral("Main column"));
  EXPECT_EQ(FindKeptAttribute(Obj(box), QStringLiteral("comment"))->value,
            QStringLiteral("Main column"));
  EXPECT_TRUE(stored.back().kept);
  comment->selectAll();
  QTest::keyClick(comment, Qt::Key_Backspace);
  EXPECT_EQ(FindKeptAttribute(Obj(box), QStringLiteral("comment")), nullptr);
  EXPECT_EQ(GetAttribute(Obj(box), QStringLiteral("comment")), QString());  // never a class one
  // Gone from the rows at the next selection; the other one stays.
  Show(box);
  EXPECT_EQ(panel->Row(QStringLiteral("kept:comment")), nullptr);
  EXPECT_NE(panel->Row(QStringLiteral("kept:colums")), nullptr);
}

}  // namespace
}  // namespace bxw::test
