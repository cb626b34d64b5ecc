#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <ostream>
#include <vector>

#include "model/design_tree.h"

namespace bxw::test {

// Path of a fixture under tests/data.
QString DataPath(const QString& name);
// Attributes in name order: the order of class attributes in a record carries no meaning.
inline std::vector<bxw::Attribute> Sorted(std::vector<bxw::Attribute> attributes) {
  std::sort(attributes.begin(), attributes.end(),
            [](const bxw::Attribute& a, const bxw::Attribute& b) {
              return a.kept != b.kept ? b.kept : a.name < b.name;
            });
  return attributes;
}
QByteArray ReadFileBytes(const QString& path);

}  // namespace bxw::test

// Readable values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
  *os << '}';
}
QT_END_NAMESPACE

namespace bxw {
inline void PrintTo(const Attribute& a, std::ostream* os) {
  *os << (a.kept ? "kept " : "") << a.name.toStdString() << "=\"" << a.value.toStdString() << '"';
}
}  // namespace bxw
