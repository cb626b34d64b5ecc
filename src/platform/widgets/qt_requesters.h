#pragma once
#include "platform/requesters.h"

class QWidget;

namespace bxw {

// The real dialogs. The parent is looked up at call time so requesters stay above the designer.
class QtRequesters final : public Requesters {
public:
  explicit QtRequesters(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool AskYesNo(const QString& title, const QString& text, MessageIcon icon) override;
  void Message(const QString& title, const QString& text, MessageIcon icon) override;
  FileAnswer OpenFile(const FileRequest& request) override;
  FileAnswer SaveFile(const FileRequest& request) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  int ChooseColour(int initial) override;

private:
  QWidget* parent_;
};

}  // namespace bxw
