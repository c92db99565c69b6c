// How a document's lines sat in their file, so that writing them back changes nothing the
// run did not change: each line's end (LF, CR LF, or none after the last line) and a UTF-8
// byte-order mark, which is never part of the first line's text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/textsvc/line_list.h"

namespace lq {

enum class LineEnd : std::uint8_t { None, Lf, CrLf };

// "行尾": keep each line's own end, or write every line with CR LF or LF.
enum class EolPolicy : std::uint8_t { Keep, CrLf, Lf };

// "keep", "crlf", "lf"; parse_eol_policy reads them in any letter case.
const char* eol_policy_name(EolPolicy policy);
bool parse_eol_policy(std::string_view name, EolPolicy& policy);

struct TextLayout {
  bool bom = false;           // a UTF-8 byte-order mark stood before the first line
  std::vector<LineEnd> ends;  // the end of every line as it was read
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Cuts text into lines at LF; a CR right before the LF belongs to the line end, any other
// CR stays in its line. A last line without an end is kept when not empty. The lines'
// buffers are reused (a run loads file after file into the same list).
void split_keeping_ends(std::string_view text, LineList& lines, std::vector<LineEnd>& ends);

// The file's bytes for lines. With Keep, a document that still has as many lines as were
// read gives each line its own end back; otherwise every line ends as the file's first
// line did (CR LF when it had none), and the last one only when the last line read had
// an end. CrLf and Lf end every line so. The byte-order mark comes first again.
std::string join_lines(const LineList& lines, const TextLayout& layout, EolPolicy policy);

}  // namespace lq
