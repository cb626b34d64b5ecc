#include "app/workflows/file_commands.h"

#include <QFileInfo>

#include "codegen/source_export.h"
#include "platform/atomic_file.h"
#include "platform/export_path.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

const QString kDialogs = QStringLiteral("dialogs");
const QLatin1String kLineEnd("\r\n");

}  // namespace

QString TreeWindowTitle(const QString& designFile) {
  return designFile.isEmpty() ? QStringLiteral("Interface Tree")
                              : QStringLiteral("Interface Tree: ") + FilePart(designFile);
}

QString WholeDocumentFingerprint(const DesignerContext& ctx) {
  return WholeDocumentFingerprint(ctx.tree, ctx.schema);
}

QString AskExportPath(DesignerContext& ctx, const QString& title, const QString& extension,
                      const QString& patterns) {
  ExportPathQuestion question;
  question.title = title;
  question.extension = extension;
  question.patterns = patterns;
  question.designFile = ctx.designFile;
  question.now = ctx.clock.Now();
  return bxw::AskExportPath(ctx.requesters, question, ctx.settings.IOLastDIR);
}

bool ExportXml(DesignerContext& ctx, bool toClipboard) {
  if (ctx.tree.ChildCount(kDialogs) == 0) return false;

  if (toClipboard) {
    const QString text = ComposeForClipboard(ctx.tree, ctx.schema);
    if (ctx.hooks.setClipboardText) ctx.hooks.setClipboardText(text);
    ctx.savedSnapshot = TextFingerprint(text);
    return true;
  }

  const QString path =
      AskExportPath(ctx, QStringLiteral("Export XML"), QStringLiteral("xml"), kXmlPatterns);
  if (path.isEmpty()) return false;

  QString reason, fingerprint;
  if (!WriteDesignFile(path, ctx.tree, ctx.schema, &reason, &fingerprint)) {
    ctx.requesters.Message(
        QStringLiteral("Export XML ERROR"),
        QStringLiteral("Can't save XML to ") + path + QStringLiteral("\r\n") + reason,
        MessageIcon::Error);
    return false;
  }
  if (ctx.hooks.setDesignFile) ctx.hooks.setDesignFile(path);
  ctx.savedSnapshot = fingerprint;
  return true;
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
  // A failed or refused import changes nothing, not even what counts as saved: the changes made
  // before it are still unsaved.
  if (result.status != XmlLoadStatus::Loaded) return;
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
  ctx.savedSnapshot = WholeDocumentFingerprint(ctx);
}

bool ExportSource(DesignerContext& ctx, bool toClipboard) {
  if (ctx.tree.ChildCount(kDialogs) == 0) return false;
  const QString title = QStringLiteral("Export code ERROR");
  SourceOptions options;
  options.dpiPatch = ctx.settings.DPIPatch;
  options.noLoop = ctx.settings.NoLoop;
  // Refuse before asking for a file: nothing would be written anyway.
  const SourceBuild build = BuildCheckedSource(ctx.tree, ctx.schema, ctx.writer, options);
  if (!build.refusal.isEmpty()) {
    ctx.requesters.Message(title, build.refusal, MessageIcon::Error);
    return false;
  }
  QString path;
  if (!toClipboard) {
    path = AskExportPath(ctx, QStringLiteral("Export this hardcode.."), QStringLiteral("pb"),
                         kSourcePatterns);
    if (path.isEmpty()) return false;
  }
  bool result = false;
  if (build.built) {
    const QString text =
        ComposeBuiltSource(ctx.tree, ctx.schema, ctx.writer, options, ctx.clock.Now(), build);
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
