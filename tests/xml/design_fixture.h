#pragma once
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/requesters.h"
#include "test_support.h"
#include "app/workflows/designer_context.h"
#include "xml/dialog_xml_reader.h"
#include "app/workflows/file_commands.h"
#include "platform/atomic_file.h"
#include "platform/export_path.h"
#include "xml/xml_export.h"

namespace bxw::test {

// A fresh designer state for one test: schema, design with its root, writer, scripted requesters,
// a fixed clock and hooks that record what they were asked to do.
struct DesignFixture {
  ClassSchema schema;
  DesignEditor editor;
  const DesignTree& tree = editor.Tree();
  Settings settings;
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime(QDate(2025, 1, 31), QTime(17, 5, 9))};
  DialogXmlWriter writer;
  QString snapshot;
  QString clipboard;
  QStringList titles;  // the tree window's title after every change of the design's file
  QStringList openedFiles;
  QStringList edits;  // descriptions of the edits applied through the hooks
  DesignerContext ctx{tree, schema, settings, requesters, clock, writer, snapshot, {}, QString()};

  DesignFixture() {
    ctx.hooks.setClipboardText = [this](const QString& t) { clipboard = t; };
    ctx.hooks.applyEdit = [this](Edit edit, const QString& description) {
      EditOutcome out = editor.Apply(std::move(edit));
      if (out.changed) {
        edits << description;
        titles << TreeWindowTitle(editor.FilePath());
      }
      return out;
    };
    ctx.hooks.setDesignFile = [this](const QString& path) {
      editor.SetFilePath(path);
      titles << TreeWindowTitle(path);
    };
    ctx.hooks.openWithAssociatedProgram = [this](const QString& p) { openedFiles << p; };
  }

  // Adds a new object with the designer's defaults and answers it.
  const DesignObject& Add(const QString& parentKey, const QString& cls, const QString& name = {}) {
    const QString key = editor.Add(parentKey, cls, name);
    if (key.isEmpty()) throw std::runtime_error("cannot create object");
    return *tree.Find(key);
  }
  // The message boxes shown, in order.
  QList<ScriptedRequesters::Asked> Messages() const {
    QList<ScriptedRequesters::Asked> out;
    for (const auto& a : requesters.asked)
      if (a.kind == QLatin1String("message")) out << a;
    return out;
  }
  void Set(const QString& key, const QString& attribute, const QString& value) {
    editor.Set(key, attribute, value);
  }
};

// A design fixture with a temporary directory for the files of a test.
struct ImportFixture : DesignFixture {
  QTemporaryDir dir;
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.path() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }
  // What "Export XML" would save now.
  QByteArray Saved() const { return DesignFileBytes(tree, schema); }
  QString Design() const { return QString::fromUtf8(Saved()); }
};

}  // namespace bxw::test
