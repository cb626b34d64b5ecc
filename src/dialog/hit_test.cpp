#include "dialog/hit_test.h"

#include <QHash>
#include <QWidget>
#include <algorithm>
#include <unordered_map>

#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"

namespace bxw::dialog {

namespace {

using L = long long;

bool Holds(const Rect& r, int x, int y) {
  return x >= r.x && y >= r.y && L{x} < L{r.x} + r.w && L{y} < L{r.y} + r.h;
}

Rect Intersect(const Rect& a, const Rect& b) {
  const L x0 = std::max<L>(a.x, b.x), y0 = std::max<L>(a.y, b.y);
  const L x1 = std::min<L>(L{a.x} + std::max(a.w, 0), L{b.x} + std::max(b.w, 0));
  const L y1 = std::min<L>(L{a.y} + std::max(a.h, 0), L{b.y} + std::max(b.h, 0));
  return {Saturate(x0), Saturate(y0), Saturate(std::max<L>(0, x1 - x0)),
          Saturate(std::max<L>(0, y1 - y0))};
}

Rect Moved(const Rect& r, QPoint by) {
  return {Saturate(L{r.x} + by.x()), Saturate(L{r.y} + by.y()), r.w, r.h};
}

// Where a gadget list lies in the window, what of it can be seen, and whether it is shown.
struct ListPlace {
  QPoint origin;
  Rect clip;
  bool shown = true;
};

}  // namespace

HitTree BuildHitTree(const DialogRuntime& runtime, int dialog) {
  HitTree tree;
  const DialogObject* root = runtime.Root(dialog);
  QWidget* window = runtime.WindowID(runtime.DialogWindow(dialog));
  if (!root || !window) return tree;
  const QSize client = runtime.WindowClientSize(dialog);
  const Rect area{0, 0, client.width(), client.height()};
  tree.nodes.push_back({root, -1, 0, area, area, true});

  QHash<const QWidget*, ListPlace> places;
  places.insert(window, {QPoint(0, 0), area, true});
  auto placeOf = [&](QWidget* list) -> ListPlace {
    if (auto it = places.constFind(list); it != places.constEnd()) return *it;
    // Every widget between the list and the window clips what lies in the list.
    ListPlace p{list->mapTo(window, QPoint(0, 0)), area, list->isVisibleTo(window)};
    for (QWidget* w = list; w && w != window; w = w->parentWidget())
      p.clip =
          Intersect(p.clip, Moved({0, 0, w->width(), w->height()}, w->mapTo(window, QPoint(0, 0))));
    places.insert(list, p);
    return p;
  };

  std::unordered_map<const DialogObject*, int> index{{root, 0}};
  for (const DialogRuntime::ObjectInfo& info : runtime.CreatedObjects(dialog)) {
    const DialogObject* o = info.object;
    if (!o->lastRect || !o->list) continue;  // not laid out (an earlier child, folded, ...)
    auto parent = index.find(o->parent);
    if (parent == index.end()) continue;
    const HitNode& up = tree.nodes[parent->second];
    const ListPlace place = placeOf(o->list);
    HitNode node;
    node.object = o;
    node.parent = parent->second;
    node.depth = info.depth;
    node.rect = Moved(*o->lastRect, place.origin);
    node.clip = place.clip;
    node.visible = up.visible && place.shown && !(o->widget && o->widget->isHidden());
    index.emplace(o, static_cast<int>(tree.nodes.size()));
    tree.nodes.push_back(node);
  }
  return tree;
}

int HitNodeByName(const HitTree& tree, const QString& name) {
  const int n = static_cast<int>(tree.nodes.size());
  for (int i = 0; i < n; ++i) {
    const DialogObject* o = tree.nodes[i].object;
    if (o && o->hasName && o->name.compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

int HitTest(const HitTree& tree, int x, int y) {
  if (tree.nodes.empty() || !Holds(tree.nodes[0].rect, x, y)) return -1;
  int best = 0;
  const int n = static_cast<int>(tree.nodes.size());
  for (int i = 1; i < n; ++i) {
    const HitNode& node = tree.nodes[i];
    if (node.visible && node.depth >= tree.nodes[best].depth && Holds(node.rect, x, y) &&
        Holds(node.clip, x, y))
      best = i;
  }
  return best;
}

}  // namespace bxw::dialog
