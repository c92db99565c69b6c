// Editing commands of the main window that work on the editor's text: the copies for web
// pages and for code, and find-next.
#pragma once

#include <string>
#include <string_view>

namespace lq {

class EditorModel;

// The clipboard text of "复制为网页": every line of the selection (as selected_text1 gives
// it) with each byte of its leading run of TABs and blanks turned into 0xA1, so that pairs
// of them read as ideographic spaces; each line followed by CR LF.
std::string web_text1(std::string_view selected);

// The clipboard text of "复制为代码": each byte of a line's leading run of 0xA1 bytes turned
// into a blank, so an ideographic space becomes two blanks; each line followed by CR LF.
std::string code_text1(std::string_view selected);

// Searches forward for text, folding ASCII letters only: the current line from the caret's
// absolute column on, then every later row. On a match the match is selected, its row
// becomes the top row with the caret on it after the match, and the answer is true. An
// empty text or no match answers false and changes nothing. There is no wrap-around, so
// repeated calls walk through every match.
bool find_next_in1(EditorModel& m, std::string_view text);

}  // namespace lq
