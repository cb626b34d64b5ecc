#include "dialog/attributes.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "dialog/symbol_registry.h"
#include "platform/value_forms.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

namespace {

struct KindName {
  const char* name;
  Kind kind;
};

constexpr KindName kKinds[] = {
    {"window", Kind::Window},
    {"hbox", Kind::HBox},
    {"vbox", Kind::VBox},
    {"gridbox", Kind::GridBox},
    {"multibox", Kind::MultiBox},
    {"singlebox", Kind::SingleBox},
    {"empty", Kind::Empty},
    {"button", Kind::Button},
    {"checkbox", Kind::CheckBox},
    {"image", Kind::Image},
    {"option", Kind::Option},
    {"listview", Kind::ListView},
    {"listicon", Kind::ListIcon},
    {"tree", Kind::Tree},
    {"container", Kind::Container},
    {"combobox", Kind::ComboBox},
    {"text", Kind::Text},
    {"string", Kind::String},
    {"panel", Kind::Panel},
    {"tab", Kind::Tab},
    {"scrollarea", Kind::ScrollArea},
    {"frame", Kind::Frame},
    {"editor", Kind::Editor},
    {"scintilla", Kind::Scintilla},
    {"scrollbar", Kind::ScrollBar},
    {"progressbar", Kind::ProgressBar},
    {"explorerlist", Kind::ExplorerList},
    {"explorertree", Kind::ExplorerTree},
    {"explorercombo", Kind::ExplorerCombo},
    {"splitter", Kind::Splitter},
    {"shortcut", Kind::Shortcut},
    {"buttonimage", Kind::ButtonImage},
    {"trackbar", Kind::TrackBar},
    {"canvas", Kind::Canvas},
    {"calendar", Kind::Calendar},
    {"date", Kind::Date},
    {"spin", Kind::Spin},
    {"web", Kind::Web},
    {"hyperlink", Kind::HyperLink},
    {"ipaddress", Kind::IPAddress},
};

struct FlagEntry {
  const char* name;
  uint32_t value;
};

struct FlagTable {
  Kind kind;
  std::initializer_list<FlagEntry> flags;
};

const FlagTable kFlagTables[] = {
    {Kind::Window,
     {{"PB_Window_ScreenCentered", 0x1},
      {"PB_Window_WindowCentered", 0x2},
      {"PB_Window_Tool", 0x4},
      {"PB_Window_TitleBar", 0xC00000},
      {"PB_Window_SystemMenu", 0xC80000},
      {"PB_Window_SizeGadget", 0xC40000},
      {"PB_Window_MinimizeGadget", 0xCA0000},
      {"PB_Window_MaximizeGadget", 0xC90000},
      {"PB_Window_Invisible", 0x10000000},
      {"PB_Window_BorderLess", 0x80000000},
      {"PB_Window_NoActivate", 0x2000000}}},
    {Kind::Button,
     {{"PB_Button_Right", 0x200},
      {"PB_Button_Left", 0x100},
      {"PB_Button_Default", 0x1},
      {"PB_Button_MultiLine", 0x2000},
      {"PB_Button_Toggle", 0x1003}}},
    {Kind::ButtonImage, {{"PB_Button_Toggle", 0x1003}}},
    {Kind::Calendar, {{"PB_Calendar_Borderless", 0x800000}}},
    {Kind::Canvas,
     {{"PB_Canvas_ClipMouse", 0x2},
      {"PB_Canvas_Border", 0x1},
      {"PB_Canvas_Keyboard", 0x4},
      {"PB_Canvas_DrawFocus", 0x8},
      {"PB_Canvas_Container", 0x20}}},
    {Kind::CheckBox,
     {{"PB_CheckBox_Right", 0x200},
      {"PB_CheckBox_Center", 0x300},
      {"PB_CheckBox_ThreeState", 0x5}}},
    {Kind::ComboBox,
     {{"PB_ComboBox_Editable", 0x42},
      {"PB_ComboBox_LowerCase", 0x4000},
      {"PB_ComboBox_UpperCase", 0x2000},
      {"PB_ComboBox_Image", 0x10000000}}},
    {Kind::Container,
     {{"PB_Container_BorderLess", 0x0},
      {"PB_Container_Flat", 0x1},
      {"PB_Container_Raised", 0x2},
      {"PB_Container_Single", 0x4},
      {"PB_Container_Double", 0x8}}},
    {Kind::Date, {{"PB_Date_UpDown", 0x1}, {"PB_Date_CheckBox", 0x2}}},
    {Kind::ExplorerCombo,
     {{"PB_Explorer_NoMyDocuments", 0x200},
      {"PB_Explorer_DrivesOnly", 0x80},
      {"PB_Explorer_Editable", 0x100}}},
    {Kind::ExplorerList,
     {{"PB_Explorer_NoMyDocuments", 0x200},
      {"PB_Explorer_NoFiles", 0x1},
      {"PB_Explorer_NoDriveRequester", 0x10},
      {"PB_Explorer_AutoSort", 0x40},
      {"PB_Explorer_BorderLess", 0x100000},
      {"PB_Explorer_AlwaysShowSelection", 0x1000000},
      {"PB_Explorer_NoParentFolder", 0x2},
      {"PB_Explorer_NoFolders", 0x4},
      {"PB_Explorer_NoDirectoryChange", 0x8},
      {"PB_Explorer_NoSort", 0x20},
      {"PB_Explorer_MultiSelect", 0x200000},
      {"PB_Explorer_GridLines", 0x400000},
      {"PB_Explorer_HeaderDragDrop", 0x800000},
      {"PB_Explorer_FullRowSelect", 0x2000000}}},
    {Kind::ExplorerTree,
     {{"PB_Explorer_BorderLess", 0x100000},
      {"PB_Explorer_AlwaysShowSelection", 0x1000000},
      {"PB_Explorer_NoLines", 0x4000000},
      {"PB_Explorer_NoButtons", 0x8000000},
      {"PB_Explorer_NoMyDocuments", 0x200},
      {"PB_Explorer_NoFiles", 0x1},
      {"PB_Explorer_NoDriveRequester", 0x10},
      {"PB_Explorer_AutoSort", 0x40}}},
    {Kind::Editor, {{"PB_Editor_ReadOnly", 0x800}, {"PB_Editor_WordWrap", 0x10000000}}},
    {Kind::Frame, {{"PB_Frame_Double", 0x1}, {"PB_Frame_Single", 0x2}, {"PB_Frame_Flat", 0x3}}},
    {Kind::HyperLink, {{"PB_HyperLink_Underline", 0x1}}},
    {Kind::Image, {{"PB_Image_Raised", 0x1}, {"PB_Image_Border", 0x200}}},
    {Kind::ListIcon,
     {{"PB_ListIcon_CheckBoxes", 0x1},
      {"PB_ListIcon_MultiSelect", 0x4},
      {"PB_ListIcon_GridLines", 0x10000},
      {"PB_ListIcon_FullRowSelect", 0x40000000},
      {"PB_ListIcon_HeaderDragDrop", 0x10000000},
      {"PB_ListIcon_AlwaysShowSelection", 0x8},
      {"PB_ListIcon_ThreeState", 0x40}}},
    {Kind::ListView, {{"PB_ListView_MultiSelect", 0x800}, {"PB_ListView_ClickSelect", 0x8}}},
    {Kind::ProgressBar, {{"PB_ProgressBar_Smooth", 0x1}, {"PB_ProgressBar_Vertical", 0x4}}},
    {Kind::ScrollArea,
     {{"PB_ScrollArea_Flat", 0x1},
      {"PB_ScrollArea_Raised", 0x2},
      {"PB_ScrollArea_Single", 0x4},
      {"PB_ScrollArea_BorderLess", 0x8},
      {"PB_ScrollArea_Center", 0x10}}},
    {Kind::ScrollBar, {{"PB_ScrollBar_Vertical", 0x1}}},
    {Kind::Spin, {{"PB_Spin_ReadOnly", 0x1}, {"PB_Spin_Numeric", 0x2}}},
    {Kind::Splitter,
     {{"PB_Splitter_Vertical", 0x1},
      {"PB_Splitter_Separator", 0x2},
      {"PB_Splitter_FirstFixed", 0x4},
      {"PB_Splitter_SecondFixed", 0x8}}},
    {Kind::String,
     {{"PB_String_Password", 0x20},
      {"PB_String_ReadOnly", 0x800},
      {"PB_String_Numeric", 0x2000},
      {"PB_String_LowerCase", 0x10},
      {"PB_String_UpperCase", 0x8},
      {"PB_String_BorderLess", 0x20000},
      {"PB_String_AutoComplete", 0x10000000},
      {"PB_String_AutoInsert", 0x40000000}}},
    {Kind::Text, {{"PB_Text_Center", 0x1}, {"PB_Text_Right", 0x2}, {"PB_Text_Border", 0x20000}}},
    {Kind::TrackBar, {{"PB_TrackBar_Ticks", 0x1}, {"PB_TrackBar_Vertical", 0x2}}},
    {Kind::Tree,
     {{"PB_Tree_AlwaysShowSelection", 0x20},
      {"PB_Tree_NoLines", 0x2},
      {"PB_Tree_NoButtons", 0x1},
      {"PB_Tree_CheckBoxes", 0x100},
      {"PB_Tree_ThreeState", 0x10000}}},
};

struct EventEntry {
  const char* name;
  EventInfo info;
};

constexpr EventEntry kEvents[] = {
    {"onevent", {0, -1}},
    {"onrightclick", {0x01, event_code::kRightClick}},
    {"onleftclick", {0x02, event_code::kLeftClick}},
    {"onrightdoubleclick", {0x04, event_code::kRightDoubleClick}},
    {"onleftdoubleclick", {0x08, event_code::kLeftDoubleClick}},
    {"onchange", {0x10, event_code::kChange}},
    {"onfocus", {0x20, event_code::kFocus}},
    {"onlostfocus", {0x40, event_code::kLostFocus}},
    {"ondragstart", {0x80, event_code::kDragStart}},
};

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool Is(const QString& a, const char* b) {
  return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// An expand value of a box or a grid axis. Columns and boxes know "no" (their default is yes),
// rows know "yes" (their default is no); other values leave the mode.
void ParseExpandMode(const QString& value, bool rows, int* mode, int* item) {
  if (!rows && Is(value, "no")) {
    *mode = kExpandNo;
  } else if (rows && Is(value, "yes")) {
    *mode = kExpandYes;
  } else if (Is(value, "equal")) {
    *mode = kExpandEqual;
  } else if (value.startsWith(QLatin1String("item:"), Qt::CaseInsensitive)) {
    *mode = kExpandItem;
    *item = ExpandItemIndex(value);
  }
}

// Integer that follows `key` in `value` (case-insensitive, anywhere), if the key occurs.
std::optional<int> IntegerAfter(const QString& value, QLatin1StringView key) {
  const int at = value.indexOf(key, 0, Qt::CaseInsensitive);
  if (at < 0) return std::nullopt;
  return IntegerText(value.mid(at + key.size()));
}

}  // namespace

Kind KindOfElement(const QString& name) {
  for (const KindName& k : kKinds)
    if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.kind;
  return Kind::None;
}

QString ElementName(Kind kind) {
  for (const KindName& k : kKinds)
    if (k.kind == kind) return QLatin1String(k.name);
  return QString();
}

QStringList ElementNames() {
  QStringList out;
  for (const KindName& k : kKinds) out << QLatin1String(k.name);
  return out;
}

QStringList FlagNames(Kind kind) {
  QStringList out;
  for (const FlagTable& t : kFlagTables)
    if (t.kind == kind)
      for (const FlagEntry& f : t.flags) out << QLatin1String(f.name);
  return out;
}

QStringList EventNames() {
  QStringList out;
  for (const EventEntry& e : kEvents) out << QLatin1String(e.name);
  return out;
}

int IntegerText(const QString& text) {
  int i = 0;
  const int n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  long long v = 0;
  while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
    v = v * 10 + (text[i].unicode() - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    ++i;
  }
  if (negative) v = -v;
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int ExpandItemIndex(const QString& value) {
  return Saturate(static_cast<long long>(IntegerText(value.mid(5))) - 1);
}

std::optional<uint32_t> FindFlag(Kind kind, const QString& name, const SymbolRegistry& symbols) {
  for (const FlagTable& t : kFlagTables) {
    if (t.kind != kind) continue;
    for (const FlagEntry& f : t.flags)
      if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) return f.value;
  }
  if (auto v = symbols.Value(name)) return static_cast<uint32_t>(*v);
  return std::nullopt;
}

uint32_t EvaluateFlags(Kind kind, const QString& expression, const SymbolRegistry& symbols,
                       const std::function<void(const QString& name)>& unknown) {
  uint32_t flags = 0;
  const int n = expression.size();
  int i = 0;
  while (i < n && IsBlank(expression[i])) ++i;
  while (i < n) {
    while (i < n && IsBlank(expression[i])) ++i;
    if (i >= n || expression[i] != QLatin1Char('#')) break;
    ++i;
    int end = expression.indexOf(QLatin1Char('|'), i);
    const bool more = end >= 0;
    if (!more) end = n;
    int last = end;
    while (last > i && IsBlank(expression[last - 1])) --last;
    const QString name = expression.mid(i, last - i);
    if (name.size() > 128) break;
    if (auto v = FindFlag(kind, name, symbols))
      flags |= *v;
    else
      unknown(name);
    if (!more) break;
    i = end + 1;
  }
  return flags;
}

bool FindEvent(const QString& attribute, EventInfo* info) {
  for (const EventEntry& e : kEvents)
    if (attribute.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
      *info = e.info;
      return true;
    }
  return false;
}

uint32_t EventCapabilities(Kind kind) {
  switch (kind) {
    case Kind::Image:
      return 0x8F;
    case Kind::ListView:
      return 0x0A;
    case Kind::ListIcon:
    case Kind::Tree:
    case Kind::ExplorerList:
    case Kind::ExplorerTree:
      return 0x9F;
    case Kind::ComboBox:
    case Kind::String:
      return 0x70;
    case Kind::Date:
    case Kind::Spin:
    case Kind::Panel:
      return 0x10;
    case Kind::Canvas:
      return 0x6F;
    default:
      return 0;
  }
}

void ParseMargin(const QString& value, Placement* p) {
  if (!value.contains(QLatin1Char(':'))) {
    p->top = p->bottom = p->left = p->right = IntegerText(value);
    return;
  }
  p->top = IntegerAfter(value, QLatin1StringView("top:")).value_or(0);
  p->bottom = IntegerAfter(value, QLatin1StringView("bottom:")).value_or(0);
  p->left = IntegerAfter(value, QLatin1StringView("left:")).value_or(0);
  p->right = IntegerAfter(value, QLatin1StringView("right:")).value_or(0);
  if (auto v = IntegerAfter(value, QLatin1StringView("vertical:"))) p->top = p->bottom = *v;
  if (auto h = IntegerAfter(value, QLatin1StringView("horizontal:"))) p->left = p->right = *h;
}

void ParseAlign(const QString& value, Placement* p) {
  auto has = [&](const char* key) {
    return value.contains(QLatin1String(key), Qt::CaseInsensitive);
  };
  if (has("top")) p->alignV = 1;
  if (has("bottom")) p->alignV = 3;
  if (has("left")) p->alignH = 1;
  if (has("right")) p->alignH = 3;
  const int fill = has("center") ? 2 : 1;
  if (p->alignV == 0) p->alignV = fill;
  if (p->alignH == 0) p->alignH = fill;
}

void ParseExpand(const QString& value, Placement* p) {
  if (value.compare(QLatin1String("vertical"), Qt::CaseInsensitive) == 0) {
    p->expandH = false;
    p->expandV = true;
  } else if (value.compare(QLatin1String("horizontal"), Qt::CaseInsensitive) == 0) {
    p->expandH = true;
    p->expandV = false;
  } else if (value.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0) {
    p->expandH = false;
    p->expandV = false;
  }
}

// ---- the attributes of one kind ----

int ParseNumeric(const XmlNode& element, const char* name, int fallback,
                 const SymbolRegistry& symbols) {
  for (const XmlAttribute& a : element.Attributes())
    if (Is(a.name, name)) return symbols.Value(a.value).value_or(IntegerText(a.value));
  return fallback;
}

Placement ParsePlacement(const XmlNode& element, int margin) {
  Placement p;
  p.top = p.bottom = p.left = p.right = margin;
  for (const XmlAttribute& a : element.Attributes()) {
    if (Is(a.name, "margin"))
      ParseMargin(a.value, &p);
    else if (Is(a.name, "expand"))
      ParseExpand(a.value, &p);
    else if (Is(a.name, "expandwidth"))
      p.expandWidth = IntegerText(a.value);
    else if (Is(a.name, "expandheight"))
      p.expandHeight = IntegerText(a.value);
    else if (Is(a.name, "align"))
      ParseAlign(a.value, &p);
  }
  return p;
}

BoxParams ParseBoxParams(const XmlNode& element) {
  BoxParams p;
  p.horizontal = KindOfElement(element.Name()) == Kind::HBox;
  for (const XmlAttribute& a : element.Attributes()) {
    if (Is(a.name, "spacing")) {
      p.spacing = IntegerText(a.value);
    } else if (Is(a.name, "expand")) {
      ParseExpandMode(a.value, false, &p.mode, &p.item);
    } else if (Is(a.name, "align")) {
      if (Is(a.value, "center"))
        p.align = kAlignCenter;
      else if (Is(a.value, "bottom") || Is(a.value, "right"))
        p.align = kAlignEnd;
    }
  }
  return p;
}

GridParams ParseGridParams(const XmlNode& element) {
  GridParams p;
  for (const XmlAttribute& a : element.Attributes()) {
    if (Is(a.name, "columns"))
      p.columns = IntegerText(a.value);
    else if (Is(a.name, "colspacing"))
      p.colSpacing = IntegerText(a.value);
    else if (Is(a.name, "rowspacing"))
      p.rowSpacing = IntegerText(a.value);
    else if (Is(a.name, "colexpand"))
      ParseExpandMode(a.value, false, &p.colMode, &p.colItem);
    else if (Is(a.name, "rowexpand"))
      ParseExpandMode(a.value, true, &p.rowMode, &p.rowItem);
  }
  return p;
}

GridSpan ParseGridSpan(const XmlNode& element) {
  GridSpan s;
  for (const XmlAttribute& a : element.Attributes()) {
    if (Is(a.name, "colspan"))
      s.colspan = std::max(1, IntegerText(a.value));
    else if (Is(a.name, "rowspan"))
      s.rowspan = std::max(1, IntegerText(a.value));
  }
  return s;
}

ScrollAreaParams ParseScrollAreaParams(const XmlNode& element) {
  ScrollAreaParams p;
  for (const XmlAttribute& a : element.Attributes()) {
    if (Is(a.name, "innerwidth")) {
      p.innerW = Is(a.value, "auto") ? -1 : IntegerText(a.value);
    } else if (Is(a.name, "innerheight")) {
      p.innerH = Is(a.value, "auto") ? -1 : IntegerText(a.value);
    } else if (Is(a.name, "step")) {
      p.step = IntegerText(a.value);
    } else if (Is(a.name, "scrolling")) {
      if (Is(a.value, "vertical"))
        p.mode = kScrollVertical;
      else if (Is(a.value, "horizontal"))
        p.mode = kScrollHorizontal;
    }
  }
  return p;
}

SplitterParams ParseSplitterParams(const XmlNode& element) {
  SplitterParams p;
  for (const XmlAttribute& a : element.Attributes()) {
    const int pane = Is(a.name, "firstmin") ? 0 : Is(a.name, "secondmin") ? 1 : -1;
    if (pane < 0) continue;
    if (Is(a.value, "auto") || Is(a.value, "request"))
      p.autoMin[pane] = true;
    else
      p.minimums.push_back({pane, IntegerText(a.value)});
  }
  return p;
}

WindowBoundsParams ParseWindowBounds(const XmlNode& element) {
  WindowBoundsParams p;
  for (const XmlAttribute& a : element.Attributes()) {
    int* bound = Is(a.name, "minwidth")    ? &p.minW
                 : Is(a.name, "minheight") ? &p.minH
                 : Is(a.name, "maxwidth")  ? &p.maxW
                 : Is(a.name, "maxheight") ? &p.maxH
                                           : nullptr;
    if (bound)
      *bound = Is(a.value, "auto") ? kBoundAuto : static_cast<int16_t>(IntegerText(a.value));
  }
  return p;
}

std::optional<int> ParseOptionGroup(const XmlNode& element, const SymbolRegistry& symbols) {
  for (const XmlAttribute& a : element.Attributes())
    if (Is(a.name, "group")) return ParseNumeric(element, "group", -1, symbols);
  return std::nullopt;
}

bool IsCanvasContainer(const XmlNode& element, const SymbolRegistry& symbols) {
  uint32_t flags = 0;
  for (const XmlAttribute& a : element.Attributes())
    if (Is(a.name, "flags"))
      flags |= EvaluateFlags(Kind::Canvas, a.value, symbols, [](const QString&) {});
  return flags & flag::CanvasContainer;
}

ControlParams ParseLeafParams(Kind kind, const XmlNode& element, const SymbolRegistry& symbols,
                              const QString& text, uint32_t flags) {
  ControlParams p;
  p.text = text;
  p.flags = flags;
  auto numeric = [&](const char* name, int fallback) {
    return ParseNumeric(element, name, fallback, symbols);
  };
  switch (kind) {
    case Kind::ScrollBar:
      p.min = numeric("min", 0);
      p.max = numeric("max", 100);
      p.page = numeric("page", 10);
      break;
    case Kind::ProgressBar:
    case Kind::Spin:
      p.min = numeric("min", 0);
      p.max = numeric("max", 100);
      break;
    case Kind::TrackBar:
      p.min = numeric("min", 0);
      p.max = numeric("max", 10);
      break;
    case Kind::HyperLink:
      p.color = numeric("color", 0xFF0000);
      break;
    case Kind::Web:
    case Kind::IPAddress:
      p.flags = 0;
      break;
    default:
      break;
  }
  p.value = numeric("value", p.min);
  return p;
}

}  // namespace bxw::dialog
