// The system clipboard's Unicode text beside the program's own 8-bit text: the wide-text
// copy and paste commands of the editor use these.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace lq::gui {

// The clipboard's Unicode text; empty when it holds no text.
std::u16string get_unicode_text();

// Adds a format to what the clipboard holds, keeping the formats already there.
void set_clip_buffer(const QString& mime_type, const QByteArray& data);

// Adds Unicode text to what the clipboard holds, keeping the other formats.
void set_unicode_text(std::u16string_view text);

}  // namespace lq::gui
