#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

#include "platform/xml_document.h"

namespace bxw {

// An event attribute's value that names a procedure of the user's program ("OnOk()"). The dialog
// runtime binds it by that name, so it stays in the XML as written.
inline bool IsRuntimeProcedureValue(QStringView value) {
  const qsizetype n = value.size();
  return n >= 2 && value[n - 1] == QLatin1Char(')') && value[n - 2] == QLatin1Char('(');
}

// What the XML embedded in the generated source asks of the program around it: the procedures
// its event attributes name and the constants (#Name) its ids, flags and numbers use. The dialog
// runtime finds them only when they are declared `Runtime`, so the source declares each one.
struct RuntimeBindings {
  struct Constant {
    QString name;      // with its "#", spelled as first used
    qint64 value = 0;  // a number no other id uses for a constant used as an id; 0 elsewhere
    bool usedAsId = false;
  };
  struct Procedure {
    QString name;    // without "()", spelled as first used
    QString usedBy;  // the first use, as a message names it: button 'ok': onevent "OnOk()"
  };
  std::vector<Constant> constants;    // in order of first use, each once (letter case ignored)
  std::vector<Procedure> procedures;  // likewise
  QStringList problems;               // uses that no declaration can satisfy, one message line each

  bool IsEmpty() const { return constants.empty() && procedures.empty(); }
};

// Scans the document (a CodeExport build) in document order.
RuntimeBindings CollectRuntimeBindings(const XmlDocument& document);

}  // namespace bxw
