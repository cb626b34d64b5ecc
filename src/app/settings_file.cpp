#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/atomic_file.h"
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

SettingsLoadResult ReadSettings(Settings& record, const QString& path) {
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return SettingsLoadResult::Unreadable;
  const XmlParseResult parsed = ParseXml(file.readAll());
  if (!parsed.ok || !parsed.document->MainElement()) return SettingsLoadResult::Malformed;
  const XmlNode* root = parsed.document->MainElement();
  record = Settings{};
  for (const FlagField& f : kFlags) {
    const XmlNode* e = ChildElement(root, QString::fromLatin1(f.name));
    record.*(f.field) = e && e->Text().trimmed().toInt() != 0;
  }
  if (const XmlNode* dir = ChildElement(root, QStringLiteral("IOLastDIR")))
    record.IOLastDIR = dir->Text();
  return SettingsLoadResult::Loaded;
}

}  // namespace

int LoadSettings(Settings& record, const QString& path) {
  return ReadSettings(record, path) == SettingsLoadResult::Loaded ? 0 : 1;
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
  return WriteFileAtomically(path, SettingsFileBytes(record, format)) ? 0 : 3;
}

QString UserSettingsDirectory() {
  // The generic folder, not the per-application one: the file name already carries the
  // program's name, and the folder stays the same whatever the program file is called.
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/boxwright");
}

QString MalformedSettingsCopyPath(const QString& settingsPath) {
  return settingsPath + QStringLiteral(".bad");
}

SettingsProbes FileSystemProbes() {
  SettingsProbes probes;
  probes.isReadable = [](const QString& file) {
    QFile f(file);
    return QFileInfo(file).isFile() && f.open(QIODevice::ReadOnly);
  };
  probes.canWrite = [](const QString& file) {
    const QFileInfo info(file);
    // The permission bits say nothing about read-only mounts (nor anything at all for root), so
    // the folder is asked by creating a file in it, as the atomic save will.
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.boxwright-probe-XXXXXX"));
    if (!probe.open()) return false;
    // The save refuses to replace an existing file that is not writable.
    return !info.exists() || (info.isFile() && info.isWritable());
  };
  return probes;
}

SettingsLocation ResolveSettingsLocation(const QString& programFilePath,
                                         const QString& userConfigDir,
                                         const SettingsProbes& probes) {
  const QFileInfo program(programFilePath);
  const QString fileName = program.completeBaseName() + QStringLiteral(".cfg");
  const QString beside = program.absolutePath() + QLatin1Char('/') + fileName;
  const QString user = QDir(userConfigDir).filePath(fileName);
  if (probes.canWrite(beside)) return {probes.isReadable(beside) ? beside : user, beside};
  // Written to the user's folder. Once a copy is there it is the one read, or every run would
  // start again from the file beside the program and lose the changes of the last one.
  if (probes.isReadable(user)) return {user, user};
  return {probes.isReadable(beside) ? beside : user, user};
}

SettingsLoadResult LoadSettingsAtStart(Settings& record, const QString& path) {
  const SettingsLoadResult result = ReadSettings(record, path);
  if (result == SettingsLoadResult::Malformed) {
    // Kept for the user to look at: the quit writes defaults over the original. A folder that
    // refuses the copy is not written at quit either, so nothing is lost then.
    QFile original(path);
    if (original.open(QIODevice::ReadOnly))
      WriteFileAtomically(MalformedSettingsCopyPath(path), original.readAll());
  }
  return result;
}

int SaveSettingsAtQuit(const Settings& record, const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  return SaveSettings(record, path, true);
}

}  // namespace bxw
