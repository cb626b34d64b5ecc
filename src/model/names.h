#pragma once
#include <QString>

namespace bxw {

// A-Z, a-z, _ first, then also digits (ASCII only); never empty.
bool IsIdentifierText(const QString& text);

// The object-name check of the rename: the message text of the first failing character, or an
// empty text when the name passes (the empty name passes too).
QString ObjectNameProblem(const QString& name);

}  // namespace bxw
