// The editor's rows: an ordered list of byte strings kept in shared, immutable chunks.
//
// Copying a RowStore copies one pointer per chunk, never the text, and a change rebuilds only
// the chunks holding the rows it touches. The undo history keeps a copy of the whole text for
// every step this way, at the cost of what changed. A row view stays valid as long as some
// copy still holds its chunk; in the store it was read from, until that store next changes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/textsvc/line_list.h"
#include "core/textsvc/text_layout.h"

namespace lq {

// Where a row lies in its chunk's bytes.
struct RowSpan {
  uint32_t off;
  uint32_t len;
};

class RowStore {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  RowStore() = default;
  explicit RowStore(const LineList& lines);

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view operator[](size_t i) const;
  std::string_view back() const { return (*this)[count_ - 1]; }
  // Bytes of all rows together, without separators.
  size_t byte_size() const;

  void clear();
  void push_back(std::string_view row) { replace(count_, 0, {&row, 1}); }
  void set(size_t i, std::string_view row) { replace(i, 1, {&row, 1}); }
  void insert(size_t i, std::string_view row) { replace(i, 0, {&row, 1}); }
  void erase(size_t first, size_t n = 1) { replace(first, n, {}); }
  // Removes n rows at first and puts rows in their place. The views in rows may point into
  // this store.
  void replace(size_t first, size_t n, std::span<const std::string_view> rows);

  // Every row followed by CR LF.
  std::string joined() const;
  // True when some row holds a CR or LF byte.
  bool has_breaks() const;
  // Cuts every row that holds line breaks (CR LF, a lone CR, a lone LF) at them. Since a
  // joined row is always followed by CR LF, the piece after a row's last break is kept even
  // when empty, which makes this the same as joining all rows and splitting the result again.
  // Each piece after the first gets prefix in front. Answers which rows were cut (by their
  // index before) and how many rows that added.
  struct BreakSplit {
    size_t first = npos;  // the first row cut, npos when none
    size_t last = 0;      // the last row cut
    size_t added = 0;
  };
  BreakSplit split_breaks(std::string_view prefix = {});

  // Calls f(row) for every row from first up to (not including) last.
  template <class F>
  void for_each(F&& f, size_t first = 0, size_t last = npos) const;

  LineList to_lines() const;
  friend bool operator==(const RowStore& a, const RowStore& b);

  // Splits text into rows: CR LF, a lone CR and a lone LF each end a row, and a break at the
  // very end of the text adds no empty last row.
  static RowStore from_text(std::string_view text);

  // Reads a file by the program's loading rule: rows end at LF, CR bytes are dropped
  // wherever they stand, and a last unterminated row is kept when it is not empty. Bytes are
  // not converted. Throws std::system_error when the file cannot be opened or read.
  //
  // ends, when given, receives every row's line end (LF, CR LF, None for a last row without
  // one). inspect, when given, sees all of the file's bytes as read, before any CR is
  // dropped, and answers how many bytes at its start belong to no row (a byte-order mark).
  static RowStore read_file(const std::string& path, std::vector<LineEnd>* ends = nullptr,
                            const std::function<size_t(std::string_view)>& inspect = {});

  size_t chunk_count() const { return chunks_.size(); }
  // Memory this copy holds apart from what it shares with other: its own chunk list, and
  // the chunks other does not hold. Allocates nothing. Chunks are compared by identity, so a
  // copy and the store it was taken from differ only by the chunks changed since.
  size_t bytes_apart_from(const RowStore& other) const noexcept;

  // Appends rows one after another without rebuilding chunks on the way.
  class Builder {
   public:
    Builder();
    ~Builder();
    // Appends the row a + b (b spares callers building a string just to add a marker).
    void add(std::string_view a, std::string_view b = {});
    RowStore finish();

   private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
  };

 private:
  using Span = RowSpan;
  // A chunk's rows: a vector of its own, or a stretch of a block that the chunk's owner keeps
  // alive (a loaded file cuts all its rows into a few large blocks).
  class Rows {
   public:
    Rows() = default;
    explicit Rows(std::vector<Span> own)
        : own_(std::move(own)), data_(own_.data()), size_(own_.size()) {}
    Rows(Span* borrowed, size_t n) : data_(borrowed), size_(n) {}
    Rows(Rows&&) noexcept = default;  // a vector's buffer moves with it
    Rows& operator=(Rows&&) noexcept = default;
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    size_t size() const { return size_; }
    Span& operator[](size_t k) { return data_[k]; }
    const Span& operator[](size_t k) const { return data_[k]; }
    Span& front() { return data_[0]; }
    const Span* begin() const { return data_; }
    const Span* end() const { return data_ + size_; }
    // The memory these rows take: a borrowed stretch counts in every chunk that holds it.
    size_t bytes() const { return std::max(own_.capacity(), size_) * sizeof(Span); }

   private:
    std::vector<Span> own_;
    Span* data_ = nullptr;
    size_t size_ = 0;
  };
  struct Chunk {
    const char* data = nullptr;
    std::shared_ptr<const void> owner;  // keeps data alive; a loaded file's chunks share one
    Rows rows;
    bool has_break = false;
    std::string_view row(size_t k) const { return {data + rows[k].off, rows[k].len}; }
  };
  using ChunkPtr = std::shared_ptr<const Chunk>;
  friend class ChunkWriter;

  // Index of the chunk that holds row i (i < size()).
  size_t chunk_of(size_t i) const;
  void renumber(size_t from_chunk);

  std::vector<ChunkPtr> chunks_;
  std::vector<size_t> first_row_;  // index of the first row of each chunk
  size_t count_ = 0;
};

template <class F>
void RowStore::for_each(F&& f, size_t first, size_t last) const {
  if (last > count_) last = count_;
  if (first >= last) return;
  size_t c = chunk_of(first);
  size_t k = first - first_row_[c];
  for (size_t i = first; i < last; ++i) {
    while (k >= chunks_[c]->rows.size()) {
      ++c;
      k = 0;
    }
    f(chunks_[c]->row(k));
    ++k;
  }
}

}  // namespace lq
