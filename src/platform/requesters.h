#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

namespace bxw {

enum class MessageIcon { Information, Warning, Error };

struct FileRequest {
  QString title;
  QString startPath;  // directory or proposed file path
  QString patterns;   // "XML file (*.xml)|*.xml|All files (*.*)|*.*"
  int initialPattern = 0;
};

struct FileAnswer {
  QString path;  // empty when cancelled
  int patternIndex = 0;
};

struct FontChoice {
  QString face;
  int size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// Every modal question the designer asks goes through this seam: the Qt implementation shows real
// dialogs, the scripted one answers from a queue and records what was asked.
class Requesters {
public:
  virtual ~Requesters() = default;
  virtual bool AskYesNo(const QString& title, const QString& text, MessageIcon icon) = 0;
  virtual void Message(const QString& title, const QString& text, MessageIcon icon) = 0;
  virtual FileAnswer OpenFile(const FileRequest& request) = 0;
  virtual FileAnswer SaveFile(const FileRequest& request) = 0;
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& initial) = 0;
  virtual int ChooseColour(int initial) = 0;  // platform colour (red in the low byte), -1 cancelled
};

// Splits "Name (*.x)|*.x|All (*.*)|*.*" into (caption, filter) pairs.
QList<QPair<QString, QString>> SplitPatternList(const QString& patterns);

class ScriptedRequesters final : public Requesters {
public:
  struct Asked {
    QString kind;  // "yesno", "message", "open", "save", "font", "colour"
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Information;
  };

  std::deque<bool> yesNoAnswers;
  std::deque<FileAnswer> fileAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;
  std::deque<int> colourAnswers;
  QList<Asked> asked;
  QList<FileRequest> fileRequests;

  bool AskYesNo(const QString& title, const QString& text, MessageIcon icon) override;
  void Message(const QString& title, const QString& text, MessageIcon icon) override;
  FileAnswer OpenFile(const FileRequest& request) override;
  FileAnswer SaveFile(const FileRequest& request) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  int ChooseColour(int initial) override;

  int Count(const QString& kind) const;
};

}  // namespace bxw
