#include "xml/dialog_xml_reader.h"

#include <expat.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/design_edit.h"
#include "model/value_text.h"
#include "platform/expat_feed.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kName = QStringLiteral("name");
const QLatin1String kLineEnd("\r\n");
const QLatin1String kNothingImported("Nothing was imported: ");

QString PlainAttributeName(const QString& name) {
  if (!name.startsWith(QLatin1String("bxw"))) return name;
  if (name == QLatin1String("bxwevents")) return QStringLiteral("onevent");
  if (name == QLatin1String("bxwfrontcolor") || name == QLatin1String("bxwbackcolor") ||
      name == QLatin1String("bxwfont") || name == QLatin1String("bxwtooltip") ||
      name == QLatin1String("bxwvariable"))
    return name.mid(3);
  return name;
}

// Not noexcept, which makes the hash tables keep each hash beside its key: a file may bring any
// number of spellings, and finding one then compares hashes instead of hashing keys again.
struct BytesHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Spellings met while reading a file (element or attribute names, as bytes) and what was worked
// out for each. A file uses few of them, found by a short scan; any number more go to a hash map.
template <typename V>
class SpellingTable {
public:
  // The entry of the spelling, or null when it is new.
  V* Find(const char* spelling) {
    for (const auto& [bytes, value] : few_)
      if (std::strcmp(bytes, spelling) == 0) return value;
    auto it = all_.find(std::string_view(spelling));
    return it == all_.end() ? nullptr : &it->second;
  }
  V& Add(const char* spelling, V value) {
    auto it = all_.emplace(std::string(spelling), std::move(value)).first;
    if (few_.size() < kFew) few_.emplace_back(it->first.c_str(), &it->second);
    return it->second;
  }

private:
  static constexpr size_t kFew = 16;
  std::unordered_map<std::string, V, BytesHash, std::equal_to<>> all_;  // nodes do not move
  std::vector<std::pair<const char*, V*>> few_;
};

// How one spelling of an attribute name is read for one class; worked out once per import.
struct AttributeSpelling {
  QString name;  // a class attribute: the schema's own string; otherwise the file's spelling
  bool kept = false;
  bool isName = false;
  QString warning;  // the warning line of a kept attribute
};

// How one spelling of an element name is read, with the spellings of its attributes.
struct ClassSpelling {
  QString cls;                          // in lower case, shared by every object of the class
  const ClassRecord* record = nullptr;  // null: not a class of the schema

  const AttributeSpelling& Attribute(const char* spelling) {
    if (const AttributeSpelling* known = attributes.Find(spelling)) return *known;
    AttributeSpelling s;
    const QString original = QString::fromUtf8(spelling);
    const QString plain = PlainAttributeName(original.toLower());
    const auto known = record->attributeSet.constFind(plain);
    if (known != record->attributeSet.constEnd()) {
      s.name = *known;
      s.isName = plain == kName;
    } else {
      s.name = original;
      s.kept = true;
      s.warning = QStringLiteral("Unsupported property: ") + cls + QLatin1Char('\\') + original +
                  QStringLiteral(" (kept)") + kLineEnd;
    }
    return attributes.Add(spelling, std::move(s));
  }

  SpellingTable<AttributeSpelling> attributes;
};

// Attribute values repeat a lot ("yes", sizes, fonts, colours): equal short values share one
// string. A small direct-mapped table keeps the cost and the memory bounded whatever the file.
class ValueTable {
public:
  QString Get(const char* value) {
    const std::string_view bytes(value);
    if (bytes.size() > kLongest) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    Slot& slot = slots_[BytesHash{}(bytes) % kSlots];
    if (slot.bytes != bytes) {
      slot.bytes.assign(bytes);
      slot.value = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    return slot.value;
  }

private:
  static constexpr size_t kLongest = 32;
  static constexpr size_t kSlots = 4096;
  struct Slot {
    std::string bytes;
    QString value;
  };
  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// An object whose element had no name, or a name taken earlier. It is held aside, without a key,
// until the whole file is read and named then, so that the file's own names come first.
struct PendingName {
  DesignObjectPtr object;
  DesignObject* parent;
  int index;        // its place in the parent's children list
  int warningLine;  // says what a taken name became; -1 for an element without a name
};

// What the expat callbacks share while a file is read.
struct ImportState {
  ImportState(const ClassSchema& s, XML_Parser p) : schema(s), parser(p) {}
  const ClassSchema& schema;
  XML_Parser parser;
  DesignBuilder builder{false};  // the design being built aside
  std::vector<QString> lines;    // warning lines, in document order
  SpellingTable<ClassSpelling> classes;
  ValueTable values;

  // The objects of the open elements that got one; an element whose object could not be made is
  // skipped with all it contains (skipDepth counts the open elements of that subtree).
  std::vector<DesignObject*> path;
  int skipDepth = 0;
  bool sawMain = false;
  bool mainClosed = false;
  bool windowIsMain = false;
  QString otherMain;  // the main element when it is neither dialogs nor window
  bool tooDeep = false;
  QStringList comments;             // read since the last element began or ended
  QStringList trailing;             // after the main element
  std::deque<PendingName> pending;  // grows without moving what it holds
  // Objects made with their own names under a pending parent, whose parent key follows the
  // parent's name once it has one.
  std::vector<std::pair<DesignObject*, DesignObject*>> underPending;

  ClassSpelling& Class(const char* spelling) {
    if (ClassSpelling* known = classes.Find(spelling)) return *known;
    ClassSpelling c;
    c.cls = QString::fromUtf8(spelling).toLower();
    c.record = schema.Find(c.cls);
    return classes.Add(spelling, std::move(c));
  }
};

// Fills the object part of one element: its class attributes (a later spelling of the same
// attribute overwrites an earlier one, so tooltip and bxwtooltip keep the one that comes last)
// and, after them, the attributes the class does not know, as the file spells them. Answers the
// name the file gives.
QString ReadObjectFromXml(ImportState& st, ClassSpelling& c, const XML_Char** atts,
                          std::vector<Attribute>& out) {
  int count = 0;
  while (atts[count]) count += 2;
  out.reserve(size_t(count / 2) + 1);  // room for a name given later
  QString requested;
  for (int i = 0; atts[i]; i += 2) {
    const AttributeSpelling& s = c.Attribute(atts[i]);
    // Names are nearly all different: not worth a slot of the value table.
    QString value = s.isName ? QString::fromUtf8(atts[i + 1]) : st.values.Get(atts[i + 1]);
    if (s.kept) {
      st.lines.push_back(s.warning);
      out.push_back({s.name, std::move(value), true});
      continue;
    }
    if (s.isName) requested = value;
    bool replaced = false;
    for (Attribute& a : out) {
      if (!a.kept && a.name == s.name) {
        a.value = std::move(value);
        replaced = true;
        break;
      }
    }
    if (!replaced) out.push_back({s.name, std::move(value), false});
  }
  // Class attributes first, then the kept ones in file order.
  std::stable_partition(out.begin(), out.end(), [](const Attribute& a) { return !a.kept; });
  return requested;
}

// Creates the object of one element under the innermost open object. An element whose name is
// missing or taken gets its object made aside, to be named once the whole file is read.
void AddObject(ImportState& st, ClassSpelling& c, const XML_Char** atts) {
  std::vector<Attribute> attributes;
  const QString requested = ReadObjectFromXml(st, c, atts, attributes);
  DesignObject& parent = *st.path.back();
  DesignObject* o =
      requested.isEmpty() ? nullptr : st.builder.AppendNode(requested.toLower(), parent);
  if (o) {
    if (parent.key.isEmpty()) st.underPending.emplace_back(o, &parent);
  } else {
    DesignObjectPtr aside = st.builder.NewObject();
    o = aside.get();
    const int index = static_cast<int>(parent.children.size());
    st.builder.AppendUnnamed(parent, *o);  // the name comes later
    const int warningLine = requested.isEmpty() ? -1 : static_cast<int>(st.lines.size());
    if (!requested.isEmpty()) st.lines.emplace_back();  // says what the name became
    st.pending.push_back({std::move(aside), &parent, index, warningLine});
  }
  o->cls = c.cls;
  o->attributes = std::move(attributes);
  o->commentsBefore = std::move(st.comments);
  st.comments.clear();
  st.path.push_back(o);
}

// The main element: "dialogs" is the root itself; a "window" is the one window of a root made for
// it. Anything else is read to its end, to report syntax errors, and then not imported.
void AddMainObject(ImportState& st, const XML_Char* name, const XML_Char** atts) {
  const QString element = QString::fromUtf8(name);
  const bool dialogs = element == kDialogs;
  st.windowIsMain = element == QLatin1String("window");
  if (!dialogs && !st.windowIsMain) {
    st.otherMain = element;
    st.skipDepth = 1;
    return;
  }
  DesignObject* root =
      st.builder.CreateObject(QString(), kDialogs, kDialogs, nullptr, kFirst, false, false);
  root->attributes.clear();
  if (dialogs) {
    ReadObjectFromXml(st, st.Class(name), atts, root->attributes);
    root->commentsBefore = std::move(st.comments);
    st.comments.clear();
  }
  SetAttribute(*root, kName, kDialogs);
  st.path.push_back(root);
  if (st.windowIsMain) {
    st.builder.SetWindowIsMainElement(true);
    AddObject(st, st.Class(name), atts);
  }
}

// Creates the object for one element as expat reports its start tag; its children follow as
// further start tags, so the whole file is added depth first in document order.
void XMLCALL AddObjectsFromXml(void* user, const XML_Char* name, const XML_Char** atts) {
  auto* st = static_cast<ImportState*>(user);
  if (st->skipDepth > 0) {
    ++st->skipDepth;
    return;
  }
  if (!st->sawMain) {
    st->sawMain = true;
    AddMainObject(*st, name, atts);
    return;
  }
  ClassSpelling& c = st->Class(name);
  if (!c.record) {
    st->lines.push_back(QStringLiteral("Unsupported object type: ") + c.cls + kLineEnd);
    st->skipDepth = 1;
    return;
  }
  // The open objects are the root, the window level and the levels below it.
  if (st->path.size() > size_t(kMaxNestingBelowWindow) + 1) {
    st->tooDeep = true;
    XML_StopParser(st->parser, XML_FALSE);
    return;
  }
  AddObject(*st, c, atts);
}

void XMLCALL OnImportEnd(void* user, const XML_Char*) {
  auto* st = static_cast<ImportState*>(user);
  if (st->skipDepth > 0) {
    if (--st->skipDepth == 0 && !st->otherMain.isEmpty()) st->mainClosed = true;
    return;
  }
  if (st->path.empty()) return;
  // Comments after the last child stand inside the element, before its end tag.
  st->path.back()->commentsInside += st->comments;
  st->comments.clear();
  st->path.pop_back();
  if (st->path.size() == (st->windowIsMain ? 1u : 0u)) st->mainClosed = true;
}

void XMLCALL OnImportComment(void* user, const XML_Char* data) {
  auto* st = static_cast<ImportState*>(user);
  if (st->skipDepth > 0) return;  // left out with the element around it
  (st->mainClosed ? st->trailing : st->comments).append(QString::fromUtf8(data));
}

// Names the objects made aside, in document order, now that every name of the file is known:
// class + the first free counter for an element without a name, name + "_c" + counter (as a
// paste does) for a name that was taken. A parent comes before its children, so it is named when
// they are.
void NamePendingObjects(ImportState& st) {
  st.builder.Reserve(st.builder.Tree().Size() + static_cast<int>(st.pending.size()));
  // Per class, the counter to try next: nothing leaves the design while it is read, so a counter
  // once taken stays taken.
  std::unordered_map<QString, int> next;
  // Each record is let go once its object has joined the design.
  for (; !st.pending.empty(); st.pending.pop_front()) {
    PendingName& p = st.pending.front();
    DesignObject& o = *p.object;
    o.parentKey = p.parent->key;
    if (p.warningLine < 0) {
      o.generatedName = true;
      int& counter = next.try_emplace(o.cls, 1).first->second;
      do {
        const QString name = o.cls + QString::number(counter++);
        o.key = name.toLower();
        SetAttribute(o, kName, name);
      } while (!st.builder.AdoptNode(p.object));
    } else {
      const QString requested = GetAttribute(o, kName);
      const QString base = requested + QStringLiteral("_c");
      const QString name = base + QString::number(st.builder.Tree().FirstFreeCounter(base));
      st.lines[size_t(p.warningLine)] = QStringLiteral("Duplicate name: ") + requested +
                                        QStringLiteral(" renamed to ") + name + kLineEnd;
      o.key = name.toLower();
      SetAttribute(o, kName, name);
      st.builder.AdoptNode(p.object);  // the counter was free
    }
    st.builder.NameChild(*p.parent, p.index, o.key);
  }
  for (auto& [child, parent] : st.underPending) child->parentKey = parent->key;
  st.underPending.clear();
}

// The warning lines as one text; each line is let go once it is copied, so the text is never
// held twice.
QString Joined(std::vector<QString>& lines) {
  qsizetype size = 0;
  for (const QString& l : lines) size += l.size();
  QString out;
  out.reserve(size);
  for (QString& l : lines) {
    out += l;
    l = QString();
  }
  lines.clear();
  return out;
}

XmlLoadResult Load(const ClassSchema& schema, qint64 expectedBytes,
                   const std::function<FeedResult(XML_Parser)>& feed) {
  XmlLoadResult result;
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
    return result;
  }
  ImportState state(schema, parser);
  // A typical object takes 40 bytes of a file or more; a denser file grows the table as usual.
  state.builder.Reserve(static_cast<int>(std::min<qint64>(expectedBytes / 40, 1 << 24)));
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, AddObjectsFromXml, OnImportEnd);
  XML_SetCommentHandler(parser, OnImportComment);
  // Never load external entities or DTDs; expat's amplification limits stay in force.
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

  const FeedResult fed = feed(parser);
  const XML_Error error = XML_GetErrorCode(parser);

  // Whatever was built before a refusal is dropped, and so are its warnings.
  if (state.tooDeep) {
    result.status = XmlLoadStatus::TooDeep;
    result.errorText = kNothingImported +
                       QStringLiteral(
                           "elements are nested more than %1 levels deep below the "
                           "window, deeper than a dialog can open")
                           .arg(kMaxNestingBelowWindow) +
                       kLineEnd;
  } else if (fed == FeedResult::ReadError) {
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
  } else if (fed == FeedResult::ParseError && error == XML_ERROR_NO_ELEMENTS && !state.sawMain) {
    result.status = XmlLoadStatus::ParseError;
    result.errorText = kNothingImported + QStringLiteral("the file holds no element");
  } else if (fed == FeedResult::ParseError) {
    result.status = XmlLoadStatus::ParseError;
    result.errorText =
        QStringLiteral("XML line ") + QString::number(XML_GetCurrentLineNumber(parser)) +
        QStringLiteral(", pos ") + QString::number(XML_GetCurrentColumnNumber(parser) + 1) +
        QStringLiteral(": ") + QString::fromUtf8(XML_ErrorString(error));
  } else if (!state.otherMain.isEmpty()) {
    result.status = XmlLoadStatus::NotDialogs;
    result.errorText =
        kNothingImported +
        QStringLiteral("the main element must be \"dialogs\" or \"window\", not \"") +
        state.otherMain + QStringLiteral("\"") + kLineEnd;
  } else {
    NamePendingObjects(state);
    state.builder.SetTrailingComments(state.trailing);
    result.status = XmlLoadStatus::Loaded;
    state.classes = {};  // the spellings hold the lines of kept attributes too
    result.errorText = Joined(state.lines);
    result.design = state.builder.Take();
  }
  XML_ParserFree(parser);
  return result;
}

}  // namespace

XmlLoadResult LoadDialogXml(const ClassSchema& schema, const QByteArray& bytes) {
  return Load(schema, bytes.size(), [&](XML_Parser parser) {
    return FeedExpat(parser, bytes) ? FeedResult::Parsed : FeedResult::ParseError;
  });
}

XmlLoadResult LoadDialogXmlFile(const ClassSchema& schema, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    XmlLoadResult result;
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
    return result;
  }
  return Load(schema, file.size(), [&](XML_Parser parser) { return FeedExpat(parser, file); });
}

bool HasValidRoot(const DesignTree& tree) {
  const DesignObject* root = tree.Find(kDialogs);
  return root && root->parentKey.isEmpty();
}

}  // namespace bxw
