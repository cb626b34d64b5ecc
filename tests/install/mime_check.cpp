// Prints what Qt's MIME database (the freedesktop one, as Qt file dialogs and file managers read
// it) knows of a type: name, parents, icon and comment. The install test points it at the
// installed type with XDG_DATA_DIRS.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: mime_check TYPE\n", stderr);
    return 2;
  }
  const QMimeType type = QMimeDatabase().mimeTypeForName(QString::fromLocal8Bit(argv[1]));
  if (!type.isValid()) return 1;
  std::printf("%s|%s|%s|%s\n", qPrintable(type.name()),
              qPrintable(type.parentMimeTypes().join(',')), qPrintable(type.iconName()),
              qPrintable(type.comment()));
  return 0;
}
