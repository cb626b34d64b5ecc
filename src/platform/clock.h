#pragma once
#include <QDateTime>

namespace bxw {

// Local date and time, behind a seam so that file names and the "Generated with" stamp can be
// fixed in tests.
class Clock {
public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
public:
  explicit FixedClock(QDateTime when) : when_(std::move(when)) {}
  QDateTime Now() const override { return when_; }
  void Set(QDateTime when) { when_ = std::move(when); }

private:
  QDateTime when_;
};

}  // namespace bxw
