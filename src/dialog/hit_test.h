#pragma once
// Which object of an open dialog lies under a point of its window. The designer selects by a
// click in its preview and outlines the selection with the same rectangles; `bxw hit` answers
// the question on the command line.
#include <QString>
#include <vector>

#include "dialog/layout_math.h"

namespace bxw::dialog {

class DialogObject;
class DialogRuntime;

struct HitNode {
  const DialogObject* object = nullptr;  // for node 0, the window's object
  int parent = -1;                       // index of the parent node; -1 for the window
  int depth = 0;                         // 0 for the window, 1 for its child, and so on
  Rect rect;                             // as laid out, in the window's client coordinates
  Rect clip;                             // the part of the client area where it can be seen
  bool visible = true;                   // false when hidden, or on a panel page not shown
};

// Node 0 is the window; the other nodes follow in creation order, parents before children.
struct HitTree {
  std::vector<HitNode> nodes;
};

// The objects that the last layout placed (boxes, grids and other objects without a control of
// their own included), their rectangles mapped into the window's client coordinates through the
// controls that hold them: container insides, panel pages, splitter panes, and scroll areas,
// whose content moves with the scroll position and is clipped to the viewport. Empty when the
// dialog has no open window.
HitTree BuildHitTree(const DialogRuntime& runtime, int dialog);

// The first node (in creation order, the window first) whose object carries the name,
// case-insensitive, as DialogGadget finds it; -1 when none does. The designer outlines the
// selected object with its rectangle.
int HitNodeByName(const HitTree& tree, const QString& name);

// The deepest visible node whose rectangle holds the point (x, y) within its clip, the later of
// two equally deep ones (it lies on top); 0 when no child holds it; -1 outside the window.
int HitTest(const HitTree& tree, int x, int y);

}  // namespace bxw::dialog
