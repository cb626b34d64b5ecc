#pragma once
#include <QDir>
#include <QTemporaryDir>
#include <ostream>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/requesters.h"
#include "xml/designer_context.h"
#include "xml/dialog_xml_reader.h"
#include "test_support.h"


namespace bxw::test {

// A fresh designer state for one test: schema, design with its root, writer, scripted requesters,
// a fixed clock and hooks that record what they were asked to do.
struct DesignFixture {
  ClassSchema schema;
  DesignTree tree;
  Settings settings;
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime(QDate(2025, 1, 31), QTime(17, 5, 9))};
  DialogXmlWriter writer;
  QString snapshot;
  QString clipboard;
  QStringList titles;
  QStringList refreshedSelections;
  QStringList openedFiles;
  DesignerContext ctx{tree, schema, settings, requesters, clock, writer, snapshot, {}};

  DesignFixture() {
    schema.BuildClassSchema();
    ResetToEmptyDesign(tree);
    ctx.hooks.setClipboardText = [this](const QString& t) { clipboard = t; };
    ctx.hooks.setTreeWindowTitle = [this](const QString& t) { titles << t; };
    ctx.hooks.refreshAfterImport = [this](const QString& select, const QSet<QString>& expanded) {
      refreshedSelections << select + QLatin1Char(':') + QStringList(expanded.values()).join(',');
    };
    ctx.hooks.openWithAssociatedProgram = [this](const QString& p) { openedFiles << p; };
  }

  // Adds a new object with the designer's defaults and answers it.
  DesignObject& Add(const QString& parentKey, const QString& cls, const QString& name = {}) {
    DesignObject* o = CreateObject(tree, parentKey, cls, name, nullptr, kLast, true, false);
    if (!o) throw std::runtime_error("cannot create object");
    return *o;
  }
  // The message boxes shown, in order.
  QList<ScriptedRequesters::Asked> Messages() const {
    QList<ScriptedRequesters::Asked> out;
    for (const auto& a : requesters.asked)
      if (a.kind == QLatin1String("message")) out << a;
    return out;
  }
  void Set(const QString& key, const QString& attribute, const QString& value) {
    SetAttribute(*tree.Find(key), attribute, value);
  }
};

}  // namespace bxw::test
