#pragma once
// A generated design of a given size for the benchmarks: windows holding vertical boxes holding
// gadgets of several classes with typical attribute values.
#include "model/class_schema.h"
#include "model/design_tree.h"
#include "xml/dialog_xml_reader.h"

namespace bxw::bench {

inline void BuildLargeDesign(DesignTree& tree, int objects) {
  ResetToEmptyDesign(tree);
  const char* gadgets[] = {"button", "string", "checkbox", "text", "listicon", "spin", "editor"};
  int made = 1;
  int window = 0;
  while (made < objects) {
    DesignObject* w = CreateObject(tree, "dialogs", "window", {}, nullptr, kLast, true, false);
    ++made;
    ++window;
    SetAttribute(*w, "minwidth", "auto");
    SetAttribute(*w, "width", "400");
    for (int b = 0; b < 20 && made < objects; ++b) {
      DesignObject* box = CreateObject(tree, w->key, "vbox", {}, nullptr, kLast, true, false);
      ++made;
      SetAttribute(*box, "spacing", "4");
      const QString boxKey = box->key;
      for (int g = 0; g < 24 && made < objects; ++g) {
        const char* cls = gadgets[(made + g) % 7];
        DesignObject* o = CreateObject(tree, boxKey, cls, {}, nullptr, kLast, true, false);
        ++made;
        SetAttribute(*o, "height", "25");
        SetAttribute(*o, "tooltip", QStringLiteral("Tip for \"%1\" & more").arg(o->key));
        if (g % 3 == 0) SetAttribute(*o, "font", "Segoe UI|9|256");
        if (g % 4 == 0) SetAttribute(*o, "frontcolor", "$FF8000");
      }
    }
  }
}

}  // namespace bxw::bench
