#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

#include "designer_fixture.h"
#include "xml/xml_export.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

class JournalTest : public DesignerTest {
protected:
  QString Folder() const { return dir.filePath("recovery"); }
  QStringList Journals() const {
    return QDir(Folder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
  }
  std::unique_ptr<Designer> Another(ScriptedRequesters& asked) {
    auto d = std::make_unique<Designer>(
        asked, clock, random, DesignerOptions{dir.filePath("test.cfg"), 1.0, 1.0, Folder()});
    d->Startup();
    return d;
  }
  QByteArray DesignBytes(const Designer& d) {
    DialogXmlWriter writer;
    return DesignFileBytes(d.Tree(), d.Schema());
  }
};

TEST_F(JournalTest, WrittenAboutASecondAfterAChangeAndRemovedWhenSaved) {
  ASSERT_TRUE(designer->Journal().Active());
  EXPECT_TRUE(Journals().isEmpty());
  const QString w = Add("dialogs", "window");
  EXPECT_FALSE(designer->Journal().Exists());  // not at once: a burst of edits writes once
  ASSERT_TRUE(QTest::qWaitFor([&] { return designer->Journal().Exists(); }, 3000));
  QFile journal(designer->Journal().JournalPath());
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  EXPECT_EQ(journal.readAll(), DesignBytes(*designer));
  journal.close();
  // An export makes the design equal its saved state: the journal goes.
  designer->Config().Export2Clipboard = true;
  designer->ExportXmlCommand();
  EXPECT_FALSE(designer->Journal().Exists());
  // Undoing back to the saved design removes it too.
  Add(w, "vbox");
  designer->UpdateJournal();
  ASSERT_TRUE(designer->Journal().Exists());
  designer->Undo();
  designer->UpdateJournal();
  EXPECT_FALSE(designer->Journal().Exists());
}

TEST_F(JournalTest, QuittingKeepsItOnlyWhenChangesWouldBeLostUnasked) {
  struct Case {
    const char* what;
    bool warn;
    bool change;
    bool answerQuit;
    bool kept;
  } cases[] = {
      {"changes, warning off", false, true, false, true},
      {"changes, warning on, Yes to quitting without saving", true, true, true, false},
      {"no changes", false, false, false, false},
  };
  for (const Case& c : cases) {
    QDir(Folder()).removeRecursively();
    ScriptedRequesters asked;
    auto d = Another(asked);
    d->Config().ConfirmChanges = c.warn;
    if (c.change) {
      d->Select("dialogs");
      d->AddObjectCommand("window");
    }
    asked.yesNoAnswers = {c.answerQuit};
    ASSERT_TRUE(d->QuitRequested()) << c.what;
    d->Shutdown();
    const QString path = d->Journal().JournalPath();
    d.reset();
    EXPECT_EQ(QFile::exists(path), c.kept) << c.what;
  }
}

TEST_F(JournalTest, ANextStartOffersTheDesignOfADesignerThatEndedWithoutSaving) {
  const QString w = Add("dialogs", "window");
  Add(w, "vbox");
  designer->UpdateJournal();
  const QByteArray lost = DesignBytes(*designer);
  // Ended without a quit (a crash or a kill): its lock goes, its journal stays.
  designer.reset();
  ASSERT_EQ(Journals().size(), 1);

  ScriptedRequesters asked;
  asked.yesNoAnswers = {true};
  auto next = Another(asked);
  ASSERT_EQ(asked.Count("yesno"), 1);
  EXPECT_EQ(asked.asked[0].title, QStringLiteral("Boxwright [1.0.1.8]"));
  EXPECT_EQ(asked.asked[0].text, QStringLiteral("Restore the unsaved design of the last session?"));
  EXPECT_EQ(asked.asked[0].icon, MessageIcon::Information);
  EXPECT_EQ(DesignBytes(*next), lost);
  EXPECT_EQ(next->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree"));
  // The restored design counts as unsaved, and it is the new designer's journal now.
  next->Config().ConfirmChanges = true;
  asked.yesNoAnswers = {false};
  EXPECT_FALSE(next->QuitRequested());
  EXPECT_EQ(Journals(), QStringList{QFileInfo(next->Journal().JournalPath()).fileName()});
  next.reset();

  // No discards it for good.
  ScriptedRequesters refused;
  refused.yesNoAnswers = {false};
  auto third = Another(refused);
  EXPECT_EQ(refused.Count("yesno"), 1);
  EXPECT_EQ(third->Tree().Size(), 1);
  EXPECT_TRUE(Journals().isEmpty());
}

TEST_F(JournalTest, AJournalKeepsTheFileNameOfItsDesignAndAStaleLockCountsAsEnded) {
  // A journal as a killed designer leaves it: its lock names a process that no longer runs.
  QDir().mkpath(Folder());
  QProcess gone;
  gone.start(QStringLiteral("true"));
  ASSERT_TRUE(gone.waitForStarted());
  const qint64 pid = gone.processId();
  ASSERT_TRUE(gone.waitForFinished());
  const QString base = Folder() + QStringLiteral("/killed");
  {
    QFile lock(base + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nboxwright\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    QFile xml(base + ".xml");
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write("<dialogs><window name='Login'/></dialogs>");
    QFile file(base + ".file");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("/home/user/login.xml");
  }
  ScriptedRequesters asked;
  asked.yesNoAnswers = {true};
  auto next = Another(asked);
  EXPECT_TRUE(next->Tree().Contains("login"));
  EXPECT_EQ(next->TreeWindow()->windowTitle(), QStringLiteral("Interface Tree: login.xml"));
  EXPECT_FALSE(QFile::exists(base + ".xml"));
}

TEST_F(JournalTest, TwoDesignersSideBySideNeverShareOrTakeEachOthers) {
  Add("dialogs", "window");
  designer->UpdateJournal();
  ASSERT_TRUE(designer->Journal().Exists());
  ScriptedRequesters asked;
  auto second = Another(asked);
  EXPECT_EQ(asked.Count("yesno"), 0);  // the first designer still runs
  EXPECT_NE(second->Journal().JournalPath(), designer->Journal().JournalPath());
  second->Select("dialogs");
  second->AddObjectCommand("window");
  second->AddObjectCommand("window");
  second->UpdateJournal();
  EXPECT_EQ(Journals().size(), 2);
  QFile mine(designer->Journal().JournalPath());
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), DesignBytes(*designer));
}

}  // namespace
