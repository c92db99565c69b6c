// Small bridges between the program's 8-bit text and Unicode or byte values: the
// code-page conversions used by the Unicode clipboard commands, the byte escapes of the
// "java字符字节化" tool and the character-code display of the main window.
#pragma once

#include <string>
#include <string_view>

namespace lq {

// 8-bit text of the code page to UTF-16 and back; what the code page cannot hold becomes
// "?".
std::u16string to_wide(std::string_view bytes);
std::string from_wide(std::u16string_view wide);

// "\u00" and two upper-case hexadecimal digits for every byte of text.
std::string java_escape(std::string_view text);

// The byte whose code the main window shows for a caret at 1-based column of line: the byte
// before the caret (the first byte at column 1); empty when there is none.
std::string code_byte(std::string_view line, int column);

// The byte itself followed by " D=%3d,H=%2X" of its value, for example "A D= 65,H=41".
std::string char_code_text(unsigned char byte);

}  // namespace lq
