#pragma once
// A generated design of a given size for the benchmarks: windows holding vertical boxes holding
// gadgets of several classes with typical attribute values.
#include <memory>

#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"

namespace bxw::bench {

inline std::unique_ptr<DesignTree> BuildLargeDesign(int objects) {
  DesignBuilder b;
  const char* gadgets[] = {"button", "string", "checkbox", "text", "listicon", "spin", "editor"};
  int made = 1;
  while (made < objects) {
    DesignObject* w = b.CreateObject("dialogs", "window", {}, nullptr, kLast, true, false);
    ++made;
    SetAttribute(*w, "minwidth", "auto");
    SetAttribute(*w, "width", "400");
    const QString windowKey = w->key;
    for (int box = 0; box < 20 && made < objects; ++box) {
      DesignObject* v = b.CreateObject(windowKey, "vbox", {}, nullptr, kLast, true, false);
      ++made;
      SetAttribute(*v, "spacing", "4");
      const QString boxKey = v->key;
      for (int g = 0; g < 24 && made < objects; ++g) {
        const char* cls = gadgets[(made + g) % 7];
        DesignObject* o = b.CreateObject(boxKey, cls, {}, nullptr, kLast, true, false);
        ++made;
        SetAttribute(*o, "height", "25");
        SetAttribute(*o, "tooltip", QStringLiteral("Tip for \"%1\" & more").arg(o->key));
        if (g % 3 == 0) SetAttribute(*o, "font", "Segoe UI|9|256");
        if (g % 4 == 0) SetAttribute(*o, "frontcolor", "$FF8000");
      }
    }
  }
  return b.Take();
}

}  // namespace bxw::bench
