#pragma once
#include <QString>

#include "model/value_text.h"  // IsIdentifierText

namespace bxw {

// The object-name check of the rename: the message text of the first failing character, or an
// empty text when the name passes (the empty name passes too).
QString ObjectNameProblem(const QString& name);

}  // namespace bxw
