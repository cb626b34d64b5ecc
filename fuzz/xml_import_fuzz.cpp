// Feeds arbitrary bytes to the dialog XML import and checks that it never crashes and always
// leaves a consistent design: one root "dialogs" without a parent, every object reachable from
// it, parent and children lists agreeing. An imported design must also survive its own export.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "xml/dialog_xml_reader.h"
#include "xml/dialog_xml_writer.h"
#include "xml/xml_export.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "invalid design after import: %s\n", what);
  std::abort();
}

void CheckTree(const bxw::DesignTree& tree) {
  const bxw::DesignObject* root = tree.Find(QStringLiteral("dialogs"));
  if (!root) Fail("no root");
  if (!root->parentKey.isEmpty()) Fail("root has a parent");
  int reached = 0;
  tree.WalkTree(QStringLiteral("dialogs"),
                std::function<bool(const bxw::DesignObject&)>([&](const bxw::DesignObject& o) {
                  ++reached;
                  if (o.key != o.key.toLower() || tree.Find(o.key) != &o) Fail("key mismatch");
                  if (o.childLinks.size() != static_cast<size_t>(o.children.size()))
                    Fail("child links out of step");
                  for (size_t i = 0; i < o.childLinks.size(); ++i)
                    if (o.childLinks[i]->key != o.children[static_cast<qsizetype>(i)] ||
                        tree.Find(o.childLinks[i]->key) != o.childLinks[i])
                      Fail("a child link names another object");
                  for (const QString& c : o.children) {
                    const bxw::DesignObject* child = tree.Find(c);
                    if (!child) Fail("missing child");
                    if (child->parentKey != o.key) Fail("child names another parent");
                  }
                  if (!o.parentKey.isEmpty()) {
                    const bxw::DesignObject* p = tree.Find(o.parentKey);
                    if (!p || p->children.count(o.key) != 1) Fail("parent does not list child");
                  }
                  return false;
                }));
  if (reached != tree.Size()) Fail("unreachable objects");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bxw::ClassSchema schema;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  bxw::XmlLoadResult result = bxw::LoadDialogXml(schema, bytes);
  if (result.status != bxw::XmlLoadStatus::Loaded) {
    if (result.design) Fail("a refused import answered a design");
    return 0;
  }
  if (!result.design) Fail("no design");
  const bxw::DesignTree& tree = *result.design;
  if (!bxw::HasValidRoot(tree)) return 0;  // the designer replaces it by an empty design
  CheckTree(tree);
  bxw::DialogXmlWriter writer;
  const QByteArray exported = bxw::DesignFileBytes(tree, schema);
  if (bxw::WholeDocumentFingerprint(tree, schema).size() != 8) Fail("fingerprint");
  const bxw::XmlLoadResult second = bxw::LoadDialogXml(schema, exported);
  if (second.status != bxw::XmlLoadStatus::Loaded || !second.design)
    Fail("own export does not import");
  CheckTree(*second.design);
  if (second.design->Size() != tree.Size()) Fail("round trip changed the object count");
  return 0;
}
