#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace bxw {

struct SuggestedValueList {
  QStringList values;
  QSet<QString> set;
};

// What a class is in a design besides its attributes: where it goes, what it takes, and what a new
// object of it starts with.
struct ClassFacts {
  int capacity = 0;                   // children it takes: 0 none, 1 one, 2 two, -1 any number
  const char* onlyParent = nullptr;   // the one class it can be placed in
  const char* onlyChild = nullptr;    // the one class it takes
  const char* newFlags = nullptr;     // flags of a new object
  bool newTextIsName = false;         // a new object's text is its name
  bool newOnEvent = false;            // a new object has onevent="yes"
  bool newVariable = false;           // a new object has variable="yes"
};

struct ClassRecord {
  ClassFacts facts;
  QStringList attributes;
  QSet<QString> attributeSet;
  QStringList events;
  QHash<QString, SuggestedValueList> suggested;
};

// The catalogue of the 40 object classes: attribute order, suggested values, event constants.
// Complete once constructed and read-only afterwards. Class names compare case-sensitively.
class ClassSchema {
public:
  ClassSchema();

  bool IsKnownClass(const QString& cls) const;
  bool ClassHasAttribute(const QString& cls, const QString& attribute) const;
  void ClassAttributes(const QString& cls, QStringList& out) const;
  void SuggestedValues(const QString& cls, const QString& attribute, QStringList& out) const;
  bool IsSuggestedValue(const QString& cls, const QString& attribute, const QString& value) const;
  void ClassEvents(const QString& cls, QStringList& out) const;

  // Convenience forms answering the list directly.
  QStringList ClassAttributes(const QString& cls) const;
  QStringList SuggestedValues(const QString& cls, const QString& attribute) const;
  QStringList ClassEvents(const QString& cls) const;

  const ClassRecord* Find(const QString& cls) const;
  int ClassCount() const { return static_cast<int>(classes_.size()); }

private:
  void BuildClassSchema();
  void AddClass(const QString& cls, const char* attributes);
  void AddSuggestions(const QString& cls, const QString& attribute, const QStringList& values);
  void AddEvents(const QString& cls, const QStringList& events);

  QHash<QString, ClassRecord> classes_;
};

// The facts of a class; those of an unknown class are all defaults (a leaf that goes anywhere).
const ClassFacts& FactsOfClass(const QString& cls);

// The class of an add-object command number (14..52), or an empty text.
QString ClassForAddCommand(int command);

}  // namespace bxw
