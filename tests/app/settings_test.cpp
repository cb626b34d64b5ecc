#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

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
  EXPECT_EQ(SettingsFileBytes(s, true), QByteArray("\r\n<CONFIG>\r\n"
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
  Write(path,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CONFIG><RunCode>1</RunCode>"
        "<IOLastDIR>/x/</IOLastDIR></CONFIG>");
  ASSERT_EQ(LoadSettings(s, path), 0);
  EXPECT_FALSE(s.NoLoop);
  EXPECT_TRUE(s.RunCode);
  EXPECT_EQ(s.IOLastDIR, QStringLiteral("/x/"));

  // Malformed, empty or missing: the record stays as it was.
  const Settings before = s;
  for (const QByteArray& bytes :
       {QByteArray("<CONFIG><RunCode>0</Run"), QByteArray(""), QByteArray("not xml at all")}) {
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

// Probes answered from sets of paths, so that a read-only program folder can be shown even when
// the tests run as root.
SettingsProbes TableProbes(QSet<QString> readable, QSet<QString> writable) {
  return {[readable](const QString& f) { return readable.contains(f); },
          [writable](const QString& f) { return writable.contains(f); }};
}

TEST(SettingsLocationTest, ReadAndWritePathsByWhatTheFileSystemAllows) {
  const QString program = QStringLiteral("/opt/bw/boxwright");
  const QString beside = QStringLiteral("/opt/bw/boxwright.cfg");
  const QString user = QStringLiteral("/home/me/.config/boxwright/boxwright.cfg");
  struct Case {
    const char* what;
    QSet<QString> readable, writable;
    SettingsLocation expected;
  };
  const Case cases[] = {
      {"portable folder with its file", {beside}, {beside}, {beside, beside}},
      {"portable folder, first run", {}, {beside}, {user, beside}},
      {"portable folder, first run, user copy from before", {user}, {beside}, {user, beside}},
      {"read-only folder with a readable file beside", {beside}, {}, {beside, user}},
      {"read-only folder, file beside and a user copy", {beside, user}, {}, {user, user}},
      {"read-only folder, only a user copy", {user}, {}, {user, user}},
      {"read-only folder, nothing yet", {}, {}, {user, user}},
      {"unreadable file in a writable folder", {}, {beside}, {user, beside}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveSettingsLocation(program, QStringLiteral("/home/me/.config/boxwright"),
                                      TableProbes(c.readable, c.writable)),
              c.expected)
        << c.what;
  }
  // Renaming the program renames both files.
  EXPECT_EQ(ResolveSettingsLocation(QStringLiteral("/opt/bw/my.designer"), QStringLiteral("/u"),
                                    TableProbes({}, {})),
            (SettingsLocation{"/u/my.cfg", "/u/my.cfg"}));
}

TEST(SettingsLocationTest, ReadOnlyProgramFolderKeepsItsValues) {
  // The values beside a program that cannot write there survive a run and the next start.
  QTemporaryDir dir;
  const QString program = dir.filePath("bin/boxwright");
  const QString userDir = dir.filePath("config/boxwright");  // does not exist yet
  ASSERT_TRUE(QDir().mkpath(dir.filePath("bin")));
  Settings shipped;
  shipped.ConfirmChanges = true;
  shipped.IOLastDIR = QStringLiteral("/srv/dialogs/");
  ASSERT_EQ(SaveSettings(shipped, dir.filePath("bin/boxwright.cfg"), true), 0);
  SettingsProbes probes = FileSystemProbes();
  probes.canWrite = [&](const QString& f) {
    return !f.startsWith(dir.filePath("bin")) && FileSystemProbes().canWrite(f);
  };

  SettingsLocation where = ResolveSettingsLocation(program, userDir, probes);
  Settings run;
  ASSERT_EQ(LoadSettingsAtStart(run, where.readPath), SettingsLoadResult::Loaded);
  EXPECT_EQ(run, shipped);
  run.NoLoop = true;
  ASSERT_EQ(SaveSettingsAtQuit(run, where.writePath), 0);
  EXPECT_EQ(where.writePath, dir.filePath("config/boxwright/boxwright.cfg"));

  where = ResolveSettingsLocation(program, userDir, probes);
  Settings next;
  ASSERT_EQ(LoadSettingsAtStart(next, where.readPath), SettingsLoadResult::Loaded);
  EXPECT_EQ(next, run);
  EXPECT_EQ(bxw::test::ReadFileBytes(dir.filePath("bin/boxwright.cfg")),
            SettingsFileBytes(shipped, true));
}

TEST(SettingsLocationTest, FileSystemProbesTryTheRealFolder) {
  QTemporaryDir dir;
  const SettingsProbes probes = FileSystemProbes();
  const QString file = dir.filePath("b.cfg");
  EXPECT_TRUE(probes.canWrite(file));
  EXPECT_FALSE(probes.isReadable(file));
  Write(file, "<CONFIG/>");
  EXPECT_TRUE(probes.isReadable(file));
  EXPECT_TRUE(probes.canWrite(file));
  EXPECT_FALSE(probes.canWrite(dir.filePath("no/such/dir/b.cfg")));
  EXPECT_FALSE(probes.isReadable(dir.path()));
  EXPECT_FALSE(probes.canWrite(dir.path()));  // a folder in the way of the file
}

TEST(SettingsLocationTest, MalformedFileIsKeptBeforeDefaultsReplaceIt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("boxwright.cfg");
  const QString bad = dir.filePath("boxwright.cfg.bad");
  EXPECT_EQ(MalformedSettingsCopyPath(path), bad);
  Write(bad, "an older copy");
  const QByteArray broken("<CONFIG><ConfirmChanges>1</Confirm");
  Write(path, broken);
  Settings s;
  s.RunCode = true;
  const Settings before = s;
  EXPECT_EQ(LoadSettingsAtStart(s, path), SettingsLoadResult::Malformed);
  EXPECT_EQ(s, before);
  EXPECT_EQ(bxw::test::ReadFileBytes(bad), broken);
  ASSERT_EQ(SaveSettingsAtQuit(Settings{}, path), 0);
  EXPECT_EQ(bxw::test::ReadFileBytes(bad), broken);

  // A missing file or a good one leaves no copy behind.
  QTemporaryDir other;
  EXPECT_EQ(LoadSettingsAtStart(s, other.filePath("boxwright.cfg")),
            SettingsLoadResult::Unreadable);
  ASSERT_EQ(SaveSettings(Settings{}, other.filePath("boxwright.cfg"), true), 0);
  EXPECT_EQ(LoadSettingsAtStart(s, other.filePath("boxwright.cfg")), SettingsLoadResult::Loaded);
  EXPECT_FALSE(QFile::exists(other.filePath("boxwright.cfg.bad")));
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

TEST(SettingsFileTest, DesignerKeepsAMalformedFileAndWritesDefaults) {
  QTemporaryDir dir;
  const QString path = dir.filePath("boxwright.cfg");
  Write(path, "<CONFIG><NoLoop>1</NoLoop>");
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime::currentDateTime()};
  StdRandomSource random{2};
  {
    Designer d(requesters, clock, random, DesignerOptions{path, 1, 1, QString()});
    d.Startup();
    EXPECT_EQ(d.Config(), Settings{});
    d.Shutdown();
  }
  EXPECT_EQ(bxw::test::ReadFileBytes(path + ".bad"), QByteArray("<CONFIG><NoLoop>1</NoLoop>"));
  EXPECT_EQ(bxw::test::ReadFileBytes(path), SettingsFileBytes(Settings{}, true));
}

}  // namespace
