#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

namespace bxw::test {

// Path of a fixture under tests/data.
QString DataPath(const QString& name);
QByteArray ReadFileBytes(const QString& path);

}  // namespace bxw::test

// Readable values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
  *os << '}';
}
QT_END_NAMESPACE
