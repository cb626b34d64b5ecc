#pragma once
#include <QString>
#include <climits>
#include <functional>
#include <map>
#include <optional>

namespace bxw::dialog {

// Runtime constants, variables and procedures a host program makes visible to dialog XML. The
// designer registers nothing, so every lookup fails there; the table is still consulted wherever
// a host program's names may appear.
class SymbolRegistry {
public:
  using Procedure = std::function<void(int gadget, int eventType)>;

  void AddConstant(const QString& name, int value) { entries_[name] = Entry{value, nullptr, {}}; }
  // Truncated toward zero and saturated to 32 bits (a float outside them has no int value).
  void AddFloatConstant(const QString& name, double value) {
    int v = 0;
    if (value >= 2147483647.0)
      v = INT_MAX;
    else if (value <= -2147483648.0)
      v = INT_MIN;
    else if (value == value)  // not NaN
      v = static_cast<int>(value);
    entries_[name] = Entry{v, nullptr, {}};
  }
  // A variable is read at lookup time.
  void AddVariable(const QString& name, const int* variable) {
    entries_[name] = Entry{0, variable, {}};
  }
  void AddProcedure(const QString& name, Procedure proc) {
    entries_[name] = Entry{0, nullptr, std::move(proc)};
  }
  void Clear() { entries_.clear(); }

  // Exact-name lookup of a value; a found entry with value 0 still counts as found.
  std::optional<int> Value(const QString& name) const {
    auto it = entries_.find(name);
    if (it == entries_.end()) return std::nullopt;
    if (it->second.variable) return *it->second.variable;
    return it->second.value;
  }
  // A procedure, or an empty function when the name is absent or names no procedure.
  Procedure Lookup(const QString& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? Procedure{} : it->second.procedure;
  }

private:
  struct Entry {
    int value = 0;
    const int* variable = nullptr;
    Procedure procedure;
  };
  std::map<QString, Entry> entries_;
};

}  // namespace bxw::dialog
