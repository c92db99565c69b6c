// [22] Delete duplicate lines: a line goes when its trimmed text equals, ignoring letter
// case, the trimmed text of a line kept before it. One pass with a hash set of the folded
// keys, so the time grows with the size of the document and not with its square.
#include <unordered_set>

#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

class DeleteDuplicates final : public PanelOperation {
 public:
  DeleteDuplicates() : PanelOperation("TControlForm_del_r") {}

  void DocumentStep(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    const CodePage& cp = code_page();
    size_t total = 0;
    for (const auto& l : lines) total += l.size();
    // Keys live in one buffer reserved up front, so the views into it stay valid.
    std::string keys;
    keys.reserve(total);
    std::unordered_set<std::string_view> seen;
    seen.reserve(lines.size());
    size_t out = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string_view t = trim_view(lines[i]);
      size_t at = keys.size();
      keys.append(t);
      // Only single-byte letters fold: the second byte of a double-byte character may
      // look like a letter, and folding it would make two different characters equal.
      char* k = keys.data() + at;
      for (size_t j = 0; j < t.size();) {
        auto b = static_cast<unsigned char>(k[j]);
        if (b < 0x80) {
          if (b >= 'A' && b <= 'Z') k[j] = static_cast<char>(b + 32);
          ++j;
        } else {
          j += cp.char_len_at(t, j);
        }
      }
      if (!seen.insert(std::string_view(k, t.size())).second) {
        keys.resize(at);
        continue;
      }
      if (out != i) lines[out] = std::move(lines[i]);
      ++out;
    }
    lines.resize(out);
  }
};

}  // namespace

std::unique_ptr<Operation> make_delete_duplicates() {
  return std::make_unique<DeleteDuplicates>();
}

}  // namespace lq
