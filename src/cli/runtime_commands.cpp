#include <QCoreApplication>
#include <QFile>
#include <QPixmap>
#include <QRegularExpression>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"
#include "platform/xml_document.h"

namespace bxw::cli {

namespace {

using dialog::DialogRuntime;

struct WindowOptions {
  QString file;
  QString window;
  int width = 0;
  int height = 0;
  QString output;
};

void Err(const QString& text) {
  std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

// Parses FILE [--window NAME] [--size WxH] [-o OUT]; answers false after printing a usage error.
bool ParseArgs(const QStringList& args, bool wantOutput, WindowOptions* o) {
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("--window") && hasValue) {
      o->window = args[++i];
    } else if (a == QLatin1String("--size") && hasValue) {
      static const QRegularExpression re(QStringLiteral("^(\\d+)[xX](\\d+)$"));
      const auto m = re.match(args[++i]);
      if (!m.hasMatch()) {
        Err(QStringLiteral("bxw: --size wants WIDTHxHEIGHT"));
        return false;
      }
      o->width = m.captured(1).toInt();
      o->height = m.captured(2).toInt();
    } else if (wantOutput && a == QLatin1String("-o") && hasValue) {
      o->output = args[++i];
    } else if (!a.startsWith(QLatin1Char('-')) && o->file.isEmpty()) {
      o->file = a;
    } else {
      Err(QStringLiteral("bxw: unexpected argument '%1'").arg(a));
      return false;
    }
  }
  if (o->file.isEmpty() || (wantOutput && o->output.isEmpty())) {
    Err(wantOutput
            ? QStringLiteral("usage: bxw render FILE [--window NAME] [--size WxH] -o OUT.png")
            : QStringLiteral("usage: bxw layout FILE [--window NAME] [--size WxH]"));
    return false;
  }
  return true;
}

// Opens the window as the runtime does; prints the error and answers 0 on failure.
int OpenWindow(DialogRuntime& rt, const WindowOptions& o, std::unique_ptr<XmlDocument>* doc) {
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
  *doc = std::move(parsed.document);
  const int dialog = rt.CreateDialog(dialog::kAny);
  if (!rt.OpenXMLDialog(dialog, **doc, o.window, 0, 0, o.width, o.height)) {
    Err(QStringLiteral("error: ") + rt.DialogErrorText(dialog));
    return 0;
  }
  return dialog;
}

QString NameOr(const dialog::DialogObject& o) {
  return o.hasName ? o.name : QStringLiteral("-");
}

}  // namespace

int RunLayout(const QStringList& args) {
  WindowOptions o;
  if (!ParseArgs(args, false, &o)) return 2;
  DialogRuntime rt;
  std::unique_ptr<XmlDocument> doc;
  const int dialog = OpenWindow(rt, o, &doc);
  if (!dialog) return 1;
  QWidget* window = rt.WindowID(rt.DialogWindow(dialog));
  QString out = QStringLiteral("window %1 %2 %3\n")
                    .arg(NameOr(*rt.Root(dialog)))
                    .arg(window->width())
                    .arg(window->height());
  for (const auto& info : rt.CreatedObjects(dialog)) {
    const dialog::DialogObject& ob = *info.object;
    QString req = ob.lastRequest
                      ? QStringLiteral("%1 %2").arg(ob.lastRequest->w).arg(ob.lastRequest->h)
                      : QStringLiteral("- -");
    QString at = ob.lastRect ? QStringLiteral("%1 %2 %3 %4")
                                   .arg(ob.lastRect->x)
                                   .arg(ob.lastRect->y)
                                   .arg(ob.lastRect->w)
                                   .arg(ob.lastRect->h)
                             : QStringLiteral("- - - -");
    out += QStringLiteral("%1 %2 %3 req %4 at %5\n")
               .arg(info.depth)
               .arg(ob.elementName, NameOr(ob), req, at);
  }
  std::fputs(out.toUtf8().constData(), stdout);
  return 0;
}

int RunRender(const QStringList& args) {
  WindowOptions o;
  if (!ParseArgs(args, true, &o)) return 2;
  DialogRuntime rt;
  std::unique_ptr<XmlDocument> doc;
  const int dialog = OpenWindow(rt, o, &doc);
  if (!dialog) return 1;
  QWidget* window = rt.WindowID(rt.DialogWindow(dialog));
  // Painting needs a backing store of the window's size: a file may ask for any size.
  constexpr int kMaxSide = 8192;
  if (window->width() > kMaxSide || window->height() > kMaxSide) {
    Err(QStringLiteral("error: the window is too large to render (%1 x %2, at most %3 a side)")
            .arg(window->width())
            .arg(window->height())
            .arg(kMaxSide));
    return 1;
  }
  window->show();
  QCoreApplication::processEvents();
  const QPixmap image = window->grab();
  if (!image.save(o.output, "PNG")) {
    Err(QStringLiteral("error: cannot write %1").arg(o.output));
    return 1;
  }
  return 0;
}

}  // namespace bxw::cli
