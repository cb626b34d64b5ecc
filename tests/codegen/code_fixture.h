#pragma once
#include <QTemporaryDir>

#include "test_support.h"
#include "xml/design_fixture.h"

namespace bxw::test {

// The text of a fixture of tests/data/codegen.
inline QString Fixture(const QString& name) {
  return QString::fromUtf8(ReadFileBytes(DataPath("codegen/" + name)));
}

// A designer state with the button_string design imported and a folder for the exports.
struct CodeFixture : DesignFixture {
  QTemporaryDir dir;
  CodeFixture() {
    ImportXmlFile(ctx, DataPath("codegen/button_string.xml"));
    settings.IOLastDIR = dir.path() + "/";
  }
  QString Path(const QString& name) const { return dir.path() + "/" + name; }
};

}  // namespace bxw::test
