// The editor's undo history: lists of whole-text snapshots.
//
// A record keeps the rows as a RowStore copy, which shares every unchanged chunk with the
// editor and with the other records; its text, when asked for, is every row followed by
// CR LF. It keeps the code page the rows are in as well, since converting the document is a
// step that undo takes back.
//
// Each record carries what it costs: the memory it holds that the next newer state (the
// next record, or the text itself for the newest) does not. Summed over a list that is the
// memory the list keeps alive beyond the text, so dropping the oldest record frees its cost.
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

// How much history an editor keeps; the oldest records go first.
struct UndoLimits {
  size_t steps = 1000;               // records per list
  size_t bytes = size_t{128} << 20;  // memory of both lists together
};

struct Tqoz_edit_undo_item {
  static constexpr uint8_t kSnapshot = 2;  // the only kind the editor records

  uint8_t kind = kSnapshot;
  EditPos anchor;                  // sel_anchor when recorded
  EditPos end;                     // sel_end when recorded
  RowStore rows;                   // the rows when recorded
  const CodePage* page = nullptr;  // their code page
  bool bom = false;                // whether the file is to start with a byte-order mark
  size_t cost = 0;                 // bytes held that the next newer state does not hold

  std::string text() const { return rows.joined(); }
};

// Records oldest first.
class Tqoz_edit_undo_list {
 public:
  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const Tqoz_edit_undo_item& operator[](size_t i) const { return items_[i]; }
  void clear() {
    items_.clear();
    bytes_ = 0;
  }
  // The sum of the records' costs.
  size_t bytes() const { return bytes_; }
  const Tqoz_edit_undo_item& newest() const { return items_.back(); }

  // Leaves the list as it was when it throws.
  void append(Tqoz_edit_undo_item item) {
    items_.push_back(std::move(item));
    bytes_ += items_.back().cost;
  }
  Tqoz_edit_undo_item take_newest() {
    Tqoz_edit_undo_item r = std::move(items_.back());
    items_.pop_back();
    bytes_ -= r.cost;
    return r;
  }
  void drop_oldest() {
    bytes_ -= items_.front().cost;
    items_.pop_front();
  }
  void set_newest_cost(size_t cost) {
    bytes_ = bytes_ - items_.back().cost + cost;
    items_.back().cost = cost;
  }

 private:
  std::deque<Tqoz_edit_undo_item> items_;
  size_t bytes_ = 0;
};

}  // namespace lq
