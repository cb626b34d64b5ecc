#include "codegen/source_export.h"

#include <algorithm>

#include "xml/value_text.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QString kName = QStringLiteral("name");
constexpr qsizetype kStatementLimit = 7372;

// Lines of the generated text; each line ends with CR LF when joined.
class Lines {
public:
  void Add(int tabs, const QString& text) {
    QString line(tabs, QLatin1Char('\t'));
    line += text;
    lines_.append(line);
  }
  void Blank() { lines_.append(QString()); }
  void AddRaw(const QString& line) { lines_.append(line); }
  QString Join() const {
    qsizetype size = 0;
    for (const QString& l : lines_) size += l.size() + 2;
    QString out;
    out.reserve(size);
    for (const QString& l : lines_) {
      out += l;
      out += QLatin1String("\r\n");
    }
    return out;
  }

private:
  QStringList lines_;
};

bool LessNoCase(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

void SortNoCase(QStringList& list) { std::stable_sort(list.begin(), list.end(), LessNoCase); }

QString Quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

// A font face as a string literal: plain when it can be, the escaped form when it holds a quote
// or a control character that would end the literal or the line.
QString FaceLiteral(const QString& face) {
  const bool needsEscape = std::any_of(face.begin(), face.end(), [](QChar c) {
    return c == QLatin1Char('"') || c.unicode() < 32;
  });
  if (!needsEscape) return Quoted(face);
  return QStringLiteral("~\"") + EscapePureBasicString(face) + QLatin1Char('"');
}

QString FontFlags(int style) {
  const bool bold = style & 256;
  const bool italic = style & 512;
  if (bold && italic) return QStringLiteral(", #PB_Font_Bold | #PB_Font_Italic");
  if (bold) return QStringLiteral(", #PB_Font_Bold");
  if (italic) return QStringLiteral(", #PB_Font_Italic");
  return QString();
}

QStringList WindowList(const DesignTree& tree) {
  QStringList windows;
  if (const DesignObject* root = tree.Find(kDialogs)) {
    for (const QString& key : root->children)
      if (const DesignObject* w = tree.Find(key)) windows << GetAttribute(*w, kName);
  }
  windows.sort(Qt::CaseSensitive);
  return windows;
}

void WriteDpiSection(Lines& out, const DialogXmlWriter& writer) {
  out.Add(0, QStringLiteral(";{ DPI Patch (Windows) }"));
  out.Blank();
  out.Add(1, QStringLiteral("; Don't forget related manifest file or SetDPIAware() API call!"));
  out.Blank();
  out.Add(1, QStringLiteral("Global.f DPIXScale = 1.0, DPIYScale = 1.0"));
  out.Add(1, QStringLiteral("Procedure InitScaleDPI()"));
  out.Add(2, QStringLiteral("Protected lpx, lpy, DC = GetDC_(#Null)"));
  out.Add(2, QStringLiteral("If DC"));
  out.Add(3, QStringLiteral("lpx = GetDeviceCaps_(DC, #LOGPIXELSX) : lpy = GetDeviceCaps_(DC, #LOGPIXELSY)"));
  out.Add(3, QStringLiteral("If lpx : DPIXScale = lpx / 96.0 : EndIf"));
  out.Add(3, QStringLiteral("If lpy : DPIYScale = lpy / 96.0 : EndIf"));
  out.Add(3, QStringLiteral("ReleaseDC_(#Null, DC)"));
  out.Add(2, QStringLiteral("EndIf"));
  out.Add(1, QStringLiteral("EndProcedure"));
  out.Add(1, QStringLiteral("InitScaleDPI()"));
  out.Add(1, QStringLiteral("Macro ScaleX (x) : \t((x) * DPIXScale) :\tEndMacro"));
  out.Add(1, QStringLiteral("Macro ScaleY (y) :\t((y) * DPIYScale) :\tEndMacro"));
  out.Blank();
  for (const auto& [name, expression] : writer.DpiPlaceholders())
    out.Add(1, QStringLiteral("Define ") + name + QStringLiteral(" = ") + expression +
                   QStringLiteral(" : Runtime ") + name);
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

void WriteXmlSection(Lines& out, const XmlDocument& doc, const QDateTime& now) {
  QString composed = ComposeForSource(doc);
  composed.replace(QLatin1Char('"'), QLatin1Char('\''));
  const QStringList pieces = composed.split(QLatin1String("\r\n"));
  QStringList xmlLines;
  for (qsizetype i = 1; i < pieces.size(); ++i) {
    if (std::all_of(pieces[i].begin(), pieces[i].end(), [](QChar c) { return c == ' '; }))
      continue;
    xmlLines << pieces[i];
  }

  out.Add(0, QStringLiteral(";{ Dialogs XML }"));
  out.Blank();
  out.Add(0, QStringLiteral("; Generated with ") + kTitleBase +
                 now.toString(QStringLiteral(", yyyy/MM/dd HH:mm:ss")));
  out.Add(0, QStringLiteral("Global DialogsXML$ = #Empty$ +"));
  qsizetype count = 0;
  for (qsizetype i = 0; i < xmlLines.size(); ++i) {
    const QString& line = xmlLines[i];
    count += line.size();
    const bool more = i + 1 < xmlLines.size();
    const bool endStatement = !more || count >= kStatementLimit;
    qsizetype spaces = 0;
    while (spaces < line.size() && line[spaces] == QLatin1Char(' ')) ++spaces;
    QString text = QStringLiteral("\"") + QString(spaces / 2, QLatin1Char('\t')) +
                   line.mid(spaces) + QLatin1Char('"');
    if (!endStatement) text += QStringLiteral(" +");
    out.Add(1, text);
    if (endStatement && more) {
      count = 0;
      out.Add(0, QStringLiteral("DialogsXML$ +"));
    }
  }
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

QStringList SortedGadgetNames(const QHash<QString, QString>& variables) {
  QStringList names = variables.keys();
  SortNoCase(names);
  return names;
}

void WriteEventBlock(Lines& out, const ClassSchema& schema, const EventCallback& record,
                     bool multiple) {
  const int m = multiple ? 2 : 0;
  const QString& n = record.objectName;
  if (multiple) out.Add(4, QStringLiteral("Case ") + n + QLatin1Char(':'));
  const QStringList events = schema.ClassEvents(record.objectClass);
  const QString otherEvent =
      QStringLiteral("Debug \"") + n + QStringLiteral(": Event \" + EventType()");
  if (events.isEmpty()) {
    out.Add(3 + m, otherEvent);
    return;
  }
  out.Add(3 + m, QStringLiteral("Select EventType()"));
  for (const QString& event : events) {
    QString shortName = event;
    shortName.remove(QStringLiteral("#PB_EventType_"), Qt::CaseInsensitive);
    out.Add(4 + m, QStringLiteral("Case ") + event + QStringLiteral(": "));
    out.Add(5 + m, QStringLiteral("Debug \"") + n + QStringLiteral(": ") + shortName +
                       QLatin1Char('"'));
  }
  out.Add(4 + m, QStringLiteral("Default: "));
  out.Add(5 + m, otherEvent);
  out.Add(3 + m, QStringLiteral("EndSelect"));
}

void WriteCallbacks(Lines& out, const ClassSchema& schema, const QString& w,
                    CodeExportTables& tables) {
  out.Add(1, QStringLiteral(";{ Callbacks: ") + w + QStringLiteral(" }"));
  out.Blank();
  auto it = tables.EventCallbacks.find(w);
  if (it == tables.EventCallbacks.end()) {
    out.Add(2, QStringLiteral("; Event handlers here"));
    out.Blank();
  } else {
    std::vector<EventCallback>& records = *it;
    std::stable_sort(records.begin(), records.end(),
                     [](const EventCallback& a, const EventCallback& b) {
                       return a.callback < b.callback;
                     });
    // Groups by callback text without regard to case, in order of first appearance.
    std::vector<std::vector<const EventCallback*>> groups;
    QHash<QString, size_t> groupIndex;
    for (const EventCallback& r : records) {
      const QString key = r.callback.toLower();
      auto g = groupIndex.constFind(key);
      if (g == groupIndex.constEnd()) {
        groupIndex.insert(key, groups.size());
        groups.push_back({&r});
      } else {
        groups[*g].push_back(&r);
      }
    }
    for (const auto& group : groups) {
      const bool multiple = group.size() > 1;
      out.Add(2, QStringLiteral("; ") + group.front()->tag);
      out.Add(2, QStringLiteral("Procedure ") + group.front()->callback);
      if (multiple) out.Add(3, QStringLiteral("Select EventGadget()"));
      for (const EventCallback* r : group) WriteEventBlock(out, schema, *r, multiple);
      if (multiple) out.Add(3, QStringLiteral("EndSelect"));
      out.Add(2, QStringLiteral("EndProcedure"));
      out.Blank();
    }
  }
  out.Add(1, QStringLiteral(";}"));
  out.Blank();
}

void WriteWindowBlock(Lines& out, const QString& w, const CodeExportTables& tables) {
  const QString dlg = QStringLiteral("dlg_") + w;
  out.Add(2, QStringLiteral("If OpenXMLDialog(") + dlg + QStringLiteral(", DialogsXML, ") +
                 Quoted(w) + QLatin1Char(')'));
  out.Add(3, w + QStringLiteral(" = DialogWindow(") + dlg + QLatin1Char(')'));

  const QHash<QString, QString> variables = tables.GadgetVariables.value(w);
  QStringList gadgets = variables.keys();
  const auto callbacks = tables.EventCallbacks.constFind(w);
  if (callbacks != tables.EventCallbacks.constEnd()) {
    for (const EventCallback& r : *callbacks)
      if (!variables.contains(r.objectName) && !gadgets.contains(r.objectName))
        gadgets << r.objectName;
  }
  if (!gadgets.isEmpty()) {
    out.Blank();
    QStringList lines;
    for (const QString& g : gadgets)
      lines << g + QStringLiteral(" = DialogGadget(") + dlg + QStringLiteral(", ") + Quoted(g) +
                   QLatin1Char(')');
    SortNoCase(lines);
    for (const QString& l : lines) out.Add(3, l);
  }
  if (callbacks != tables.EventCallbacks.constEnd()) {
    out.Blank();
    QStringList lines;
    for (const EventCallback& r : *callbacks)
      lines << QStringLiteral("BindGadgetEvent(") + r.objectName + QStringLiteral(", @") +
                   r.callback + QLatin1Char(')');
    SortNoCase(lines);
    for (const QString& l : lines) out.Add(3, l);
  }
  const auto code = tables.CodeLines.constFind(w);
  if (code != tables.CodeLines.constEnd()) {
    out.Blank();
    for (const QString& l : *code) out.Add(3, l);
  }
  out.Blank();
  out.Add(3, QStringLiteral("RefreshDialog(") + dlg + QLatin1Char(')'));
  out.Add(2, QStringLiteral("EndIf"));
}

void WriteUiSection(Lines& out, const ClassSchema& schema, const QStringList& windows,
                    CodeExportTables& tables) {
  out.Add(0, QStringLiteral(";{ Dialogs UI }"));
  out.Blank();
  for (const QString& w : windows) {
    out.Add(1, QStringLiteral("Global dlg_") + w + QStringLiteral(" = CreateDialog(#PB_Any)"));
    out.Add(1, QStringLiteral("Global ") + w);
    const QStringList names = SortedGadgetNames(tables.GadgetVariables.value(w));
    if (!names.isEmpty()) out.Add(1, QStringLiteral("Global ") + names.join(QStringLiteral(", ")));
    out.Blank();
  }
  if (!tables.FontTable.isEmpty()) {
    std::vector<const ExportFont*> fonts;
    for (const ExportFont& f : tables.FontTable) fonts.push_back(&f);
    std::sort(fonts.begin(), fonts.end(),
              [](const ExportFont* a, const ExportFont* b) { return a->fontName < b->fontName; });
    for (const ExportFont* f : fonts)
      out.Add(1, QStringLiteral("Global ") + f->fontName + QStringLiteral(" = LoadFont(#PB_Any, ") +
                     FaceLiteral(f->face) + QStringLiteral(", ") + QString::number(f->size) +
                     FontFlags(f->style) + QLatin1Char(')'));
    out.Blank();
  }
  out.Blank();
  for (const QString& w : windows) WriteCallbacks(out, schema, w, tables);
  out.Blank();

  out.Add(1, QStringLiteral("Procedure InitDialogs()"));
  out.Add(2, QStringLiteral("Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)"));
  const auto rootLines = tables.CodeLines.constFind(kDocumentWindowKey);
  if (rootLines != tables.CodeLines.constEnd())
    for (const QString& l : *rootLines) out.Add(2, l);
  out.Blank();
  out.Add(2, QStringLiteral("; Open dialogs, enum controls, bind events, customize"));
  for (const QString& w : windows) WriteWindowBlock(out, w, tables);
  out.Blank();
  out.Add(2, QStringLiteral("; Cls"));
  out.Add(2, QStringLiteral("If IsXML(DialogsXML): FreeXML(DialogsXML): EndIf"));
  out.Add(2, QStringLiteral("DialogsXML$ = #Empty$"));
  out.Add(1, QStringLiteral("EndProcedure"));
  out.Blank();
  out.Add(0, QStringLiteral(";}"));
  out.Blank();
}

void WriteMainSection(Lines& out) {
  out.Blank();
  out.Add(0, QStringLiteral("; Main"));
  out.Add(0, QStringLiteral("InitDialogs()"));
  out.Blank();
  out.Add(0, QStringLiteral("Repeat"));
  out.Add(1, QStringLiteral("Define E = WaitWindowEvent()"));
  out.Add(1, QStringLiteral("Select E"));
  out.Add(2, QStringLiteral("Case #PB_Event_CloseWindow: break"));
  out.Add(1, QStringLiteral("EndSelect"));
  out.Add(0, QStringLiteral("Forever"));
}

}  // namespace

QStringList UnsafeSourceValues(const DesignTree& tree, const ClassSchema& schema) {
  QStringList problems;
  auto describe = [](const DesignObject& o) {
    return QStringLiteral("%1 '%2'").arg(o.cls, GetAttribute(o, kName));
  };
  const QStringList diverted = {"onevent", "variable", "frontcolor", "backcolor", "tooltip", "font"};
  tree.WalkTree(kDialogs, std::function<bool(const DesignObject&)>([&](const DesignObject& o) {
    if (o.cls == kDialogs && o.parentKey.isEmpty()) return false;  // its font needs no name
    bool nameInCode = !o.parentKey.isEmpty() && o.parentKey == kDialogs;  // a window
    for (const QString& a : diverted) {
      const QString v = GetAttribute(o, a);
      if (v.isEmpty() || v == DefaultAttributeValue(o.cls, a) || !schema.ClassHasAttribute(o.cls, a))
        continue;
      nameInCode = true;
      if (a == QLatin1String("onevent") && v.toLower() != QLatin1String("yes") &&
          !IsIdentifierText(v))
        problems << describe(o) + QStringLiteral(": onevent \"") + v +
                        QStringLiteral("\" is not an identifier");
      if ((a == QLatin1String("frontcolor") || a == QLatin1String("backcolor")) &&
          !IsNumberLiteral(v))
        problems << describe(o) + QStringLiteral(": ") + a + QStringLiteral(" \"") + v +
                        QStringLiteral("\" is not a number");
    }
    const QString name = GetAttribute(o, kName);
    if (nameInCode && !IsIdentifierText(name))
      problems << describe(o) + QStringLiteral(": name \"") + name +
                      QStringLiteral("\" is not an identifier");
    return false;
  }));
  return problems;
}

QString UnsafeSourceMessage(const QStringList& problems) {
  return QStringLiteral("The code was not exported: these names and values would be written "
                        "into the source unchecked.\r\n\r\n") +
         problems.join(QStringLiteral("\r\n"));
}

QString ComposeSource(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                      const SourceOptions& options, const QDateTime& now) {
  Lines out;
  out.Add(0, QStringLiteral("EnableExplicit"));
  out.Blank();
  if (options.dpiPatch && !writer.DpiPlaceholders().empty()) WriteDpiSection(out, writer);
  if (writer.Document()) WriteXmlSection(out, *writer.Document(), now);
  WriteUiSection(out, schema, WindowList(tree), writer.CodeTables());
  if (!options.noLoop) WriteMainSection(out);
  return out.Join();
}

bool BuildSourceText(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                     const SourceOptions& options, const QDateTime& now, QString& text,
                     QString& refusal) {
  text.clear();
  refusal.clear();
  if (tree.ChildCount(kDialogs) == 0) return false;
  const QStringList problems = UnsafeSourceValues(tree, schema);
  if (!problems.isEmpty()) {
    refusal = UnsafeSourceMessage(problems);
    return false;
  }
  XmlBuildInputs inputs{tree, schema};
  inputs.dpiPatch = options.dpiPatch;
  if (!writer.BuildDialogXml(inputs, XmlBuildMode::CodeExport, QString()) || !writer.Document())
    return false;
  text = ComposeSource(tree, schema, writer, options, now);
  return true;
}

bool ExportSource(DesignerContext& ctx, bool toClipboard) {
  if (ctx.tree.ChildCount(kDialogs) == 0) return false;
  const QString title = QStringLiteral("Export code ERROR");
  // Refuse before asking for a file: nothing would be written anyway.
  const QStringList problems = UnsafeSourceValues(ctx.tree, ctx.schema);
  if (!problems.isEmpty()) {
    ctx.requesters.Message(title, UnsafeSourceMessage(problems), MessageIcon::Error);
    return false;
  }
  QString path;
  if (!toClipboard) {
    FileRequest request;
    request.title = QStringLiteral("Export this hardcode..");
    request.startPath =
        ctx.settings.IOLastDIR + ProposedExportName(ctx.clock.Now(), QStringLiteral("pb"));
    request.patterns = kSourcePatterns;
    request.initialPattern = 0;
    const FileAnswer answer = ctx.requesters.SaveFile(request);
    if (answer.path.isEmpty()) return false;
    path = answer.path;
    if (answer.patternIndex == 0) path = WithExtension(path, QStringLiteral("pb"));
    ctx.settings.IOLastDIR = DirectoryPart(path);
  }
  SourceOptions options;
  options.dpiPatch = ctx.settings.DPIPatch;
  options.noLoop = ctx.settings.NoLoop;
  QString text, refusal;
  const bool built = BuildSourceText(ctx.tree, ctx.schema, ctx.writer, options, ctx.clock.Now(),
                                     text, refusal);
  bool result = false;
  if (built) {
    if (toClipboard) {
      if (ctx.hooks.setClipboardText) ctx.hooks.setClipboardText(text);
      result = true;
    } else {
      result = WriteFileAtomically(path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
      if (result && ctx.settings.RunCode && ctx.hooks.openWithAssociatedProgram)
        ctx.hooks.openWithAssociatedProgram(path);
    }
  }
  // Reached without a text only when no document could be built.
  if (!result)
    ctx.requesters.Message(title,
                           toClipboard ? QStringLiteral("Can't export to clipboard (wtf?\?)")
                                       : QStringLiteral("Can't save results to ") + path,
                           MessageIcon::Error);
  return result;
}

}  // namespace bxw
