#include "model/names.h"

namespace bxw {

QString ObjectNameProblem(const QString& name) {
  static const QString kFirst = QStringLiteral("abcdefghijklmnopqrstuvwxyz_");
  static const QString kLater = QStringLiteral("abcdefghijklmnopqrstuvwxyz_0123456789");
  const QString lower = name.toLower();
  for (qsizetype i = 0; i < lower.size(); ++i) {
    if (i == 0 && !kFirst.contains(lower[i]))
      return QStringLiteral("This object name must start with a-Z or _ character");
    if (i > 0 && !kLater.contains(lower[i]))
      return QStringLiteral("Only the following characters may pass:\r\na-z_A-Z_0-9");
  }
  return QString();
}

}  // namespace bxw
