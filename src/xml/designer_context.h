#pragma once
#include <QSet>
#include <QString>
#include <functional>

#include "model/class_schema.h"
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
  // Set the title of the "Interface Tree" window to this whole text.
  std::function<void(const QString& title)> setTreeWindowTitle;
  // After an import replaced the design: rebuild the tree view keeping exactly the keys in
  // `expandedKeys` expanded and selecting `selectKey`, repaint it, show the Properties panel for
  // the selection and rebuild the preview for its owning window (the refresh chain).
  std::function<void(const QString& selectKey, const QSet<QString>& expandedKeys)>
      refreshAfterImport;
  // Open a written file with the program the system associates with it, without waiting
  // (QDesktopServices::openUrl).
  std::function<void(const QString& path)> openWithAssociatedProgram;
};

// The state the XML import/export and source export commands work on, all owned by the caller
// (the designer, a test, the companion). Nothing is kept between calls except through these.
struct DesignerContext {
  DesignTree& tree;
  const ClassSchema& schema;
  Settings& settings;
  Requesters& requesters;
  const Clock& clock;
  DialogXmlWriter& writer;
  QString& savedSnapshot;  // fingerprint of the design at start, last import attempt or export
  DesignerHooks hooks;
};

}  // namespace bxw
