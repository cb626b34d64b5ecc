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

// Where the settings live: beside the program (a portable copy keeps its own), or, when the
// program's directory cannot be written, under the same file name in the user's configuration
// directory.
// canWrite decides whether a file can be created in a directory; by default it tries.
QString ResolveSettingsPath(const QString& programFilePath,
                            const std::function<bool(const QString&)>& canWrite = {});
bool DirectoryAcceptsFiles(const QString& directory);
QString FallbackSettingsPath(const QString& fileName);

}  // namespace bxw
