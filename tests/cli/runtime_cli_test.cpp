// bxw layout and bxw render, run as the user runs them.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "test_support.h"

namespace {

struct BxwRun {
  int code = -1;
  QString out;
  QString err;
};

// Runs bxw as the user does. Qt warns about a missing runtime directory when XDG_RUNTIME_DIR is
// unset, which it is here: bxw must keep that to itself, so stderr is taken as it comes.
BxwRun Bxw(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(BXW_BINARY_DIR "/bxw"), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  BxwRun r;
  r.code = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QString Data(const char* name) {
  return bxw::test::DataPath(QStringLiteral("dialog/") + QLatin1String(name));
}

TEST(BxwLayout, BoxExampleInFourModes) {
  const BxwRun r = Bxw({QStringLiteral("layout"), Data("hbox_example.xml"),
                        QStringLiteral("--size"), QStringLiteral("250x120")});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, QStringLiteral("window Boxes 250 120\n"
                                  "1 vbox - req 220 100 at 0 0 250 120\n"
                                  "2 hbox yes req 190 25 at 0 0 250 30\n"
                                  "3 empty a req 50 20 at 0 0 70 30\n"
                                  "3 empty b req 60 25 at 75 0 80 30\n"
                                  "3 empty c req 70 22 at 160 0 90 30\n"
                                  "2 hbox equal req 220 25 at 0 30 250 30\n"
                                  "3 empty - req 50 20 at 0 30 80 30\n"
                                  "3 empty - req 60 25 at 85 30 80 30\n"
                                  "3 empty - req 70 22 at 170 30 80 30\n"
                                  "2 hbox no req 190 25 at 0 60 250 30\n"
                                  "3 empty - req 50 20 at 30 60 50 30\n"
                                  "3 empty - req 60 25 at 85 60 60 30\n"
                                  "3 empty - req 70 22 at 150 60 70 30\n"
                                  "2 hbox item req 190 25 at 0 90 250 30\n"
                                  "3 empty - req 50 20 at 0 90 50 30\n"
                                  "3 empty - req 60 25 at 55 90 120 30\n"
                                  "3 empty - req 70 22 at 180 90 70 30\n"));
}

TEST(BxwLayout, WorkedExamplesByWindow) {
  struct Case {
    const char* window;
    const char* size;
    const char* expected;
  };
  const Case cases[] = {
      {"grid", nullptr,
       "window grid 199 60\n"
       "1 gridbox - req 199 60 at 0 0 199 60\n"
       "2 empty A req 80 20 at 0 0 117 25\n"
       "2 empty B req 40 25 at 122 0 77 25\n"
       "2 empty C req 200 30 at 0 30 199 30\n"},
      {"GRID", "300x60",
       "window grid 300 60\n"
       "1 gridbox - req 199 60 at 0 0 300 60\n"
       "2 empty A req 80 20 at 0 0 167 25\n"
       "2 empty B req 40 25 at 172 0 127 25\n"
       "2 empty C req 200 30 at 0 30 299 30\n"},
      {"scroll", nullptr,
       "window scroll 192 100\n"
       "1 scrollarea - req 192 100 at 0 0 192 100\n"
       "2 empty - req 150 400 at 10 10 150 400\n"},
      {"splitter", nullptr,
       "window splitter 204 60\n"
       "1 splitter - req 204 60 at 0 0 204 60\n"
       "2 listicon - req 120 40 at 0 0 120 60\n"
       "2 listicon - req 80 60 at 0 0 80 60\n"},
      {"folded", nullptr,
       "window folded 5 120\n"
       "1 vbox - req 5 120 at 0 0 5 120\n"
       "2 empty - req 5 20 at 0 0 5 20\n"
       "2 empty - req 5 30 at 0 30 5 30\n"
       "2 empty - req 0 0 at - - - -\n"
       "2 empty - req 5 40 at 0 70 5 40\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    QStringList args = {QStringLiteral("layout"), Data("runtime_examples.xml"),
                        QStringLiteral("--window"), QString::fromLatin1(c.window)};
    if (c.size) args << QStringLiteral("--size") << QString::fromLatin1(c.size);
    const BxwRun r = Bxw(args);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::fromLatin1(c.expected));
  }
}

TEST(BxwLayout, FailedOpenPrintsTheRuntimeMessage) {
  BxwRun r = Bxw({QStringLiteral("layout"), Data("runtime_examples.xml"),
                  QStringLiteral("--window"), QStringLiteral("broken")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, QString());
  EXPECT_EQ(r.err, QStringLiteral("error: <string> 'width' can't have empty value.\n"));
  r = Bxw({QStringLiteral("layout"), Data("runtime_examples.xml"), QStringLiteral("--window"),
           QStringLiteral("nowhere")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, QStringLiteral("error: Dialog window not found\n"));
}

TEST(BxwRender, WritesThePngOfTheWindow) {
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("grid.png"));
  const BxwRun r =
      Bxw({QStringLiteral("render"), Data("runtime_examples.xml"), QStringLiteral("--window"),
           QStringLiteral("grid"), QStringLiteral("--size"), QStringLiteral("300x80"),
           QStringLiteral("-o"), png});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(300, 80));
  const BxwRun missing = Bxw({QStringLiteral("render"), Data("runtime_examples.xml")});
  EXPECT_EQ(missing.code, 2);
  const BxwRun huge =
      Bxw({QStringLiteral("render"), Data("runtime_examples.xml"), QStringLiteral("--size"),
           QStringLiteral("20000x10"), QStringLiteral("-o"), png});
  EXPECT_EQ(huge.code, 1);
  EXPECT_TRUE(huge.err.startsWith(QStringLiteral("error: the window is too large to render")));
}

TEST(BxwRender, EmptyOversizedAndFarOutWindows) {
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("x.png"));
  const QString file = Data("oversized.xml");
  BxwRun r = Bxw({QStringLiteral("render"), file, QStringLiteral("--window"),
                  QStringLiteral("empty"), QStringLiteral("-o"), png});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err,
            QStringLiteral("error: the window is empty (laid out at 0 x 0): nothing to render\n"));
  r = Bxw({QStringLiteral("render"), file, QStringLiteral("--window"), QStringLiteral("big"),
           QStringLiteral("-o"), png});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, QStringLiteral("error: the window is too large to render (30016 x 30016, at "
                                  "most 8192 a side)\n"));
  // The child reaches far out of the window on every side; only what can be seen is painted.
  r = Bxw({QStringLiteral("render"), file, QStringLiteral("--window"), QStringLiteral("margin"),
           QStringLiteral("--size"), QStringLiteral("400x300"), QStringLiteral("-o"), png});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, QString());
  EXPECT_EQ(QImage(png).size(), QSize(400, 300));
  // The layout itself is as laid out, also where Qt got less.
  r = Bxw({QStringLiteral("layout"), file, QStringLiteral("--window"), QStringLiteral("big")});
  EXPECT_EQ(r.out, QStringLiteral("window big 30016 30016\n"
                                  "1 button - req 30000 30000 at 8 8 30000 30000\n"));
}

TEST(BxwRuntimeNames, RealFileRendersAsInItsProgramUnlessStrict) {
  QTemporaryDir dir;
  const QString file = Data("address_book.xml");
  BxwRun r = Bxw({QStringLiteral("layout"), file});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, QString());
  EXPECT_TRUE(r.out.startsWith(QStringLiteral("window main ")));
  EXPECT_TRUE(r.out.contains(QStringLiteral("\n2 listicon list req 300 120 at ")));
  const QString png = dir.filePath(QStringLiteral("main.png"));
  r = Bxw({QStringLiteral("render"), file, QStringLiteral("-o"), png});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_FALSE(QImage(png).isNull());
  for (const char* command : {"layout", "render"}) {
    SCOPED_TRACE(command);
    QStringList args{QString::fromLatin1(command), file, QStringLiteral("--strict")};
    if (QLatin1String(command) == QLatin1String("render")) args << QStringLiteral("-o") << png;
    r = Bxw(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("error: '#W_Main' constant is not found or not declared as "
                                    "runtime.\n"));
  }
}

TEST(BxwHit, NamesTheObjectUnderThePoint) {
  struct Case {
    const char* window;
    const char* at;
    const char* out;  // empty: nothing printed, exit 1
  } cases[] = {
      {"boxes", "10,10", "a\n"},   {"boxes", "60,10", "top\n"},  {"boxes", "10,40", "outer\n"},
      {"boxes", "2,2", "boxes\n"}, {"boxes", "130,10", ""},      {"boxes", "-1,0", ""},
      {"grid", "115,10", "g\n"},   {"grid", "125,40", "tall\n"}, {"grid", "55,10", "wide\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.window) + " " + c.at);
    const BxwRun r =
        Bxw({QStringLiteral("hit"), Data("hit_examples.xml"), QStringLiteral("--window"),
             QString::fromLatin1(c.window), QStringLiteral("--at"), QString::fromLatin1(c.at)});
    EXPECT_EQ(r.code, *c.out ? 0 : 1);
    EXPECT_EQ(r.out, QString::fromLatin1(c.out));
    EXPECT_EQ(r.err, QString());
  }
  // A larger size stretches the layout; the points follow it.
  BxwRun r = Bxw({QStringLiteral("hit"), Data("hit_examples.xml"), QStringLiteral("--window"),
                  QStringLiteral("boxes"), QStringLiteral("--size"), QStringLiteral("300x70"),
                  QStringLiteral("--at"), QStringLiteral("250,10")});
  EXPECT_EQ(r.out, QStringLiteral("b\n"));
  r = Bxw({QStringLiteral("hit"), Data("hit_examples.xml"), QStringLiteral("--at"),
           QStringLiteral("x")});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, QStringLiteral("bxw: --at wants X,Y\n"));
  r = Bxw({QStringLiteral("hit"), Data("hit_examples.xml")});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, QStringLiteral(
                       "usage: bxw hit FILE [--window NAME] [--size WxH] [--strict] --at X,Y\n"));
}

TEST(BxwOptions, HelpVersionAndUnknownCommands) {
  BxwRun r = Bxw({QStringLiteral("--version")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, QStringLiteral("bxw 1.0.1.8\n"));
  r = Bxw({QStringLiteral("--help")});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: bxw COMMAND FILE [options]\n")));
  EXPECT_TRUE(r.out.contains(QStringLiteral("  hit FILE ")));
  EXPECT_EQ(r.err, QString());
  const QString usage = r.out;
  for (const QStringList& args : {QStringList{QStringLiteral("frob")}, QStringList{}}) {
    r = Bxw(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, usage);
  }
}

TEST(BxwRender, FormsWithEveryKindRenderAtTheirLayoutSize) {
  QTemporaryDir dir;
  for (const char* form : {"leaves.xml", "containers.xml"}) {
    SCOPED_TRACE(form);
    const BxwRun layout = Bxw({QStringLiteral("layout"), Data(form)});
    ASSERT_EQ(layout.code, 0) << layout.err.toStdString();
    const QStringList first = layout.out.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(' '));
    ASSERT_EQ(first.size(), 4);
    const QString png = dir.filePath(QString::fromLatin1(form) + QStringLiteral(".png"));
    const BxwRun r = Bxw({QStringLiteral("render"), Data(form), QStringLiteral("-o"), png});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(first[2].toInt(), first[3].toInt()));
  }
}

}  // namespace
