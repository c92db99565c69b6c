// [22] Delete duplicate lines: a line goes when its trimmed text equals, ignoring letter
// case, the trimmed text of a line kept before it. One pass with a hash table of the
// folded keys, so the time grows with the size of the document and not with its square.
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/char_search.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

class DeleteDuplicates final : public PanelOperation {
 public:
  DeleteDuplicates() : PanelOperation("TControlForm_del_r") {}

  void document_step(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    const CodePage& cp = text_page();
    size_t total = 0;
    for (const auto& l : lines) total += l.size();
    // The folded keys of the kept lines, one after the other, and an open-addressing
    // table over them holding part of each key's hash and its number: no allocation per
    // line, and a small table that stays in the cache.
    std::string keys;
    keys.reserve(total);
    struct Key {
      size_t offset, length;
    };
    std::vector<Key> kept;
    kept.reserve(lines.size());
    struct Slot {
      uint32_t hash = 0;
      uint32_t key = 0;  // number of the kept key + 1; 0 marks a free slot
    };
    size_t capacity = 16;
    while (capacity < lines.size() * 2) capacity *= 2;
    std::vector<Slot> table(capacity);
    const size_t mask = capacity - 1;
    const std::hash<std::string_view> hasher;

    size_t out = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string_view t = trim_view(lines[i]);
      const size_t at = keys.size();
      keys.append(t);
      fold_letters_in_place(keys.data() + at, t.size(), t, cp);
      std::string_view key(keys.data() + at, t.size());
      const uint64_t h = hasher(key);
      const auto h32 = static_cast<uint32_t>(h >> 32);
      size_t s = h & mask;
      bool seen = false;
      for (; table[s].key != 0; s = (s + 1) & mask) {
        if (table[s].hash != h32) continue;
        const Key& k = kept[table[s].key - 1];
        if (k.length == key.size() &&
            std::memcmp(keys.data() + k.offset, key.data(), k.length) == 0) {
          seen = true;
          break;
        }
      }
      if (seen) {
        keys.resize(at);
        continue;
      }
      kept.push_back({at, key.size()});
      table[s] = {h32, static_cast<uint32_t>(kept.size())};
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
