// Tag numbers: the message-catalogue ids carried by controls and menu items, kept as a
// dynamic property so the catalogue can find texts by number.
#pragma once

#include <QObject>
#include <QVariant>

namespace lq::gui {

inline constexpr const char* kTagProperty = "Tag";

inline void set_tag(QObject* o, int tag) {
  o->setProperty(kTagProperty, tag);
}
inline int tag_of(const QObject* o) {
  return o->property(kTagProperty).toInt();
}

}  // namespace lq::gui
