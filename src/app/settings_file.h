#pragma once
#include <QString>
#include <functional>

#include "model/settings.h"

namespace bxw {

// 0 on success, 1 when the file fails to load or has no root element (the record is then left
// as it was).
int LoadSettings(Settings& record, const QString& path);
// 0 on success, 1 when the document cannot be built, 3 when writing fails (the previous file is
// then left intact).
int SaveSettings(const Settings& record, const QString& path, bool format);
// The settings bytes exactly as SaveSettings writes them.
QByteArray SettingsFileBytes(const Settings& record, bool format);

// Where the settings are read at start and written at quit. The two differ when the program's
// folder holds a readable file but cannot be written: the values read there are then kept in the
// user's configuration folder.
struct SettingsLocation {
  QString readPath;
  QString writePath;
  bool operator==(const SettingsLocation&) const = default;
};

// What the resolution asks the file system; tests answer from a table.
struct SettingsProbes {
  std::function<bool(const QString& file)> isReadable;
  std::function<bool(const QString& file)> canWrite;  // the file can be created or replaced
};
SettingsProbes FileSystemProbes();

// The file beside the program is its base name plus ".cfg"; the fallback has the same name in
// userConfigDir.
SettingsLocation ResolveSettingsLocation(const QString& programFilePath,
                                         const QString& userConfigDir,
                                         const SettingsProbes& probes);
// The user's configuration folder for the settings ($XDG_CONFIG_HOME/boxwright).
QString UserSettingsDirectory();
// Where a settings file that does not parse is kept before defaults replace it.
QString MalformedSettingsCopyPath(const QString& settingsPath);

enum class SettingsLoadResult { Loaded, Unreadable, Malformed };
// LoadSettings with the reason of a failure; a malformed file is copied to
// MalformedSettingsCopyPath first (when its folder allows).
SettingsLoadResult LoadSettingsAtStart(Settings& record, const QString& path);
// SaveSettings that first creates the folder (the user's configuration folder may not exist yet).
int SaveSettingsAtQuit(const Settings& record, const QString& path);

}  // namespace bxw
