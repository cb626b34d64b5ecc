#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "model/value_text.h"
#include "test_support.h"
#include "xml/design_fixture.h"
#include "xml/xml_export.h"

namespace bxw::test {
namespace {

// While it lives, files this process writes cannot grow past the limit (as on a full disk, a
// write stops short).
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

struct ExportFixture : DesignFixture {
  QTemporaryDir dir;
  ExportFixture() {
    Add("dialogs", "window");
    Add("window1", "vbox");
    Add("vbox1", "button");
    settings.IOLastDIR = dir.path() + "/";
  }
  QString Path(const QString& name) const { return dir.path() + "/" + name; }
};

TEST(Fingerprint, IsTheCrcOfTheClipboardForm) {
  ExportFixture f;
  const QString fp = WholeDocumentFingerprint(f.ctx);
  ASSERT_TRUE(f.writer.BuildDialogXml({f.tree, f.schema}, XmlBuildMode::Design, {}));
  const QByteArray bytes = ComposeForClipboard(*f.writer.Document()).toUtf8();
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), bytes.size());
  EXPECT_EQ(fp, QString::asprintf("%08lx", crc));
  EXPECT_EQ(fp, fp.toLower());
  EXPECT_EQ(fp.size(), 8);
}

TEST(Fingerprint, ChangesOnlyWithTheWrittenDocument) {
  ExportFixture f;
  const QString before = WholeDocumentFingerprint(f.ctx);
  EXPECT_EQ(WholeDocumentFingerprint(f.ctx), before);
  f.Set("button1", "width", "0");      // the default: not written
  f.Set("button1", "disabled", "no");  // the default: not written
  f.Set("button1", "rowspan", "3");    // not under a gridbox: not written
  EXPECT_EQ(WholeDocumentFingerprint(f.ctx), before);
  f.Set("button1", "width", "1");
  EXPECT_NE(WholeDocumentFingerprint(f.ctx), before);
}

TEST(ExportXml, ToFileWithTheProposedNameAndSnapshot) {
  ExportFixture f;
  f.requesters.fileAnswers.push_back({f.Path("first.xml"), 0});
  f.requesters.fileAnswers.push_back({f.Path("second.xml"), 0});
  ASSERT_TRUE(ExportXml(f.ctx, false));
  const QString firstSnapshot = f.snapshot;
  ASSERT_TRUE(ExportXml(f.ctx, false));
  ASSERT_EQ(f.requesters.fileRequests.size(), 2);
  const FileRequest& r = f.requesters.fileRequests[0];
  EXPECT_EQ(r.title, "Export XML");
  EXPECT_EQ(r.startPath, f.Path("UI_2025-01-31_17-05-09.xml"));
  EXPECT_EQ(r.patterns, "XML file (*.xml)|*.xml|All files (*.*)|*.*");
  EXPECT_EQ(r.initialPattern, 0);
  const QByteArray first = ReadFileBytes(f.Path("first.xml"));
  EXPECT_EQ(first, ReadFileBytes(DataPath("xml/example_design.xml")));
  EXPECT_EQ(ReadFileBytes(f.Path("second.xml")), first);
  EXPECT_EQ(f.snapshot, firstSnapshot);
  EXPECT_EQ(f.snapshot, WholeDocumentFingerprint(f.ctx));
  EXPECT_EQ(f.titles, QStringList({"Interface Tree: first.xml", "Interface Tree: second.xml"}));
  EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");
  EXPECT_EQ(f.requesters.Count("message"), 0);
}

TEST(ExportXml, ExtensionRuleOfBothPatterns) {
  const struct {
    const char* typed;
    int pattern;
    const char* saved;
  } cases[] = {{"Form", 0, "Form.xml"},         {"Form.XML", 0, "Form.XML"},
               {"Form.txt", 0, "Form.txt.xml"}, {"Form", 1, "Form"},
               {"Form.txt", 1, "Form.txt"},     {"a.b/Form", 0, "a.b/Form.xml"}};
  for (const auto& c : cases) {
    ExportFixture f;
    QDir(f.dir.path()).mkdir("a.b");
    f.requesters.fileAnswers.push_back({f.Path(c.typed), c.pattern});
    ASSERT_TRUE(ExportXml(f.ctx, false)) << c.typed;
    EXPECT_TRUE(QFile::exists(f.Path(c.saved))) << c.typed;
    EXPECT_EQ(f.titles.value(0), "Interface Tree: " + FilePart(f.Path(c.saved)));
  }
}

TEST(ExportXml, FailuresAndRefusals) {
  ExportFixture f;
  f.snapshot = "before";
  // Cancelled requester: nothing changes.
  f.requesters.fileAnswers.push_back({QString(), 0});
  EXPECT_FALSE(ExportXml(f.ctx, false));
  EXPECT_EQ(f.settings.IOLastDIR, f.dir.path() + "/");
  // A file that cannot be written: message, directory already taken over, nothing else changes.
  const QString bad = f.Path("missing/dir/out.xml");
  f.requesters.fileAnswers.push_back({bad, 0});
  EXPECT_FALSE(ExportXml(f.ctx, false));
  const auto messages = f.Messages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].title, "Export XML ERROR");
  EXPECT_EQ(messages[0].text, "Can't save XML to " + bad + "\r\nNo such file or directory");
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(f.settings.IOLastDIR, f.Path("missing/dir/"));
  EXPECT_EQ(f.snapshot, "before");
  EXPECT_TRUE(f.titles.isEmpty());
  // No window: no export and no question.
  DesignFixture empty;
  EXPECT_FALSE(ExportXml(empty.ctx, false));
  EXPECT_FALSE(ExportXml(empty.ctx, true));
  EXPECT_TRUE(empty.requesters.fileRequests.isEmpty());
  EXPECT_TRUE(empty.clipboard.isEmpty());
}

// The message says why, in the system's words; a file that was there stays as it was.
TEST(ExportXml, AFailedSaveSaysWhy) {
  ExportFixture f;
  QDir(f.dir.path()).mkdir("folder");
  const QString old = f.Path("old.xml");
  {
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("previous");
  }
  const struct {
    QString path;
    rlim_t sizeLimit;  // RLIM_INFINITY for none
    const char* reason;
  } cases[] = {
      {f.Path("missing/out.xml"), RLIM_INFINITY, "No such file or directory"},
      {f.Path("folder"), RLIM_INFINITY, "Filename refers to a directory"},
      // As a full disk does: the write stops short.
      {old, 64, "File too large"},
  };
  for (const auto& c : cases) {
    f.requesters.asked.clear();
    f.requesters.fileAnswers.push_back({c.path, 1});
    bool done;
    {
      FileSizeLimit limit(c.sizeLimit);
      done = ExportXml(f.ctx, false);
    }
    EXPECT_FALSE(done);
    const auto messages = f.Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "Can't save XML to " + c.path + "\r\n" + c.reason);
  }
  EXPECT_EQ(ReadFileBytes(old), "previous");
  EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList({"old.xml"}));
}

TEST(ExportXml, AtomicWritesStopShortAsFailures) {
  QTemporaryDir dir;
  const QString path = dir.filePath("out.pb");
  ASSERT_TRUE(WriteFileAtomically(path, "previous"));
  QString reason;
  bool done;
  {
    FileSizeLimit limit(64);
    done = WriteFileAtomically(path, QByteArray(1000, 'x'), &reason);
  }
  EXPECT_FALSE(done);
  EXPECT_EQ(reason, "File too large");
  EXPECT_EQ(ReadFileBytes(path), "previous");
}

TEST(ExportXml, ToClipboard) {
  ExportFixture f;
  f.settings.IOLastDIR = "/keep/";
  ASSERT_TRUE(ExportXml(f.ctx, true));
  QByteArray expected = ReadFileBytes(DataPath("xml/example_design.xml"));
  expected.replace("UTF-8", "UTF-16");
  EXPECT_EQ(f.clipboard, QString::fromUtf8(expected));
  EXPECT_EQ(f.snapshot, WholeDocumentFingerprint(f.ctx));
  EXPECT_EQ(f.settings.IOLastDIR, "/keep/");
  EXPECT_TRUE(f.titles.isEmpty());
  EXPECT_TRUE(f.requesters.fileRequests.isEmpty());
}

TEST(ExportXml, ReplacesAnExistingFile) {
  ExportFixture f;
  {
    QFile old(f.Path("out.xml"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
  }
  f.requesters.fileAnswers.push_back({f.Path("out.xml"), 0});
  ASSERT_TRUE(ExportXml(f.ctx, false));
  EXPECT_EQ(ReadFileBytes(f.Path("out.xml")), ReadFileBytes(DataPath("xml/example_design.xml")));
}

}  // namespace
}  // namespace bxw::test
