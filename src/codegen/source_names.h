#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "xml/dialog_xml_writer.h"

namespace bxw {

// True for a reserved word of PureBasic, letter case ignored as PureBasic ignores it. A name that
// is one cannot be declared: "Global If" does not compile.
bool IsPureBasicKeyword(QStringView name);

// A size that can stand in a DPI expression such as ScaleX(100): an optional "-" and decimal
// digits whose value fits in 32 bits, as the dialog runtime reads sizes.
bool IsWholeNumberInRange(QStringView text);

// A name or value as a message shows it: line breaks, tabs and other control characters, and the
// backslash that introduces them, written as escapes (\n, \r, \t, \\, \xNN), so that a text cannot
// break or fake the message's lines.
QString EscapeForMessage(QStringView text);

// The names the generated text declares besides the window and gadget names, letter case ignored
// as PureBasic ignores it: a window or gadget of the same name would overwrite or redeclare one
// of them ("dlg_w = DialogGadget(dlg_w, ...)"). Each kind of name has its own shape, so a name is
// judged by its shape first; the few that look generated are looked up. Reads the window list and
// the writer's last CodeExport build while it lives.
class GeneratedNames {
public:
  // dpiSection: the text has the DPI section; loop: it has the main section's event loop.
  GeneratedNames(const QStringList& windows, const DialogXmlWriter& writer, bool dpiSection,
                 bool loop);

  bool Contains(QStringView n) const;

private:
  const QSet<QString>& WindowSet() const;
  const QSet<QString>& CallbackSet() const;

  const QStringList& windows_;
  const CodeExportTables& tables_;
  qint64 fonts_ = 0;
  bool dpiSection_ = false;
  bool loop_ = false;
  qint64 dpiX_ = 0;
  qint64 dpiY_ = 0;
  // Built on the first name that needs them, which most designs never have.
  mutable std::optional<QSet<QString>> windowSet_;
  mutable std::optional<QSet<QString>> callbackSet_;
};

}  // namespace bxw
