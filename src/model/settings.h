#pragma once
#include <QString>

namespace bxw {

// The settings record CONFIG: seven on/off options and the last directory used for files.
struct Settings {
  bool Export2Clipboard = false;  // "Export to clipboard"
  bool NoCaptions = false;        // "Empty text for new objects"
  bool ConfirmChanges = false;    // "Warn about unsaved changes"
  bool RunCode = false;           // "Open .pb file after export"
  bool DPIPatch = false;          // "Apply DPI-awareness patch"
  bool ConfirmDelete = false;     // "Confirm tree object deletion"
  bool NoLoop = false;            // "Don't add event loop"
  QString IOLastDIR;              // IOLastDIR$, with its trailing separator

  bool operator==(const Settings&) const = default;
};

}  // namespace bxw
