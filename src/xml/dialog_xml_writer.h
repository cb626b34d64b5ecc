#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <utility>
#include <vector>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "platform/xml_document.h"

namespace bxw {

enum class XmlBuildMode { Preview = 1, Design = 2, CodeExport = 3 };

// Window key under which whatever belongs to the whole document (the root's font) is filed.
inline const QString kDocumentWindowKey = QStringLiteral("####BXWSPECIAL#####");

// ---- preview styling --------------------------------------------------------------------------

// A font the preview needs. The preview loads `font` and clears it; the writer only adds entries.
struct PreviewFontEntry {
  QString face;
  int size = 0;
  int style = 0;
  QVariant font;  // the loaded platform font, owned by the preview
  bool inUse = false;
};

struct PreviewStyleEntry {
  QString fontKey;  // key into PreviewTables::PreviewFont, empty for none
  qint64 frontColour = 0;
  qint64 backColour = 0;
  bool hasFrontColour = false;
  bool hasBackColour = false;
  QString tooltip;
};

// Fonts, colours and tooltips of the previewed gadgets, which the dialog format cannot carry.
// Owned by the preview; a Preview build adds to them and never empties them.
struct PreviewTables {
  QHash<QString, PreviewFontEntry> PreviewFont;    // face|size|style -> font
  QHash<QString, PreviewStyleEntry> PreviewStyle;  // gadget name -> style
};

void RememberPreviewFont(PreviewTables& tables, const QString& gadgetName, const QString& face,
                         int size, int style);
void RememberPreviewColour(PreviewTables& tables, const QString& gadgetName, qint64 colour,
                           int which);  // 1 front, 2 back
void RememberPreviewTooltip(PreviewTables& tables, const QString& gadgetName,
                            const QString& tooltip);

// ---- code-export collection -------------------------------------------------------------------

struct EventCallback {
  QString callback;  // "ecb_" + base + "()"
  QString tag;       // "[class]" or "[array]", 16 characters
  QString windowKey;
  QString objectKey;   // the gadget raising the events (its key in the design tree)
  QString objectName;  // its name attribute at build time
  QString objectClass;
};

struct ExportFont {
  QString fontName;  // Font64, Font65, ...
  QString face;
  int size = 0;
  int style = 0;
};

// What a CodeExport build diverts from the XML into source code, keyed by window name.
struct CodeExportTables {
  QHash<QString, QStringList> CodeLines;
  QHash<QString, std::vector<EventCallback>> EventCallbacks;
  QHash<QString, QHash<QString, QString>> GadgetVariables;
  QHash<QString, ExportFont> FontTable;  // keyed by the font value text
  // Every colour value collected, so that the source export can check them before writing.
  QStringList ColourValues;

  void Clear();
};

// Files one designer-only attribute (onevent, variable, frontcolor, backcolor, tooltip, font).
void CollectForCode(CodeExportTables& tables, const QString& attribute, const QString& value,
                    const QString& windowKey, const DesignObject& object);

// The PureBasic escaped-string form (~"...") of a text, without the quotes.
QString EscapePureBasicString(const QString& text);

// ---- writer -----------------------------------------------------------------------------------

// What a build reads besides the tree. scaleX/scaleY are the display scale (pixels per logical
// inch / 96), used by Preview builds with the DPI patch on.
struct XmlBuildInputs {
  const DesignTree& tree;
  const ClassSchema& schema;
  bool dpiPatch = false;
  double scaleX = 1.0;
  double scaleY = 1.0;
  PreviewTables* preview = nullptr;  // filled by Preview builds when given
};

QString DefaultAttributeValue(const QString& cls, const QString& attribute);

// An event attribute value naming a procedure of the user's own program ("Proc()"): the dialog
// runtime binds it, so it is carried as the plain attribute instead of becoming designer code.
bool IsRuntimeBinding(const QString& value);

// The Design document is written with `window` as its main element: the design came from such a
// file, still holds that one window, and its root has nothing of its own to write.
bool WritesWindowAsMainElement(const DesignTree& tree, const ClassSchema& schema);

class ElementOutput;

// The dialog XML writer and its build state. One instance per designer (or per test); every build
// replaces the previous document and tables. The design is never modified by a build.
class DialogXmlWriter {
public:
  // Builds the document of the design. windowName selects the window of a Preview build and is
  // ignored otherwise. Answers whether a document exists afterwards.
  bool BuildDialogXml(const XmlBuildInputs& inputs, XmlBuildMode mode, const QString& windowName);

  // Composes the Design document of the design straight from the tree into the sink, without
  // building a document: the text that composing a Design build gives. No writer's state is used
  // or changed.
  static void ComposeDesign(const DesignTree& tree, const ClassSchema& schema,
                            XmlDeclaration declaration, XmlTextSink& sink);
  static QString ComposeDesign(const DesignTree& tree, const ClassSchema& schema,
                               XmlDeclaration declaration);

  const XmlDocument* Document() const { return document_.get(); }
  XmlBuildMode Mode() const { return mode_; }

  // Placeholder name -> source expression ("DPIx1" -> "ScaleX(100)"), in the order of creation.
  const std::vector<std::pair<QString, QString>>& DpiPlaceholders() const { return dpiTable_; }
  const CodeExportTables& CodeTables() const { return codeTables_; }

private:
  void ResetBuildState(XmlBuildMode mode, const QString& windowName);
  // Walks the design from its root and writes every element into out.
  void WriteDesignTree(const XmlBuildInputs& in, ElementOutput& out);
  // Writes the element of one object; false when the object and its subtree are left out.
  bool WriteObjectElement(const XmlBuildInputs& in, ElementOutput& out, const DesignObject& object,
                          const DesignObject* parent);
  void WriteObjectAttributes(const XmlBuildInputs& in, ElementOutput& out,
                             const DesignObject& object, const QString& windowKey,
                             bool parentIsGrid, const QString* flagsOverride);
  // attribute is one of the object's class attributes and value is set and not its default; the
  // caller has checked both.
  void WriteAttribute(const XmlBuildInputs& in, ElementOutput& out, const QString& attribute,
                      const QString& value);

  std::unique_ptr<XmlDocument> document_;
  XmlBuildMode mode_ = XmlBuildMode::Design;
  QString previewWindowName_;
  QString currentWindowName_;
  int horizontalCounter_ = 0;
  int verticalCounter_ = 0;
  std::vector<std::pair<QString, QString>> dpiTable_;
  CodeExportTables codeTables_;
};

// ---- serialised forms -------------------------------------------------------------------------

// The file form: UTF-8 bytes, UTF-8 declaration, no byte order mark.
QByteArray ComposeForFile(const XmlDocument& doc);
// The clipboard and fingerprint form: the same text with a UTF-16 declaration.
QString ComposeForClipboard(const XmlDocument& doc);
// The source-export form: no declaration, starting with the line break before the root.
QString ComposeForSource(const XmlDocument& doc);

// The file and clipboard forms of the design's Design document, composed straight from the tree.
QByteArray ComposeForFile(const DesignTree& tree, const ClassSchema& schema);
QString ComposeForClipboard(const DesignTree& tree, const ClassSchema& schema);

}  // namespace bxw
