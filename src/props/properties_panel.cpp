#include "props/properties_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/names.h"
#include "model/value_text.h"
#include "platform/widgets/qt_values.h"
#include "platform/xml_document.h"

namespace bxw {
namespace {

struct NameText {
  const char* name;
  const char* text;
};

// Plain tables searched linearly: a few dozen names, looked up once per row.
constexpr NameText kHelpTexts[] = {
    {"name",
     "A string identifying the object name. Used with DialogGadget() function to get control "
     "identifier (ID property)"},
    {"id", "#Number identifier of object. Can be a runtime constant. Is set to #PB_Any if empty"},
    {"disabled", "Creates the object disabled"},
    {"invisible", "Creates the object invisible"},
    {"height", "Defines 'minimum size' of a control, can be '0'"},
    {"width", "Defines 'minimum size' of a control, can be '0'"},
    {"max", "Max value"},
    {"min", "Min value"},
    {"rowspan", "Used inside 'gridbox' only, allows an element to span multiple rows"},
    {"colspan", "Used inside 'gridbox' only, allows an element to span multiple columns"},
    {"flags", "Specific set of flags for this object"},
    {"text", "Control caption / default text"},
    {"value", "Default value of control"},
    {"tooltip", "A tooltip for this control. Displayed on mouse hover (code)"},
    {"font", "A font used by this object (code)"},
    {"frontcolor", "Default text color (code)"},
    {"backcolor", "Default background color (code)"},
    {"variable", "Force variable declaration for this control (code)"},
    {"class", "Object type"},
    {"parent", "A name of object parent"},
    {"childs", "Number of nested controls object has"},
    {"onevent",
     "Generate event callback (code). Can be auto-generated (yes) or custom proc. name, also "
     "several controls may bind to the same proc."},
    {"minwidth",
     "Min allowed window width. Can be empty, '0', 'auto' or set to fixed positive value"},
    {"maxwidth",
     "Max allowed window width. Can be empty, '0', 'auto' or set to fixed positive value"},
    {"minheight",
     "Min allowed window height. Can be empty, '0', 'auto' or set to fixed positive value"},
    {"maxheight",
     "Max allowed window height. Can be empty, '0', 'auto' or set to fixed positive value"},
    {"margin", "Extra free space around nested controls (pixels)"},
    {"expand",
     "Automatically changes size of nested controls to fit all free space. 'yes' - enable resizing "
     "for all childs (default), 'no' - disabled, 'equal' - force all childs to have same size, "
     "'item:<number>' - resize only one specified child"},
    {"colexpand",
     "Automatically changes size of nested controls to fit all free space. 'yes' - enable resizing "
     "for all childs (default), 'no' - disabled, 'equal' - force all childs to have same size, "
     "'item:<number>' - resize only one specified child"},
    {"rowexpand",
     "Automatically changes size of nested controls to fit all free space. 'yes' - enable resizing "
     "for all childs, 'no' - disabled (default), 'equal' - force all childs to have same size, "
     "'item:<number>' - resize only one specified child"},
    {"spacing", "Space to add between the packed childs (pixels)"},
    {"colspacing", "Free space between columns (pixels)"},
    {"columns", "Number of columns inside this control"},
    {"rowspacing", "Free space between rows (pixels)"},
    {"align", "Defines how nested control is aligned inside container"},
    {"expandwidth", "Max width used to expand the child item"},
    {"expandheight", "Max height used to expand the child item"},
    {"group",
     "Items with same 'group' number have radio communication between them (what a joke :)"},
    {"scrolling", "Scrollbar: vertical,horizontal or both (default)"},
    {"innerheight", "Internal size of scroll area: integer value or 'auto' (default)"},
    {"innerwidth", "Internal size of scroll area: integer value or 'auto' (default)"},
    {"step", "Scrolling step: integer"},
    {"page", "Page length"},
    {"firstmin", "Sets the minimum size (in pixels) of the first child. Default is 'auto'"},
    {"secondmin", "Sets the minimum size (in pixels) of the second child. Default is 'auto'"},
};

constexpr NameText kOrderGroups[] = {
    {"name", "0"},
    {"parent", "0"},
    {"class", "0"},
    {"childs", "0"},
    {"id", "11"},
    {"text", "2"},
    {"tooltip", "2"},
    {"font", "22"},
    {"backcolor", "222"},
    {"frontcolor", "222"},
    {"invisible", "3"},
    {"disabled", "3"},
    {"onevent", "33"},
    {"variable", "33"},
    {"innerwidth", "444444"},
    {"minwidth", "444444"},
    {"innerheight", "44444"},
    {"minheight", "44444"},
    {"maxwidth", "4444"},
    {"maxheight", "444"},
    {"width", "44"},
    {"height", "4"},
    {"min", "55"},
    {"max", "5"},
    {"value", "5"},
    {"firstmin", "666"},
    {"secondmin", "666"},
    {"group", "666"},
    {"step", "666"},
    {"page", "666"},
    {"scrolling", "666"},
    {"columns", "66"},
    {"align", "6"},
    {"expand", "6"},
    {"margin", "6"},
    {"colexpand", "6"},
    {"rowexpand", "6"},
    {"colspacing", "777"},
    {"rowspacing", "777"},
    {"spacing", "777"},
    {"expandwidth", "77"},
    {"expandheight", "7"},
    {"rowspan", "8"},
    {"colspan", "8"},
};

struct NameKind {
  const char* name;
  EditorKind kind;
};

constexpr NameKind kKinds[] = {
    {"invisible", EditorKind::YesNo},    {"disabled", EditorKind::YesNo},
    {"variable", EditorKind::YesNo},     {"flags", EditorKind::Flag},
    {"text", EditorKind::Text},          {"tooltip", EditorKind::Text},
    {"id", EditorKind::Number},          {"height", EditorKind::Number},
    {"width", EditorKind::Number},       {"max", EditorKind::Number},
    {"min", EditorKind::Number},         {"value", EditorKind::Number},
    {"expandwidth", EditorKind::Number}, {"expandheight", EditorKind::Number},
    {"margin", EditorKind::Number},      {"columns", EditorKind::Number},
    {"rowspan", EditorKind::Number},     {"colspan", EditorKind::Number},
    {"spacing", EditorKind::Number},     {"colspacing", EditorKind::Number},
    {"rowspacing", EditorKind::Number},  {"group", EditorKind::Number},
    {"step", EditorKind::Number},        {"page", EditorKind::Number},
    {"align", EditorKind::Choice},       {"expand", EditorKind::Choice},
    {"colexpand", EditorKind::Choice},   {"rowexpand", EditorKind::Choice},
    {"scrolling", EditorKind::Choice},   {"onevent", EditorKind::Event},
    {"minwidth", EditorKind::Size},      {"maxwidth", EditorKind::Size},
    {"minheight", EditorKind::Size},     {"maxheight", EditorKind::Size},
    {"innerheight", EditorKind::Size},   {"innerwidth", EditorKind::Size},
    {"firstmin", EditorKind::Size},      {"secondmin", EditorKind::Size},
    {"font", EditorKind::Picker},        {"backcolor", EditorKind::Picker},
    {"frontcolor", EditorKind::Picker},  {"name", EditorKind::Info},
    {"childs", EditorKind::Info},        {"parent", EditorKind::Info},
    {"class", EditorKind::Info},
};

const char* LookUp(const NameText* begin, const NameText* end, const QString& name) {
  for (const NameText* p = begin; p != end; ++p)
    if (name == QLatin1String(p->name)) return p->text;
  return nullptr;
}


void SetBackground(QWidget* w, const QColor* colour) {
  if (!colour) {
    w->setPalette(QPalette());  // back to what the widget inherits
    return;
  }
  QPalette p = w->palette();
  p.setColor(QPalette::Base, *colour);
  w->setPalette(p);
}

void ShowSingleItem(QListWidget* list, const QString& text) {
  list->clear();
  list->addItem(text);
}

QString StripSpaces(const QString& text) {
  qsizetype b = 0, e = text.size();
  while (b < e && text[b] == QLatin1Char(' ')) ++b;
  while (e > b && text[e - 1] == QLatin1Char(' ')) --e;
  return text.mid(b, e - b);
}

QString EditorText(QWidget* editor) {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) return line->text();
  if (auto* combo = qobject_cast<QComboBox*>(editor)) return combo->currentText();
  return QString();
}

// An editable drop-down whose text equals an entry but whose current index points elsewhere
// reports that entry as picked when editing finishes (focus out); keeping the index in step
// means a text shown by code never comes back as a user's pick.
void SetComboText(QComboBox* combo, const QString& text) {
  const int i = combo->findText(text);
  if (i >= 0) combo->setCurrentIndex(i);
  if (combo->isEditable())
    combo->setEditText(text);
  else if (i < 0)
    combo->setCurrentIndex(-1);
}

void SetEditorText(QWidget* editor, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(editor))
    line->setText(text);
  else if (auto* combo = qobject_cast<QComboBox*>(editor))
    SetComboText(combo, text);
}

}  // namespace

PropertiesPanel::PropertiesPanel(PropertiesHost host) : host_(std::move(host)) {
  if (host_.area && !host_.area->widget()) host_.area->setWidget(new QWidget);
}

PropertiesPanel::~PropertiesPanel() {
  // Deleting a focused editor moves the focus; no row may react to that any more.
  index_.clear();
  // The controls belong to the rows; the scroll area may already have taken them along.
  for (auto& [name, row] : rows_) {
    delete row->editor.data();
    delete row->label.data();
  }
}

QWidget* PropertiesPanel::Content() const {
  return host_.area ? host_.area->widget() : nullptr;
}

// ---- classification ----------------------------------------------------------------------------

namespace {
const QString kKeptPrefix = QStringLiteral("kept:");
}  // namespace

QString PropertiesPanel::KeptRowName(const QString& attribute) {
  return kKeptPrefix + attribute;
}

bool PropertiesPanel::IsKeptRow(const QString& rowName) {
  return rowName.startsWith(kKeptPrefix);
}

EditorKind PropertiesPanel::EditorKindOf(const QString& rowName) {
  if (rowName.startsWith(QLatin1Char('#'))) return EditorKind::Flag;
  if (IsKeptRow(rowName)) return EditorKind::Text;
  for (const NameKind& k : kKinds)
    if (rowName == QLatin1String(k.name)) return k.kind;
  return EditorKind::Other;
}

QString PropertiesPanel::RowOrderGroup(const QString& rowName) {
  if (rowName.startsWith(QLatin1Char('#'))) return QStringLiteral("1");
  if (IsKeptRow(rowName)) return QStringLiteral("~");  // after every group of the class's own
  const char* g = LookUp(std::begin(kOrderGroups), std::end(kOrderGroups), rowName);
  return g ? QString::fromLatin1(g) : QStringLiteral("zzz");
}

QString PropertiesPanel::RowSortKey(const QString& rowName) {
  return (RowOrderGroup(rowName) + QLatin1Char('_') + rowName).toLower();
}

QString PropertiesPanel::AttributeHelpText(const QString& /*cls*/, const QString& attribute) {
  if (IsKeptRow(attribute))
    return QStringLiteral(
        "Not an attribute of this class: kept as the file wrote it. Clearing it "
        "removes it");
  const char* t = LookUp(std::begin(kHelpTexts), std::end(kHelpTexts), attribute);
  return t ? QString::fromLatin1(t) : QString();
}

QString PropertiesPanel::FontDisplayText(const QString& value) {
  const QStringList f = value.split(QLatin1Char('|'));
  if (value.count(QLatin1Char('|')) >= 2) return f.value(0) + QStringLiteral(", ") + f.value(1);
  return f.value(0);
}

const PropertyRow* PropertiesPanel::Row(const QString& name) const {
  auto it = rows_.find(name);
  return it == rows_.end() ? nullptr : it->second.get();
}

QStringList PropertiesPanel::RowNamesInOrder() const {
  std::vector<std::pair<QString, QString>> keyed;
  keyed.reserve(rows_.size());
  for (const auto& [name, row] : rows_) keyed.emplace_back(RowSortKey(name), name);
  std::sort(keyed.begin(), keyed.end());
  QStringList out;
  for (const auto& k : keyed) out << k.second;
  return out;
}

// ---- refresh -----------------------------------------------------------------------------------

void PropertiesPanel::ShowProperties(const DesignObject* object) {
  refusalShown_ = false;  // a new selection ends the word on the last refusal
  QString cls, name;
  if (object) {
    cls = object->cls;
    name = GetAttribute(*object, QStringLiteral("name"));
    QString parentCls, parentName;
    if (!object->parentKey.isEmpty()) {
      if (const DesignObject* parent = host_.tree.Find(object->parentKey)) {
        parentCls = parent->cls;
        parentName = GetAttribute(*parent, QStringLiteral("name"));
      }
    }
    FillPropertyRow(*object, QStringLiteral("class"), cls, QString());
    FillPropertyRow(*object, QStringLiteral("name"), name, QString());
    FillPropertyRow(*object, QStringLiteral("childs"), QString::number(object->children.size()),
                    QString());
    FillPropertyRow(*object, QStringLiteral("parent"), parentName, QString());

    for (const QString& a : host_.schema.ClassAttributes(cls)) {
      if (a == QLatin1String("flags")) {
        const QString flags = GetAttribute(*object, a).remove(QLatin1Char(' ')) + QLatin1Char('|');
        for (const QString& k : host_.schema.SuggestedValues(cls, a)) {
          const bool set = flags.contains(k + QLatin1Char('|'), Qt::CaseInsensitive);
          FillPropertyRow(*object, k, set ? QStringLiteral("yes") : QStringLiteral("no"), a);
        }
      } else if (a == QLatin1String("name")) {
        continue;
      } else if (a == QLatin1String("colspan") || a == QLatin1String("rowspan")) {
        // Spans mean something only to a grid parent.
        if (parentCls == QLatin1String("gridbox"))
          FillPropertyRow(*object, a, GetAttribute(*object, a), QString());
      } else {
        FillPropertyRow(*object, a, GetAttribute(*object, a), QString());
      }
    }
    for (const Attribute* kept : KeptAttributes(*object))
      FillPropertyRow(*object, KeptRowName(kept->name), kept->value, QString());
  }

  for (auto it = rows_.begin(); it != rows_.end();) {
    if (it->second->touched) {
      it->second->touched = false;
      ++it;
    } else {
      auto doomed = it++;
      DestroyRow(doomed);
    }
  }

  SetHelpText(object ? name + QStringLiteral(" (") + cls + QLatin1Char(')') : QString());
  if (host_.titleWindow)
    host_.titleWindow->setWindowTitle(object ? QStringLiteral("Properties: ") + name
                                             : QStringLiteral("Properties"));
  RelayoutProperties();
}

void PropertiesPanel::FillPropertyRow(const DesignObject& object, const QString& name,
                                      const QString& value, const QString& group) {
  const EditorKind kind = EditorKindOf(name);
  auto it = rows_.find(name);
  if (it != rows_.end() && it->second->kind != kind) {
    DestroyRow(it);
    it = rows_.end();
  }
  PropertyRow& row = it != rows_.end() ? *it->second : CreateRow(name, kind, group);
  row.objectKey = object.key;
  row.touched = true;
  row.name = name;
  row.kind = kind;
  ShowValue(row, object, value);
}

PropertyRow& PropertiesPanel::CreateRow(const QString& name, EditorKind kind,
                                        const QString& group) {
  QWidget* content = Content();
  auto row = std::make_unique<PropertyRow>();
  row->name = name;
  row->kind = kind;
  PropertyRow* r = row.get();

  QWidget* editor = nullptr;
  switch (kind) {
    case EditorKind::YesNo:
    case EditorKind::Flag: {
      auto* box = new QCheckBox(content);
      if (kind == EditorKind::Flag) row->group = group;
      connect(box, &QCheckBox::clicked, this,
              [this, box] { OnPropertyEvent(box, PropertyEvent::LeftClick); });
      editor = box;
      break;
    }
    case EditorKind::Text:
    case EditorKind::Number:
    case EditorKind::Other:
    case EditorKind::Info: {
      auto* line = new QLineEdit(content);
      if (kind == EditorKind::Other || kind == EditorKind::Info) {
        line->setReadOnly(true);
      } else {
        connect(line, &QLineEdit::textEdited, this, [this, line] {
          typing_ = true;
          OnPropertyEvent(line, PropertyEvent::Change);
          typing_ = false;
        });
      }
      editor = line;
      break;
    }
    case EditorKind::Choice:
    case EditorKind::Event:
    case EditorKind::Size: {
      auto* combo = new QComboBox(content);
      if (kind != EditorKind::Choice) {
        combo->setEditable(true);
        // Typed text is judged as typed: no completion filling in a suggestion, no list growth.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo] {
          typing_ = true;
          OnPropertyEvent(combo, PropertyEvent::Change);
          typing_ = false;
        });
      }
      connect(combo, &QComboBox::activated, this,
              [this, combo] { OnPropertyEvent(combo, PropertyEvent::Change); });
      editor = combo;
      break;
    }
    case EditorKind::Picker: {
      auto* list = new QListWidget(content);
      list->setSelectionMode(QAbstractItemView::NoSelection);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->viewport()->installEventFilter(this);
      editor = list;
      break;
    }
  }
  editor->installEventFilter(this);
  editor->setFont(host_.editorFont);
  editor->setGeometry(0, 0, 1, 1);
  editor->show();

  QString labelText = IsKeptRow(name) ? name.mid(kKeptPrefix.size()) : name;
  if (kind == EditorKind::Flag)
    labelText = group + QLatin1Char(':');
  else if (kind == EditorKind::Other || kind == EditorKind::Info)
    labelText = QStringLiteral("! ") + name;
  auto* label = new QLabel(labelText, content);
  label->setFont(host_.labelFont);
  label->setGeometry(0, 0, 1, 1);
  label->show();

  row->editor = editor;
  row->label = label;
  index_[editor] = r;
  rows_[name] = std::move(row);
  return *r;
}

void PropertiesPanel::DestroyRow(RowTable::iterator it) {
  PropertyRow& row = *it->second;
  if (QWidget* editor = row.editor.data()) {
    index_.erase(editor);
    // Deleting a focused editor sends it a focus-out; the row must not hear it any more.
    editor->removeEventFilter(this);
    if (auto* list = qobject_cast<QListWidget*>(editor)) list->viewport()->removeEventFilter(this);
    editor->disconnect(this);
    delete editor;
  }
  delete row.label.data();
  rows_.erase(it);
}

void PropertiesPanel::ShowValue(PropertyRow& row, const DesignObject& object,
                                const QString& value) {
  const QString& name = row.name;
  switch (row.kind) {
    case EditorKind::YesNo: {
      auto* box = static_cast<QCheckBox*>(row.editor.data());
      box->setChecked(value.toLower() == QLatin1String("yes"));
      box->setToolTip(AttributeHelpText(object.cls, name));
      break;
    }
    case EditorKind::Flag: {
      auto* box = static_cast<QCheckBox*>(row.editor.data());
      box->setChecked(value.toLower() == QLatin1String("yes"));
      box->setText(name);
      box->setToolTip(name);
      break;
    }
    case EditorKind::Text:
    case EditorKind::Other:
    case EditorKind::Number:
    case EditorKind::Info:
      static_cast<QLineEdit*>(row.editor.data())->setText(value);
      break;
    case EditorKind::Choice:
    case EditorKind::Event:
    case EditorKind::Size: {
      auto* combo = static_cast<QComboBox*>(row.editor.data());
      QStringList entries{QString()};
      entries << host_.schema.SuggestedValues(object.cls, name);
      if (row.kind == EditorKind::Choice) {
        qint64 count = -1;
        const bool box = object.cls == QLatin1String("hbox") || object.cls == QLatin1String("vbox");
        const bool grid = object.cls == QLatin1String("gridbox");
        if (box && name == QLatin1String("expand")) count = object.children.size();
        if (grid && name == QLatin1String("colexpand"))
          count = ValueOfText(GetAttribute(object, QStringLiteral("columns")));
        if (grid && name == QLatin1String("rowexpand")) count = object.children.size();
        // A typo such as columns="40000000" must not fill a drop-down with millions of entries.
        count = std::min<qint64>(count, kMaxGeneratedItems);
        for (qint64 i = 1; i <= count; ++i) entries << QStringLiteral("item:") + QString::number(i);
      }
      combo->clear();
      combo->addItems(entries);
      SetComboText(combo, value);
      break;
    }
    case EditorKind::Picker: {
      auto* list = static_cast<QListWidget*>(row.editor.data());
      list->setToolTip(AttributeHelpText(object.cls, name));
      if (name == QLatin1String("font")) {
        ShowSingleItem(list, FontDisplayText(value));
      } else {
        ShowSingleItem(list, QString());
        if (value.isEmpty()) {
          SetBackground(list, nullptr);
        } else {
          const QColor c = QColorOfPlatformColour(ValueOfText(value));
          SetBackground(list, &c);
        }
      }
      break;
    }
  }
}

void PropertiesPanel::SetHelpText(const QString& text) {
  if (host_.helpText) host_.helpText->setText(text);
}

// ---- layout ------------------------------------------------------------------------------------

void PropertiesPanel::RelayoutProperties() {
  QWidget* content = Content();
  if (!content) return;
  const LayoutMetrics& m = host_.metrics;
  const int count = static_cast<int>(rows_.size());
  const int scrollBar =
      host_.area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, host_.area);
  content->resize(host_.area->width() - (m.propertiesLeftMargin + scrollBar),
                  m.propertiesTopMargin + count * m.propertiesRowHeight);
  const int w = content->width();
  const int labelWidth =
      static_cast<int>(std::lround(w * LayoutMetrics::kColumnFactor1 - m.propertiesLeftMargin));
  const int editorWidth = static_cast<int>(std::lround(w * LayoutMetrics::kColumnFactor2));

  QWidget* previous = nullptr;
  int i = 0;
  for (const QString& name : RowNamesInOrder()) {
    const PropertyRow& row = *rows_.at(name);
    const int y = m.propertiesTopMargin + i * m.propertiesRowHeight;
    // Untouched geometry is left alone so that a refresh does not repaint every row.
    const QRect labelRect(m.propertiesLeftMargin, y + 2, labelWidth, m.propertiesControlHeight);
    const QRect editorRect(labelWidth + m.propertiesLeftMargin, y, editorWidth,
                           m.propertiesControlHeight);
    if (row.label && row.label->geometry() != labelRect) row.label->setGeometry(labelRect);
    if (row.editor) {
      if (row.editor->geometry() != editorRect) row.editor->setGeometry(editorRect);
      if (previous) QWidget::setTabOrder(previous, row.editor);
      previous = row.editor;
    }
    ++i;
  }
}

// ---- editing -----------------------------------------------------------------------------------

bool PropertiesPanel::PassWheelOn(QObject* watched, QEvent* event) {
  QObject* editor = index_.count(watched) ? watched : nullptr;
  if (!editor && watched->parent() && index_.count(watched->parent()))
    editor = watched->parent();  // a list's viewport
  auto* widget = qobject_cast<QWidget*>(editor);
  if (!widget || widget->hasFocus() || !host_.area) return false;
  QApplication::sendEvent(host_.area->verticalScrollBar(), event);
  return true;
}

bool PropertiesPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel:
      if (PassWheelOn(watched, event)) return true;
      break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      // A drop-down's own popup takes and gives back the focus; that is not the user leaving.
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) break;
      if (index_.count(watched))
        OnPropertyEvent(watched, event->type() == QEvent::FocusIn ? PropertyEvent::FocusGained
                                                                  : PropertyEvent::FocusLost);
      break;
    }
    case QEvent::MouseButtonRelease: {
      QObject* list = watched->parent();
      if (!list || !index_.count(list)) break;
      auto* mouse = static_cast<QMouseEvent*>(event);
      auto* viewport = static_cast<QWidget*>(watched);
      if (!viewport->rect().contains(mouse->position().toPoint())) break;
      if (mouse->button() == Qt::LeftButton)
        OnPropertyEvent(list, PropertyEvent::LeftClick);
      else if (mouse->button() == Qt::RightButton)
        OnPropertyEvent(list, PropertyEvent::RightClick);
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void PropertiesPanel::OnPropertyEvent(QObject* control, PropertyEvent type) {
  auto found = index_.find(control);
  if (found == index_.end()) return;
  PropertyRow& row = *found->second;
  // The row may outlive its object for a moment (deleted or renamed before the next refresh).
  const DesignObject* object = host_.tree.Find(row.objectKey);
  if (!object) return;

  if (type == PropertyEvent::FocusGained) {
    if (!refusalShown_) SetHelpText(AttributeHelpText(object->cls, row.name));
    if (row.label) {
      const int base = host_.random.Uniform(80, 180);
      const int r = base + host_.random.Uniform(0, 24);
      const int g = base + host_.random.Uniform(0, 24);
      const int b = base + host_.random.Uniform(0, 24);
      QPalette p = row.label->palette();
      p.setColor(QPalette::WindowText, QColor(r, g, b));
      row.label->setPalette(p);
    }
  } else if (type == PropertyEvent::FocusLost) {
    if (!refusalShown_)
      SetHelpText(GetAttribute(*object, QStringLiteral("name")) + QStringLiteral(" (") +
                  object->cls + QLatin1Char(')'));
    if (row.label) row.label->setPalette(QPalette());
  }
  HandleEdit(row, *object, type);
}

void PropertiesPanel::Schedule(int delayMs) {
  if (host_.schedulePreviewRebuild) host_.schedulePreviewRebuild(delayMs);
}

void PropertiesPanel::ShowRefusal(const QString& why) {
  SetHelpText(why);
  refusalShown_ = true;
}

void PropertiesPanel::Refuse(PropertyRow& row, const DesignObject& object, const QString& why) {
  SetEditorText(row.editor.data(), GetAttribute(object, row.name));
  ShowRefusal(why);
}

void PropertiesPanel::Store(const DesignObject& object, const QString& attribute,
                            const QString& value) {
  if (refusalShown_) {
    // An accepted value ends the word on the last refusal.
    refusalShown_ = false;
    SetHelpText(AttributeHelpText(object.cls, attribute));
  }
  if (!host_.setAttribute) return;
  SetAttributeEdit edit;
  edit.key = object.key;
  edit.kept = IsKeptRow(attribute);
  edit.name = edit.kept ? attribute.mid(kKeptPrefix.size()) : attribute;
  edit.value = value;
  edit.typed = typing_;
  host_.setAttribute(std::move(edit));
}

void PropertiesPanel::HandleEdit(PropertyRow& row, const DesignObject& object, PropertyEvent type) {
  QWidget* editor = row.editor.data();
  if (!editor) return;
  const QString& a = row.name;
  switch (row.kind) {
    case EditorKind::YesNo:
      if (type != PropertyEvent::LeftClick) return;
      Store(object, a,
            static_cast<QCheckBox*>(editor)->isChecked() ? QStringLiteral("yes")
                                                         : QStringLiteral("no"));
      Schedule(1);
      return;
    case EditorKind::Flag: {
      if (type != PropertyEvent::LeftClick) return;
      QString flags = GetAttribute(object, row.group).remove(QLatin1Char(' ')) + QLatin1Char('|');
      const QString token = a + QLatin1Char('|');
      const bool present = flags.contains(token, Qt::CaseInsensitive);
      const bool ticked = static_cast<QCheckBox*>(editor)->isChecked();
      if (ticked && !present) flags += QLatin1Char('|') + a;
      if (!ticked && present) flags.replace(token, QString(), Qt::CaseInsensitive);
      flags.replace(QStringLiteral("||"), QStringLiteral("|"));
      qsizetype b = 0, e = flags.size();
      while (b < e && flags[b] == QLatin1Char('|')) ++b;
      while (e > b && flags[e - 1] == QLatin1Char('|')) --e;
      Store(object, row.group, flags.mid(b, e - b));
      Schedule(1);
      return;
    }
    case EditorKind::Text:
    case EditorKind::Choice: {
      if (type != PropertyEvent::Change) return;
      const QString v = EditorText(editor);
      if (!IsXmlText(v)) {
        Refuse(row, object,
               QStringLiteral("Only text that a dialog file can hold is accepted here: no "
                              "control characters."));
        return;
      }
      Store(object, a, v);
      Schedule(row.kind == EditorKind::Text ? 1000 : 1);
      return;
    }
    case EditorKind::Other:
    case EditorKind::Info:
      return;
    case EditorKind::Number:
    case EditorKind::Size: {
      if (type != PropertyEvent::Change) return;
      QString v = EditorText(editor);
      if (row.kind == EditorKind::Number) v = StripSpaces(v);
      if (v == QLatin1String("-")) v.clear();
      if (v.isEmpty() || IsIntegerText(v)) {
        Store(object, a, v);
        Schedule(1000);
      } else if (row.kind == EditorKind::Size && host_.schema.IsSuggestedValue(object.cls, a, v)) {
        Store(object, a, v);
        Schedule(1);
      } else if (row.kind == EditorKind::Number) {
        Refuse(row, object, QStringLiteral("Only whole numbers are accepted here."));
      } else {
        QStringList words;
        for (const QString& w : host_.schema.SuggestedValues(object.cls, a))
          words << QLatin1Char('\'') + w + QLatin1Char('\'');
        Refuse(row, object,
               words.isEmpty()
                   ? QStringLiteral("Only whole numbers are accepted here.")
                   : QStringLiteral("Only whole numbers or ") + words.join(QStringLiteral(", ")) +
                         QStringLiteral(" are accepted here."));
      }
      return;
    }
    case EditorKind::Event: {
      if (type != PropertyEvent::Change) return;
      const QString v = EditorText(editor);
      if (v.isEmpty() || IsIdentifierText(v)) {
        Store(object, a, v);
        Schedule(1000);
      } else {
        Refuse(row, object,
               QStringLiteral("Only a procedure name is accepted here: letters, digits and _, "
                              "not starting with a digit."));
      }
      return;
    }
    case EditorKind::Picker:
      if (type == PropertyEvent::RightClick) {
        ClearPicker(row, object);
      } else if (type == PropertyEvent::LeftClick) {
        if (a == QLatin1String("font"))
          PickFont(row, object);
        else
          PickColour(row, object);
      }
      return;
  }
}

void PropertiesPanel::PickFont(PropertyRow& row, const DesignObject& object) {
  auto* list = static_cast<QListWidget*>(row.editor.data());
  const QString stored = GetAttribute(object, row.name);
  const QStringList fields = stored.split(QLatin1Char('|'));
  const qint64 style = ValueOfText(fields.value(2));
  FontChoice initial;
  initial.face = fields.value(0);
  initial.size = static_cast<int>(std::clamp<qint64>(ValueOfText(fields.value(1)), 0, 10000));
  const FontStyle initialStyle = FontStyleOfBits(style);
  initial.bold = initialStyle.bold;
  initial.italic = initialStyle.italic;
  initial.underline = initialStyle.underline;
  initial.strikeOut = initialStyle.strikeOut;
  const std::optional<FontChoice> chosen = host_.requesters.ChooseFont(initial);
  // Cancelling the requester removes the font, as the right click does.
  QString value;
  if (chosen && !chosen->face.isEmpty()) {
    const int newStyle =
        FontStyleBits({chosen->bold, chosen->italic, chosen->underline, chosen->strikeOut});
    value = chosen->face + QLatin1Char('|') + QString::number(chosen->size) + QLatin1Char('|') +
            QString::number(newStyle);
  }
  Store(object, row.name, value);
  Schedule(1);
  ShowSingleItem(list, FontDisplayText(value));
}

void PropertiesPanel::PickColour(PropertyRow& row, const DesignObject& object) {
  auto* list = static_cast<QListWidget*>(row.editor.data());
  list->clearSelection();
  qint64 initial = ValueOfText(GetAttribute(object, row.name));
  if (initial == -1) initial = 0;
  const int result = host_.requesters.ChooseColour(static_cast<int>(initial & 0xFFFFFFFF));
  // -1 is a cancelled requester: the colour is removed.
  if (result == -1) {
    Store(object, row.name, QString());
    SetBackground(list, nullptr);
    Schedule(1);
    return;
  }
  const QString hex = QString::number(static_cast<quint32>(result), 16).toUpper();
  Store(object, row.name, QLatin1Char('$') + hex);
  const QColor c = QColorOfPlatformColour(result);
  SetBackground(list, &c);
  Schedule(1);
}

void PropertiesPanel::ClearPicker(PropertyRow& row, const DesignObject& object) {
  auto* list = static_cast<QListWidget*>(row.editor.data());
  Store(object, row.name, QString());
  ShowSingleItem(list, QString());
  SetBackground(list, nullptr);
  Schedule(1);
}

}  // namespace bxw
