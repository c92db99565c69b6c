// Editing commands of the main window that work on the editor's text: the copies for web
// pages and for code, and find-next.
#pragma once

#include <string>
#include <string_view>

namespace lq {

class CodePage;
class EditorModel;

// The clipboard text of "复制为网页": every line of the selection (as selected_text gives
// it) with its leading run of TABs and blanks turned into ideographic spaces, one for two
// bytes; each line followed by CR LF. In GBK, where the space is 0xA1 0xA1, each byte of
// the run becomes 0xA1; elsewhere an odd last byte of the run becomes a blank.
std::string as_web_text(std::string_view selected, const CodePage& page);

// The clipboard text of "复制为代码": each ideographic space of a line's leading run of them
// turned into two blanks (in GBK each byte of a leading run of 0xA1 bytes into a blank);
// each line followed by CR LF.
std::string code_text(std::string_view selected, const CodePage& page);

// Searches forward for text (bytes in the document's code page, matched on its character
// boundaries), folding ASCII letters only: the current line from the caret's
// absolute column on, then every later row. On a match the match is selected, its row
// becomes the top row with the caret on it after the match, and the answer is true. An
// empty text or no match answers false and changes nothing. There is no wrap-around, so
// repeated calls walk through every match.
bool find_next_in(EditorModel& m, std::string_view text);

}  // namespace lq
