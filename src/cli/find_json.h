// `find --json`: one JSON object a line per occurrence, for programs to read.
//
//   {"path":"a.txt","line":3,"column":5,"match":"foo","text":"xxxxfoo","encoding":"UTF-8"}
//
// line counts from 1 as grep does; column is the 1-based byte position in the searched
// text (the whole line with scope [1]); match and text are decoded from the file's code
// page (encoding) to UTF-8. A path that is not valid UTF-8 is shown decoded as GBK, and
// its bytes are added as "path_base64".
#pragma once

#include <string>
#include <string_view>

#include "core/operations/find_op.h"

namespace lq::cli {

// The object for one match, without the line end; `path` is what to show as its path.
std::string find_match_json(const FindMatch& match, std::string_view path);

}  // namespace lq::cli
