#include "codegen/runtime_bindings.h"

#include <QHash>
#include <QSet>

#include "codegen/source_names.h"
#include "model/value_text.h"

namespace bxw {

namespace {

bool Is(QStringView name, const char* expected) {
  return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// The attributes the dialog runtime binds events from.
bool IsEventAttribute(QStringView name) {
  for (const char* e : {"onevent", "onrightclick", "onleftclick", "onrightdoubleclick",
                        "onleftdoubleclick", "onchange", "onfocus", "onlostfocus", "ondragstart"})
    if (Is(name, e)) return true;
  return false;
}

// The numbers the dialog runtime looks up among the program's runtime names before reading them
// as integers.
bool IsLookedUpNumber(QStringView name) {
  for (const char* e : {"width", "height", "min", "max", "page", "value", "color", "group"})
    if (Is(name, e)) return true;
  return false;
}

// PureBasic's own constants: they exist already, and #PB_Any is the runtime's automatic number.
bool IsPureBasicConstant(QStringView nameAfterHash) {
  return nameAfterHash.startsWith(QLatin1String("PB_"), Qt::CaseInsensitive);
}

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The leading decimal integer of a text, as the runtime reads a literal id.
qint64 LeadingInteger(QStringView v) {
  qsizetype i = 0;
  while (i < v.size() && IsBlank(v[i])) ++i;
  const bool negative = i < v.size() && v[i] == QLatin1Char('-');
  if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) ++i;
  qint64 n = 0;
  for (; i < v.size() && v[i] >= QLatin1Char('0') && v[i] <= QLatin1Char('9'); ++i)
    n = std::min<qint64>(n * 10 + (v[i].unicode() - '0'), qint64(1) << 40);
  return negative ? -n : n;
}

class Scanner {
public:
  explicit Scanner(RuntimeBindings& out) : out_(out) {}

  // Most values can be neither: only a value ending in "()", or one starting with "#" or a blank
  // (a flag expression), is looked at further; an id is always read, for its number.
  void Element(const XmlNode& e) {
    for (const XmlAttribute& a : e.Attributes()) {
      const QString& v = a.value;
      if (v.isEmpty()) continue;
      if (a.name.size() == 2 && Is(a.name, "id")) {
        Id(e, a);
      } else if (IsRuntimeProcedureValue(v)) {
        if (IsEventAttribute(a.name)) Procedure(e, a);
      } else if (v.front() == QLatin1Char('#') || IsBlank(v.front())) {
        if (Is(a.name, "flags")) {
          Flags(v);
        } else if (v.front() == QLatin1Char('#') && IsLookedUpNumber(a.name)) {
          const QStringView name = QStringView(v).mid(1);
          if (IsIdentifierText(name) && !IsPureBasicConstant(name)) Constant(v, false);
        }
      }
    }
  }

  // Fresh numbers for the constants used as ids, skipping every number a literal id asks for.
  void NumberIds() {
    qint64 next = 1;
    for (RuntimeBindings::Constant& c : out_.constants) {
      if (!c.usedAsId) continue;
      while (literalIds_.contains(next)) ++next;
      c.value = next++;
    }
  }

private:
  QString Use(const XmlNode& e, const XmlAttribute& a) const {
    return e.Name() + QStringLiteral(" '") + EscapeForMessage(e.Attribute(QStringLiteral("name"))) +
           QStringLiteral("': ") + a.name + QStringLiteral(" \"") + EscapeForMessage(a.value) +
           QLatin1Char('"');
  }

  void Procedure(const XmlNode& e, const XmlAttribute& a) {
    const QStringView name = QStringView(a.value).chopped(2);
    if (!IsIdentifierText(name)) {
      out_.problems << Use(e, a) + QStringLiteral(" is not an identifier followed by \"()\"");
      return;
    }
    if (IsPureBasicKeyword(name)) {
      out_.problems << Use(e, a) + QStringLiteral(" names a PureBasic keyword");
      return;
    }
    const QString key = name.toString().toLower();
    if (procedureIndex_.contains(key)) return;
    procedureIndex_.insert(key);
    out_.procedures.push_back({name.toString(), Use(e, a)});
  }

  void Id(const XmlNode& e, const XmlAttribute& a) {
    if (!a.value.startsWith(QLatin1Char('#'))) {
      literalIds_.insert(LeadingInteger(a.value));
      return;
    }
    const QStringView name = QStringView(a.value).mid(1);
    if (IsPureBasicConstant(name)) return;
    if (!IsIdentifierText(name)) {
      out_.problems << Use(e, a) + QStringLiteral(" is not a constant name");
      return;
    }
    Constant(a.value, true);
  }

  // The #names of a flag expression, read as the runtime reads it: up to the first name that
  // does not start with "#".
  void Flags(QStringView v) {
    qsizetype i = 0;
    const qsizetype n = v.size();
    while (i < n) {
      while (i < n && IsBlank(v[i])) ++i;
      if (i >= n || v[i] != QLatin1Char('#')) return;
      qsizetype end = v.indexOf(QLatin1Char('|'), i);
      const bool more = end >= 0;
      if (!more) end = n;
      qsizetype last = end;
      while (last > i + 1 && IsBlank(v[last - 1])) --last;
      const QStringView name = v.mid(i + 1, last - i - 1);
      if (IsIdentifierText(name) && !IsPureBasicConstant(name))
        Constant(v.mid(i, last - i).toString(), false);
      if (!more) return;
      i = end + 1;
    }
  }

  void Constant(const QString& name, bool asId) {
    const QString key = name.toLower();
    auto it = constantIndex_.constFind(key);
    if (it == constantIndex_.constEnd()) {
      it = constantIndex_.insert(key, out_.constants.size());
      out_.constants.push_back({name, 0, false});
    }
    if (asId) out_.constants[*it].usedAsId = true;
  }

  RuntimeBindings& out_;
  QSet<QString> procedureIndex_;
  QHash<QString, size_t> constantIndex_;
  QSet<qint64> literalIds_;
};

}  // namespace

RuntimeBindings CollectRuntimeBindings(const XmlDocument& document) {
  RuntimeBindings out;
  Scanner scanner(out);
  // Depth first in document order, without recursion: the nesting depth is the file's.
  const XmlNode* const root = document.Root();
  const XmlNode* node = root->FirstChild();
  while (node) {
    if (node->IsElement()) {
      scanner.Element(*node);
      if (node->FirstChild()) {
        node = node->FirstChild();
        continue;
      }
    }
    while (node && !node->NextSibling()) {
      node = node->Parent();
      if (node == root) node = nullptr;
    }
    if (node) node = node->NextSibling();
  }
  scanner.NumberIds();
  return out;
}

}  // namespace bxw
