#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include "designer_fixture.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

// One line per visible item: indent by depth, caption, then [off] when disabled and [x] when
// checked; separators as "--".
void Describe(const QMenu* menu, int depth, QStringList& out) {
  const QString indent(depth * 2, QLatin1Char(' '));
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      out << indent + QStringLiteral("--");
      continue;
    }
    QString line = indent + a->text();
    if (!a->isEnabled()) line += QStringLiteral(" [off]");
    if (a->isChecked()) line += QStringLiteral(" [x]");
    out << line;
    if (a->menu()) Describe(a->menu(), depth + 1, out);
  }
}

QStringList Menu(Designer& d) {
  QStringList out;
  auto menu = d.BuildContextMenu();
  if (menu) Describe(menu.get(), 0, out);
  return out;
}

// The part of every menu after the add sub-menu, for a non-root selection with no children.
QStringList Tail(bool canCutCopy, const QString& paste, bool expand, bool export_,
                 bool testWindow, const QString& undo) {
  const QString off = QStringLiteral(" [off]");
  return {QStringLiteral("--"),
          QStringLiteral("Cut\tCtrl+X") + (canCutCopy ? QString() : off),
          QStringLiteral("Copy\tCtrl+C") + (canCutCopy ? QString() : off),
          paste,
          QStringLiteral("--"),
          QStringLiteral("Delete\tDel") + (canCutCopy ? QString() : off),
          QStringLiteral("Rename\tF2") + (canCutCopy ? QString() : off),
          QStringLiteral("--"),
          QStringLiteral("Expand ++") + (expand ? QString() : off),
          QStringLiteral("Collapse ++") + (expand ? QString() : off),
          QStringLiteral("--"),
          QStringLiteral("BXW Config"),
          QStringLiteral("  # Code and XML export # [off]"),
          QStringLiteral("  Apply DPI-awareness patch"),
          QStringLiteral("  Don't add event loop"),
          QStringLiteral("  Export to clipboard"),
          QStringLiteral("  Open .pb file after export"),
          QStringLiteral("  # Other # [off]"),
          QStringLiteral("  Empty text for new objects"),
          QStringLiteral("  Confirm tree object deletion"),
          QStringLiteral("  Warn about unsaved changes"),
          QStringLiteral("Refresh UI"),
          QStringLiteral("Test window\tCtrl+T") + (testWindow ? QString() : off),
          QStringLiteral("--"),
          QStringLiteral("Export Code\tCtrl+E") + (export_ ? QString() : off),
          QStringLiteral("Export XML\tCtrl+S") + (export_ ? QString() : off),
          QStringLiteral("--"),
          QStringLiteral("Import XML..\tCtrl+O"),
          QStringLiteral("--"),
          undo.isEmpty() ? QStringLiteral("Undo\tCtrl+Z [off]")
                         : QStringLiteral("Undo ") + undo + QStringLiteral("\tCtrl+Z"),
          QStringLiteral("Redo\tCtrl+Y [off]")};
}

const QStringList kGadgetAddMenu = {
    "  Container", "    HBox", "    VBox", "    GridBox", "    Splitter\t2", "    --",
    "    MultiBox", "    --", "    SingleBox\t1", "    Container\t1", "    Frame\t1",
    "    ScrollArea\t1", "    --", "    Panel", "  --", "  Button / Input", "    Button",
    "    ButtonImage", "    --", "    CheckBox", "    OptionBox", "    --", "    ScrollBar",
    "    TrackBar", "    SpinBox", "  Image / Display", "    Canvas", "    Image", "    --",
    "    ProgressBar", "  Text / String", "    Editor", "    String", "    Text",
    "    Scintilla", "    --", "    IP address", "    Hyperlink", "    Web", "    --",
    "    Date", "    Calendar", "  List", "    ListCombo", "    ListIcon", "    ListView",
    "    --", "    TreeView", "    --", "    ExplorerCombo", "    ExplorerList",
    "    ExplorerTree", "  --", "  Empty"};

TEST_F(DesignerTest, RootMenuOnAnEmptyDesign) {
  QStringList want = {"New", "  Window\t1"};
  want << Tail(false, "Paste\tCtrl+V [off]", false, false, false, {});
  EXPECT_EQ(Menu(*designer), want);
}

TEST_F(DesignerTest, ButtonWindowSplitterAndPanelMenus) {
  const QString window = Add("dialogs", "window");
  const QString vbox = Add(window, "vbox");
  const QString button = Add(vbox, "button");

  Select(button);
  QStringList want = {"(not a container) [off]"};
  want << Tail(true, "Paste\tCtrl+V [off]", false, true, true, "Add 'button1'");
  EXPECT_EQ(Menu(*designer), want);

  Select(window);  // holds its one child: full
  want = QStringList{"(container is full) [off]"};
  want << Tail(true, "Paste\tCtrl+V [off]", true, true, true, "Add 'button1'");
  EXPECT_EQ(Menu(*designer), want);

  const QString splitter = Add(vbox, "splitter");
  Add(splitter, "button");
  Add(splitter, "button");
  Select(splitter);
  want = QStringList{"(container is full) [off]"};
  want << Tail(true, "Paste\tCtrl+V [off]", true, true, true, "Add 'button3'");
  EXPECT_EQ(Menu(*designer), want);

  Select(vbox);
  want = QStringList{"New"};
  want << kGadgetAddMenu << Tail(true, "Paste\tCtrl+V [off]", true, true, true, "Add 'button3'");
  EXPECT_EQ(Menu(*designer), want);

  const QString panel = Add(vbox, "panel");
  designer->CopyCommand();  // the panel itself is now on the clipboard
  want = QStringList{"New", "  Container", "    Tab"};
  want << Tail(true, "Paste 'panel1'\tCtrl+V [off]", false, true, true, "Add 'panel1'");
  EXPECT_EQ(Menu(*designer), want);

  // Root with windows: expand and collapse are on, paste of a non-window is off.
  Select("dialogs");
  const QStringList root = Menu(*designer);
  EXPECT_TRUE(root.contains("Expand ++"));
  EXPECT_TRUE(root.contains("Paste 'panel1'\tCtrl+V [off]"));
  EXPECT_TRUE(root.contains("Cut\tCtrl+X [off]"));
}

TEST_F(DesignerTest, SettingsFlipsShowAtTheNextRightClickAndRenameTheExports) {
  Add("dialogs", "window");
  for (int command : {53, 57, 55}) designer->DispatchMenuCommand(command);
  const QStringList menu = Menu(*designer);
  EXPECT_TRUE(menu.contains("  Export to clipboard [x]"));
  EXPECT_TRUE(menu.contains("  Apply DPI-awareness patch [x]"));
  EXPECT_TRUE(menu.contains("  Warn about unsaved changes [x]"));
  EXPECT_TRUE(menu.contains("  Don't add event loop"));
  EXPECT_TRUE(menu.contains("Copy Code\tCtrl+E"));
  EXPECT_TRUE(menu.contains("Copy XML\tCtrl+S"));
  EXPECT_TRUE(designer->Config().Export2Clipboard);
  designer->DispatchMenuCommand(53);
  EXPECT_FALSE(designer->Config().Export2Clipboard);
  designer->DispatchMenuCommand(63);  // a heading runs nothing
  designer->DispatchMenuCommand(99);
  EXPECT_EQ(designer->Config().NoLoop, false);
}

TEST_F(DesignerTest, ChosenItemsRunTheirCommandsAndDisabledOnesNothing) {
  auto menu = designer->BuildContextMenu();
  QAction* window = menu->actions().first()->menu()->actions().first();
  window->trigger();
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("window1"));
  Select("dialogs");
  menu = designer->BuildContextMenu();
  for (QAction* a : menu->actions())
    if (a->text().startsWith("Delete")) a->trigger();  // disabled: nothing happens
  EXPECT_TRUE(designer->Tree().Contains("dialogs"));
  EXPECT_EQ(designer->Tree().Size(), 2);
}

void Release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent release(QEvent::KeyRelease, key, mods);
  QApplication::sendEvent(w, &release);
}

TEST_F(DesignerTest, ShortcutsActOnKeyRelease) {
  QTreeWidget* tree = designer->TreeControl();
  // Delete on the root and Ctrl+V with an empty clipboard do nothing.
  Release(tree, Qt::Key_Delete);
  Release(tree, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(designer->Tree().Size(), 1);

  const QString window = Add("dialogs", "window");
  const QString vbox = Add(window, "vbox");
  const QString button = Add(vbox, "button");
  Release(tree, Qt::Key_C, Qt::ControlModifier);
  Select(vbox);
  Release(tree, Qt::Key_V);  // without Ctrl: nothing
  EXPECT_EQ(designer->Tree().Size(), 4);
  Release(tree, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(designer->SelectedKey(), QStringLiteral("button1_c1"));
  Release(tree, Qt::Key_X, Qt::ControlModifier);
  EXPECT_FALSE(designer->Tree().Contains("button1_c1"));
  Select(button);
  Release(tree, Qt::Key_Delete);
  EXPECT_FALSE(designer->Tree().Contains(button));
  Select(vbox);
  Release(tree, Qt::Key_F2);
  EXPECT_TRUE(designer->RenameLatch());
}

}  // namespace
