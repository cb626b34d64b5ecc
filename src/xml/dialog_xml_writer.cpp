// Concatenations below build each piece in one allocation.
#define QT_USE_QSTRINGBUILDER
#include "xml/dialog_xml_writer.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "model/value_text.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kWindow = QStringLiteral("window");
const QString kGridbox = QStringLiteral("gridbox");
const QString kName = QStringLiteral("name");
const QString kFlags = QStringLiteral("flags");
const QString kInvisible = QStringLiteral("#PB_Window_Invisible");

// The lengths are known at compile time, so most names are turned away on their length alone.
template <std::size_t... N>
bool IsOneOf(const QString& s, const char (&... items)[N]) {
  return ((s.size() == qsizetype(N - 1) && s == QLatin1String(items, qsizetype(N - 1))) || ...);
}

bool IsDesignerOnly(const QString& a) {
  return IsOneOf(a, "onevent", "frontcolor", "backcolor", "font", "tooltip", "variable");
}

bool HasZeroDefault(const QString& a) {
  return IsOneOf(a, "height", "width", "max", "min", "value", "minwidth", "maxwidth", "minheight",
                 "maxheight", "expandheight", "expandwidth", "group");
}

bool HasNoDefault(const QString& a) {
  return IsOneOf(a, "disabled", "invisible", "variable", "onevent");
}

// v == DefaultAttributeValue(cls, a), without building the default: only "0" and "no" can match
// a non-empty value, so the attribute name is looked at only for those two.
bool IsDefaultValue(const QString& a, const QString& v) {
  if (v.size() == 1 && v.front() == QLatin1Char('0')) return HasZeroDefault(a);
  if (v.size() == 2 && v == QLatin1String("no")) return HasNoDefault(a);
  return v.isEmpty() && !HasZeroDefault(a) && !HasNoDefault(a);
}

QString DesignerOnlyName(const QString& a) {
  if (a == QLatin1String("onevent")) return QStringLiteral("bxwevents");
  return QStringLiteral("bxw") + a;
}

bool IsHorizontalSize(const QString& a) {
  return IsOneOf(a, "width", "minwidth", "maxwidth", "colspacing", "expandwidth", "innerwidth");
}

bool IsVerticalSize(const QString& a) {
  return IsOneOf(a, "height", "minheight", "maxheight", "spacing", "rowspacing", "expandheight",
                 "margin", "innerheight", "firstmin", "secondmin");
}

// V x scale, to the nearest integer with halves to even (the default floating-point rounding).
QString ScaledText(const QString& value, double scale) {
  double scaled = static_cast<double>(ValueOfText(value)) * scale;
  constexpr double kLimit = 9.0e18;  // keep the conversion back to an integer defined
  scaled = std::clamp(scaled, -kLimit, kLimit);
  return QString::number(static_cast<qint64>(std::nearbyint(scaled)));
}

// "[inner]" cut or padded to 16 characters, written in place.
QString Tag(const QString& inner) {
  constexpr qsizetype kWidth = 16;
  QString tag(kWidth, QLatin1Char(' '));
  char16_t* d = reinterpret_cast<char16_t*>(tag.data());
  const QStringView view(inner);
  const qsizetype n = std::min(view.size(), kWidth - 1);
  d[0] = u'[';
  for (qsizetype i = 0; i < n; ++i) d[i + 1] = view[i].unicode();
  if (n + 1 < kWidth) d[n + 1] = u']';
  return tag;
}

}  // namespace

// ---- preview styling --------------------------------------------------------------------------

void RememberPreviewFont(PreviewTables& tables, const QString& gadgetName, const QString& face,
                         int size, int style) {
  const QString key =
      face + QLatin1Char('|') + QString::number(size) + QLatin1Char('|') + QString::number(style);
  auto it = tables.PreviewFont.find(key);
  if (it == tables.PreviewFont.end()) {
    PreviewFontEntry entry;
    entry.face = face;
    entry.size = size;
    entry.style = style;
    it = tables.PreviewFont.insert(key, entry);
  }
  it->inUse = true;
  tables.PreviewStyle[gadgetName].fontKey = key;
}

void RememberPreviewColour(PreviewTables& tables, const QString& gadgetName, qint64 colour,
                           int which) {
  PreviewStyleEntry& style = tables.PreviewStyle[gadgetName];
  if (which == 1) {
    style.frontColour = colour;
    style.hasFrontColour = true;
  } else {
    style.backColour = colour;
    style.hasBackColour = true;
  }
}

void RememberPreviewTooltip(PreviewTables& tables, const QString& gadgetName,
                            const QString& tooltip) {
  tables.PreviewStyle[gadgetName].tooltip = tooltip;
}

// ---- code-export collection -------------------------------------------------------------------

void CodeExportTables::Clear() {
  CodeLines.clear();
  EventCallbacks.clear();
  GadgetVariables.clear();
  FontTable.clear();
  ColourValues.clear();
}

QString EscapePureBasicString(const QString& text) {
  // Measured first, then written through a pointer into a string of the exact size; a text
  // without anything to escape is shared as it is.
  auto escapeOf = [](char16_t c) -> char16_t {
    switch (c) {
      case 7:
        return u'a';
      case 8:
        return u'b';
      case 9:
        return u't';
      case 10:
        return u'n';
      case 11:
        return u'v';
      case 12:
        return u'f';
      case 13:
        return u'r';
      case '"':
        return u'"';
      case '\\':
        return u'\\';
      default:
        return 0;
    }
  };
  const QStringView all(text);
  const char16_t* data = all.utf16();
  qsizetype escapes = 0;
  for (qsizetype i = 0; i < all.size(); ++i) escapes += escapeOf(data[i]) != 0;
  if (escapes == 0) return text;
  QString out(all.size() + escapes, Qt::Uninitialized);
  char16_t* o = reinterpret_cast<char16_t*>(out.data());
  for (qsizetype i = 0; i < all.size(); ++i) {
    const char16_t escape = escapeOf(data[i]);
    if (escape) {
      *o++ = u'\\';
      *o++ = escape;
    } else {
      *o++ = data[i];
    }
  }
  return out;
}

namespace {

// value.toLower() == "yes" without the lower-cased copy: no character beyond ASCII lower-cases
// to y, e or s.
bool IsYes(const QString& value) {
  if (value.size() != 3) return false;
  const char16_t* c = QStringView(value).utf16();
  return (c[0] | 0x20) == u'y' && (c[1] | 0x20) == u'e' && (c[2] | 0x20) == u's';
}

}  // namespace

namespace {

// Files the designer-only attributes of one object. The object's name and its window's entries in
// the tables are looked up once for all of them, and only when first needed, so that a window
// gets no entry it would not have had otherwise.
class ObjectCollector {
public:
  ObjectCollector(CodeExportTables& tables, const QString& windowKey, const DesignObject& object)
      : tables_(tables), windowKey_(windowKey), object_(object) {}

  void Collect(const QString& attribute, const QString& value);

private:
  const QString& Name() {
    if (!haveName_) {
      name_ = GetAttribute(object_, kName);
      haveName_ = true;
    }
    return name_;
  }
  // The window's code lines; the reference stays valid while this object is filed, as only
  // its own window's entry is added to that table meanwhile.
  QStringList& Lines() {
    if (!lines_) lines_ = &tables_.CodeLines[windowKey_];
    return *lines_;
  }
  // Entering the same name twice changes nothing, so once is enough.
  void EnterVariable() {
    if (entered_) return;
    tables_.GadgetVariables[windowKey_].insert(Name(), Name());
    entered_ = true;
  }

  CodeExportTables& tables_;
  const QString& windowKey_;
  const DesignObject& object_;
  QString name_;
  bool haveName_ = false;
  QStringList* lines_ = nullptr;
  bool entered_ = false;
};

void ObjectCollector::Collect(const QString& attribute, const QString& value) {
  const QString& name = Name();
  const QString& cls = object_.cls;
  const QString& windowKey = windowKey_;
  CodeExportTables& tables = tables_;

  if (attribute == QLatin1String("onevent")) {
    EventCallback record;
    if (IsYes(value)) {
      record.callback = QStringLiteral("ecb_") + name + QStringLiteral("()");
      record.tag = Tag(cls);
    } else {
      record.callback = QStringLiteral("ecb_") + value + QStringLiteral("()");
      record.tag = Tag(QStringLiteral("array"));
    }
    record.windowKey = windowKey;
    record.objectKey = object_.key;
    record.objectName = name;
    record.objectClass = cls;
    tables.EventCallbacks[windowKey].push_back(std::move(record));
    EnterVariable();
  } else if (attribute == QLatin1String("variable")) {
    EnterVariable();
  } else if (attribute == QLatin1String("frontcolor") || attribute == QLatin1String("backcolor")) {
    const char* which =
        attribute == QLatin1String("frontcolor") ? "#PB_Gadget_FrontColor" : "#PB_Gadget_BackColor";
    Lines().append(QStringLiteral("SetGadgetColor(") + name + QStringLiteral(", ") +
                   QLatin1String(which) + QStringLiteral(", ") + value + QLatin1Char(')'));
    tables.ColourValues.append(value);
    EnterVariable();
  } else if (attribute == QLatin1String("tooltip")) {
    Lines().append(QStringLiteral("GadgetToolTip(") + name + QStringLiteral(", ~\"") +
                   EscapePureBasicString(value) + QStringLiteral("\")"));
    EnterVariable();
  } else if (attribute == QLatin1String("font")) {
    auto it = tables.FontTable.find(value);
    if (it == tables.FontTable.end()) {
      const QStringList fields = value.split(QLatin1Char('|'));
      ExportFont font;
      font.fontName = QStringLiteral("Font") + QString::number(64 + tables.FontTable.size());
      font.face = fields.value(0);
      font.size = static_cast<int>(ValueOfText(fields.value(1)));
      font.style = static_cast<int>(ValueOfText(fields.value(2)));
      it = tables.FontTable.insert(value, font);
    }
    const QString f = it->fontName;
    QStringList& lines = Lines();
    if (cls == kDialogs) {
      lines.append(QStringLiteral("; Default UI font"));
      lines.append(QStringLiteral("If IsFont(") + f +
                   QStringLiteral(") : SetGadgetFont(#PB_Default, FontID(") + f +
                   QStringLiteral(")) : EndIf"));
    } else {
      lines.append(QStringLiteral("If IsFont(") + f + QStringLiteral(") : SetGadgetFont(") + name +
                   QStringLiteral(", FontID(") + f + QStringLiteral(")) : EndIf"));
      EnterVariable();
    }
  }
}

}  // namespace

void CollectForCode(CodeExportTables& tables, const QString& attribute, const QString& value,
                    const QString& windowKey, const DesignObject& object) {
  ObjectCollector(tables, windowKey, object).Collect(attribute, value);
}

// ---- writer -----------------------------------------------------------------------------------

QString DefaultAttributeValue(const QString& /*cls*/, const QString& attribute) {
  if (HasZeroDefault(attribute)) return QStringLiteral("0");
  if (HasNoDefault(attribute)) return QStringLiteral("no");
  return QString();
}

bool IsRuntimeBinding(const QString& value) {
  return value.endsWith(QLatin1String("()"));
}

// Where the writer's elements go: a document in memory, or text composed on the fly.
class ElementOutput {
public:
  virtual ~ElementOutput() = default;
  virtual void Start(const QString& name) = 0;
  virtual void Attribute(const QString& name, const QString& value) = 0;
  virtual void End() = 0;
  virtual void Comment(const QString& text) = 0;
};

namespace {

class DocumentOutput final : public ElementOutput {
public:
  explicit DocumentOutput(XmlNode* root) : current_(root) {}
  void Start(const QString& name) override { current_ = current_->AppendElement(name); }
  // Every name is written once per element, so there is nothing to replace.
  void Attribute(const QString& name, const QString& value) override {
    current_->AppendAttribute(name, value);
  }
  void End() override { current_ = current_->Parent(); }
  void Comment(const QString& text) override { current_->AppendComment(text); }

private:
  XmlNode* current_;
};

class FormatterOutput final : public ElementOutput {
public:
  explicit FormatterOutput(XmlFormatter& f) : f_(f) {}
  void Start(const QString& name) override { f_.StartElement(name); }
  void Attribute(const QString& name, const QString& value) override { f_.Attribute(name, value); }
  void End() override { f_.EndElement(); }
  void Comment(const QString& text) override { f_.Comment(text); }

private:
  XmlFormatter& f_;
};

// Whether a class attribute of the object is written at all: set, and not at its default.
bool IsWritten(const QString& attribute, const QString& value) {
  return !value.isEmpty() && !IsDefaultValue(attribute, value);
}

// Source export addresses the gadget by its name: it has a designer-only attribute that becomes
// source code (a binding of the user's program does not).
bool NeedsNameForCode(const ClassRecord& record, const DesignObject& object) {
  for (const Attribute& a : object.attributes) {
    if (a.kept || !IsDesignerOnly(a.name) || !IsWritten(a.name, a.value)) continue;
    if (!record.attributeSet.contains(a.name)) continue;
    if (a.name == QLatin1String("onevent") && IsRuntimeBinding(a.value)) continue;
    return true;
  }
  return false;
}

}  // namespace

bool WritesWindowAsMainElement(const DesignTree& tree, const ClassSchema& schema) {
  if (!tree.WindowIsMainElement()) return false;
  const DesignObject* root = tree.Find(kDialogs);
  if (!root || root->children.size() != 1) return false;
  const DesignObject* window = tree.Find(root->children.front());
  if (!window || window->cls != kWindow) return false;
  if (!root->commentsBefore.isEmpty() || !root->commentsInside.isEmpty()) return false;
  const ClassRecord* record = schema.Find(kDialogs);
  for (const Attribute& a : root->attributes) {
    if (a.kept) return false;
    if (record && record->attributeSet.contains(a.name) && IsWritten(a.name, a.value)) return false;
  }
  return true;
}

void DialogXmlWriter::ResetBuildState(XmlBuildMode mode, const QString& windowName) {
  horizontalCounter_ = 0;
  verticalCounter_ = 0;
  dpiTable_.clear();
  codeTables_.Clear();
  document_.reset();
  mode_ = mode;
  previewWindowName_ = mode == XmlBuildMode::Preview ? windowName : QString();
  currentWindowName_.clear();
}

bool DialogXmlWriter::BuildDialogXml(const XmlBuildInputs& in, XmlBuildMode mode,
                                     const QString& windowName) {
  ResetBuildState(mode, windowName);
  document_ = std::make_unique<XmlDocument>();
  DocumentOutput out(document_->Root());
  WriteDesignTree(in, out);
  // The serialiser lays the document out when it is composed, so there is no separate
  // reformatting pass here.
  return document_ != nullptr;
}

void DialogXmlWriter::ComposeDesign(const DesignTree& tree, const ClassSchema& schema,
                                    XmlDeclaration declaration, XmlTextSink& sink) {
  DialogXmlWriter writer;
  writer.ResetBuildState(XmlBuildMode::Design, QString());
  XmlFormatter formatter(declaration, true, &sink);
  FormatterOutput out(formatter);
  writer.WriteDesignTree({tree, schema}, out);
  formatter.Finish();
}

QString DialogXmlWriter::ComposeDesign(const DesignTree& tree, const ClassSchema& schema,
                                       XmlDeclaration declaration) {
  DialogXmlWriter writer;
  writer.ResetBuildState(XmlBuildMode::Design, QString());
  XmlFormatter formatter(declaration, true);
  FormatterOutput out(formatter);
  writer.WriteDesignTree({tree, schema}, out);
  return formatter.Finish();
}

void DialogXmlWriter::WriteDesignTree(const XmlBuildInputs& in, ElementOutput& out) {
  const DesignObject* root = in.tree.Find(kDialogs);
  if (!root) return;
  const bool design = mode_ == XmlBuildMode::Design;
  const DesignObject* main = root;
  if (design && WritesWindowAsMainElement(in.tree, in.schema))
    main = in.tree.Find(root->children.front());

  // Depth first with an explicit stack, parents before children: neither depth nor width of a
  // design can exhaust the call stack.
  struct Frame {
    const DesignObject* object;
    qsizetype next;  // the next child to visit
  };
  // A preview writes one window: the only one that can carry its name is the one under its key,
  // so the other windows are not even looked at.
  const DesignObject* previewed = nullptr;
  if (mode_ == XmlBuildMode::Preview) {
    previewed = in.tree.Find(previewWindowName_.toLower());
    if (previewed && previewed->parentKey != root->key) previewed = nullptr;
  }
  auto child = [&](const DesignObject* o, qsizetype i) -> const DesignObject* {
    if (static_cast<size_t>(o->children.size()) == o->childLinks.size())
      return o->childLinks[static_cast<size_t>(i)];
    return in.tree.Find(o->children[i]);
  };
  std::vector<Frame> stack;
  if (WriteObjectElement(in, out, *main, nullptr)) stack.push_back({main, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    const DesignObject* o = top.object;
    const qsizetype count = mode_ == XmlBuildMode::Preview && o == root ? (previewed ? 1 : 0)
                                                                          : o->children.size();
    if (top.next < count) {
      const DesignObject* c = o == root && mode_ == XmlBuildMode::Preview ? previewed
                                                                           : child(o, top.next);
      ++top.next;
      if (c && WriteObjectElement(in, out, *c, o)) stack.push_back({c, 0});
      continue;
    }
    if (design)
      for (const QString& c : o->commentsInside) out.Comment(c);
    out.End();
    stack.pop_back();
  }
  if (design)
    for (const QString& c : in.tree.TrailingComments()) out.Comment(c);
}

bool DialogXmlWriter::WriteObjectElement(const XmlBuildInputs& in, ElementOutput& out,
                                         const DesignObject& object, const DesignObject* parent) {
  const bool preview = mode_ == XmlBuildMode::Preview;
  const bool parentIsGrid = parent && parent->cls == kGridbox;
  auto start = [&] {
    if (mode_ == XmlBuildMode::Design)
      for (const QString& c : object.commentsBefore) out.Comment(c);
    out.Start(object.cls);
  };
  if (object.cls == kDialogs) {
    currentWindowName_.clear();
    start();
    WriteObjectAttributes(in, out, object, kDocumentWindowKey, false, nullptr);
  } else if (object.cls == kWindow) {
    currentWindowName_ = GetAttribute(object, kName);
    if (preview && currentWindowName_ != previewWindowName_) return false;
    start();
    if (preview) {
      // The preview window must stay hidden until the preview places it; the design keeps its
      // own flags, so the changed value is only handed to this build.
      QString flags = GetAttribute(object, kFlags);
      if (!flags.contains(kInvisible, Qt::CaseInsensitive))
        flags = flags.isEmpty() ? kInvisible : flags + QLatin1Char('|') + kInvisible;
      WriteObjectAttributes(in, out, object, QString(), false, &flags);
    } else {
      WriteObjectAttributes(in, out, object, QString(), false, nullptr);
    }
  } else {
    if (preview && currentWindowName_ != previewWindowName_) return false;
    start();
    WriteObjectAttributes(in, out, object, currentWindowName_, parentIsGrid, nullptr);
  }
  return true;
}

void DialogXmlWriter::WriteObjectAttributes(const XmlBuildInputs& in, ElementOutput& out,
                                            const DesignObject& object, const QString& windowKey,
                                            bool parentIsGrid, const QString* flagsOverride) {
  // The class's names written, so that a kept attribute can never repeat one of them. (Kept names
  // differ from each other: a file cannot repeat an attribute, and edits replace in place.)
  QVarLengthArray<QStringView, 24> written;
  auto put = [&](const QString& name, const QString& value) {
    out.Attribute(name, value);
    written.append(name);
  };
  if (const ClassRecord* record = in.schema.Find(object.cls)) {
    const QString unset;
    ObjectCollector collector(codeTables_, windowKey, object);
    for (const QString& a : record->attributes) {
      // Read in place: most attributes of most objects are unset or at their default.
      const QString* found = FindAttribute(object, a);
      const QString& v = (flagsOverride && a == kFlags) ? *flagsOverride : found ? *found : unset;
      if (v.isEmpty() || IsDefaultValue(a, v)) continue;
      // A name the designer made up is not the file's: it is written only where it is needed.
      if (object.generatedName && a == kName) {
        if (mode_ == XmlBuildMode::Design) continue;
        if (mode_ == XmlBuildMode::CodeExport && object.cls != kWindow &&
            !NeedsNameForCode(*record, object))
          continue;
      }
      switch (mode_) {
        case XmlBuildMode::Design:
          if (IsDesignerOnly(a)) {
            if (a == QLatin1String("onevent") && IsRuntimeBinding(v))
              put(a, v);
            else
              put(DesignerOnlyName(a), v);
            continue;
          }
          break;
        case XmlBuildMode::CodeExport:
          // An event value naming a procedure of the user's program ("Proc()") is a binding
          // that the dialog runtime makes itself: it stays in the XML, and the source declares
          // it.
          if (IsDesignerOnly(a) && !(a == QLatin1String("onevent") && IsRuntimeBinding(v))) {
            collector.Collect(a, v);
            continue;
          }
          break;
        case XmlBuildMode::Preview: {
          if (a == QLatin1String("id") || a == QLatin1String("onevent")) continue;
          const QString name = GetAttribute(object, kName);
          if (a == QLatin1String("font")) {
            const QStringList fields = v.split(QLatin1Char('|'));
            if (in.preview)
              RememberPreviewFont(*in.preview, name, fields.value(0),
                                  static_cast<int>(ValueOfText(fields.value(1))),
                                  static_cast<int>(ValueOfText(fields.value(2))));
            continue;
          }
          if (a == QLatin1String("frontcolor") || a == QLatin1String("backcolor")) {
            if (in.preview)
              RememberPreviewColour(*in.preview, name, ValueOfText(v),
                                    a == QLatin1String("frontcolor") ? 1 : 2);
            continue;
          }
          if (a == QLatin1String("tooltip")) {
            if (in.preview) RememberPreviewTooltip(*in.preview, name, v);
            continue;
          }
          break;
        }
      }
      if (a == QLatin1String("rowspan") || a == QLatin1String("colspan")) {
        if (parentIsGrid) {
          WriteAttribute(in, out, a, v);
          written.append(a);
        }
        continue;
      }
      WriteAttribute(in, out, a, v);
      written.append(a);
    }
  }
  // What the file had beyond the class goes back as it was read, in every mode.
  for (const Attribute& a : object.attributes) {
    if (!a.kept || a.name.isEmpty()) continue;
    if (std::find(written.begin(), written.end(), QStringView(a.name)) != written.end()) continue;
    out.Attribute(a.name, a.value);
  }
}

void DialogXmlWriter::WriteAttribute(const XmlBuildInputs& in, ElementOutput& out, const QString& a,
                                     const QString& v) {
  if (!in.dpiPatch || mode_ == XmlBuildMode::Design) {
    out.Attribute(a, v);
    return;
  }
  const bool horizontal = IsHorizontalSize(a);
  const bool vertical = !horizontal && IsVerticalSize(a);
  if ((!horizontal && !vertical) || !IsIntegerText(v)) {
    out.Attribute(a, v);
    return;
  }
  if (mode_ == XmlBuildMode::Preview) {
    out.Attribute(a, ScaledText(v, horizontal ? in.scaleX : in.scaleY));
    return;
  }
  // Both texts are built at their final size: one allocation each.
  char digits[24];
  const int number = horizontal ? ++horizontalCounter_ : ++verticalCounter_;
  const char* digitsEnd = std::to_chars(digits, digits + sizeof digits, number).ptr;
  QString placeholder;
  placeholder.reserve(4 + (digitsEnd - digits));
  placeholder += horizontal ? QLatin1String("DPIx") : QLatin1String("DPIy");
  placeholder += QLatin1String(digits, digitsEnd - digits);
  QString expression;
  expression.reserve(v.size() + 8);
  expression += horizontal ? QLatin1String("ScaleX(") : QLatin1String("ScaleY(");
  expression += v;
  expression += QLatin1Char(')');
  out.Attribute(a, placeholder);
  dpiTable_.emplace_back(std::move(placeholder), std::move(expression));
}

// ---- serialised forms -------------------------------------------------------------------------

QByteArray ComposeForFile(const XmlDocument& doc) {
  return SerialiseXml(doc, XmlDeclaration::Utf8, true).toUtf8();
}

QString ComposeForClipboard(const XmlDocument& doc) {
  return SerialiseXml(doc, XmlDeclaration::Utf16, true);
}

QString ComposeForSource(const XmlDocument& doc) {
  return SerialiseXml(doc, XmlDeclaration::None, true);
}

QByteArray ComposeForFile(const DesignTree& tree, const ClassSchema& schema) {
  QByteArray bytes;
  Utf8Collector collector(bytes);
  DialogXmlWriter::ComposeDesign(tree, schema, XmlDeclaration::Utf8, collector);
  return bytes;
}

QString ComposeForClipboard(const DesignTree& tree, const ClassSchema& schema) {
  return DialogXmlWriter::ComposeDesign(tree, schema, XmlDeclaration::Utf16);
}

}  // namespace bxw
