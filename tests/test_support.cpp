#include "test_support.h"

#include <QFile>

namespace bxw::test {

QString DataPath(const QString& name) {
  return QStringLiteral(BXW_TEST_DATA_DIR) + QLatin1Char('/') + name;
}

QByteArray ReadFileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace bxw::test
