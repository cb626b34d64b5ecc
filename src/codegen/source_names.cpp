#include "codegen/source_names.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace bxw {

namespace {

// PureBasic's reserved words, in lower case and sorted, so that the words of one first letter
// stand together.
// clang-format off
constexpr std::string_view kKeywords[] = {
    "align", "and", "array", "as", "break", "calldebugger", "case", "compilercase",
    "compilerdefault", "compilerelse", "compilerelseif", "compilerendif", "compilerendselect",
    "compilererror", "compilerif", "compilerselect", "compilerwarning", "continue", "data",
    "datasection", "debug", "debuglevel", "declare", "declarec", "declarecdll", "declaredll",
    "declaremodule", "default", "define", "dim", "disableasm", "disabledebugger", "disableexplicit",
    "else", "elseif", "enableasm", "enabledebugger", "enableexplicit", "end", "enddatasection",
    "enddeclaremodule", "endenumeration", "endif", "endimport", "endinterface", "endmacro",
    "endmodule", "endprocedure", "endselect", "endstructure", "endstructureunion", "endwith",
    "enumeration", "enumerationbinary", "extends", "fakereturn", "for", "foreach", "forever",
    "global", "gosub", "goto", "if", "import", "importc", "includebinary", "includefile",
    "includepath", "interface", "list", "macro", "macroexpandedcount", "map", "module", "newlist",
    "newmap", "next", "not", "or", "procedure", "procedurec", "procedurecdll", "proceduredll",
    "procedurereturn", "protected", "prototype", "prototypec", "read", "redim", "repeat", "restore",
    "return", "runtime", "select", "shared", "static", "step", "structure", "structureunion",
    "swap", "threaded", "to", "undefinemacro", "until", "unusemodule", "usemodule", "wend", "while",
    "with", "xincludefile", "xor",
};
// clang-format on
static_assert(std::is_sorted(std::begin(kKeywords), std::end(kKeywords)));

// Where the keywords of each first letter stand in the sorted list.
struct Range {
  int begin = 0;
  int end = 0;
};
constexpr std::array<Range, 26> kByFirstLetter = [] {
  std::array<Range, 26> ranges{};
  const int n = static_cast<int>(std::size(kKeywords));
  for (int i = n - 1; i >= 0; --i) {
    Range& r = ranges[static_cast<size_t>(kKeywords[i][0] - 'a')];
    if (r.end == 0) r.end = i + 1;
    r.begin = i;
  }
  return ranges;
}();

// n equals the lower-case ASCII text, letter case ignored.
bool Is(QStringView n, std::string_view lower) {
  if (n.size() != qsizetype(lower.size())) return false;
  for (qsizetype i = 0; i < n.size(); ++i) {
    char16_t c = n[i].unicode();
    if (c >= 'A' && c <= 'Z') c += 32;
    if (c != char16_t(lower[size_t(i)])) return false;
  }
  return true;
}

bool StartsWith(QStringView n, std::string_view lower) {
  return n.size() >= qsizetype(lower.size()) && Is(n.left(qsizetype(lower.size())), lower);
}

// n is the prefix and a decimal number without leading zeros, as QString::number writes it.
bool NumberAfter(QStringView n, std::string_view prefix, qint64& number) {
  const qsizetype p = qsizetype(prefix.size());
  if (n.size() <= p || n.size() > p + 12 || !StartsWith(n, prefix) || n[p] == QLatin1Char('0'))
    return false;
  number = 0;
  for (qsizetype i = p; i < n.size(); ++i) {
    if (n[i] < QLatin1Char('0') || n[i] > QLatin1Char('9')) return false;
    number = number * 10 + (n[i].unicode() - '0');
  }
  return true;
}

}  // namespace

bool IsPureBasicKeyword(QStringView name) {
  // No keyword holds a digit or "_", and most names end in a counter.
  if (name.isEmpty() || name.back().isDigit() || name.back() == QLatin1Char('_')) return false;
  const auto fold = [](char16_t c) -> char16_t { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const char16_t first = fold(name[0].unicode());
  if (first < 'a' || first > 'z') return false;
  // Only the keywords of the same first letter and length are compared, letter by letter.
  const Range r = kByFirstLetter[static_cast<size_t>(first - 'a')];
  for (int i = r.begin; i < r.end; ++i) {
    const std::string_view k = kKeywords[i];
    if (qsizetype(k.size()) != name.size()) continue;
    qsizetype j = 1;
    while (j < name.size() && fold(name[j].unicode()) == char16_t(k[size_t(j)])) ++j;
    if (j == name.size()) return true;
  }
  return false;
}

bool IsWholeNumberInRange(QStringView text) {
  qsizetype i = 0;
  const bool negative = !text.isEmpty() && text.front() == QLatin1Char('-');
  if (negative) ++i;
  if (i == text.size()) return false;
  const qint64 limit = negative ? qint64(2147483648) : qint64(2147483647);
  qint64 value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > limit) return false;  // leading zeros are fine, overlong values stop here
  }
  return true;
}

QString EscapeForMessage(QStringView text) {
  const auto plain = [](char16_t c) {
    return c >= 0x20 && c != u'\\' && !(c >= 0x7F && c <= 0x9F) && c != 0x2028 && c != 0x2029;
  };
  if (std::all_of(text.begin(), text.end(), [&](QChar c) { return plain(c.unicode()); }))
    return text.toString();
  QString out;
  out.reserve(text.size() + 8);
  for (QChar qc : text) {
    const char16_t c = qc.unicode();
    if (plain(c)) {
      out += qc;
      continue;
    }
    switch (c) {
      case u'\n':
        out += QLatin1String("\\n");
        break;
      case u'\r':
        out += QLatin1String("\\r");
        break;
      case u'\t':
        out += QLatin1String("\\t");
        break;
      case u'\\':
        out += QLatin1String("\\\\");
        break;
      default: {
        // Upper-case hexadecimal, two digits for a C0 or C1 control, four for the separators.
        const int digits = c > 0xFF ? 4 : 2;
        out += c > 0xFF ? QLatin1String("\\u") : QLatin1String("\\x");
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
          out += QLatin1Char("0123456789ABCDEF"[(c >> shift) & 0xF]);
      }
    }
  }
  return out;
}

GeneratedNames::GeneratedNames(const QStringList& windows, const DialogXmlWriter& writer,
                               bool dpiSection, bool loop)
    : windows_(windows),
      tables_(writer.CodeTables()),
      fonts_(writer.CodeTables().FontTable.size()),
      dpiSection_(dpiSection),
      loop_(loop) {
  if (dpiSection_)
    for (const auto& placeholder : writer.DpiPlaceholders())
      ++(placeholder.first[3] == QLatin1Char('x') ? dpiX_ : dpiY_);
}

bool GeneratedNames::Contains(QStringView n) const {
  if (n.isEmpty()) return false;
  qint64 k = 0;
  // Dispatched on the first letter: most names start with none of these and cost one test.
  switch (n[0].unicode() | 0x20) {
    case 'd':
      if (StartsWith(n, "dlg_")) return WindowSet().contains(n.mid(4).toString().toLower());
      // DPIx1 ... DPIxN and DPIy1 ... DPIyN, numbered in turn as the sizes were replaced.
      if (NumberAfter(n, "dpix", k)) return dpiSection_ && k >= 1 && k <= dpiX_;
      if (NumberAfter(n, "dpiy", k)) return dpiSection_ && k >= 1 && k <= dpiY_;
      if (Is(n, "dialogsxml")) return true;  // DialogsXML$ and the parsed DialogsXML
      return (Is(n, "dpixscale") || Is(n, "dpiyscale")) && dpiSection_;
    case 'e':
      if (StartsWith(n, "ecb_")) return CallbackSet().contains(n.toString().toLower());
      return Is(n, "e") && loop_;  // Define E = WaitWindowEvent()
    case 'f':
      return NumberAfter(n, "font", k) && k >= 64 && k < 64 + fonts_;  // Font64, Font65, ...
    case 'i':
      return Is(n, "initdialogs") || (Is(n, "initscaledpi") && dpiSection_);
    case 's':
      return (Is(n, "scalex") || Is(n, "scaley")) && dpiSection_;
    default:
      return false;
  }
}

const QSet<QString>& GeneratedNames::WindowSet() const {
  if (!windowSet_) {
    windowSet_.emplace();
    for (const QString& w : windows_) windowSet_->insert(w.toLower());
  }
  return *windowSet_;
}

const QSet<QString>& GeneratedNames::CallbackSet() const {
  if (!callbackSet_) {
    callbackSet_.emplace();
    for (const auto& records : tables_.EventCallbacks)
      for (const EventCallback& r : records) callbackSet_->insert(r.callback.chopped(2).toLower());
  }
  return *callbackSet_;
}

}  // namespace bxw
