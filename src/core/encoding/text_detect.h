// Which code page a file's bytes are in. "自动" decides per file: a UTF-8 byte-order mark
// means UTF-8; bytes that are not valid UTF-8 are GBK; ASCII alone is the same in both
// and is taken as the program's code page; valid UTF-8 with multi-byte characters is
// weighed further, because short GBK text can be valid UTF-8 as well (为 is CE AA, which
// is also "Ϊ"): GBK when its GBK reading is ordinary text and its UTF-8 reading is not,
// with the charset detector's statistics as well once there is enough text for them.
// Only 64 KB from the first byte above ASCII are looked at.
#pragma once

#include <cstddef>
#include <string_view>

namespace lq {

class CodePage;

enum class EncodingChoice { Auto, Gbk, Utf8 };

// "auto", "gbk", "utf-8" (the names of the command line and of recipes).
const char* encoding_choice_name(EncodingChoice choice);
// Reads those names, any letter case, "utf8" too; false for anything else.
bool parse_encoding_choice(std::string_view name, EncodingChoice& choice);

struct DetectedText {
  const CodePage* page = nullptr;  // never null
  size_t bom_len = 0;              // 3 when the text starts with a UTF-8 byte-order mark
};

// The code page of `bytes` under `choice`. A forced choice is taken as it is; a UTF-8
// byte-order mark is reported (bom_len) whenever the page is UTF-8.
DetectedText detect_code_page(std::string_view bytes, EncodingChoice choice);

// Whether detect_code_page answers for `head` as it does for any longer text that starts
// with it: only the start of a file is looked at, so a large file need not be read whole
// to know its code page.
bool detection_settled_by(std::string_view head);

}  // namespace lq
