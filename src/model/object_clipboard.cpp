#include "model/object_clipboard.h"

namespace bxw {

void ObjectClipboard::Copy(const DesignTree& tree, const QString& key) {
  entries_.clear();
  copiedKeys_.clear();
  tree.WalkTree(key, [this](const DesignObject& o) {
    entries_.push_back(o);
    copiedKeys_.insert(o.ownKey, o.ownKey);
    return false;
  });
}

QString ObjectClipboard::Paste(DesignTree& tree, const QString& parentKey, bool noCaptions) const {
  if (entries_.empty() || !tree.Contains(parentKey)) return QString();
  QHash<QString, QString> translation = copiedKeys_;
  QString top;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const DesignObject& entry = entries_[i];
    const QString parent = i == 0 ? parentKey : translation.value(entry.parentKey);
    const DesignObject* made =
        CreateObject(tree, parent, entry.cls, GetAttribute(entry, QStringLiteral("name")), &entry,
                     kLast, true, noCaptions);
    if (!made) continue;
    if (i == 0) top = made->key;
    translation.insert(entry.ownKey, made->key);
  }
  return top;
}

}  // namespace bxw
