#include "platform/widgets/qt_requesters.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

#include "platform/widgets/qt_values.h"

namespace bxw {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Information: break;
  }
  return QMessageBox::Information;
}

// Qt wants "Caption (*.x);;All (*)" and reports the chosen filter by its text.
FileAnswer RunFileDialog(QWidget* parent, const FileRequest& r, QFileDialog::AcceptMode mode) {
  const auto pairs = SplitPatternList(r.patterns);
  QStringList filters;
  for (const auto& p : pairs) filters << p.first;
  QFileDialog dialog(parent, r.title, r.startPath);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  if (r.initialPattern >= 0 && r.initialPattern < filters.size())
    dialog.selectNameFilter(filters[r.initialPattern]);
  // The designer applies its own extension rule, and asks its own overwrite question where any.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (mode == QFileDialog::AcceptSave && !r.startPath.isEmpty()) dialog.selectFile(r.startPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  FileAnswer a;
  a.path = dialog.selectedFiles().first();
  a.patternIndex = std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()));
  return a;
}

}  // namespace

bool QtRequesters::AskYesNo(const QString& title, const QString& text, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

void QtRequesters::Message(const QString& title, const QString& text, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, parent_);
  box.exec();
}

FileAnswer QtRequesters::OpenFile(const FileRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

FileAnswer QtRequesters::SaveFile(const FileRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

std::optional<FontChoice> QtRequesters::ChooseFont(const FontChoice& initial) {
  QFont start(initial.face.isEmpty() ? QStringLiteral("Arial") : initial.face,
              initial.size > 0 ? initial.size : 9);
  start.setBold(initial.bold);
  start.setItalic(initial.italic);
  start.setUnderline(initial.underline);
  start.setStrikeOut(initial.strikeOut);
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, start, parent_);
  if (!ok) return std::nullopt;
  FontChoice c;
  c.face = f.family();
  c.size = f.pointSize() > 0 ? f.pointSize() : qRound(f.pointSizeF());
  c.bold = f.bold();
  c.italic = f.italic();
  c.underline = f.underline();
  c.strikeOut = f.strikeOut();
  return c;
}

int QtRequesters::ChooseColour(int initial) {
  const QColor start = initial < 0 ? QColor(Qt::black) : QColorOfPlatformColour(initial);
  const QColor c = QColorDialog::getColor(start, parent_);
  if (!c.isValid()) return -1;
  return PlatformColourOfQColor(c);
}

}  // namespace bxw
