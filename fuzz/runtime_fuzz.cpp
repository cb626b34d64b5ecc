// Drives the dialog runtime with generated dialog XML: the input bytes choose elements from the
// runtime's element table, their attributes (the ones the runtime reads, and a few it does not)
// and values (numbers at the 32-bit limits, keywords, flag expressions from the element's own
// table and from others, margins, runtime names). Each document is opened at several sizes,
// resized, refreshed, hit-tested and closed; afterwards nothing of it may remain.
#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dialog/attributes.h"
#include "dialog/dialog_object.h"
#include "dialog/dialog_runtime.h"
#include "dialog/file_symbols.h"
#include "dialog/hit_test.h"
#include "dialog/symbol_registry.h"
#include "platform/xml_document.h"

namespace {

using bxw::XmlNode;
using namespace bxw::dialog;

void Fail(const char* what) {
  std::fprintf(stderr, "runtime left state behind: %s\n", what);
  std::abort();
}

// Reads choices from the input; past its end every choice is 0.
class Choices {
public:
  Choices(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool Done() const { return p_ >= end_; }
  uint32_t Byte() { return p_ < end_ ? *p_++ : 0; }
  uint32_t Below(uint32_t n) { return n ? Byte() % n : 0; }
  bool Chance(uint32_t oneIn) { return Below(oneIn) == 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return static_cast<int32_t>(v);
  }
  QString Text(int maxLength) {
    static const char kAlphabet[] = "abcXYZ019 #|:-+_,()\t";
    const int n = static_cast<int>(Below(static_cast<uint32_t>(maxLength) + 1));
    QString s;
    for (int i = 0; i < n; ++i) s += QLatin1Char(kAlphabet[Below(sizeof kAlphabet - 1)]);
    return s;
  }

private:
  const uint8_t* p_;
  const uint8_t* end_;
};

const char* const kAttributes[] = {"id",
                                   "name",
                                   "text",
                                   "width",
                                   "height",
                                   "folded",
                                   "flags",
                                   "margin",
                                   "expand",
                                   "expandwidth",
                                   "expandheight",
                                   "align",
                                   "spacing",
                                   "columns",
                                   "colspacing",
                                   "rowspacing",
                                   "colexpand",
                                   "rowexpand",
                                   "colspan",
                                   "rowspan",
                                   "minwidth",
                                   "minheight",
                                   "maxwidth",
                                   "maxheight",
                                   "innerwidth",
                                   "innerheight",
                                   "step",
                                   "scrolling",
                                   "firstmin",
                                   "secondmin",
                                   "min",
                                   "max",
                                   "page",
                                   "value",
                                   "color",
                                   "group",
                                   "disabled",
                                   "invisible",
                                   "onevent",
                                   "onleftclick",
                                   "onchange",
                                   "onrightclick",
                                   "onfocus",
                                   "onlostfocus",
                                   "ondragstart",
                                   "onleftdoubleclick",
                                   "onrightdoubleclick",
                                   "WIDTH",
                                   "Margin",
                                   "unknown"};

const char* const kKeywords[] = {"yes",
                                 "no",
                                 "auto",
                                 "equal",
                                 "item:1",
                                 "item:2",
                                 "item:0",
                                 "item:-2147483648",
                                 "item:2147483647",
                                 "vertical",
                                 "horizontal",
                                 "center",
                                 "top",
                                 "bottom",
                                 "left",
                                 "right",
                                 "top,center",
                                 "bottom,right",
                                 "request",
                                 "#PB_Any",
                                 "YES",
                                 "",
                                 "#",
                                 "#W_Main",
                                 "Proc()",
                                 "OnOk()",
                                 "()"};

const int32_t kNumbers[] = {0,     1,      -1,    2,      5,     10,         65,
                            66,    70,     71,    100,    1000,  16384,      16385,
                            30000, -15000, 32767, -32768, 65536, 2147483647, -2147483647 - 1};

QString Number(Choices& c) {
  switch (c.Below(4)) {
    case 0:
      return QString::number(kNumbers[c.Below(sizeof kNumbers / sizeof *kNumbers)]);
    case 1:
      return QString::number(c.Int());
    case 2:
      return QString::number(c.Below(400));
    default:
      return QString::number(c.Below(64)) + c.Text(3);  // leading integer, then anything
  }
}

QString FlagExpression(Choices& c, Kind kind) {
  const QStringList own = FlagNames(kind);
  const QStringList other = FlagNames(static_cast<Kind>(c.Below(40)));
  QString out;
  const int n = static_cast<int>(c.Below(4));
  for (int i = 0; i < n; ++i) {
    if (i) out += c.Chance(3) ? QStringLiteral(" | ") : QStringLiteral("|");
    if (!c.Chance(8)) out += QLatin1Char('#');
    if (!own.isEmpty() && !c.Chance(4))
      out += own[static_cast<int>(c.Below(static_cast<uint32_t>(own.size())))];
    else if (!other.isEmpty() && c.Chance(2))
      out += other[static_cast<int>(c.Below(static_cast<uint32_t>(other.size())))];
    else
      out += c.Text(6);
  }
  return out;
}

QString Margin(Choices& c) {
  static const char* const kKeys[] = {
      "top:", "bottom:", "left:", "right:", "vertical:", "horizontal:"};
  QString out;
  const int n = static_cast<int>(c.Below(4));
  for (int i = 0; i < n; ++i) {
    if (i) out += QLatin1Char(',');
    out += QLatin1String(kKeys[c.Below(6)]) + Number(c);
  }
  return out;
}

QString Value(Choices& c, const QString& attribute, Kind kind) {
  if (attribute == QLatin1String("flags") && !c.Chance(8)) return FlagExpression(c, kind);
  if (attribute == QLatin1String("margin") && c.Chance(2)) return Margin(c);
  switch (c.Below(5)) {
    case 0:
    case 1:
      return Number(c);
    case 2:
    case 3:
      return QLatin1String(kKeywords[c.Below(sizeof kKeywords / sizeof *kKeywords)]);
    default:
      return c.Text(8);
  }
}

// Element kinds weighted toward the containers, so that nesting goes deep.
QString ElementName(Choices& c, const QStringList& names) {
  static const char* const kContainers[] = {"vbox",      "hbox",       "gridbox",  "multibox",
                                            "singlebox", "container",  "frame",    "panel",
                                            "tab",       "scrollarea", "splitter", "canvas"};
  if (c.Chance(40)) return QStringLiteral("foo");
  QString name = c.Chance(2)
                     ? QLatin1String(kContainers[c.Below(12)])
                     : names[static_cast<int>(c.Below(static_cast<uint32_t>(names.size())))];
  if (c.Chance(16)) name = name.toUpper();
  return name;
}

void AddAttributes(Choices& c, XmlNode* element) {
  const Kind kind = KindOfElement(element->Name());
  const int n = static_cast<int>(c.Below(6));
  for (int i = 0; i < n; ++i) {
    const QString name =
        QLatin1String(kAttributes[c.Below(sizeof kAttributes / sizeof *kAttributes)]);
    element->AppendAttribute(name, Value(c, name.toLower(), kind));
  }
}

// Builds the document without recursion: a stack of open elements, each taking children until
// the input says to close it.
std::unique_ptr<bxw::XmlDocument> Generate(Choices& c, QString* windowName) {
  auto doc = std::make_unique<bxw::XmlDocument>();
  static const QStringList names = ElementNames();
  XmlNode* root = doc->Root();
  XmlNode* top = c.Chance(6) ? root : root->AppendElement(QStringLiteral("dialogs"));
  const int windows = top == root ? 1 : 1 + static_cast<int>(c.Below(2));
  for (int w = 0; w < windows && !c.Done(); ++w) {
    XmlNode* window = top->AppendElement(QStringLiteral("window"));
    if (c.Chance(2)) {
      *windowName = QStringLiteral("w%1").arg(w);
      window->AppendAttribute(QStringLiteral("name"), *windowName);
    }
    AddAttributes(c, window);
    std::vector<XmlNode*> open{window};
    // A long chain now and then, past the runtime's nesting limit.
    const int maxDepth = c.Chance(16) ? 140 : 10;
    while (!open.empty() && !c.Done()) {
      const uint32_t step = c.Below(8);
      if (step < 2 || static_cast<int>(open.size()) > maxDepth) {
        open.pop_back();
        continue;
      }
      if (step == 2 && c.Chance(4)) {
        open.back()->AppendComment(QStringLiteral("note"));
        continue;
      }
      XmlNode* e = open.back()->AppendElement(ElementName(c, names));
      AddAttributes(c, e);
      if (step >= 5) open.push_back(e);
    }
  }
  return doc;
}

DialogRuntime* runtime = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "runtime_fuzz";
  static char* argv[] = {name, nullptr};
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  new QApplication(argc, argv);
  runtime = new DialogRuntime;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Choices c(data, size);
  DialogRuntime& rt = *runtime;
  rt.Symbols().Clear();
  QString windowName;
  const std::unique_ptr<bxw::XmlDocument> doc = Generate(c, &windowName);
  if (c.Chance(2)) RegisterFileSymbols(*doc, rt.Symbols());

  static const int kSizes[] = {0, 1, 50, 400, 3000, -10, 2147483647};
  const int opens = 1 + static_cast<int>(c.Below(3));
  for (int i = 0; i < opens; ++i) {
    const int d = rt.CreateDialog(kAny);
    const QString name = c.Chance(3) ? QString() : windowName;
    const int w = kSizes[c.Below(7)], h = kSizes[c.Below(7)];
    if (rt.OpenXMLDialog(d, *doc, name, 0, 0, w, h)) {
      rt.RefreshDialog(d);
      QWidget* window = rt.WindowID(rt.DialogWindow(d));
      if (!window) Fail("open without a window");
      // Shown (and so painted) only at sizes a backing store can afford.
      const bool show = c.Chance(3) && window->width() <= 2000 && window->height() <= 2000;
      if (show) window->show();
      for (int r = static_cast<int>(c.Below(3)); r > 0; --r) {
        window->resize(static_cast<int>(c.Below(1200)), static_cast<int>(c.Below(900)));
        if (show) QCoreApplication::processEvents();
      }
      rt.RefreshDialog(d);
      const HitTree tree = BuildHitTree(rt, d);
      for (int k = 0; k < 4; ++k) {
        const int hit =
            HitTest(tree, static_cast<int>(c.Below(600)) - 50, static_cast<int>(c.Below(600)) - 50);
        if (hit >= static_cast<int>(tree.nodes.size())) Fail("hit outside the tree");
      }
      rt.DialogGadget(d, QStringLiteral("w0"));
      if (show) QCoreApplication::processEvents();
    } else if (rt.DialogWindow(d) != -1 || rt.Root(d)) {
      Fail("a failed open left a window");
    }
    rt.DestroyDialog(c.Chance(4) ? kAny : d);
    if (rt.GadgetCount() || rt.WindowMapSize() || rt.SplitterMapSize() || rt.PanelStackDepth())
      Fail("maps not empty after destroy");
  }
  rt.DestroyDialog(kAny);
  return 0;
}
