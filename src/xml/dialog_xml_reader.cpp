#include "xml/dialog_xml_reader.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

#include "xml/value_text.h"
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
                       const XmlNode& element, QString& errorText) {
  const ClassRecord* record = schema.Find(cls);
  if (!record) {
    errorText += QStringLiteral("Unsupported object type: ") + cls + kLineEnd;
    return false;
  }
  working = DesignObject{};
  working.cls = cls;
  for (const XmlAttribute& a : element.Attributes()) {
    const QString name = PlainAttributeName(a.name.toLower());
    if (record->attributeSet.contains(name)) {
      SetAttribute(working, name, a.value);
    } else {
      errorText +=
          QStringLiteral("Unsupported property: ") + cls + QLatin1Char('\\') + name + kLineEnd;
    }
  }
  return true;
}

// Creates the object for one element from the working part, as CreateObject does with the working
// part as copy source and renaming not allowed: named as requested (or class + 1 when unnamed),
// refused when that name is taken. The attributes are handed over instead of copied.
const DesignObject* CreateFromWorkingPart(DesignTree& tree, const QString& parentKey,
                                          DesignObject& working, const QString& requestedName,
                                          int position) {
  const QString name = requestedName.isEmpty() ? working.cls + QLatin1Char('1') : requestedName;
  const QString key = name.toLower();
  if (tree.Contains(key) || !tree.InsertNode(key, parentKey, position)) return nullptr;
  DesignObject* created = tree.Find(key);
  created->attributes = std::move(working.attributes);
  created->key = key;
  created->cls = working.cls;
  SetAttribute(*created, QStringLiteral("name"), name);
  return created;
}

void AddObjectsFromXml(DesignTree& tree, const ClassSchema& schema, const XmlNode* mainElement,
                       QString& errorText) {
  if (!mainElement) return;
  // Keys of the objects made for the elements on the path from the main element down to the
  // current node's parent. Only elements with an object are descended into, so the path always
  // ends in the current node's parent.
  std::vector<QString> path;
  DesignObject working;
  const QString nameAttribute = QStringLiteral("name");

  const XmlNode* node = mainElement;
  while (node) {
    bool descend = false;
    QString createdKey;
    if (node->IsElement()) {
      const QString cls = node->Name().toLower();
      if (node != mainElement) {
        if (ReadObjectFromXml(schema, working, cls, *node, errorText)) {
          const QString name = GetAttribute(working, nameAttribute);
          const DesignObject* created =
              CreateFromWorkingPart(tree, path.back(), working, name, kLast);
          if (created) {
            createdKey = created->key;
            descend = node->HasChildren();
          } else {
            // An unnamed element was tried as class + 1; say which name was refused.
            errorText += QStringLiteral("Cannot add object: ") +
                         (name.isEmpty() ? cls + QLatin1Char('1') : name) + kLineEnd;
          }
        }
      } else {
        ReadObjectFromXml(schema, working, cls, *node, errorText);
        if (cls == kDialogs && CreateFromWorkingPart(tree, QString(), working, kDialogs, kFirst)) {
          createdKey = kDialogs;
          descend = node->HasChildren();
        } else {
          errorText += QStringLiteral("Cannot add main object: ") + cls + kLineEnd;
          return;
        }
      }
    }
    if (descend) {
      path.push_back(createdKey);
      node = node->FirstChild();
      continue;
    }
    // Next sibling, or the next sibling of the nearest ancestor that has one.
    while (node != mainElement && !node->NextSibling()) {
      node = node->Parent();
      path.pop_back();
    }
    if (node == mainElement) break;
    node = node->NextSibling();
  }
}

XmlLoadResult LoadDialogXml(DesignTree& tree, const ClassSchema& schema, const QByteArray& bytes) {
  XmlLoadResult result;
  // Text between elements carries nothing for the design.
  XmlParseResult parsed = ParseXml(bytes, XmlParseOptions{false});
  if (!parsed.ok || !parsed.document) {
    result.status = XmlLoadStatus::ParseError;
    result.errorText = QStringLiteral("XML line ") + QString::number(parsed.line) +
                       QStringLiteral(", pos ") + QString::number(parsed.position) +
                       QStringLiteral(": ") + parsed.message;
    return result;
  }
  const XmlNode* main = parsed.document->MainElement();
  if (!main || main->Name() != kDialogs) {
    result.status = XmlLoadStatus::NotDialogs;
    return result;
  }
  tree.Clear();
  result.status = XmlLoadStatus::Loaded;
  AddObjectsFromXml(tree, schema, main, result.errorText);
  return result;
}

XmlLoadResult LoadDialogXmlFile(DesignTree& tree, const ClassSchema& schema, const QString& path) {
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
  return LoadDialogXml(tree, schema, bytes);
}

void ResetToEmptyDesign(DesignTree& tree) {
  tree.Clear();
  CreateObject(tree, QString(), kDialogs, kDialogs, nullptr, kFirst, false, false);
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

  const XmlLoadResult result = LoadDialogXmlFile(ctx.tree, ctx.schema, path);
  if (!result.errorText.isEmpty()) {
    ctx.requesters.Message(QStringLiteral("Import XML"),
                           QStringLiteral("Following error(s) occured with file '") +
                               FilePart(path) + QStringLiteral("':") + kLineEnd + kLineEnd +
                               result.errorText,
                           MessageIcon::Warning);
  }
  if (result.status == XmlLoadStatus::Loaded) {
    if (!HasValidRoot(ctx.tree)) {
      ctx.requesters.Message(QStringLiteral("Import XML file"),
                             QStringLiteral("Error: missing or invalid root item in loaded file"),
                             MessageIcon::Error);
      ResetToEmptyDesign(ctx.tree);
      SetTreeWindowTitle(ctx, QString());
    } else {
      SetTreeWindowTitle(ctx, QStringLiteral(": ") + FilePart(path));
    }
    if (ctx.hooks.refreshAfterImport) ctx.hooks.refreshAfterImport(kDialogs, {kDialogs});
  }
  // Also after a failed or ignored import, so that quitting does not warn about older changes.
  ctx.savedSnapshot = WholeDocumentFingerprint(ctx);
}

}  // namespace bxw
