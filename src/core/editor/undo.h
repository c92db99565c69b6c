// The editor's undo history: lists of whole-text snapshots.
//
// A record keeps the rows as a RowStore copy, which shares every unchanged chunk with the
// editor and with the other records; its text, when asked for, is every row followed by
// CR LF. It keeps the code page the rows are in as well, since converting the document is a
// step that undo takes back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "core/editor/row_store.h"

namespace lq {

class CodePage;

struct EditPos {
  int col = 1;   // 1-based byte column
  int line = 0;  // 0-based row index
  friend bool operator==(const EditPos&, const EditPos&) = default;
};

struct Tqoz_edit_undo_item {
  static constexpr uint8_t kSnapshot = 2;  // the only kind the editor records

  uint8_t kind = kSnapshot;
  EditPos anchor;                  // sel_anchor1 when recorded
  EditPos end;                     // sel_end1 when recorded
  RowStore rows;                   // the rows when recorded
  const CodePage* page = nullptr;  // their code page
  bool bom = false;                // whether the file is to start with a byte-order mark

  std::string text() const { return rows.joined(); }
};

// Records oldest first.
class Tqoz_edit_undo_list {
 public:
  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const Tqoz_edit_undo_item& operator[](size_t i) const { return items_[i]; }
  void clear() { items_.clear(); }

  void append(Tqoz_edit_undo_item item) { items_.push_back(std::move(item)); }
  Tqoz_edit_undo_item take_newest() {
    Tqoz_edit_undo_item r = std::move(items_.back());
    items_.pop_back();
    return r;
  }
  // Frees the oldest record when more than limit are held; at most one per call.
  void trim(size_t limit) {
    if (items_.size() > limit) items_.pop_front();
  }

 private:
  std::deque<Tqoz_edit_undo_item> items_;
};

}  // namespace lq
