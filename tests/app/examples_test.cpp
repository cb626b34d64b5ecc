#include <QDir>
#include <QFileInfo>

#include "app/windows.h"
#include "designer_fixture.h"

using namespace bxw;
using bxw::test::DesignerTest;

namespace {

// The designs shipped in examples/ open as a file given on the command line does (as a dropped
// file), without a single message, and their window shows in the preview once selected.
TEST_F(DesignerTest, ExamplesOpenCleanAndPreview) {
  const QDir examples(QStringLiteral(BXW_TEST_DATA_DIR "/../../examples"));
  const struct {
    const char* file;
    const char* window;
    const char* deepest;  // an object nested inside, to see the whole file arrived
  } cases[] = {
      {"login.xml", "login", "login_ok"},
      {"settings.xml", "preferences", "proxy_local"},
      {"browser.xml", "browser", "entry_text"},
  };
  for (const auto& c : cases) {
    const QString path = examples.absoluteFilePath(QString::fromLatin1(c.file));
    ASSERT_TRUE(QFileInfo::exists(path)) << c.file;
    designer->ImportDroppedFiles({path});
    EXPECT_TRUE(requesters.asked.isEmpty())
        << c.file << ": " << requesters.asked.value(0).text.toStdString();
    EXPECT_TRUE(designer->Tree().Contains(QString::fromLatin1(c.window))) << c.file;
    EXPECT_TRUE(designer->Tree().Contains(QString::fromLatin1(c.deepest))) << c.file;
    EXPECT_EQ(designer->TreeWindow()->windowTitle(),
              "Interface Tree: " + QString::fromLatin1(c.file));
    Select(QString::fromLatin1(c.window));
    EXPECT_EQ(designer->PreviewedWindowKey(), QString::fromLatin1(c.window)) << c.file;
    EXPECT_EQ(designer->Main()->windowTitle(),
              kTitleBase + ": '" + QString::fromLatin1(c.window) + "'")
        << c.file;
  }
}

}  // namespace
