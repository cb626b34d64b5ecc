#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/xml_document.h"

namespace bxw {
namespace {

struct FlagField {
  const char* name;
  bool Settings::*field;
};

constexpr FlagField kFlags[] = {
    {"Export2Clipboard", &Settings::Export2Clipboard},
    {"NoCaptions", &Settings::NoCaptions},
    {"ConfirmChanges", &Settings::ConfirmChanges},
    {"RunCode", &Settings::RunCode},
    {"DPIPatch", &Settings::DPIPatch},
    {"ConfirmDelete", &Settings::ConfirmDelete},
    {"NoLoop", &Settings::NoLoop},
};

const XmlNode* ChildElement(const XmlNode* parent, const QString& name) {
  for (const XmlNode* c = parent->FirstChildElement(); c; c = c->NextSiblingElement())
    if (c->Name() == name) return c;
  return nullptr;
}

}  // namespace

int LoadSettings(Settings& record, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 1;
  const XmlParseResult parsed = ParseXml(file.readAll());
  if (!parsed.ok || !parsed.document->MainElement()) return 1;
  const XmlNode* root = parsed.document->MainElement();
  record = Settings{};
  for (const FlagField& f : kFlags) {
    const XmlNode* e = ChildElement(root, QString::fromLatin1(f.name));
    record.*(f.field) = e && e->Text().trimmed().toInt() != 0;
  }
  if (const XmlNode* dir = ChildElement(root, QStringLiteral("IOLastDIR")))
    record.IOLastDIR = dir->Text();
  return 0;
}

QByteArray SettingsFileBytes(const Settings& record, bool format) {
  XmlDocument doc;
  XmlNode* root = doc.Root()->AppendElement(QStringLiteral("CONFIG"));
  for (const FlagField& f : kFlags)
    root->AppendElement(QString::fromLatin1(f.name))
        ->AppendText(record.*(f.field) ? QStringLiteral("1") : QStringLiteral("0"));
  XmlNode* dir = root->AppendElement(QStringLiteral("IOLastDIR"));
  if (!record.IOLastDIR.isEmpty()) dir->AppendText(record.IOLastDIR);
  // No declaration and no byte order mark: the file starts with the line break before CONFIG.
  return SerialiseXml(doc, XmlDeclaration::None, format).toUtf8();
}

int SaveSettings(const Settings& record, const QString& path, bool format) {
  const QByteArray bytes = SettingsFileBytes(record, format);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return 3;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return 3;
  }
  return file.commit() ? 0 : 3;
}

QString FallbackSettingsPath(const QString& fileName) {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config/boxwright");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + fileName;
}

bool DirectoryAcceptsFiles(const QString& directory) {
  // Ask the file system rather than the permission bits: they say nothing about read-only
  // mounts, and nothing at all for root.
  QTemporaryFile probe(directory + QStringLiteral("/.boxwright-probe-XXXXXX"));
  return probe.open();
}

QString ResolveSettingsPath(const QString& programFilePath,
                            const std::function<bool(const QString&)>& canWrite) {
  const QFileInfo program(programFilePath);
  const QString fileName = program.completeBaseName() + QStringLiteral(".cfg");
  const QString besideProgram = program.absolutePath() + QLatin1Char('/') + fileName;
  const bool writable =
      canWrite ? canWrite(program.absolutePath()) : DirectoryAcceptsFiles(program.absolutePath());
  return writable ? besideProgram : FallbackSettingsPath(fileName);
}

}  // namespace bxw
