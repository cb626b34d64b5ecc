#include "model/class_schema.h"

namespace bxw {
namespace {

QStringList Split(const char* list) {
  QStringList out;
  for (const QString& s : QString::fromLatin1(list).split(QLatin1Char(','), Qt::SkipEmptyParts))
    out << s.trimmed();
  return out;
}

QStringList Prefixed(const char* prefix, const char* list) {
  QStringList out;
  for (const QString& s : Split(list)) out << QString::fromLatin1(prefix) + s;
  return out;
}

struct ClassRow {
  const char* cls;
  const char* attributes;
};

// Attribute order per class. Differences between classes are deliberate (see editor, frame,
// progressbar, multibox, explorercombo).
constexpr ClassRow kClasses[] = {
    {"dialogs", "font"},
    {"window",
     "name, id, text, height, width, flags, minwidth, maxwidth, minheight, maxheight, margin"},
    {"hbox", "name, height, width, rowspan, colspan, align, expand, spacing"},
    {"vbox", "name, height, width, rowspan, colspan, align, expand, spacing"},
    {"gridbox",
     "name, height, width, rowspan, colspan, columns, colspacing, rowspacing, colexpand, "
     "rowexpand"},
    {"multibox", "name, id, height, width, rowspan, colspan, tooltip"},
    {"singlebox",
     "name, height, width, rowspan, colspan, align, expand, expandheight, expandwidth, margin"},
    {"button",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, font"},
    {"buttonimage",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, font"},
    {"calendar",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"canvas",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable"},
    {"checkbox",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, font"},
    {"combobox",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, font"},
    {"container",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor"},
    {"date",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"editor",
     "name, id, text, disabled, invisible, height, width, rowspan, colspan, flags, onevent, "
     "tooltip, variable, backcolor, frontcolor, font"},
    {"empty", "name, height, width, rowspan, colspan"},
    {"explorercombo",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, variable, "
     "font"},
    {"explorerlist",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"explorertree",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"frame",
     "name, id, disabled, invisible, height, width, rowspan, colspan, text, flags, variable, font"},
    {"hyperlink",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, backcolor, frontcolor, font"},
    {"image",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, font"},
    {"ipaddress",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, font"},
    {"listicon",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, backcolor, frontcolor, font"},
    {"listview",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"option",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, group, "
     "tooltip, variable, font"},
    {"panel",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, font"},
    {"progressbar",
     "name, id, disabled, invisible, height, width, max, min, value, rowspan, colspan, flags, "
     "tooltip, variable, backcolor, frontcolor, font"},
    {"scintilla", "name, id, disabled, invisible, height, width, rowspan, colspan, flags"},
    {"scrollarea",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, scrolling, "
     "innerheight, innerwidth, step, tooltip, variable, backcolor"},
    {"scrollbar",
     "name, id, disabled, invisible, height, width, max, min, value, rowspan, colspan, flags, "
     "onevent, page, tooltip, variable"},
    {"spin",
     "name, id, disabled, invisible, height, width, max, min, value, rowspan, colspan, flags, "
     "onevent, tooltip, variable, backcolor, frontcolor, font"},
    {"splitter",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, firstmin, secondmin, "
     "tooltip, variable"},
    {"string",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, onevent, "
     "tooltip, variable, backcolor, frontcolor, font"},
    {"tab", "name, height, width, text"},
    {"text",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, text, variable, "
     "backcolor, frontcolor, font"},
    {"trackbar",
     "name, id, disabled, invisible, height, width, max, min, value, rowspan, colspan, flags, "
     "onevent, tooltip, variable"},
    {"tree",
     "name, id, disabled, invisible, height, width, rowspan, colspan, flags, onevent, tooltip, "
     "variable, backcolor, frontcolor, font"},
    {"web", "name, id, disabled, invisible, height, width, rowspan, colspan, flags, variable"},
};

struct FactsRow {
  const char* cls;
  ClassFacts facts;
};

constexpr ClassFacts kLeafWithText{.newTextIsName = true, .newOnEvent = true};
constexpr ClassFacts kLeafWithEvent{.newOnEvent = true};
constexpr ClassFacts kLeafWithVariable{.newVariable = true};
constexpr ClassFacts kBox{.capacity = -1};

// Classes whose facts are not those of a plain leaf.
constexpr FactsRow kFacts[] = {
    {"dialogs", {.capacity = -1, .onlyChild = "window"}},
    {"window",
     {.capacity = 1,
      .onlyParent = "dialogs",
      .newFlags = "#PB_Window_SystemMenu",
      .newTextIsName = true}},
    {"hbox", kBox},
    {"vbox", kBox},
    {"gridbox", kBox},
    {"multibox", kBox},
    {"singlebox", {.capacity = 1}},
    {"container", {.capacity = 1, .newVariable = true}},
    {"frame", {.capacity = 1, .newTextIsName = true, .newVariable = true}},
    {"panel", {.capacity = -1, .onlyChild = "tab", .newOnEvent = true}},
    {"scrollarea", {.capacity = 1, .newOnEvent = true}},
    {"splitter", {.capacity = 2, .newVariable = true}},
    {"tab", {.capacity = 1, .onlyParent = "panel", .newTextIsName = true, .newVariable = true}},
    {"button", kLeafWithText},
    {"buttonimage", kLeafWithText},
    {"checkbox", kLeafWithText},
    {"hyperlink", kLeafWithText},
    {"listicon", kLeafWithText},
    {"option", kLeafWithText},
    {"string", kLeafWithText},
    {"calendar", kLeafWithEvent},
    {"canvas", kLeafWithEvent},
    {"combobox", kLeafWithEvent},
    {"date", kLeafWithEvent},
    {"editor", kLeafWithEvent},
    {"explorercombo", kLeafWithEvent},
    {"explorerlist", kLeafWithEvent},
    {"explorertree", kLeafWithEvent},
    {"image", kLeafWithEvent},
    {"ipaddress", kLeafWithEvent},
    {"listview", kLeafWithEvent},
    {"scintilla", kLeafWithEvent},
    {"scrollbar", kLeafWithEvent},
    {"spin", kLeafWithEvent},
    {"trackbar", kLeafWithEvent},
    {"tree", kLeafWithEvent},
    {"text", {.newTextIsName = true, .newVariable = true}},
    {"progressbar", kLeafWithVariable},
    {"web", kLeafWithVariable},
};

struct FlagRow {
  const char* cls;
  const char* flags;  // without the "#PB_" prefix
};

constexpr FlagRow kFlags[] = {
    {"window",
     "Window_SystemMenu, Window_MinimizeGadget, Window_SizeGadget, Window_MaximizeGadget, "
     "Window_Invisible, Window_TitleBar, Window_Tool, Window_BorderLess, Window_ScreenCentered, "
     "Window_WindowCentered, Window_Maximize, Window_Minimize, Window_NoActivate"},
    {"button", "Button_Default, Button_Left, Button_MultiLine, Button_Right, Button_Toggle"},
    {"buttonimage", "Button_Toggle"},
    {"calendar", "Calendar_Borderless"},
    {"canvas", "Canvas_Border, Canvas_ClipMouse, Canvas_Keyboard, Canvas_DrawFocus"},
    {"checkbox", "CheckBox_Right, CheckBox_Center, CheckBox_ThreeState"},
    {"combobox", "ComboBox_Editable, ComboBox_LowerCase, ComboBox_UpperCase, ComboBox_Image"},
    {"container",
     "Container_BorderLess, Container_Flat, Container_Raised, Container_Single, Container_Double"},
    {"date", "Date_UpDown"},
    {"editor", "Editor_ReadOnly, Editor_WordWrap"},
    {"explorercombo", "Explorer_DrivesOnly, Explorer_Editable, Explorer_NoMyDocuments"},
    {"explorerlist",
     "Explorer_BorderLess, Explorer_AlwaysShowSelection, Explorer_MultiSelect, Explorer_GridLines, "
     "Explorer_HeaderDragDrop, Explorer_FullRowSelect, Explorer_NoFolders, "
     "Explorer_NoParentFolder, Explorer_NoSort, Explorer_NoDriveRequester, Explorer_NoMyDocuments, "
     "Explorer_AutoSort, Explorer_HiddenFiles"},
    {"explorertree",
     "Explorer_BorderLess, Explorer_AlwaysShowSelection, Explorer_NoLines, Explorer_NoButtons, "
     "Explorer_NoFiles, Explorer_NoDriveRequester, Explorer_NoMyDocuments, Explorer_AutoSort"},
    {"frame", "Frame_Single, Frame_Double, Frame_Flat"},
    {"hyperlink", "HyperLink_Underline"},
    {"image", "Image_Border, Image_Raised"},
    {"listicon",
     "ListIcon_CheckBoxes, ListIcon_ThreeState, ListIcon_MultiSelect, ListIcon_GridLines, "
     "ListIcon_FullRowSelect, ListIcon_HeaderDragDrop, ListIcon_AlwaysShowSelection"},
    {"listview", "ListView_MultiSelect, ListView_ClickSelect"},
    {"progressbar", "ProgressBar_Smooth, ProgressBar_Vertical"},
    {"scrollarea",
     "ScrollArea_Flat, ScrollArea_Raised, ScrollArea_Single, ScrollArea_BorderLess, "
     "ScrollArea_Center"},
    {"scrollbar", "ScrollBar_Vertical"},
    {"spin", "Spin_ReadOnly, Spin_Numeric"},
    {"splitter",
     "Splitter_Vertical, Splitter_Separator, Splitter_FirstFixed, Splitter_SecondFixed"},
    {"string",
     "String_Numeric, String_Password, String_ReadOnly, String_LowerCase, String_UpperCase, "
     "String_BorderLess"},
    {"text", "Text_Center, Text_Right, Text_Border"},
    {"trackbar", "TrackBar_Ticks, TrackBar_Vertical"},
    {"tree",
     "Tree_AlwaysShowSelection, Tree_NoLines, Tree_NoButtons, Tree_CheckBoxes, Tree_ThreeState"},
};

constexpr const char* kListEvents =
    "LeftClick, LeftDoubleClick, RightClick, RightDoubleClick, Change, DragStart";
constexpr const char* kExplorerEvents =
    "Change, LeftClick, RightClick, LeftDoubleClick, RightDoubleClick, DragStart";

struct EventRow {
  const char* cls;
  const char* prefix;
  const char* events;
};

constexpr EventRow kEvents[] = {
    {"window", "#PB_Event_",
     "Menu, Gadget, SysTray, Timer, CloseWindow, Repaint, SizeWindow, MoveWindow, MinimizeWindow, "
     "MaximizeWindow, RestoreWindow, ActivateWindow, DeactivateWindow, WindowDrop, GadgetDrop, "
     "RightClick, LeftClick, LeftDoubleClick"},
    {"canvas", "#PB_EventType_",
     "MouseEnter, MouseLeave, MouseMove, MouseWheel, LeftButtonDown, LeftButtonUp, LeftClick, "
     "LeftDoubleClick, RightButtonDown, RightButtonUp, RightClick, RightDoubleClick, "
     "MiddleButtonDown, MiddleButtonUp, Focus, LostFocus, KeyDown, KeyUp, Input"},
    {"combobox", "#PB_EventType_", "Change, Focus, LostFocus"},
    {"container", "#PB_EventType_", "Resize"},
    {"date", "#PB_EventType_", "Change"},
    {"editor", "#PB_EventType_", "Change, Focus, LostFocus"},
    {"explorerlist", "#PB_EventType_", kExplorerEvents},
    {"explorertree", "#PB_EventType_", kExplorerEvents},
    {"hyperlink", "#PB_EventType_", "LeftClick"},
    {"image", "#PB_EventType_",
     "LeftClick, RightClick, LeftDoubleClick, RightDoubleClick, DragStart"},
    {"listicon", "#PB_EventType_", kListEvents},
    {"listview", "#PB_EventType_", "LeftClick, LeftDoubleClick, RightClick"},
    {"panel", "#PB_EventType_", "Change, Resize"},
    {"scrollarea", "#PB_EventType_", "Resize"},
    {"spin", "#PB_EventType_", "Change, Up, Down"},
    {"string", "#PB_EventType_", "Change, Focus, LostFocus"},
    {"tree", "#PB_EventType_", kListEvents},
    {"web", "#PB_EventType_",
     "TitleChange, StatusChange, DownloadStart, DownloadProgress, DownloadEnd, PopupWindow, "
     "PopupMenu"},
};

}  // namespace

void ClassSchema::AddClass(const QString& cls, const char* attributes) {
  ClassRecord& r = classes_[cls];
  for (const QString& a : Split(attributes)) {
    if (r.attributeSet.contains(a)) continue;
    r.attributes << a;
    r.attributeSet.insert(a);
  }
}

void ClassSchema::AddSuggestions(const QString& cls, const QString& attribute,
                                 const QStringList& values) {
  auto it = classes_.find(cls);
  if (it == classes_.end() || !it->attributeSet.contains(attribute)) return;
  SuggestedValueList& list = it->suggested[attribute];
  for (const QString& v : values) {
    if (list.set.contains(v)) continue;
    list.values << v;
    list.set.insert(v);
  }
}

void ClassSchema::AddEvents(const QString& cls, const QStringList& events) {
  classes_[cls].events << events;
}

const ClassFacts& FactsOfClass(const QString& cls) {
  static const QHash<QString, const ClassFacts*> facts = [] {
    QHash<QString, const ClassFacts*> h;
    for (const FactsRow& row : kFacts) h.insert(QString::fromLatin1(row.cls), &row.facts);
    return h;
  }();
  static constexpr ClassFacts kPlain{};
  const auto it = facts.constFind(cls);
  return it == facts.constEnd() ? kPlain : **it;
}

ClassSchema::ClassSchema() {
  BuildClassSchema();
}

void ClassSchema::BuildClassSchema() {
  for (const ClassRow& row : kClasses) AddClass(QString::fromLatin1(row.cls), row.attributes);
  for (const FactsRow& row : kFacts) classes_[QString::fromLatin1(row.cls)].facts = row.facts;

  const QStringList auto_{QStringLiteral("auto")};
  const QStringList aligns = Split("top/left, top/right, bottom/left, bottom/right, center");
  const QStringList boxExpand = Split("yes, no, equal");
  for (const char* a : {"minwidth", "maxwidth", "minheight", "maxheight"})
    AddSuggestions(QStringLiteral("window"), QString::fromLatin1(a), auto_);
  for (const char* c : {"hbox", "vbox"}) {
    AddSuggestions(QString::fromLatin1(c), QStringLiteral("align"), aligns);
    AddSuggestions(QString::fromLatin1(c), QStringLiteral("expand"), boxExpand);
  }
  AddSuggestions(QStringLiteral("gridbox"), QStringLiteral("colexpand"), boxExpand);
  AddSuggestions(QStringLiteral("gridbox"), QStringLiteral("rowexpand"), boxExpand);
  AddSuggestions(QStringLiteral("singlebox"), QStringLiteral("align"), aligns);
  AddSuggestions(QStringLiteral("singlebox"), QStringLiteral("expand"),
                 Split("yes, no, vertical, horizontal"));
  AddSuggestions(QStringLiteral("scrollarea"), QStringLiteral("scrolling"),
                 Split("vertical, horizontal, both"));
  AddSuggestions(QStringLiteral("scrollarea"), QStringLiteral("innerheight"), auto_);
  AddSuggestions(QStringLiteral("scrollarea"), QStringLiteral("innerwidth"), auto_);
  AddSuggestions(QStringLiteral("splitter"), QStringLiteral("firstmin"), auto_);
  AddSuggestions(QStringLiteral("splitter"), QStringLiteral("secondmin"), auto_);
  for (const ClassRow& row : kClasses) {
    const QString cls = QString::fromLatin1(row.cls);
    if (classes_[cls].attributeSet.contains(QStringLiteral("onevent")))
      AddSuggestions(cls, QStringLiteral("onevent"), {QStringLiteral("yes")});
  }
  for (const FlagRow& row : kFlags)
    AddSuggestions(QString::fromLatin1(row.cls), QStringLiteral("flags"),
                   Prefixed("#PB_", row.flags));
  for (const EventRow& row : kEvents)
    AddEvents(QString::fromLatin1(row.cls), Prefixed(row.prefix, row.events));
}

const ClassRecord* ClassSchema::Find(const QString& cls) const {
  auto it = classes_.constFind(cls);
  return it == classes_.constEnd() ? nullptr : &*it;
}

bool ClassSchema::IsKnownClass(const QString& cls) const {
  return classes_.contains(cls);
}

bool ClassSchema::ClassHasAttribute(const QString& cls, const QString& attribute) const {
  const ClassRecord* r = Find(cls);
  return r && r->attributeSet.contains(attribute);
}

void ClassSchema::ClassAttributes(const QString& cls, QStringList& out) const {
  out.clear();
  if (const ClassRecord* r = Find(cls)) out = r->attributes;
}

void ClassSchema::SuggestedValues(const QString& cls, const QString& attribute,
                                  QStringList& out) const {
  out.clear();
  const ClassRecord* r = Find(cls);
  if (!r) return;
  auto it = r->suggested.constFind(attribute);
  if (it != r->suggested.constEnd()) out = it->values;
}

bool ClassSchema::IsSuggestedValue(const QString& cls, const QString& attribute,
                                   const QString& value) const {
  const ClassRecord* r = Find(cls);
  if (!r) return false;
  auto it = r->suggested.constFind(attribute);
  return it != r->suggested.constEnd() && it->set.contains(value);
}

void ClassSchema::ClassEvents(const QString& cls, QStringList& out) const {
  out.clear();
  if (const ClassRecord* r = Find(cls)) out = r->events;
}

QStringList ClassSchema::ClassAttributes(const QString& cls) const {
  QStringList out;
  ClassAttributes(cls, out);
  return out;
}

QStringList ClassSchema::SuggestedValues(const QString& cls, const QString& attribute) const {
  QStringList out;
  SuggestedValues(cls, attribute, out);
  return out;
}

QStringList ClassSchema::ClassEvents(const QString& cls) const {
  QStringList out;
  ClassEvents(cls, out);
  return out;
}

QString ClassForAddCommand(int command) {
  static const char* const kByCommand[] = {
      "window",      "hbox",       "vbox",      "gridbox",       "multibox",     "singlebox",
      "container",   "scrollarea", "frame",     "splitter",      "panel",        "button",
      "buttonimage", "checkbox",   "option",    "editor",        "string",       "text",
      "scintilla",   "ipaddress",  "hyperlink", "canvas",        "image",        "combobox",
      "listicon",    "listview",   "tree",      "explorercombo", "explorerlist", "explorertree",
      "scrollbar",   "trackbar",   "spin",      "date",          "calendar",     "progressbar",
      "web",         "tab",        "empty"};
  if (command < 14 || command > 52) return QString();
  return QString::fromLatin1(kByCommand[command - 14]);
}

}  // namespace bxw
