#pragma once
#include <QString>

namespace bxw {

// "Boxwright [" + the version 1.0.1.8 + "]": the main window's title and the stamp in exports.
inline const QString kTitleBase = QStringLiteral("Boxwright [1.0.1.8]");

}  // namespace bxw
