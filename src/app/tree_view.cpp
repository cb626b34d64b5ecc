#include "app/tree_view.h"

#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/windows.h"

namespace bxw {

namespace {

constexpr int kKeyRole = Qt::UserRole;
const QString kName = QStringLiteral("name");

// A 16 x 16 icon: a boxed gradient from colour B at the centre through colour A at p2 to the
// background at p1 and the edge.
QIcon MakeIcon(double p1, double p2, int low, int high, const QColor& background,
               RandomSource& random) {
  auto draw = [&] {
    return QColor(random.Uniform(low, high), random.Uniform(low, high), random.Uniform(low, high));
  };
  const QColor a = draw();
  const QColor b = draw();
  auto mix = [](const QColor& x, const QColor& y, double t) {
    return QColor(qRound(x.red() + (y.red() - x.red()) * t),
                  qRound(x.green() + (y.green() - x.green()) * t),
                  qRound(x.blue() + (y.blue() - x.blue()) * t));
  };
  QImage image(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Box distance from the centre: 0 in the middle, 1 at the edge.
      const double d = std::max(std::abs(x + 0.5 - 8.0), std::abs(y + 0.5 - 8.0)) / 8.0;
      QColor c;
      if (d <= p2)
        c = mix(b, a, p2 > 0 ? d / p2 : 1.0);
      else if (d <= p1)
        c = mix(a, background, (d - p2) / (p1 - p2));
      else
        c = background;
      image.setPixelColor(x, y, c);
    }
  }
  return QIcon(QPixmap::fromImage(image));
}

// Counts the view's own changes, so that the selection signals they cause are not taken for the
// user's.
class ChangeGuard {
public:
  explicit ChangeGuard(int& counter) : counter_(counter) { ++counter_; }
  ~ChangeGuard() { --counter_; }

private:
  int& counter_;
};

}  // namespace

TreeView::TreeView(DesignTreeWidget* control, const DesignTree& tree, RandomSource& random)
    : control_(control), tree_(tree), random_(random) {}

QString TreeView::KeyOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem* TreeView::ItemForKey(const QString& key) const {
  return key.isEmpty() ? nullptr : items_.value(key, nullptr);
}

QIcon TreeView::IconForClass(const QString& cls) {
  QString kind = QStringLiteral("gadget");
  if (cls == QLatin1String("dialogs"))
    kind = QStringLiteral("root");
  else if (cls == QLatin1String("window"))
    kind = QStringLiteral("window");
  else if (IsContainerClass(cls))
    kind = QStringLiteral("container");
  if (icons_.isEmpty()) {
    // Made once, in this order, so the random draws follow the same sequence every run.
    const QColor bg = control_ ? control_->palette().color(QPalette::Base) : QColor(Qt::white);
    icons_.insert(QStringLiteral("root"), MakeIcon(0.8, 0.7, 135, 180, bg, random_));
    icons_.insert(QStringLiteral("window"), MakeIcon(0.7, 0.6, 148, 198, bg, random_));
    icons_.insert(QStringLiteral("container"), MakeIcon(0.6, 0.5, 164, 218, bg, random_));
    icons_.insert(QStringLiteral("gadget"), MakeIcon(0.5, 0.4, 180, 240, bg, random_));
  }
  return icons_.value(kind);
}

QTreeWidgetItem* TreeView::MakeItem(const DesignObject& o, QTreeWidgetItem* parent, int index) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, GetAttribute(o, kName));
  item->setData(0, kKeyRole, o.key);
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  item->setIcon(0, IconForClass(o.cls));
  if (parent) {
    if (index < 0 || index > parent->childCount()) index = parent->childCount();
    parent->insertChild(index, item);
  } else {
    control_->addTopLevelItem(item);
  }
  items_.insert(o.key, item);
  return item;
}

QSet<QString> TreeView::CollectExpandedState() const {
  QSet<QString> set;
  for (auto it = items_.constBegin(); it != items_.constEnd(); ++it) {
    const QTreeWidgetItem* item = it.value();
    const QString text = item->text(0).toLower();
    if (item->isExpanded() || (item->childCount() == 0 && expandedLeaves_.contains(text)))
      set.insert(text);
  }
  return set;
}

void TreeView::Rebuild(const QSet<QString>& expanded, const QString& nameToSelect) {
  if (!control_) return;
  ChangeGuard guard(changing_);
  control_->setUpdatesEnabled(false);
  const int scroll = control_->verticalScrollBar()->value();
  control_->clear();
  items_.clear();
  openWhenRemoved_.clear();

  // Items in walk order; the parent item of each object is the last item made for its parent.
  std::vector<QTreeWidgetItem*> order;
  order.reserve(static_cast<size_t>(tree_.Size()));
  tree_.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject& o) {
    order.push_back(MakeItem(o, items_.value(o.parentKey, nullptr), -1));
    return false;
  });

  const bool all = expanded.contains(kExpandAllMarker);
  const QString select = nameToSelect.toLower();
  expandedLeaves_.clear();
  for (QTreeWidgetItem* item : order) {
    const QString text = item->text(0).toLower();
    if (all || expanded.contains(text)) {
      item->setExpanded(true);
      if (item->childCount() == 0) expandedLeaves_.insert(text);
    }
    if (!select.isEmpty() && text == select) {
      control_->setCurrentItem(item);
      item->setSelected(true);
    }
  }
  control_->verticalScrollBar()->setValue(scroll);
  control_->setUpdatesEnabled(true);
}

void TreeView::AddSubtree(const QString& key) {
  const DesignObject* top = tree_.Find(key);
  if (!top) return;
  QTreeWidgetItem* parent = ItemForKey(top->parentKey);
  MakeItem(*top, parent, tree_.IndexInParent(key));
  tree_.WalkTree(key, [&](const DesignObject& o) {
    if (o.key != key) MakeItem(o, ItemForKey(o.parentKey), -1);
    return false;
  });
  if (!openWhenRemoved_.isEmpty()) {
    tree_.WalkTree(key, [&](const DesignObject& o) {
      if (openWhenRemoved_.remove(o.key))
        if (QTreeWidgetItem* item = ItemForKey(o.key)) item->setExpanded(true);
      return false;
    });
  }
  // A leaf that was asked to open opens now that it has a child.
  if (parent && parent->childCount() == 1 && expandedLeaves_.contains(parent->text(0).toLower())) {
    parent->setExpanded(true);
    expandedLeaves_.remove(parent->text(0).toLower());
  }
}

void TreeView::Forget(QTreeWidgetItem* item) {
  std::vector<QTreeWidgetItem*> stack{item};
  while (!stack.empty()) {
    QTreeWidgetItem* i = stack.back();
    stack.pop_back();
    items_.remove(KeyOf(i));
    if (i->isExpanded() || expandedLeaves_.remove(i->text(0).toLower()))
      openWhenRemoved_.insert(KeyOf(i));
    for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
  }
}

void TreeView::Follow(const EditOutcome& out) {
  if (!control_ || !out.changed) return;
  ChangeGuard guard(changing_);
  switch (out.kind) {
    case EditKind::Add:
    case EditKind::InsertSubtree:
      AddSubtree(out.key);
      break;
    case EditKind::Delete:
      if (QTreeWidgetItem* item = ItemForKey(out.key)) {
        Forget(item);
        delete item;  // takes its sub-items along
      }
      break;
    case EditKind::Move: {
      QTreeWidgetItem* item = ItemForKey(out.key);
      QTreeWidgetItem* parent = ItemForKey(out.newParent);
      if (!item || !parent) break;
      // Taking an item out of the view forgets which of its items were open.
      QSet<QString> open;
      std::vector<QTreeWidgetItem*> stack{item};
      while (!stack.empty()) {
        QTreeWidgetItem* i = stack.back();
        stack.pop_back();
        if (i->isExpanded()) open.insert(KeyOf(i));
        for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
      }
      if (QTreeWidgetItem* old = item->parent()) old->removeChild(item);
      parent->insertChild(std::clamp(out.newIndex, 0, parent->childCount()), item);
      stack = {item};
      while (!stack.empty()) {
        QTreeWidgetItem* i = stack.back();
        stack.pop_back();
        if (open.contains(KeyOf(i))) i->setExpanded(true);
        for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
      }
      if (parent->childCount() == 1 && expandedLeaves_.contains(parent->text(0).toLower())) {
        parent->setExpanded(true);
        expandedLeaves_.remove(parent->text(0).toLower());
      }
      break;
    }
    case EditKind::Rename:
      if (QTreeWidgetItem* item = ItemForKey(out.oldKey)) {
        const DesignObject* o = tree_.Find(out.key);
        const QString oldText = item->text(0).toLower();
        items_.remove(out.oldKey);
        items_.insert(out.key, item);
        item->setData(0, kKeyRole, out.key);
        if (o) item->setText(0, GetAttribute(*o, kName));
        if (expandedLeaves_.remove(oldText)) expandedLeaves_.insert(out.key);
      }
      break;
    case EditKind::SetAttribute:
    case EditKind::None:
      break;
    case EditKind::ReplaceDesign:
      Rebuild({QStringLiteral("dialogs")}, QStringLiteral("dialogs"));
      return;
  }
  for (const QString& key : out.expand) Expand(key);
}

void TreeView::Expand(const QString& key) {
  QTreeWidgetItem* item = ItemForKey(key);
  if (!item) return;
  if (item->childCount() == 0)
    expandedLeaves_.insert(key);
  else
    item->setExpanded(true);
}

void TreeView::SetCurrent(const QString& key) {
  if (!control_) return;
  ChangeGuard guard(changing_);
  QTreeWidgetItem* item = ItemForKey(key);
  if (!item) {
    control_->setCurrentItem(nullptr);
    return;
  }
  for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
    if (!p->isExpanded()) p->setExpanded(true);
  control_->setCurrentItem(item);
  item->setSelected(true);
}

}  // namespace bxw
