#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/designer.h"
#include "app/settings_file.h"
#include "test_support.h"

using namespace bxw;

namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(SettingsFileTest, WritesTheExactFormat) {
  Settings s;
  s.NoCaptions = true;
  s.NoLoop = true;
  EXPECT_EQ(SettingsFileBytes(s, true),
            QByteArray("\r\n<CONFIG>\r\n"
                       "  <Export2Clipboard>0</Export2Clipboard>\r\n"
                       "  <NoCaptions>1</NoCaptions>\r\n"
                       "  <ConfirmChanges>0</ConfirmChanges>\r\n"
                       "  <RunCode>0</RunCode>\r\n"
                       "  <DPIPatch>0</DPIPatch>\r\n"
                       "  <ConfirmDelete>0</ConfirmDelete>\r\n"
                       "  <NoLoop>1</NoLoop>\r\n"
                       "  <IOLastDIR/>\r\n"
                       "</CONFIG>"));
  s.IOLastDIR = QStringLiteral("/home/me/<dialogs> & more/");
  const QByteArray bytes = SettingsFileBytes(s, true);
  EXPECT_TRUE(bytes.contains("<IOLastDIR>/home/me/&lt;dialogs&gt; &amp; more/</IOLastDIR>"));
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
}

TEST(SettingsFileTest, RoundTripsEveryField) {
  QTemporaryDir dir;
  const QString path = dir.filePath("b.cfg");
  Settings s;
  s.Export2Clipboard = s.ConfirmChanges = s.RunCode = s.DPIPatch = s.ConfirmDelete = true;
  s.IOLastDIR = QStringLiteral("/tmp/Ünïcode dir/");
  ASSERT_EQ(SaveSettings(s, path, true), 0);
  Settings back;
  back.NoLoop = true;  // overwritten by the load
  ASSERT_EQ(LoadSettings(back, path), 0);
  EXPECT_EQ(back, s);
}

TEST(SettingsFileTest, MissingFieldsAndBrokenFiles) {
  QTemporaryDir dir;
  const QString path = dir.filePath("b.cfg");
  Settings s;
  s.NoLoop = true;
  // A file without NoLoop loads the rest and turns NoLoop off; a declaration is accepted.
  Write(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CONFIG><RunCode>1</RunCode>"
              "<IOLastDIR>/x/</IOLastDIR></CONFIG>");
  ASSERT_EQ(LoadSettings(s, path), 0);
  EXPECT_FALSE(s.NoLoop);
  EXPECT_TRUE(s.RunCode);
  EXPECT_EQ(s.IOLastDIR, QStringLiteral("/x/"));

  // Malformed, empty or missing: the record stays as it was.
  const Settings before = s;
  for (const QByteArray& bytes : {QByteArray("<CONFIG><RunCode>0</Run"), QByteArray(""),
                                  QByteArray("not xml at all")}) {
    Write(path, bytes);
    EXPECT_EQ(LoadSettings(s, path), 1);
    EXPECT_EQ(s, before);
  }
  EXPECT_EQ(LoadSettings(s, dir.filePath("missing.cfg")), 1);
  EXPECT_EQ(s, before);
}

TEST(SettingsFileTest, FailedWriteKeepsThePreviousFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("b.cfg");
  Write(path, "previous");
  // A directory in the way of the file makes the write fail.
  EXPECT_EQ(SaveSettings(Settings{}, dir.path(), true), 3);
  EXPECT_EQ(bxw::test::ReadFileBytes(path), QByteArray("previous"));
}

TEST(SettingsFileTest, FallsBackToTheUserConfigurationDirectory) {
  QStandardPaths::setTestModeEnabled(true);
  const QString program = QStringLiteral("/usr/lib/boxwright/boxwright");
  EXPECT_EQ(ResolveSettingsPath(program, [](const QString&) { return true; }),
            QStringLiteral("/usr/lib/boxwright/boxwright.cfg"));
  const QString fallback = ResolveSettingsPath(program, [](const QString&) { return false; });
  EXPECT_EQ(QFileInfo(fallback).fileName(), QStringLiteral("boxwright.cfg"));
  EXPECT_TRUE(fallback.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
  EXPECT_TRUE(QFileInfo(QFileInfo(fallback).absolutePath()).isDir());
  // The fallback is really used for writing and reading.
  Settings s;
  s.DPIPatch = true;
  ASSERT_EQ(SaveSettings(s, fallback, true), 0);
  Settings back;
  ASSERT_EQ(LoadSettings(back, fallback), 0);
  EXPECT_TRUE(back.DPIPatch);
  QFile::remove(fallback);
  // A writable directory is found writable by actually trying it.
  QTemporaryDir dir;
  EXPECT_TRUE(DirectoryAcceptsFiles(dir.path()));
  EXPECT_FALSE(DirectoryAcceptsFiles(dir.filePath("no/such/dir")));
  QStandardPaths::setTestModeEnabled(false);
}

TEST(SettingsFileTest, DesignerLoadsAtStartAndSavesAtQuit) {
  QTemporaryDir dir;
  const QString path = dir.filePath("boxwright.cfg");
  Settings s;
  s.ConfirmChanges = true;
  ASSERT_EQ(SaveSettings(s, path, true), 0);
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime::currentDateTime()};
  StdRandomSource random{2};
  {
    Designer d(requesters, clock, random, DesignerOptions{path, 1, 1, QString()});
    d.Startup();
    EXPECT_TRUE(d.Config().ConfirmChanges);
    d.DispatchMenuCommand(59);  // flipped in memory only
    Settings onDisk;
    LoadSettings(onDisk, path);
    EXPECT_FALSE(onDisk.NoLoop);
    d.Shutdown();
  }
  Settings after;
  ASSERT_EQ(LoadSettings(after, path), 0);
  EXPECT_TRUE(after.NoLoop);
  EXPECT_TRUE(after.ConfirmChanges);
}

}  // namespace
