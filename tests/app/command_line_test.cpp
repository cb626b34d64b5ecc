#include "app/command_line.h"

#include <gtest/gtest.h>

#include "model/app_info.h"
#include "test_support.h"

using namespace bxw;

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OneFileOrOneOption) {
  struct Case {
    QStringList args;
    Action action;
    QString file;
    QString message;
  };
  const QString usage = QStringLiteral("usage: boxwright [FILE | --version | --help]\n");
  const Case cases[] = {
      {{}, Action::Run, "", ""},
      {{"examples/login.xml"}, Action::Run, "examples/login.xml", ""},
      {{"a dialog.xml"}, Action::Run, "a dialog.xml", ""},
      {{"--version"}, Action::Version, "", "boxwright 1.0.1.8\n"},
      {{"a.xml", "b.xml"}, Action::Refuse, "", "boxwright: only one file can be opened; " + usage},
      {{"--verbose"}, Action::Refuse, "", "boxwright: unknown option '--verbose'; " + usage},
      {{"a.xml", "-style"}, Action::Refuse, "", "boxwright: unknown option '-style'; " + usage},
      {{"-"}, Action::Refuse, "", "boxwright: unknown option '-'; " + usage},
      {{""}, Action::Refuse, "", "boxwright: empty file name; " + usage},
      {{"--version", "a.xml"},
       Action::Refuse,
       "",
       "boxwright: '--version' takes no other argument; " + usage},
      {{"a.xml", "--help"},
       Action::Refuse,
       "",
       "boxwright: '--help' takes no other argument; " + usage},
  };
  for (const Case& c : cases) {
    const CommandLine got = ParseCommandLine(c.args);
    EXPECT_EQ(got.action, c.action) << c.args.join(' ').toStdString();
    EXPECT_EQ(got.file, c.file) << c.args.join(' ').toStdString();
    EXPECT_EQ(got.message, c.message) << c.args.join(' ').toStdString();
  }
}

TEST(CommandLineTest, HelpPrintsTheUsageAndTheVersionMatchesTheTitle) {
  const CommandLine help = ParseCommandLine({"--help"});
  EXPECT_EQ(help.action, Action::Help);
  EXPECT_TRUE(help.message.startsWith("usage: boxwright [FILE | --version | --help]\n"));
  // The title base and the built version must not drift apart.
  EXPECT_EQ(kTitleBase, QStringLiteral("Boxwright [" BXW_VERSION "]"));
}

}  // namespace
