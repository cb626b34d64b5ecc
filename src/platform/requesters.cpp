#include "platform/requesters.h"

namespace bxw {

QList<QPair<QString, QString>> SplitPatternList(const QString& patterns) {
  QList<QPair<QString, QString>> out;
  const QStringList parts = patterns.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out.append({parts[i], parts[i + 1]});
  return out;
}

// Unscripted questions get the cautious answer: No, cancel.
bool ScriptedRequesters::AskYesNo(const QString& title, const QString& text, MessageIcon icon) {
  asked.append({QStringLiteral("yesno"), title, text, icon});
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

void ScriptedRequesters::Message(const QString& title, const QString& text, MessageIcon icon) {
  asked.append({QStringLiteral("message"), title, text, icon});
}

FileAnswer ScriptedRequesters::OpenFile(const FileRequest& request) {
  asked.append({QStringLiteral("open"), request.title, request.startPath, MessageIcon::Information});
  fileRequests.append(request);
  if (fileAnswers.empty()) return {};
  FileAnswer a = fileAnswers.front();
  fileAnswers.pop_front();
  return a;
}

FileAnswer ScriptedRequesters::SaveFile(const FileRequest& request) {
  asked.append({QStringLiteral("save"), request.title, request.startPath, MessageIcon::Information});
  fileRequests.append(request);
  if (fileAnswers.empty()) return {};
  FileAnswer a = fileAnswers.front();
  fileAnswers.pop_front();
  return a;
}

std::optional<FontChoice> ScriptedRequesters::ChooseFont(const FontChoice& initial) {
  asked.append({QStringLiteral("font"), QString(), initial.face, MessageIcon::Information});
  if (fontAnswers.empty()) return std::nullopt;
  const bool chosen = fontAnswers.front().has_value();
  FontChoice choice = chosen ? *fontAnswers.front() : FontChoice{};
  fontAnswers.pop_front();
  if (!chosen) return std::nullopt;
  return choice;
}

int ScriptedRequesters::ChooseColour(int initial) {
  asked.append({QStringLiteral("colour"), QString(), QString::number(initial),
                MessageIcon::Information});
  if (colourAnswers.empty()) return -1;
  const int a = colourAnswers.front();
  colourAnswers.pop_front();
  return a;
}

int ScriptedRequesters::Count(const QString& kind) const {
  int n = 0;
  for (const auto& a : asked) n += a.kind == kind ? 1 : 0;
  return n;
}

}  // namespace bxw
