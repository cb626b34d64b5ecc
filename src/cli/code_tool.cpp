#include "cli/code_tool.h"

#include <QFileInfo>

#include "codegen/source_export.h"
#include "xml/dialog_xml_reader.h"
#include "platform/atomic_file.h"
#include "xml/xml_export.h"

namespace bxw {

int CodeCommand(const QStringList& args, const Clock& clock, ToolOutput& output) {
  QString file, out;
  SourceOptions options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("-o") && i + 1 < args.size() && out.isEmpty()) {
      out = args[++i];
    } else if (a == QLatin1String("--dpi-patch")) {
      options.dpiPatch = true;
    } else if (a == QLatin1String("--no-loop")) {
      options.noLoop = true;
    } else if (file.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
      file = a;
    } else {
      output.err += QStringLiteral("bxw: unexpected argument: ") + a + QLatin1Char('\n');
      return 2;
    }
  }
  if (file.isEmpty()) {
    output.err += QStringLiteral("bxw: missing FILE\n");
    return 2;
  }
  const QFileInfo info(file);
  if (!info.exists() || info.isDir()) {
    output.err += QStringLiteral("bxw: no such file: ") + file + QLatin1Char('\n');
    return 2;
  }
  ClassSchema schema;
  XmlLoadResult loaded = LoadDialogXmlFile(schema, file);
  if (loaded.status != XmlLoadStatus::Loaded) {
    // The reason as the import states it, one line per warning.
    QString why = loaded.errorText;
    why.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!why.endsWith(QLatin1Char('\n'))) why += QLatin1Char('\n');
    output.err += why;
    return 2;
  }
  if (!loaded.errorText.isEmpty())
    output.err += QString(loaded.errorText).replace(QLatin1String("\r\n"), QLatin1String("\n"));

  DialogXmlWriter writer;
  QString text, refusal;
  if (!BuildSourceText(*loaded.design, schema, writer, options, clock.Now(), text, refusal)) {
    output.err += refusal.isEmpty()
                      ? QStringLiteral("bxw: the design has no window\n")
                      : QString(refusal).replace(QLatin1String("\r\n"), QLatin1String("\n")) +
                            QLatin1Char('\n');
    return 2;
  }
  if (out.isEmpty()) {
    output.out += text.toUtf8();
  } else if (!WriteFileAtomically(out, QByteArray("\xEF\xBB\xBF") + text.toUtf8())) {
    output.err += QStringLiteral("Can't save results to ") + out + QLatin1Char('\n');
    return 2;
  }
  return 0;
}

}  // namespace bxw
