#include <QCoreApplication>
#include <QFile>
#include <QPixmap>
#include <QRegularExpression>
#include <QWidget>
#include <charconv>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"
#include "dialog/file_symbols.h"
#include "dialog/hit_test.h"
#include "platform/xml_document.h"

namespace bxw::cli {

namespace {

using dialog::DialogRuntime;

enum class Command { Layout, Render, Hit };

struct WindowOptions {
  QString file;
  QString window;
  int width = 0;
  int height = 0;
  QString output;
  bool strict = false;
  bool hasPoint = false;
  int atX = 0;
  int atY = 0;
};

void Err(const QString& text) {
  std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

const char* Usage(Command c) {
  switch (c) {
    case Command::Layout:
      return "usage: bxw layout FILE [--window NAME] [--size WxH] [--strict]";
    case Command::Render:
      return "usage: bxw render FILE [--window NAME] [--size WxH] [--strict] -o OUT.png";
    case Command::Hit:
      return "usage: bxw hit FILE [--window NAME] [--size WxH] [--strict] --at X,Y";
  }
  return "";
}

// Parses FILE [--window NAME] [--size WxH] [--strict] and the command's own option (-o OUT for
// render, --at X,Y for hit); answers false after printing a usage error.
bool ParseArgs(const QStringList& args, Command command, WindowOptions* o) {
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("--window") && hasValue) {
      o->window = args[++i];
    } else if (a == QLatin1String("--size") && hasValue) {
      static const QRegularExpression re(QStringLiteral("^(\\d{1,9})[xX](\\d{1,9})$"));
      const auto m = re.match(args[++i]);
      if (!m.hasMatch()) {
        Err(QStringLiteral("bxw: --size wants WIDTHxHEIGHT"));
        return false;
      }
      o->width = m.captured(1).toInt();
      o->height = m.captured(2).toInt();
    } else if (a == QLatin1String("--strict")) {
      o->strict = true;
    } else if (command == Command::Render && a == QLatin1String("-o") && hasValue) {
      o->output = args[++i];
    } else if (command == Command::Hit && a == QLatin1String("--at") && hasValue) {
      static const QRegularExpression re(QStringLiteral("^(-?\\d{1,9}),(-?\\d{1,9})$"));
      const auto m = re.match(args[++i]);
      if (!m.hasMatch()) {
        Err(QStringLiteral("bxw: --at wants X,Y"));
        return false;
      }
      o->hasPoint = true;
      o->atX = m.captured(1).toInt();
      o->atY = m.captured(2).toInt();
    } else if (!a.startsWith(QLatin1Char('-')) && o->file.isEmpty()) {
      o->file = a;
    } else {
      Err(QStringLiteral("bxw: unexpected argument '%1'").arg(a));
      return false;
    }
  }
  const bool complete = !o->file.isEmpty() &&
                        (command != Command::Render || !o->output.isEmpty()) &&
                        (command != Command::Hit || o->hasPoint);
  if (!complete) Err(QString::fromLatin1(Usage(command)));
  return complete;
}

// The companion's runtime lives until the process ends: bxw exits right after its output is
// written, without tearing the window and its widgets down.
DialogRuntime& ProcessRuntime() {
  static DialogRuntime* runtime = new DialogRuntime;
  return *runtime;
}

// Opens the window as the runtime does; prints the error and answers 0 on failure. The document
// is kept for the life of the process as well.
int OpenWindow(DialogRuntime& rt, const WindowOptions& o) {
  QFile file(o.file);
  if (!file.open(QIODevice::ReadOnly)) {
    Err(QStringLiteral("error: cannot read %1").arg(o.file));
    return 0;
  }
  XmlParseResult parsed = ParseXml(file.readAll());
  if (!parsed.ok) {
    Err(QStringLiteral("error: %1:%2:%3: %4")
            .arg(o.file)
            .arg(parsed.line)
            .arg(parsed.position)
            .arg(parsed.message));
    return 0;
  }
  const XmlDocument* doc = parsed.document.release();
  // A real file's program registers its runtime constants and procedures before it opens the
  // dialog; without them the file would not open at all.
  if (!o.strict) dialog::RegisterFileSymbols(*doc, rt.Symbols());
  const int dialog = rt.CreateDialog(dialog::kAny);
  if (!rt.OpenXMLDialog(dialog, *doc, o.window, 0, 0, o.width, o.height)) {
    Err(QStringLiteral("error: ") + rt.DialogErrorText(dialog));
    return 0;
  }
  return dialog;
}

QString NameOr(const dialog::DialogObject& o) {
  return o.hasName ? o.name : QStringLiteral("-");
}

int Print(const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int RunLayout(const QStringList& args) {
  WindowOptions o;
  if (!ParseArgs(args, Command::Layout, &o)) return 2;
  DialogRuntime& rt = ProcessRuntime();
  const int dialog = OpenWindow(rt, o);
  if (!dialog) return 1;
  // One line per object: a large window prints tens of thousands of them, so they are written
  // straight into one buffer.
  const auto objects = rt.CreatedObjects(dialog);
  QByteArray out;
  out.reserve(64 * static_cast<qsizetype>(objects.size() + 1));
  auto number = [&out](int n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end - digits);
  };
  auto word = [&out](const QString& text) { out += text.toUtf8(); };
  const QSize client = rt.WindowClientSize(dialog);
  out += "window ";
  word(NameOr(*rt.Root(dialog)));
  out += ' ';
  number(client.width());
  out += ' ';
  number(client.height());
  out += '\n';
  for (const auto& info : objects) {
    const dialog::DialogObject& ob = *info.object;
    number(info.depth);
    out += ' ';
    word(ob.elementName);
    out += ' ';
    word(NameOr(ob));
    out += " req ";
    if (ob.lastRequest) {
      number(ob.lastRequest->w);
      out += ' ';
      number(ob.lastRequest->h);
    } else {
      out += "- -";
    }
    out += " at ";
    if (ob.lastRect) {
      number(ob.lastRect->x);
      out += ' ';
      number(ob.lastRect->y);
      out += ' ';
      number(ob.lastRect->w);
      out += ' ';
      number(ob.lastRect->h);
    } else {
      out += "- - - -";
    }
    out += '\n';
  }
  return Print(out);
}

int RunRender(const QStringList& args) {
  WindowOptions o;
  if (!ParseArgs(args, Command::Render, &o)) return 2;
  DialogRuntime& rt = ProcessRuntime();
  const int dialog = OpenWindow(rt, o);
  if (!dialog) return 1;
  QWidget* window = rt.WindowID(rt.DialogWindow(dialog));
  // Painting needs a backing store and a picture of the window's size: a file may ask for any
  // size. Both the laid-out size and what the grab will really take are checked, the latter
  // once more after showing, when the platform has settled the window.
  constexpr int kMaxSide = 8192;
  auto tooLarge = [&](QSize s) {
    if (s.width() <= kMaxSide && s.height() <= kMaxSide) return false;
    Err(QStringLiteral("error: the window is too large to render (%1 x %2, at most %3 a side)")
            .arg(s.width())
            .arg(s.height())
            .arg(kMaxSide));
    return true;
  };
  auto empty = [&](QSize s) {
    if (s.width() > 0 && s.height() > 0) return false;
    Err(QStringLiteral("error: the window is empty (laid out at %1 x %2): nothing to render")
            .arg(s.width())
            .arg(s.height()));
    return true;
  };
  const QSize laidOut = rt.WindowClientSize(dialog);
  if (tooLarge(laidOut) || tooLarge(window->size()) || empty(laidOut)) return 1;
  window->show();
  QCoreApplication::processEvents();
  if (tooLarge(window->size()) || empty(window->size())) return 1;
  const QPixmap image = window->grab();
  if (image.isNull()) {
    Err(QStringLiteral("error: the window could not be drawn"));
    return 1;
  }
  if (!image.save(o.output, "PNG")) {
    Err(QStringLiteral("error: cannot write %1").arg(o.output));
    return 1;
  }
  return 0;
}

int RunHit(const QStringList& args) {
  WindowOptions o;
  if (!ParseArgs(args, Command::Hit, &o)) return 2;
  DialogRuntime& rt = ProcessRuntime();
  const int dialog = OpenWindow(rt, o);
  if (!dialog) return 1;
  const dialog::HitTree tree = dialog::BuildHitTree(rt, dialog);
  const int hit = dialog::HitTest(tree, o.atX, o.atY);
  if (hit < 0) return 1;
  return Print((NameOr(*tree.nodes[hit].object) + QLatin1Char('\n')).toUtf8());
}

}  // namespace bxw::cli
