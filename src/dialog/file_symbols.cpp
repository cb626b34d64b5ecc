#include "dialog/file_symbols.h"

#include <QSet>

#include "dialog/attributes.h"
#include "dialog/symbol_registry.h"
#include "platform/xml_document.h"

namespace bxw::dialog {

namespace {

bool Is(const QString& a, const char* b) {
  return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool IsPureBasicOwn(QStringView name) {
  return name.startsWith(QLatin1String("PB_"), Qt::CaseInsensitive);
}

// Far from the numbers the runtime assigns itself, and from the small numbers files use.
constexpr int kFirstFreshId = 0x40000000;

class Collector {
public:
  explicit Collector(const SymbolRegistry& registry) : registry_(registry) {}

  void Element(const XmlNode& element) {
    const Kind kind = KindOfElement(element.Name());
    for (const XmlAttribute& a : element.Attributes()) {
      if (Is(a.name, "id")) {
        const QString& v = a.value;
        if (v.size() > 1 && v.startsWith(QLatin1Char('#')) &&
            !IsPureBasicOwn(QStringView(v).mid(1)))
          Add(v, &out.idConstants);
      } else if (Is(a.name, "flags")) {
        if (kind == Kind::None) continue;
        EvaluateFlags(kind, a.value, registry_, [&](const QString& name) {
          if (!name.isEmpty() && !IsPureBasicOwn(name)) Add(name, &out.flagConstants);
        });
      } else if (EventInfo info; FindEvent(a.name, &info)) {
        if (a.value.endsWith(QLatin1String("()")) && a.value.size() > 2)
          Add(a.value, &out.procedures);
      }
    }
  }

  FileSymbols out;

private:
  void Add(const QString& name, QStringList* list) {
    if (registry_.Value(name) || registry_.Lookup(name)) return;
    if (seen_[list].contains(name)) return;
    seen_[list].insert(name);
    list->append(name);
  }

  const SymbolRegistry& registry_;
  QHash<const QStringList*, QSet<QString>> seen_;
};

}  // namespace

FileSymbols FindFileSymbols(const XmlDocument& doc, const SymbolRegistry& registry) {
  Collector c(registry);
  // Document order without recursion: the file decides how deep it goes.
  const XmlNode* node = doc.Root()->FirstChild();
  while (node) {
    if (node->IsElement()) c.Element(*node);
    if (node->FirstChild()) {
      node = node->FirstChild();
      continue;
    }
    while (node && !node->NextSibling()) node = node->Parent();
    if (node) node = node->NextSibling();
  }
  return c.out;
}

FileSymbols RegisterFileSymbols(const XmlDocument& doc, SymbolRegistry& registry) {
  FileSymbols found = FindFileSymbols(doc, registry);
  int next = kFirstFreshId;
  for (const QString& name : found.idConstants) registry.AddConstant(name, next++);
  // A name used as an id and as a flag keeps the id's value.
  for (const QString& name : found.flagConstants)
    if (!registry.Value(name)) registry.AddConstant(name, 0);
  for (const QString& name : found.procedures) registry.AddProcedure(name, [](int, int) {});
  return found;
}

}  // namespace bxw::dialog
