#include "xml/xml_tool.h"

#include <QFileInfo>

#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

// Imports path into design; answers 0, 1 or 2 as check does and reports to output.err.
int ImportForTool(const QString& path, std::unique_ptr<DesignTree>& design,
                  const ClassSchema& schema, ToolOutput& output) {
  const QFileInfo info(path);
  if (!info.exists() || info.isDir()) {
    output.err += QStringLiteral("bxw: no such file: ") + path + QLatin1Char('\n');
    return 2;
  }
  XmlLoadResult result = LoadDialogXmlFile(schema, path);
  switch (result.status) {
    case XmlLoadStatus::NotReadable:
    case XmlLoadStatus::ParseError:
      output.err += result.errorText + QLatin1Char('\n');
      return 2;
    case XmlLoadStatus::NotDialogs:
      output.err +=
          QStringLiteral("bxw: the main element is not \"dialogs\": ") + path + QLatin1Char('\n');
      return 2;
    case XmlLoadStatus::Loaded:
      design = std::move(result.design);
      break;
  }
  if (result.errorText.isEmpty()) return 0;
  // One warning per line, with the platform's line end.
  QString lines = result.errorText;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  output.err += lines;
  return 1;
}

bool ParseFileAndOut(const QStringList& args, QString& file, QString& out, ToolOutput& output,
                     bool allowOut) {
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (allowOut && args[i] == QLatin1String("-o") && i + 1 < args.size() && out.isEmpty()) {
      out = args[++i];
    } else if (file.isEmpty() && !args[i].startsWith(QLatin1Char('-'))) {
      file = args[i];
    } else {
      output.err += QStringLiteral("bxw: unexpected argument: ") + args[i] + QLatin1Char('\n');
      return false;
    }
  }
  if (file.isEmpty()) {
    output.err += QStringLiteral("bxw: missing FILE\n");
    return false;
  }
  return true;
}

}  // namespace

int CheckCommand(const QStringList& args, ToolOutput& output) {
  QString file, out;
  if (!ParseFileAndOut(args, file, out, output, false)) return 2;
  ClassSchema schema;
  schema.BuildClassSchema();
  std::unique_ptr<DesignTree> design;
  return ImportForTool(file, design, schema, output);
}

int XmlCommand(const QStringList& args, ToolOutput& output) {
  QString file, out;
  if (!ParseFileAndOut(args, file, out, output, true)) return 2;
  ClassSchema schema;
  schema.BuildClassSchema();
  std::unique_ptr<DesignTree> design;
  const int code = ImportForTool(file, design, schema, output);
  if (code == 2) return 2;
  DialogXmlWriter writer;
  const QByteArray bytes = DesignFileBytes(*design, schema, writer);
  if (out.isEmpty()) {
    output.out += bytes;
  } else if (!WriteFileAtomically(out, bytes)) {
    output.err += QStringLiteral("Can't save XML to ") + out + QLatin1Char('\n');
    return 2;
  }
  return code;
}

}  // namespace bxw
