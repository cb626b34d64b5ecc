#include "cli/xml_tool.h"

#include <QFileInfo>

#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace bxw {

namespace {

// One warning per line, with the platform's line end. Copied in one pass: replacing in place
// moves the rest of the text at every line end.
QString ToolLines(const QString& text) {
  QString out;
  out.reserve(text.size() + 1);
  const QStringView all(text);
  for (qsizetype at = 0; at < all.size();) {
    qsizetype end = all.indexOf(QLatin1String("\r\n"), at);
    const bool last = end < 0;
    if (last) end = all.size();
    out += all.mid(at, end - at);
    out += QLatin1Char('\n');
    at = last ? end : end + 2;
  }
  return out;
}

// Imports path into design (left null when nothing was imported); answers 0, 1 or 2 as check does
// and reports to output.err.
int ImportForTool(const QString& path, std::unique_ptr<DesignTree>& design,
                  const ClassSchema& schema, ToolOutput& output) {
  const QFileInfo info(path);
  if (!info.exists() || info.isDir()) {
    output.err += QStringLiteral("bxw: no such file: ") + path + QLatin1Char('\n');
    return 2;
  }
  XmlLoadResult result = LoadDialogXmlFile(schema, path);
  output.err += ToolLines(result.errorText);
  switch (result.status) {
    case XmlLoadStatus::NotReadable:
    case XmlLoadStatus::ParseError:
      return 2;
    case XmlLoadStatus::NotDialogs:
    case XmlLoadStatus::TooDeep:
      return 1;
    case XmlLoadStatus::Loaded:
      design = std::move(result.design);
      break;
  }
  return result.errorText.isEmpty() ? 0 : 1;
}

struct ToolArguments {
  QString file;
  QString out;
  bool force = false;
};

bool ParseArguments(const QStringList& args, ToolArguments& parsed, ToolOutput& output,
                    bool forXml) {
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (forXml && args[i] == QLatin1String("-o") && i + 1 < args.size() && parsed.out.isEmpty()) {
      parsed.out = args[++i];
    } else if (forXml && args[i] == QLatin1String("--force")) {
      parsed.force = true;
    } else if (parsed.file.isEmpty() && !args[i].startsWith(QLatin1Char('-'))) {
      parsed.file = args[i];
    } else {
      output.err += QStringLiteral("bxw: unexpected argument: ") + args[i] + QLatin1Char('\n');
      return false;
    }
  }
  if (parsed.file.isEmpty()) {
    output.err += QStringLiteral("bxw: missing FILE\n");
    return false;
  }
  return true;
}

bool IsSameFile(const QString& a, const QString& b) {
  const QFileInfo x(a), y(b);
  if (!x.exists() || !y.exists()) return false;
  return x.canonicalFilePath() == y.canonicalFilePath();
}

}  // namespace

int CheckCommand(const QStringList& args, ToolOutput& output) {
  ToolArguments parsed;
  if (!ParseArguments(args, parsed, output, false)) return 2;
  ClassSchema schema;
  std::unique_ptr<DesignTree> design;
  return ImportForTool(parsed.file, design, schema, output);
}

int XmlCommand(const QStringList& args, ToolOutput& output) {
  ToolArguments parsed;
  if (!ParseArguments(args, parsed, output, true)) return 2;
  ClassSchema schema;
  std::unique_ptr<DesignTree> design;
  const int code = ImportForTool(parsed.file, design, schema, output);
  if (!design) return 2;
  if (!parsed.out.isEmpty() && code != 0 && !parsed.force && IsSameFile(parsed.out, parsed.file)) {
    output.err += QStringLiteral("bxw: ") + parsed.out +
                  QStringLiteral(
                      " not replaced: its import had warnings (--force replaces it "
                      "anyway)\n");
    return 2;
  }
  if (parsed.out.isEmpty()) {
    output.out += DesignFileBytes(*design, schema);
    return code;
  }
  QString reason;
  if (!WriteDesignFile(parsed.out, *design, schema, &reason)) {
    output.err += QStringLiteral("Can't save XML to ") + parsed.out + QLatin1Char('\n') + reason +
                  QLatin1Char('\n');
    return 2;
  }
  return code;
}

}  // namespace bxw
