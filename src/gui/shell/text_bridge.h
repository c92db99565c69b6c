// The boundary between the program's GBK bytes and Qt's Unicode strings. Widgets show
// decoded text; whatever the user types becomes GBK bytes ("?" where GBK has no character).
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "core/encoding/code_page.h"

namespace lq::gui {

inline QString from_gbk(std::string_view bytes) {
  return QString::fromStdString(code_page().to_utf8(bytes));
}

inline std::string to_gbk(const QString& text) {
  return code_page().from_utf8(text.toStdString());
}

// Captions in the catalogues are UTF-8 source text.
inline QString from_utf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// File paths are file-system bytes: never converted for storage, decoded only to show.
inline QString path_to_q(const std::string& path) {
  return QString::fromLocal8Bit(path);
}
inline std::string path_from_q(const QString& path) {
  return path.toLocal8Bit().toStdString();
}

}  // namespace lq::gui
