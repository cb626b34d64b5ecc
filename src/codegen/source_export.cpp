// Concatenations below build each piece in one allocation.
#define QT_USE_QSTRINGBUILDER
#include "codegen/source_export.h"

#include <QSet>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "codegen/runtime_bindings.h"
#include "codegen/source_names.h"
#include "model/value_text.h"
#include "xml/xml_export.h"
#include "platform/value_forms.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kName = QStringLiteral("name");
constexpr qsizetype kStatementLimit = 7372;

// The generated text, written line by line into one buffer; every line ends with CR LF. The
// buffer is sized ahead and written through a pointer, so a piece costs a copy and no more.
class Lines {
public:
  explicit Lines(qsizetype expectedSize) { Grow(expectedSize); }
  template <typename Text>
  void Add(int tabs, const Text& text) {
    Indent(tabs);
    Put(text);
    Put(kLineEnd);
  }
  // A line made of several pieces, appended straight into the buffer.
  template <typename... Pieces>
  void Line(int tabs, const Pieces&... pieces) {
    Indent(tabs);
    (Put(pieces), ...);
    Put(kLineEnd);
  }
  void Blank() { Put(kLineEnd); }
  void Indent(qsizetype tabs) {
    if (tabs <= 0) return;
    Reserve(tabs);
    std::fill_n(data_ + size_, tabs, u'\t');
    size_ += tabs;
  }
  void Put(QStringView piece) {
    Reserve(piece.size());
    std::copy_n(piece.utf16(), piece.size(), data_ + size_);
    size_ += piece.size();
  }
  void Put(const QString& piece) { Put(QStringView(piece)); }
  // Kept inline at every call: the pieces are short and many.
  Q_ALWAYS_INLINE void Put(QLatin1String piece) {
    Reserve(piece.size());
    std::copy_n(reinterpret_cast<const unsigned char*>(piece.data()), piece.size(), data_ + size_);
    size_ += piece.size();
  }
  void Put(QLatin1Char c) { Put(QChar(c)); }
  void Put(QChar c) {
    Reserve(1);
    data_[size_++] = c.unicode();
  }
  // How much is written, and a pointer into it for changes in place.
  qsizetype Size() const { return size_; }
  char16_t* At(qsizetype position) { return data_ + position; }
  QString Take() {
    text_.truncate(size_);
    data_ = nullptr;
    size_ = 0;
    return std::move(text_);
  }

  static constexpr QStringView kLineEnd{u"\r\n"};

private:
  void Reserve(qsizetype n) {
    if (size_ + n > text_.size()) Grow(std::max(text_.size() * 2, size_ + n));
  }
  void Grow(qsizetype capacity) {
    text_.resize(capacity);
    data_ = reinterpret_cast<char16_t*>(text_.data());
  }

  QString text_;
  char16_t* data_ = nullptr;
  qsizetype size_ = 0;
};

// Ordering without regard to letter case, as a case-folding comparison orders texts; ASCII (all
// that validated names produce) is compared directly, anything else through Qt.
bool LessNoCase(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    char16_t x = a[i].unicode();
    char16_t y = b[i].unicode();
    if (x >= 128 || y >= 128) return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// Lower-cased copy of an ASCII text, in which plain byte order is the order of LessNoCase; false
// when the text holds anything else.
bool FoldAscii(const QString& s, std::string& folded) {
  folded.resize(static_cast<size_t>(s.size()));
  const char16_t* data = QStringView(s).utf16();
  for (qsizetype i = 0; i < s.size(); ++i) {
    char16_t c = data[i];
    if (c >= 128) return false;
    if (c >= 'A' && c <= 'Z') c += 32;
    folded[static_cast<size_t>(i)] = static_cast<char>(c);
  }
  return true;
}

// Stable sort by LessNoCase of the name of each item. Each name is folded once rather than on
// every comparison; a list with a name beyond ASCII is left to LessNoCase itself.
template <typename List, typename NameOf>
void StableSortNoCase(List& items, NameOf nameOf) {
  const qsizetype n = static_cast<qsizetype>(items.size());
  std::vector<std::string> keys(static_cast<size_t>(n));
  std::vector<qsizetype> order(static_cast<size_t>(n));
  for (qsizetype i = 0; i < n; ++i) {
    order[static_cast<size_t>(i)] = i;
    if (!FoldAscii(nameOf(std::as_const(items)[i]), keys[static_cast<size_t>(i)])) {
      std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        return LessNoCase(nameOf(a), nameOf(b));
      });
      return;
    }
  }
  // Positions move during the sort, not the keys.
  std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
    return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
  });
  List sorted;
  sorted.reserve(n);
  for (qsizetype i : order) sorted.push_back(std::move(items[i]));
  items = std::move(sorted);
}

void SortNoCase(QStringList& list) {
  StableSortNoCase(list, [](const QString& s) -> const QString& { return s; });
}

QString Quoted(const QString& s) {
  return QLatin1Char('"') + s + QLatin1Char('"');
}

// A font face as a string literal: plain when it can be, the escaped form when it holds a quote
// or a control character that would end the literal or the line.
QString FaceLiteral(const QString& face) {
  const bool needsEscape = std::any_of(
      face.begin(), face.end(), [](QChar c) { return c == QLatin1Char('"') || c.unicode() < 32; });
  if (!needsEscape) return Quoted(face);
  return QStringLiteral("~\"") + EscapePureBasicString(face) + QLatin1Char('"');
}

QString FontFlags(int style) {
  const FontStyle s = FontStyleOfBits(style);
  const bool bold = s.bold;
  const bool italic = s.italic;
  if (bold && italic) return QStringLiteral(", #PB_Font_Bold | #PB_Font_Italic");
  if (bold) return QStringLiteral(", #PB_Font_Bold");
  if (italic) return QStringLiteral(", #PB_Font_Italic");
  return QString();
}

QStringList WindowList(const DesignTree& tree) {
  QStringList windows;
  if (const DesignObject* root = tree.Find(kDialogs)) {
    for (const QString& key : root->children)
      if (const DesignObject* w = tree.Find(key)) windows << GetAttribute(*w, kName);
  }
  windows.sort(Qt::CaseSensitive);
  return windows;
}

void WriteDpiSection(Lines& out, const DialogXmlWriter& writer) {
  out.Add(0, QStringLiteral(";{ DPI Patch (Windows) }"));
  out.Blank();
  out.Add(1, QStringLiteral("; Don't forget related manifest file or SetDPIAware() API call!"));
  out.Blank();
  out.Add(1, QStringLiteral("Global.f DPIXScale = 1.0, DPIYScale = 1.0"));
  out.Add(1, QStringLiteral("Procedure InitScaleDPI()"));
  out.Add(2, QStringLiteral("Protected lpx, lpy, DC = GetDC_(#Null)"));
  out.Add(2, QStringLiteral("If DC"));
  out.Add(3, QStringLiteral(
                 "lpx = GetDeviceCaps_(DC, #LOGPIXELSX) : lpy = GetDeviceCaps_(DC, #LOGPIXELSY)"));
  out.Add(3, QStringLiteral("If lpx : DPIXScale = lpx / 96.0 : EndIf"));
  out.Add(3, QStringLiteral("If lpy : DPIYScale = lpy / 96.0 : EndIf"));
  out.Add(3, QStringLiteral("ReleaseDC_(#Null, DC)"));
  out.Add(2, QStringLiteral("EndIf"));
  out.Add(1, QStringLiteral("EndProcedure"));
  out.Add(1, QStringLiteral("InitScaleDPI()"));
  out.Add(1, QStringLiteral("Macro ScaleX (x) : \t((x) * DPIXScale) :\tEndMacro"));
  out.Add(1, QStringLiteral("Macro ScaleY (y) :\t((y) * DPIYScale) :\tEndMacro"));
  out.Blank();
  for (const auto& [name, expression] : writer.DpiPlaceholders())
    out.Line(1, QLatin1String("Define "), name, QLatin1String(" = "), expression,
             QLatin1String(" : Runtime "), name);
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

void WriteXmlSection(Lines& out, const QString& composed, const QDateTime& now) {
  out.Add(0, QStringLiteral(";{ Dialogs XML }"));
  out.Blank();
  out.Add(0, QStringLiteral("; Generated with ") + kTitleBase +
                 now.toString(QStringLiteral(", yyyy/MM/dd HH:mm:ss")));
  out.Add(0, QStringLiteral("Global DialogsXML$ = #Empty$ +"));

  // The XML lines are the pieces between CR LF after the first one, without empty or
  // all-space pieces. Walk them as views of the composed text.
  const QStringView all(composed);
  const char16_t* const text = all.utf16();
  // Where the next CR LF starts at or after from, or the end of the text.
  auto lineEndFrom = [&](qsizetype from) {
    for (qsizetype i = from; i + 1 < all.size(); ++i)
      if (text[i] == u'\r' && text[i + 1] == u'\n') return i;
    return all.size();
  };
  auto nextLine = [&](qsizetype& from, QStringView& line) {
    while (from <= all.size()) {
      const qsizetype end = lineEndFrom(from);
      line = all.mid(from, end - from);
      from = end + 2;
      if (std::any_of(line.begin(), line.end(), [](QChar c) { return c != QLatin1Char(' '); }))
        return true;
    }
    return false;
  };
  qsizetype from = lineEndFrom(0);
  from = from == all.size() ? all.size() + 1 : from + 2;
  QStringView line;
  bool have = nextLine(from, line);
  qsizetype count = 0;
  while (have) {
    QStringView following;
    const bool more = nextLine(from, following);
    count += line.size();
    const bool endStatement = !more || count >= kStatementLimit;
    qsizetype spaces = 0;
    while (spaces < line.size() && line[spaces] == QLatin1Char(' ')) ++spaces;
    out.Put(QStringView(u"\t\""));
    out.Indent(spaces / 2);
    // Attribute values carry their quotes as entities, so only the delimiters become apostrophes.
    const QStringView content = line.mid(spaces);
    const qsizetype start = out.Size();
    out.Put(content);
    std::replace(out.At(start), out.At(start) + content.size(), u'"', u'\'');
    out.Put(endStatement ? QStringView(u"\"\r\n") : QStringView(u"\" +\r\n"));
    if (endStatement && more) {
      count = 0;
      out.Add(0, QStringLiteral("DialogsXML$ +"));
    }
    line = following;
    have = more;
  }
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

QStringList SortedGadgetNames(const QHash<QString, QString>& variables) {
  QStringList names = variables.keys();
  SortNoCase(names);
  return names;
}

// Per class: each event constant with the name its Debug line prints.
using EventNames = QHash<QString, std::vector<std::pair<QString, QString>>>;

const std::vector<std::pair<QString, QString>>& EventsOf(const ClassSchema& schema,
                                                         EventNames& cache, const QString& cls) {
  auto it = cache.find(cls);
  if (it == cache.end()) {
    std::vector<std::pair<QString, QString>> events;
    for (const QString& event : schema.ClassEvents(cls)) {
      QString shortName = event;
      shortName.remove(QStringLiteral("#PB_EventType_"), Qt::CaseInsensitive);
      events.emplace_back(event, shortName);
    }
    it = cache.insert(cls, std::move(events));
  }
  return *it;
}

void WriteEventBlock(Lines& out, const ClassSchema& schema, EventNames& cache,
                     const EventCallback& record, bool multiple) {
  // UTF-16 literals: the hundreds of thousands of pieces below are copied, not converted.
  const int m = multiple ? 2 : 0;
  const QString& n = record.objectName;
  constexpr QStringView debug(u"Debug \"");
  constexpr QStringView otherEvent(u": Event \" + EventType()");
  constexpr QStringView caseText(u"Case ");
  constexpr QStringView colon(u": ");
  if (multiple) out.Line(4, caseText, n, QLatin1Char(':'));
  const auto& events = EventsOf(schema, cache, record.objectClass);
  if (events.empty()) {
    out.Line(3 + m, debug, n, otherEvent);
    return;
  }
  out.Line(3 + m, QStringView(u"Select EventType()"));
  for (const auto& [event, shortName] : events) {
    out.Line(4 + m, caseText, event, colon);
    out.Line(5 + m, debug, n, colon, shortName, QLatin1Char('"'));
  }
  out.Line(4 + m, QStringView(u"Default: "));
  out.Line(5 + m, debug, n, otherEvent);
  out.Line(3 + m, QStringView(u"EndSelect"));
}

// A window's callback records ordered by their callback text (stable), the order in which both
// the callback procedures and the window block's bindings read them.
std::vector<const EventCallback*> ByCallback(const std::vector<EventCallback>& records) {
  std::vector<const EventCallback*> sorted;
  sorted.reserve(records.size());
  for (const EventCallback& r : records) sorted.push_back(&r);
  std::stable_sort(sorted.begin(), sorted.end(), [](const EventCallback* a, const EventCallback* b) {
    return a->callback < b->callback;
  });
  return sorted;
}

void WriteCallbacks(Lines& out, const ClassSchema& schema, EventNames& cache, const QString& w,
                    const CodeExportTables& tables) {
  out.Add(1, QStringLiteral(";{ Callbacks: ") + w + QStringLiteral(" }"));
  out.Blank();
  const auto it = tables.EventCallbacks.constFind(w);
  if (it == tables.EventCallbacks.constEnd()) {
    out.Add(2, QStringLiteral("; Event handlers here"));
    out.Blank();
  } else {
    const std::vector<const EventCallback*> records = ByCallback(*it);
    // Groups by callback text without regard to case, in order of first appearance.
    std::vector<std::vector<const EventCallback*>> groups;
    QHash<QString, size_t> groupIndex;
    for (const EventCallback* r : records) {
      const QString key = r->callback.toLower();
      auto g = groupIndex.constFind(key);
      if (g == groupIndex.constEnd()) {
        groupIndex.insert(key, groups.size());
        groups.push_back({r});
      } else {
        groups[*g].push_back(r);
      }
    }
    for (const auto& group : groups) {
      const bool multiple = group.size() > 1;
      out.Line(2, QLatin1String("; "), group.front()->tag);
      out.Line(2, QLatin1String("Procedure "), group.front()->callback);
      if (multiple) out.Add(3, QStringLiteral("Select EventGadget()"));
      for (const EventCallback* r : group) WriteEventBlock(out, schema, cache, *r, multiple);
      if (multiple) out.Add(3, QStringLiteral("EndSelect"));
      out.Add(2, QStringLiteral("EndProcedure"));
      out.Blank();
    }
  }
  out.Add(1, QStringLiteral(";}"));
  out.Blank();
}

// sortedVariables: the window's gadget variables as SortedGadgetNames orders them.
void WriteWindowBlock(Lines& out, const QString& w, const CodeExportTables& tables,
                      const QStringList& sortedVariables) {
  const QString dlg = QStringLiteral("dlg_") + w;
  out.Add(2, QStringLiteral("If OpenXMLDialog(") + dlg + QStringLiteral(", DialogsXML, ") +
                 Quoted(w) + QLatin1Char(')'));
  out.Add(3, w + QStringLiteral(" = DialogWindow(") + dlg + QLatin1Char(')'));

  const QHash<QString, QString> variables = tables.GadgetVariables.value(w);
  QStringList extras;
  const auto callbacks = tables.EventCallbacks.constFind(w);
  std::vector<const EventCallback*> byCallback;
  if (callbacks != tables.EventCallbacks.constEnd()) {
    byCallback = ByCallback(*callbacks);
    QSet<QString> extra;
    for (const EventCallback* r : byCallback)
      if (!variables.contains(r->objectName) && !extra.contains(r->objectName)) {
        extra.insert(r->objectName);
        extras << r->objectName;
      }
  }
  // Both line lists are ordered by their whole text without regard to case. Names are distinct
  // identifiers and each is followed by a character that sorts before any identifier character,
  // so ordering by the names alone gives the same order. Without callback-only names the list is
  // the one already sorted for the globals.
  QStringList gadgets = sortedVariables;
  if (!extras.isEmpty()) {
    gadgets = variables.keys() + extras;
    SortNoCase(gadgets);
  }
  if (!gadgets.isEmpty()) {
    out.Blank();
    for (const QString& g : gadgets)
      out.Line(3, g, QLatin1String(" = DialogGadget("), dlg, QLatin1String(", \""), g,
               QLatin1String("\")"));
  }
  if (callbacks != tables.EventCallbacks.constEnd()) {
    out.Blank();
    std::vector<const EventCallback*> records = byCallback;
    StableSortNoCase(records,
                     [](const EventCallback* r) -> const QString& { return r->objectName; });
    for (const EventCallback* r : records)
      out.Line(3, QLatin1String("BindGadgetEvent("), r->objectName, QLatin1String(", @"),
               r->callback, QLatin1Char(')'));
  }
  const auto code = tables.CodeLines.constFind(w);
  if (code != tables.CodeLines.constEnd()) {
    out.Blank();
    for (const QString& l : *code) out.Add(3, l);
  }
  out.Blank();
  out.Add(3, QStringLiteral("RefreshDialog(") + dlg + QLatin1Char(')'));
  out.Add(2, QStringLiteral("EndIf"));
}

void WriteUiSection(Lines& out, const ClassSchema& schema, const QStringList& windows,
                    const CodeExportTables& tables) {
  out.Add(0, QStringLiteral(";{ Dialogs UI }"));
  out.Blank();
  std::vector<QStringList> sortedVariables;  // per window, for the window blocks too
  sortedVariables.reserve(static_cast<size_t>(windows.size()));
  for (const QString& w : windows) {
    out.Add(1, QStringLiteral("Global dlg_") + w + QStringLiteral(" = CreateDialog(#PB_Any)"));
    out.Add(1, QStringLiteral("Global ") + w);
    const QStringList& names =
        sortedVariables.emplace_back(SortedGadgetNames(tables.GadgetVariables.value(w)));
    if (!names.isEmpty()) out.Add(1, QStringLiteral("Global ") + names.join(QStringLiteral(", ")));
    out.Blank();
  }
  if (!tables.FontTable.isEmpty()) {
    std::vector<const ExportFont*> fonts;
    for (const ExportFont& f : tables.FontTable) fonts.push_back(&f);
    std::sort(fonts.begin(), fonts.end(),
              [](const ExportFont* a, const ExportFont* b) { return a->fontName < b->fontName; });
    for (const ExportFont* f : fonts)
      out.Add(1, QStringLiteral("Global ") + f->fontName + QStringLiteral(" = LoadFont(#PB_Any, ") +
                     FaceLiteral(f->face) + QStringLiteral(", ") + QString::number(f->size) +
                     FontFlags(f->style) + QLatin1Char(')'));
    out.Blank();
  }
  out.Blank();
  EventNames cache;
  for (const QString& w : windows) WriteCallbacks(out, schema, cache, w, tables);
  out.Blank();

  out.Add(1, QStringLiteral("Procedure InitDialogs()"));
  out.Add(2, QStringLiteral("Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)"));
  const auto rootLines = tables.CodeLines.constFind(kDocumentWindowKey);
  if (rootLines != tables.CodeLines.constEnd())
    for (const QString& l : *rootLines) out.Add(2, l);
  out.Blank();
  out.Add(2, QStringLiteral("; Open dialogs, enum controls, bind events, customize"));
  for (qsizetype i = 0; i < windows.size(); ++i)
    WriteWindowBlock(out, windows[i], tables, sortedVariables[static_cast<size_t>(i)]);
  out.Blank();
  out.Add(2, QStringLiteral("; Cls"));
  out.Add(2, QStringLiteral("If IsXML(DialogsXML): FreeXML(DialogsXML): EndIf"));
  out.Add(2, QStringLiteral("DialogsXML$ = #Empty$"));
  out.Add(1, QStringLiteral("EndProcedure"));
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

void WriteMainSection(Lines& out) {
  out.Blank();
  out.Add(0, QStringLiteral("; Main"));
  out.Add(0, QStringLiteral("InitDialogs()"));
  out.Blank();
  out.Add(0, QStringLiteral("Repeat"));
  out.Add(1, QStringLiteral("Define E = WaitWindowEvent()"));
  out.Add(1, QStringLiteral("Select E"));
  out.Add(2, QStringLiteral("Case #PB_Event_CloseWindow: break"));
  out.Add(1, QStringLiteral("EndSelect"));
  out.Add(0, QStringLiteral("Forever"));
}

// The constants and procedures of the user's program that the embedded XML names, each declared
// once and made known to the dialog runtime; the procedures are left empty for the user to fill.
void WriteRuntimeSection(Lines& out, const RuntimeBindings& bindings) {
  out.Add(0, QStringLiteral(";{ Runtime constants and procedures }"));
  out.Blank();
  if (!bindings.constants.empty()) {
    for (const RuntimeBindings::Constant& c : bindings.constants)
      out.Line(1, c.name, QStringView(u" = "), QString::number(c.value),
               QStringView(u" : Runtime "), c.name);
    out.Blank();
  }
  for (const RuntimeBindings::Procedure& p : bindings.procedures) {
    out.Line(1, QStringView(u"Runtime Procedure "), p.name, QStringView(u"()"));
    out.Add(1, QStringLiteral("EndProcedure"));
    out.Blank();
  }
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

bool DpiSectionWritten(const DialogXmlWriter& writer, const SourceOptions& options) {
  return options.dpiPatch && !writer.DpiPlaceholders().empty();
}

// A window or gadget name written into code: an identifier that PureBasic does not reserve and
// the generated text does not use for anything else.
bool IsSafeName(QStringView name, const GeneratedNames& generated) {
  return IsIdentifierText(name) && !IsPureBasicKeyword(name) && !generated.Contains(name);
}

// The window and gadget names the generated code declares, in lower case.
QSet<QString> NamesInCode(const QStringList& windows, const CodeExportTables& t) {
  QSet<QString> names;
  for (const QString& w : windows) names.insert(w.toLower());
  for (const auto& variables : t.GadgetVariables)
    for (auto it = variables.begin(); it != variables.end(); ++it) names.insert(it.key().toLower());
  for (const auto& records : t.EventCallbacks)
    for (const EventCallback& r : records) names.insert(r.objectName.toLower());
  return names;
}

// A runtime procedure may not take a name the generated code declares (InitDialogs, a callback,
// a window or gadget variable).
bool ProcedureClashes(const RuntimeBindings::Procedure& p, const GeneratedNames& generated,
                      const QSet<QString>& namesInCode) {
  return generated.Contains(p.name) || namesInCode.contains(p.name.toLower());
}

const QString kClash = QStringLiteral(" clashes with a name the generated code declares");

QStringList BindingProblems(const RuntimeBindings& bindings, const QStringList& windows,
                            const DialogXmlWriter& writer, const GeneratedNames& generated) {
  QStringList problems = bindings.problems;
  if (!bindings.procedures.empty()) {
    const QSet<QString> namesInCode = NamesInCode(windows, writer.CodeTables());
    for (const RuntimeBindings::Procedure& p : bindings.procedures)
      if (ProcedureClashes(p, generated, namesInCode)) problems << p.usedBy + kClash;
  }
  return problems;
}

// The attributes that get DPI placeholders in the embedded XML, as the writer chooses them.
bool IsDpiSize(const QString& a) {
  static const QSet<QString> sizes = {
      QStringLiteral("width"),      QStringLiteral("minwidth"),    QStringLiteral("maxwidth"),
      QStringLiteral("colspacing"), QStringLiteral("expandwidth"), QStringLiteral("innerwidth"),
      QStringLiteral("height"),     QStringLiteral("minheight"),   QStringLiteral("maxheight"),
      QStringLiteral("spacing"),    QStringLiteral("rowspacing"),  QStringLiteral("expandheight"),
      QStringLiteral("margin"),     QStringLiteral("innerheight"), QStringLiteral("firstmin"),
      QStringLiteral("secondmin")};
  return sizes.contains(a);
}

}  // namespace

QStringList UnsafeSourceValues(const DesignTree& tree, const ClassSchema& schema,
                               const DialogXmlWriter& writer, const SourceOptions& options) {
  const QStringList windows = WindowList(tree);
  const GeneratedNames generated(windows, writer, DpiSectionWritten(writer, options),
                                 !options.noLoop);
  QStringList problems;
  auto describe = [](const DesignObject& o) -> QString {
    return o.cls + QStringLiteral(" '") + EscapeForMessage(GetAttribute(o, kName)) +
           QLatin1Char('\'');
  };
  auto quoted = [](const QString& v) -> QString {
    return QStringLiteral(" \"") + EscapeForMessage(v) + QLatin1Char('"');
  };
  static const QString diverted[] = {QStringLiteral("onevent"),    QStringLiteral("variable"),
                                     QStringLiteral("frontcolor"), QStringLiteral("backcolor"),
                                     QStringLiteral("tooltip"),    QStringLiteral("font")};
  const bool placeholders = DpiSectionWritten(writer, options);
  tree.WalkTree(
      kDialogs, std::function<bool(const DesignObject&)>([&](const DesignObject& o) {
        if (o.cls == kDialogs && o.parentKey.isEmpty()) return false;  // its font needs no name
        const ClassRecord* record = schema.Find(o.cls);
        bool nameInCode = o.parentKey == kDialogs;  // a window
        for (const QString& a : diverted) {
          const QString* value = FindAttribute(o, a);
          // Only onevent and variable have a default ("no"); the others default to empty.
          if (!value || value->isEmpty() ||
              (*value == QLatin1String("no") && *value == DefaultAttributeValue(o.cls, a)) ||
              !record || !record->attributeSet.contains(a))
            continue;
          const QString& v = *value;
          const bool onevent = a == QLatin1String("onevent");
          // A runtime binding stays in the XML; its procedure is checked with the others.
          if (onevent && IsRuntimeProcedureValue(v)) continue;
          nameInCode = true;
          if (onevent && v.compare(QLatin1String("yes"), Qt::CaseInsensitive) &&
              !IsIdentifierText(v))
            problems << describe(o) + QStringLiteral(": onevent") + quoted(v) +
                            QStringLiteral(" is not an identifier");
          if ((a == QLatin1String("frontcolor") || a == QLatin1String("backcolor")) &&
              !IsNumberLiteral(v))
            problems << describe(o) + QStringLiteral(": ") + a + quoted(v) +
                            QStringLiteral(" is not a number");
        }
        if (nameInCode) {
          const QString name = GetAttribute(o, kName);
          if (!IsIdentifierText(name))
            problems << describe(o) + QStringLiteral(": name") + quoted(name) +
                            QStringLiteral(" is not an identifier");
          else if (IsPureBasicKeyword(name))
            problems << describe(o) + QStringLiteral(": name") + quoted(name) +
                            QStringLiteral(" is a PureBasic keyword");
          else if (generated.Contains(name))
            problems << describe(o) + QStringLiteral(": name") + quoted(name) + kClash;
        }
        // Sizes the writer turned into placeholders go into the DPI section as expressions.
        if (placeholders && record)
          for (const QString& a : record->attributes) {
            const QString* v = FindAttribute(o, a);
            if (v && IsDpiSize(a) && IsIntegerText(*v) && !IsWholeNumberInRange(*v))
              problems << describe(o) + QStringLiteral(": ") + a + quoted(*v) +
                              QStringLiteral(
                                  " is not a whole number from -2147483648 to "
                                  "2147483647");
          }
        return false;
      }));
  if (const XmlDocument* doc = writer.Document())
    problems += BindingProblems(CollectRuntimeBindings(*doc), windows, writer, generated);
  return problems;
}

QString UnsafeSourceMessage(const QStringList& problems) {
  return QStringLiteral(
             "The code was not exported: these names and values would be written "
             "into the source unchecked.\r\n\r\n") +
         problems.join(QStringLiteral("\r\n"));
}

namespace {

QString ComposeWith(const DesignTree& tree, const ClassSchema& schema,
                    const DialogXmlWriter& writer, const SourceOptions& options, const QDateTime& now,
                    const RuntimeBindings& bindings) {
  const QString composed = writer.Document() ? ComposeForSource(*writer.Document()) : QString();
  // The embedded XML plus the code around it, mostly event procedures; a generous guess saves
  // regrowing the buffer.
  qsizetype callbacks = 0;
  for (const auto& records : writer.CodeTables().EventCallbacks) callbacks += records.size();
  Lines out(composed.size() * 2 + callbacks * 640 + 4096);
  out.Add(0, QStringLiteral("EnableExplicit"));
  out.Blank();
  if (DpiSectionWritten(writer, options)) WriteDpiSection(out, writer);
  if (!bindings.IsEmpty()) WriteRuntimeSection(out, bindings);
  if (writer.Document()) WriteXmlSection(out, composed, now);
  WriteUiSection(out, schema, WindowList(tree), writer.CodeTables());
  if (!options.noLoop) WriteMainSection(out);
  return out.Take();
}

RuntimeBindings BindingsOf(const DialogXmlWriter& writer) {
  return writer.Document() ? CollectRuntimeBindings(*writer.Document()) : RuntimeBindings{};
}

}  // namespace

QString ComposeSource(const DesignTree& tree, const ClassSchema& schema,
                      const DialogXmlWriter& writer,
                      const SourceOptions& options, const QDateTime& now) {
  return ComposeWith(tree, schema, writer, options, now, BindingsOf(writer));
}

namespace {

// Quick test over what a CodeExport build collected: every name and value that goes into code.
bool CollectedValuesAreSafe(const DesignTree& tree, const DialogXmlWriter& writer,
                            const SourceOptions& options, const RuntimeBindings& bindings) {
  const CodeExportTables& t = writer.CodeTables();
  const QStringList windows = WindowList(tree);
  const GeneratedNames generated(windows, writer, DpiSectionWritten(writer, options),
                                 !options.noLoop);
  for (const QString& w : windows)
    if (!IsSafeName(w, generated)) return false;
  for (const auto& variables : t.GadgetVariables)
    for (auto it = variables.begin(); it != variables.end(); ++it)
      if (!IsSafeName(it.key(), generated)) return false;
  for (const auto& records : t.EventCallbacks)
    for (const EventCallback& r : records)
      if (!IsSafeName(r.objectName, generated) ||
          !IsIdentifierText(QStringView(r.callback).mid(4).chopped(2)))
        return false;
  for (const QString& colour : t.ColourValues)
    if (!IsNumberLiteral(colour)) return false;
  if (DpiSectionWritten(writer, options))
    for (const auto& placeholder : writer.DpiPlaceholders())  // "ScaleX(" + size + ")"
      if (!IsWholeNumberInRange(QStringView(placeholder.second).mid(7).chopped(1))) return false;
  if (!bindings.problems.isEmpty()) return false;
  if (!bindings.procedures.empty()) {
    const QSet<QString> namesInCode = NamesInCode(windows, t);
    for (const RuntimeBindings::Procedure& p : bindings.procedures)
      if (ProcedureClashes(p, generated, namesInCode)) return false;
  }
  return true;
}

// Builds the CodeExport document; answers the refusal text when unsafe values were collected.
bool BuildAndCheck(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                   const SourceOptions& options, RuntimeBindings& bindings, QString& refusal) {
  refusal.clear();
  XmlBuildInputs inputs{tree, schema};
  inputs.dpiPatch = options.dpiPatch;
  if (!writer.BuildDialogXml(inputs, XmlBuildMode::CodeExport, QString()) || !writer.Document())
    return false;
  bindings = CollectRuntimeBindings(*writer.Document());
  if (!CollectedValuesAreSafe(tree, writer, options, bindings)) {
    // Walk the design for a message that names each offender in tree order.
    const QStringList problems = UnsafeSourceValues(tree, schema, writer, options);
    refusal = UnsafeSourceMessage(
        problems.isEmpty() ? QStringList{QStringLiteral("a window or gadget name")} : problems);
  }
  return true;
}

}  // namespace

bool BuildSourceText(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                     const SourceOptions& options, const QDateTime& now, QString& text,
                     QString& refusal) {
  text.clear();
  if (tree.ChildCount(kDialogs) == 0) {
    refusal.clear();
    return false;
  }
  RuntimeBindings bindings;
  if (!BuildAndCheck(tree, schema, writer, options, bindings, refusal) || !refusal.isEmpty())
    return false;
  text = ComposeWith(tree, schema, writer, options, now, bindings);
  return true;
}

SourceBuild BuildCheckedSource(const DesignTree& tree, const ClassSchema& schema,
                               DialogXmlWriter& writer, const SourceOptions& options) {
  SourceBuild build;
  build.built = BuildAndCheck(tree, schema, writer, options, build.bindings, build.refusal);
  return build;
}

QString ComposeBuiltSource(const DesignTree& tree, const ClassSchema& schema,
                           const DialogXmlWriter& writer, const SourceOptions& options,
                           const QDateTime& now, const SourceBuild& build) {
  return ComposeWith(tree, schema, writer, options, now, build.bindings);
}

}  // namespace bxw
