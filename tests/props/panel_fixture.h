#pragma once
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QTest>
#include <deque>
#include <memory>
#include <vector>

#include "platform/layout_metrics.h"
#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "props/properties_panel.h"
#include "test_support.h"

namespace bxw::test {

// Clicks a check box on its indicator, where a user clicks (a box without text has no other
// clickable part).
inline void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// Answers Uniform from a queue (the low bound once the queue is empty) and records the ranges.
class QueuedRandom final : public RandomSource {
public:
  std::deque<int> answers;
  std::vector<std::pair<int, int>> ranges;
  int Uniform(int low, int high) override {
    ranges.emplace_back(low, high);
    if (answers.empty()) return low;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
};

// A panel inside a real, shown window at scale 1, over a design with a root and one window.
class PanelTest : public ::testing::Test {
protected:
  void SetUp() override {
    metrics = ComputeLayoutMetrics(1.0, 1.0);
    window = std::make_unique<QWidget>();
    window->resize(320, 500);
    area = new QScrollArea(window.get());
    area->setGeometry(0, 0, 300, 440);
    area->setWidget(new QWidget);
    help = new QLabel(window.get());
    help->setGeometry(0, 450, 300, 40);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSize(9);
    QFont editorFont(QStringLiteral("Arial"));
    editorFont.setPointSize(8);
    panel = std::make_unique<PropertiesPanel>(
        PropertiesHost{tree, schema, requesters, random, metrics, area, help, window.get(),
                       labelFont, editorFont, [this](int d) { delays.push_back(d); },
                       [this](SetAttributeEdit e) {
                         stored.push_back(e);
                         editor.Apply(std::move(e));
                       }});
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    win = Add(QStringLiteral("dialogs"), QStringLiteral("window"));
  }

  QString Add(const QString& parent, const QString& cls) { return editor.Add(parent, cls); }
  const DesignObject& Obj(const QString& key) { return *tree.Find(key); }
  void Set(const QString& key, const QString& attribute, const QString& value) {
    editor.Set(key, attribute, value);
  }
  void Show(const QString& key) { panel->ShowProperties(key.isEmpty() ? nullptr : tree.Find(key)); }
  QString Value(const QString& key, const QString& attribute) {
    return GetAttribute(Obj(key), attribute);
  }

  template <typename W>
  W* Editor(const QString& row) {
    const PropertyRow* r = panel->Row(row);
    return r ? qobject_cast<W*>(r->editor.data()) : nullptr;
  }
  QLabel* Label(const QString& row) {
    const PropertyRow* r = panel->Row(row);
    return r ? r->label.data() : nullptr;
  }
  static QStringList Items(QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
    return out;
  }

  DesignEditor editor;
  const DesignTree& tree = editor.Tree();
  std::vector<SetAttributeEdit> stored;  // what the panel asked to store, in order
  ClassSchema schema;
  LayoutMetrics metrics;
  ScriptedRequesters requesters;
  QueuedRandom random;
  std::vector<int> delays;
  std::unique_ptr<QWidget> window;  // declared before the panel: outlives it
  QScrollArea* area = nullptr;
  QLabel* help = nullptr;
  std::unique_ptr<PropertiesPanel> panel;
  QString win;
};

}  // namespace bxw::test
