#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "app/designer.h"
#include "app/windows.h"
#include "test_support.h"

namespace bxw::test {

// A started designer with scale 1, its settings file in a temporary directory and scripted
// requesters.
class DesignerTest : public ::testing::Test {
protected:
  void SetUp() override {
    designer = std::make_unique<Designer>(
        requesters, clock, random,
        DesignerOptions{dir.path() + "/test.cfg", 1.0, 1.0, dir.path() + "/recovery"});
    designer->Startup();
  }
  void Select(const QString& key) {
    designer->TreeControl()->setCurrentItem(designer->ItemForKey(key));
  }
  // Stores a value as an editor of the Properties panel does: no view is refreshed for it.
  void Set(const QString& key, const QString& attribute, const QString& value) {
    SetAttributeEdit e;
    e.key = key;
    e.name = attribute;
    e.value = value;
    designer->Apply(std::move(e), EditSource::Properties);
  }
  // Selects the parent, adds an object of that class, answers its key.
  QString Add(const QString& parent, const QString& cls) {
    Select(parent);
    designer->AddObjectCommand(cls);
    return designer->SelectedKey();
  }
  QTemporaryDir dir;
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))};
  StdRandomSource random{1};
  std::unique_ptr<Designer> designer;
};

}  // namespace bxw::test
