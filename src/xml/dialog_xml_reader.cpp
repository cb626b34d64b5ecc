#include "xml/dialog_xml_reader.h"

#include <expat.h>

#include <QFile>
#include <QFileInfo>
#include <vector>

#include "model/value_text.h"
#include "platform/expat_feed.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QLatin1String kLineEnd("\r\n");

QString PlainAttributeName(const QString& name) {
  if (!name.startsWith(QLatin1String("bxw"))) return name;
  if (name == QLatin1String("bxwevents")) return QStringLiteral("onevent");
  if (name == QLatin1String("bxwfrontcolor") || name == QLatin1String("bxwbackcolor") ||
      name == QLatin1String("bxwfont") || name == QLatin1String("bxwtooltip") ||
      name == QLatin1String("bxwvariable"))
    return name.mid(3);
  return name;
}

}  // namespace

bool ReadObjectFromXml(const ClassSchema& schema, DesignObject& working, const QString& cls,
                       const std::vector<XmlAttribute>& attributes, QString& errorText) {
  const ClassRecord* record = schema.Find(cls);
  if (!record) {
    errorText += QStringLiteral("Unsupported object type: ") + cls + kLineEnd;
    return false;
  }
  working = DesignObject{};
  working.cls = cls;
  for (const XmlAttribute& a : attributes) {
    const QString name = PlainAttributeName(a.name.toLower());
    // The schema's own string is stored, so the name costs nothing per object.
    const auto known = record->attributeSet.constFind(name);
    if (known != record->attributeSet.constEnd()) {
      SetAttribute(working, *known, a.value);
    } else {
      errorText +=
          QStringLiteral("Unsupported property: ") + cls + QLatin1Char('\\') + name + kLineEnd;
    }
  }
  return true;
}

namespace {

// Creates the object for one element from the working part, as CreateObject does with the working
// part as copy source and renaming not allowed: named as requested (or class + 1 when unnamed),
// refused when that name is taken. The attributes are handed over instead of copied.
const DesignObject* CreateFromWorkingPart(DesignBuilder& builder, const QString& parentKey,
                                          DesignObject& working, const QString& requestedName,
                                          int position) {
  const QString name = requestedName.isEmpty() ? working.cls + QLatin1Char('1') : requestedName;
  const QString key = name.toLower();
  if (builder.Tree().Contains(key) || !builder.InsertNode(key, parentKey, position)) return nullptr;
  DesignObject* created = builder.Object(key);
  created->attributes = std::move(working.attributes);
  created->cls = working.cls;
  SetAttribute(*created, QStringLiteral("name"), name);
  return created;
}

// What the expat callbacks share while a file is read.
struct ImportState {
  ImportState(DesignBuilder& b, const ClassSchema& s, QString& e)
      : builder(b), schema(s), errorText(e) {}
  DesignBuilder& builder;  // the design being built aside
  const ClassSchema& schema;
  QString& errorText;
  // Keys of the objects of the open elements that got one; an element whose object could not be
  // made is skipped with all it contains (skipDepth counts the open elements of that subtree).
  std::vector<QString> path;
  int skipDepth = 0;
  bool sawMain = false;
  bool mainIsDialogs = false;
  DesignObject working;
  std::vector<XmlAttribute> attributes;
};

// Creates the object for one element as expat reports its start tag; its children follow as
// further start tags, so the whole file is added depth first in document order.
void XMLCALL AddObjectsFromXml(void* user, const XML_Char* name, const XML_Char** atts) {
  auto* st = static_cast<ImportState*>(user);
  if (st->skipDepth > 0) {
    ++st->skipDepth;
    return;
  }
  const QString element = QString::fromUtf8(name);
  st->attributes.clear();
  for (int i = 0; atts[i]; i += 2)
    st->attributes.push_back({QString::fromUtf8(atts[i]), QString::fromUtf8(atts[i + 1])});
  const QString cls = element.toLower();

  if (!st->sawMain) {
    st->sawMain = true;
    // Only a main element spelled exactly "dialogs" is imported; any other document is read to
    // its end (to report syntax errors) and then ignored.
    st->mainIsDialogs = element == kDialogs;
    if (!st->mainIsDialogs) {
      st->skipDepth = 1;
      return;
    }
    ReadObjectFromXml(st->schema, st->working, cls, st->attributes, st->errorText);
    CreateFromWorkingPart(st->builder, QString(), st->working, kDialogs, kFirst);
    st->path.push_back(kDialogs);
    return;
  }
  if (!ReadObjectFromXml(st->schema, st->working, cls, st->attributes, st->errorText)) {
    st->skipDepth = 1;
    return;
  }
  const QString requested = GetAttribute(st->working, QStringLiteral("name"));
  const DesignObject* created =
      CreateFromWorkingPart(st->builder, st->path.back(), st->working, requested, kLast);
  if (!created) {
    // An unnamed element was tried as class + 1; say which name was refused.
    st->errorText += QStringLiteral("Cannot add object: ") +
                     (requested.isEmpty() ? cls + QLatin1Char('1') : requested) + kLineEnd;
    st->skipDepth = 1;
    return;
  }
  st->path.push_back(created->key);
}

void XMLCALL OnImportEnd(void* user, const XML_Char*) {
  auto* st = static_cast<ImportState*>(user);
  if (st->skipDepth > 0)
    --st->skipDepth;
  else if (!st->path.empty())
    st->path.pop_back();
}

}  // namespace

XmlLoadResult LoadDialogXml(const ClassSchema& schema, const QByteArray& bytes) {
  XmlLoadResult result;
  DesignBuilder building(false);
  ImportState state{building, schema, result.errorText};

  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
    return result;
  }
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, AddObjectsFromXml, OnImportEnd);
  // Never load external entities or DTDs; expat's amplification limits stay in force.
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

  const bool ok = FeedExpat(parser, bytes);

  if (!ok) {
    // Whatever was built before the error is dropped, and so are its warnings.
    result.status = XmlLoadStatus::ParseError;
    result.errorText =
        QStringLiteral("XML line ") + QString::number(XML_GetCurrentLineNumber(parser)) +
        QStringLiteral(", pos ") + QString::number(XML_GetCurrentColumnNumber(parser) + 1) +
        QStringLiteral(": ") + QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser)));
  } else if (!state.mainIsDialogs) {
    result.status = XmlLoadStatus::NotDialogs;
    result.errorText.clear();
  } else {
    result.status = XmlLoadStatus::Loaded;
    result.design = building.Take();
  }
  XML_ParserFree(parser);
  return result;
}

XmlLoadResult LoadDialogXmlFile(const ClassSchema& schema, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    XmlLoadResult result;
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
    return result;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    XmlLoadResult result;
    result.status = XmlLoadStatus::NotReadable;
    result.errorText = QStringLiteral("Not a valid XML file");
    return result;
  }
  return LoadDialogXml(schema, bytes);
}

bool HasValidRoot(const DesignTree& tree) {
  const DesignObject* root = tree.Find(kDialogs);
  return root && root->parentKey.isEmpty();
}

void ImportXmlCommand(DesignerContext& ctx) {
  FileRequest request;
  request.title = QStringLiteral("Import XML");
  request.startPath = ctx.settings.IOLastDIR;
  request.patterns = kXmlPatterns;
  request.initialPattern = 0;
  const FileAnswer answer = ctx.requesters.OpenFile(request);
  if (!answer.path.isEmpty()) ImportXmlFile(ctx, answer.path);
}

void ImportXmlFile(DesignerContext& ctx, const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.exists() || info.isDir()) return;
  ctx.settings.IOLastDIR = DirectoryPart(path);

  if (ctx.settings.ConfirmChanges && WholeDocumentFingerprint(ctx) != ctx.savedSnapshot &&
      !ctx.requesters.AskYesNo(QStringLiteral("Load XML"),
                               QStringLiteral("There are unsaved changes in current XML. "
                                              "Continue import?"),
                               MessageIcon::Information))
    return;

  XmlLoadResult result = LoadDialogXmlFile(ctx.schema, path);
  if (!result.errorText.isEmpty()) {
    ctx.requesters.Message(QStringLiteral("Import XML"),
                           QStringLiteral("Following error(s) occured with file '") +
                               FilePart(path) + QStringLiteral("':") + kLineEnd + kLineEnd +
                               result.errorText,
                           MessageIcon::Warning);
  }
  if (result.status == XmlLoadStatus::Loaded) {
    QString file = path;
    if (!HasValidRoot(*result.design)) {
      ctx.requesters.Message(QStringLiteral("Import XML file"),
                             QStringLiteral("Error: missing or invalid root item in loaded file"),
                             MessageIcon::Error);
      result.design = NewEmptyDesign();
      file.clear();
    }
    if (ctx.hooks.applyEdit)
      ctx.hooks.applyEdit(ReplaceDesignEdit{std::move(result.design), file},
                          QStringLiteral("Import '") + FilePart(path) + QLatin1Char('\''));
  }
  // Also after a failed or ignored import, so that quitting does not warn about older changes.
  ctx.savedSnapshot = WholeDocumentFingerprint(ctx);
}

}  // namespace bxw
