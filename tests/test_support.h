#pragma once
#include <QByteArray>
#include <QString>

namespace bxw::test {

// Path of a fixture under tests/data.
QString DataPath(const QString& name);
QByteArray ReadFileBytes(const QString& path);

}  // namespace bxw::test
