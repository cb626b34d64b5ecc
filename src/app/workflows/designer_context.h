#pragma once
#include <QSet>
#include <QString>
#include <functional>

#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/requesters.h"
#include "xml/dialog_xml_writer.h"

namespace bxw {

// What the designer shell does on behalf of the XML and source commands. Every hook may be left
// empty (tests, the command-line companion); the command then simply skips that step.
struct DesignerHooks {
  // Empty the system clipboard and put this text on it (QClipboard::setText).
  std::function<void(const QString& text)> setClipboardText;
  // Changes the design: the shell applies the edit through the edit layer, records it for undo
  // under the description ("Import 'login.xml'") and refreshes its views. Answers what changed.
  std::function<EditOutcome(Edit edit, const QString& description)> applyEdit;
  // The design now belongs to this file (an export to it); empty for none.
  std::function<void(const QString& path)> setDesignFile;
  // Open a written file with the program the system associates with it, without waiting
  // (QDesktopServices::openUrl).
  std::function<void(const QString& path)> openWithAssociatedProgram;
};

// The state the XML import/export and source export commands work on, all owned by the caller
// (the designer, a test, the companion). Nothing is kept between calls except through these. The
// design itself is only read here; changes go through hooks.applyEdit.
struct DesignerContext {
  const DesignTree& tree;
  const ClassSchema& schema;
  Settings& settings;
  Requesters& requesters;
  const Clock& clock;
  DialogXmlWriter& writer;
  QString& savedSnapshot;  // fingerprint of the design at start, last import attempt or export
  DesignerHooks hooks;
  // The file the design came from or was last exported to (empty for none): exports propose it.
  QString designFile;
};

}  // namespace bxw
