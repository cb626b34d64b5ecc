#pragma once
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/layout_metrics.h"
#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "platform/value_forms.h"

class QLabel;
class QScrollArea;
class QWidget;

namespace bxw {

// The editor of a row, chosen from the row name alone.
enum class EditorKind : int {
  YesNo = 0,   // check box, "yes"/"no"
  Flag = 1,    // check box per flag constant
  Text = 2,    // free text
  Other = 3,   // read-only: attributes the panel does not know how to edit
  Number = 4,  // integer text
  Choice = 5,  // drop-down list of fixed entries
  Event = 6,   // editable drop-down, identifier or empty
  Size = 7,    // editable drop-down, integer or a suggested word
  Picker = 8,  // one-item list opening the font or colour requester
  Info = 9,    // read-only facts about the object
};

// What happened to an editor, numbered by the event codes of the dialog format.
enum class PropertyEvent : int {
  LeftClick = event_code::kLeftClick,
  RightClick = event_code::kRightClick,
  Change = event_code::kChange,
  FocusGained = event_code::kFocus,
  FocusLost = event_code::kLostFocus,
};

// One row of the panel: a label on the left, an editor on the right.
struct PropertyRow {
  QPointer<QWidget> editor;
  QPointer<QLabel> label;
  // The edited object, by key: a rename or delete may move or drop the object while the row is
  // shown, so it is looked up again for every event instead of being held by address.
  QString objectKey;
  EditorKind kind = EditorKind::Other;
  QString name;   // attribute name, or flag constant for flag rows
  QString group;  // "flags" for flag rows, else empty; set once at creation
  bool touched = false;
};

// Rows by exact name; node-stable, so EditorIndex may point at the rows.
using RowTable = std::map<QString, std::unique_ptr<PropertyRow>>;
// Editor control to its row; one entry per row.
using EditorIndex = std::unordered_map<const QObject*, PropertyRow*>;

// Everything the panel works with, owned elsewhere.
struct PropertiesHost {
  const DesignTree& tree;
  const ClassSchema& schema;
  Requesters& requesters;
  RandomSource& random;
  const LayoutMetrics& metrics;
  QScrollArea* area = nullptr;     // rows go into its widget()
  QLabel* helpText = nullptr;      // the help line below the rows
  QWidget* titleWindow = nullptr;  // the window titled "Properties: <name>"
  QFont labelFont;                 // "Tahoma" 9
  QFont editorFont;                // "Arial" 8
  std::function<void(int delayMs)> schedulePreviewRebuild;
  // Stores a value: the panel never changes the design itself.
  std::function<void(SetAttributeEdit edit)> setAttribute;
};

// The Properties panel: one row per shown attribute, kept alive by name across refreshes, and the
// editing rules that turn user input into attribute values.
class PropertiesPanel final : public QObject {
  Q_OBJECT
public:
  explicit PropertiesPanel(PropertiesHost host);
  ~PropertiesPanel() override;
  PropertiesPanel(const PropertiesPanel&) = delete;
  PropertiesPanel& operator=(const PropertiesPanel&) = delete;

  // Refills the panel for the object, or empties it for none.
  void ShowProperties(const DesignObject* object);
  // Places every row for the current width of the scroll area, tab order following the rows.
  void RelayoutProperties();
  void SetHelpText(const QString& text);
  // Says why a value was refused; the text stays until the next selection or accepted edit.
  void ShowRefusal(const QString& why);
  bool ShowsRefusal() const { return refusalShown_; }
  // The single entry for user actions on editors; controls that are not editors are ignored.
  void OnPropertyEvent(QObject* control, PropertyEvent type);

  const RowTable& Rows() const { return rows_; }
  const EditorIndex& Index() const { return index_; }
  const PropertyRow* Row(const QString& name) const;
  // Row names in display order (top to bottom).
  QStringList RowNamesInOrder() const;

  // Rows of attributes a file held that the class does not know: named with this prefix, edited
  // as text, listed below the class's own rows.
  static QString KeptRowName(const QString& attribute);
  static bool IsKeptRow(const QString& rowName);

  static EditorKind EditorKindOf(const QString& rowName);
  static QString RowOrderGroup(const QString& rowName);
  static QString RowSortKey(const QString& rowName);
  // The class is accepted for callers' convenience and not consulted.
  static QString AttributeHelpText(const QString& cls, const QString& attribute);
  // How a stored font value reads in its picker: "Arial|10|256" reads "Arial, 10".
  static QString FontDisplayText(const QString& value);

  // A drop-down never lists more generated "item:N" entries than this, whatever "columns" says.
  static constexpr int kMaxGeneratedItems = 256;

private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void FillPropertyRow(const DesignObject& object, const QString& name, const QString& value,
                       const QString& group);
  PropertyRow& CreateRow(const QString& name, EditorKind kind, const QString& group);
  void DestroyRow(RowTable::iterator it);
  void ShowValue(PropertyRow& row, const DesignObject& object, const QString& value);
  void HandleEdit(PropertyRow& row, const DesignObject& object, PropertyEvent type);
  void PickFont(PropertyRow& row, const DesignObject& object);
  void PickColour(PropertyRow& row, const DesignObject& object);
  void ClearPicker(PropertyRow& row, const DesignObject& object);
  // Hands the value to the host as an edit of the row's object.
  void Store(const DesignObject& object, const QString& attribute, const QString& value);
  void Refuse(PropertyRow& row, const DesignObject& object, const QString& why);
  // The wheel over an editor without the focus scrolls the panel instead of changing the value.
  bool PassWheelOn(QObject* watched, QEvent* event);
  void Schedule(int delayMs);
  QWidget* Content() const;

  PropertiesHost host_;
  bool typing_ = false;  // the change being handled was typed (not picked or clicked)
  bool refusalShown_ = false;
  RowTable rows_;
  EditorIndex index_;
};

}  // namespace bxw
