// A line list as one text and back, as the run writes documents and as the clipboard
// holds them: CR LF after every line; when reading, CR LF, CR and LF all end a line.
#pragma once

#include <string>
#include <string_view>

#include "core/textsvc/line_list.h"

namespace lq {

// Every line followed by CR LF; an empty list gives the empty text.
std::string lines_text(const LineList& lines);

// Replaces lines by the lines of text, split at CR LF, CR or LF. A line end at the very
// end of the text adds no empty line.
void set_lines_text(LineList& lines, std::string_view text);

}  // namespace lq
