#pragma once
// Opening a dialog from XML text in one line, and looking its objects up by name.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"
#include "platform/xml_document.h"

namespace bxw::dialog::test {

struct Opened {
  DialogRuntime rt;
  std::unique_ptr<XmlDocument> doc;
  int dialog = 0;
  int ok = 0;

  explicit Opened(const char* xml, const QString& name = QString(), int w = 0, int h = 0) {
    XmlParseResult parsed = ParseXmlText(QString::fromUtf8(xml));
    EXPECT_TRUE(parsed.ok) << parsed.message.toStdString();
    doc = std::move(parsed.document);
    if (!doc) doc = std::make_unique<XmlDocument>();
    dialog = rt.CreateDialog(kAny);
    ok = rt.OpenXMLDialog(dialog, *doc, name, 0, 0, w, h);
  }

  QString Error() const { return rt.DialogErrorText(dialog); }
  QWidget* Window() const { return rt.WindowID(rt.DialogWindow(dialog)); }
  QWidget* Widget(const QString& name) const { return rt.GadgetID(rt.DialogGadget(dialog, name)); }
  const DialogObject* Obj(const QString& name) const {
    for (const auto& info : rt.CreatedObjects(dialog))
      if (info.object->hasName && info.object->name == name) return info.object;
    ADD_FAILURE() << "no object " << name.toStdString();
    return nullptr;
  }
  Rect At(const QString& name) const {
    const DialogObject* o = Obj(name);
    return o && o->lastRect ? *o->lastRect : Rect{-1, -1, -1, -1};
  }
  Size Req(const QString& name) const {
    const DialogObject* o = Obj(name);
    return o && o->lastRequest ? *o->lastRequest : Size{-1, -1};
  }
};

}  // namespace bxw::dialog::test

namespace bxw::dialog {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}
inline void PrintTo(const Size& s, std::ostream* os) {
  *os << s.w << " x " << s.h;
}
}  // namespace bxw::dialog
