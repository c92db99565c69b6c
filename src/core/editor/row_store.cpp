#include "core/editor/row_store.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lq {
namespace {

// A chunk aims at about this much text: small enough that copying one per keystroke is cheap,
// large enough that a snapshot of a big document is a short list of pointers.
constexpr size_t kChunkBytes = 64 * 1024;
constexpr size_t kChunkRows = 2048;
// A chunk rebuilt smaller than this takes in a neighbour, so deletions do not leave many
// tiny chunks behind.
constexpr size_t kSmallBytes = kChunkBytes / 4;
constexpr size_t kSmallRows = kChunkRows / 4;

bool holds_break(std::string_view s) {
  // Not memchr: an empty view may carry a null pointer, which memchr must not be given.
  return s.find_first_of("\r\n") != std::string_view::npos;
}

void check_row_size(size_t n) {
  if (n > std::numeric_limits<uint32_t>::max())
    throw std::system_error(EFBIG, std::generic_category(), "row too long");
}

}  // namespace

// Packs rows into new chunks of about target_bytes and target_rows each.
class ChunkWriter {
 public:
  ChunkWriter(std::vector<RowStore::ChunkPtr>& out, size_t target_bytes, size_t target_rows)
      : out_(out),
        target_bytes_(std::max<size_t>(target_bytes, 1)),
        target_rows_(std::max<size_t>(target_rows, 1)) {}

  void add(std::string_view a, std::string_view b = {}) {
    size_t n = a.size() + b.size();
    check_row_size(n);
    if (!rows_.empty() && (used_ + n > target_bytes_ || rows_.size() >= target_rows_)) flush();
    if (used_ + n > cap_) grow(std::max(used_ + n, std::max(target_bytes_, cap_ * 2)));
    if (!a.empty()) std::memcpy(buf_.get() + used_, a.data(), a.size());
    if (!b.empty()) std::memcpy(buf_.get() + used_ + a.size(), b.data(), b.size());
    rows_.push_back({static_cast<uint32_t>(used_), static_cast<uint32_t>(n)});
    if (!has_break_) has_break_ = holds_break(a) || holds_break(b);
    used_ += n;
  }

  void flush() {
    if (rows_.empty()) return;
    check_row_size(used_);
    auto chunk = std::make_shared<RowStore::Chunk>();
    if (used_ + 4096 < cap_) grow(used_);  // give back what a long row left unused
    std::shared_ptr<char[]> bytes(buf_.release());
    chunk->data = bytes.get();
    chunk->owner = std::move(bytes);
    rows_.shrink_to_fit();
    chunk->rows = RowStore::Rows(std::move(rows_));
    chunk->has_break = has_break_;
    out_.push_back(std::move(chunk));
    buf_.reset();
    cap_ = used_ = 0;
    rows_ = {};
    has_break_ = false;
  }

 private:
  void grow(size_t cap) {
    std::unique_ptr<char[]> bigger(new char[cap]);
    if (used_ > 0) std::memcpy(bigger.get(), buf_.get(), used_);
    buf_ = std::move(bigger);
    cap_ = cap;
  }

  std::vector<RowStore::ChunkPtr>& out_;
  size_t target_bytes_, target_rows_;
  std::unique_ptr<char[]> buf_;
  size_t cap_ = 0, used_ = 0;
  std::vector<RowStore::Span> rows_;
  bool has_break_ = false;
};

RowStore::RowStore(const LineList& lines) {
  Builder b;
  for (const auto& l : lines) b.add(l);
  *this = b.finish();
}

std::string_view RowStore::operator[](size_t i) const {
  size_t c = chunk_of(i);
  return chunks_[c]->row(i - first_row_[c]);
}

size_t RowStore::chunk_of(size_t i) const {
  auto it = std::upper_bound(first_row_.begin(), first_row_.end(), i);
  return static_cast<size_t>(it - first_row_.begin()) - 1;
}

void RowStore::renumber(size_t from_chunk) {
  first_row_.resize(chunks_.size());
  size_t row =
      from_chunk == 0 ? 0 : first_row_[from_chunk - 1] + chunks_[from_chunk - 1]->rows.size();
  for (size_t c = from_chunk; c < chunks_.size(); ++c) {
    first_row_[c] = row;
    row += chunks_[c]->rows.size();
  }
  count_ = row;
}

size_t RowStore::byte_size() const {
  size_t n = 0;
  for (const auto& c : chunks_)
    for (const auto& s : c->rows) n += s.len;
  return n;
}

void RowStore::clear() {
  chunks_.clear();
  first_row_.clear();
  count_ = 0;
}

void RowStore::replace(size_t first, size_t n, std::span<const std::string_view> rows) {
  if (first > count_) first = count_;
  n = std::min(n, count_ - first);
  if (n == 0 && rows.empty()) return;

  // The chunks [a, b] that the change touches; an insertion at the end goes into the last.
  size_t a = 0, b = 0;
  bool any = !chunks_.empty();
  if (any) {
    a = chunk_of(first < count_ ? first : count_ - 1);
    b = n > 0 ? chunk_of(first + n - 1) : a;
  }

  std::vector<std::string_view> views;
  size_t bytes = 0;
  auto take = [&](size_t c, size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      views.push_back(chunks_[c]->row(k));
      bytes += views.back().size();
    }
  };
  if (any) {
    size_t local = first - first_row_[a];
    if (first == count_) local = chunks_[a]->rows.size();
    take(a, 0, local);
    for (auto r : rows) {
      views.push_back(r);
      bytes += r.size();
    }
    take(b, first + n - first_row_[b], chunks_[b]->rows.size());
    if (bytes < kSmallBytes && views.size() < kSmallRows) {
      if (b + 1 < chunks_.size()) {
        ++b;
        take(b, 0, chunks_[b]->rows.size());
      } else if (a > 0) {
        --a;
        std::vector<std::string_view> before;
        for (size_t k = 0; k < chunks_[a]->rows.size(); ++k) {
          before.push_back(chunks_[a]->row(k));
          bytes += before.back().size();
        }
        views.insert(views.begin(), before.begin(), before.end());
      }
    }
  } else {
    for (auto r : rows) {
      views.push_back(r);
      bytes += r.size();
    }
  }

  // Spread the rows evenly over as many chunks as they need.
  size_t parts = std::max<size_t>(1, std::max((bytes + kChunkBytes - 1) / kChunkBytes,
                                              (views.size() + kChunkRows - 1) / kChunkRows));
  std::vector<ChunkPtr> fresh;
  {
    ChunkWriter w(fresh, (bytes + parts - 1) / parts, (views.size() + parts - 1) / parts);
    for (auto v : views) w.add(v);
    w.flush();
  }
  // Only now may the old chunks go: the views above point into them.
  if (any) {
    chunks_.erase(chunks_.begin() + static_cast<ptrdiff_t>(a),
                  chunks_.begin() + static_cast<ptrdiff_t>(b) + 1);
  }
  chunks_.insert(chunks_.begin() + static_cast<ptrdiff_t>(a), fresh.begin(), fresh.end());
  renumber(a);
}

std::string RowStore::joined() const {
  std::string out;
  out.reserve(byte_size() + 2 * count_);
  for_each([&](std::string_view r) {
    out.append(r);
    out.append("\r\n", 2);
  });
  return out;
}

size_t RowStore::bytes_apart_from(const RowStore& other) const noexcept {
  auto chunk_bytes = [](const Chunk& c) {
    size_t n = sizeof(Chunk) + 2 * sizeof(void*) + c.rows.bytes();
    for (const Span& s : c.rows) n += s.len;
    return n;
  };
  size_t n = sizeof(RowStore) + chunks_.capacity() * sizeof(ChunkPtr) +
             first_row_.capacity() * sizeof(size_t);
  // A change replaces a run of chunks and keeps the rest in order: skip the equal ends, then
  // look for the middle ones among the other's middle while that is short.
  const auto& a = chunks_;
  const auto& b = other.chunks_;
  size_t lo = 0;
  while (lo < a.size() && lo < b.size() && a[lo] == b[lo]) ++lo;
  size_t ha = a.size(), hb = b.size();
  while (ha > lo && hb > lo && a[ha - 1] == b[hb - 1]) --ha, --hb;
  constexpr size_t kSearched = 256;
  for (size_t i = lo; i < ha; ++i) {
    bool shared = false;
    if (hb - lo <= kSearched)
      for (size_t j = lo; j < hb && !shared; ++j) shared = a[i] == b[j];
    if (!shared) n += chunk_bytes(*a[i]);
  }
  return n;
}

bool RowStore::has_breaks() const {
  for (const auto& c : chunks_)
    if (c->has_break) return true;
  return false;
}

RowStore::BreakSplit RowStore::split_breaks(std::string_view prefix) {
  BreakSplit done;
  std::vector<ChunkPtr> out;
  out.reserve(chunks_.size());
  for (size_t c = 0; c < chunks_.size(); ++c) {
    const Chunk& chunk = *chunks_[c];
    if (!chunk.has_break) {
      out.push_back(chunks_[c]);
      continue;
    }
    ChunkWriter w(out, kChunkBytes, kChunkRows);
    for (size_t k = 0; k < chunk.rows.size(); ++k) {
      std::string_view r = chunk.row(k);
      size_t s = 0;
      bool first_piece = true;
      for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] != '\r' && r[i] != '\n') continue;
        w.add(first_piece ? std::string_view() : prefix, r.substr(s, i - s));
        first_piece = false;
        ++done.added;
        if (r[i] == '\r' && i + 1 < r.size() && r[i + 1] == '\n') ++i;
        s = i + 1;
      }
      w.add(first_piece ? std::string_view() : prefix, r.substr(s));
      if (!first_piece) {
        size_t index = first_row_[c] + k;
        if (done.first == npos) done.first = index;
        done.last = index;
      }
    }
    w.flush();
  }
  if (done.first == npos) return done;
  chunks_ = std::move(out);
  renumber(0);
  return done;
}

LineList RowStore::to_lines() const {
  LineList out;
  out.reserve(count_);
  for_each([&](std::string_view r) { out.emplace_back(r); });
  return out;
}

bool operator==(const RowStore& a, const RowStore& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

RowStore RowStore::from_text(std::string_view text) {
  Builder b;
  size_t s = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch != '\r' && ch != '\n') continue;
    b.add(text.substr(s, i - s));
    if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    s = i + 1;
  }
  if (s < text.size()) b.add(text.substr(s));
  return b.finish();
}

namespace {

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

[[noreturn]] void throw_errno(const std::string& path) {
  throw std::system_error(errno, std::generic_category(), path);
}

// Drops every CR of the row [off, off + len) in place; answers the new length.
uint32_t drop_crs(char* base, uint32_t off, uint32_t len) {
  char* p = base + off;
  uint32_t w = 0;
  for (uint32_t i = 0; i < len; ++i)
    if (p[i] != '\r') p[w++] = p[i];
  return w;
}

// Finds the complete rows of base[0, used) (rows end at LF, a CR right before the LF is
// left out and makes the end CR LF) until max_rows rows are found or they reach past
// max_bytes, and notes every other CR among them. Writes the rows to rows and, when given,
// their ends to ends, and answers how many it found; taken receives where the first row not
// taken starts. Looks at 64 bytes at a time: the rows of a large file are short, and a search
// call per row would cost more than the search itself.
size_t scan_rows(const char* base, size_t used, size_t max_rows, size_t max_bytes, RowSpan* rows,
                 LineEnd* ends, std::vector<size_t>& bad_crs, size_t& taken) {
  size_t start = 0;
  size_t found = 0;
  uint64_t cr_before = 0;  // whether the byte before this block is a CR
  for (size_t pos = 0; pos < used; pos += 64) {
    size_t n = std::min<size_t>(64, used - pos);
    const char* p = base + pos;
    uint64_t lf = 0, cr = 0;
#if defined(__SSE2__)
    if (n == 64) {
      const __m128i vlf = _mm_set1_epi8('\n'), vcr = _mm_set1_epi8('\r');
      auto masks = [&](int k, uint64_t& ml, uint64_t& mc) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        ml = static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, vlf)));
        mc = static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, vcr)));
      };
      uint64_t l0, l1, l2, l3, c0, c1, c2, c3;
      masks(0, l0, c0);
      masks(1, l1, c1);
      masks(2, l2, c2);
      masks(3, l3, c3);
      lf = l0 | (l1 << 16) | (l2 << 32) | (l3 << 48);
      cr = c0 | (c1 << 16) | (c2 << 32) | (c3 << 48);
    } else
#endif
    {
      for (size_t i = 0; i < n; ++i) {
        lf |= static_cast<uint64_t>(p[i] == '\n') << i;
        cr |= static_cast<uint64_t>(p[i] == '\r') << i;
      }
    }
    uint64_t next_lf = lf >> 1;
    if (pos + 64 < used && base[pos + 64] == '\n') next_lf |= uint64_t{1} << 63;
    for (uint64_t bad = cr & ~next_lf; bad; bad &= bad - 1)
      bad_crs.push_back(pos + static_cast<size_t>(__builtin_ctzll(bad)));
    uint64_t after_cr = (cr << 1) | cr_before;  // bit i: byte i - 1 is a CR
    cr_before = cr >> 63;
    for (; lf; lf &= lf - 1) {
      unsigned bit = static_cast<unsigned>(__builtin_ctzll(lf));
      size_t e = pos + bit;
      const bool crlf = (after_cr >> bit) & 1;
      size_t end = e - (crlf ? 1 : 0);
      rows[found] = {static_cast<uint32_t>(start), static_cast<uint32_t>(end - start)};
      if (ends) ends[found] = crlf ? LineEnd::CrLf : LineEnd::Lf;
      ++found;
      start = e + 1;
      if (found >= max_rows || start >= max_bytes) {
        taken = start;
        return found;
      }
    }
  }
  taken = start;
  return found;
}

constexpr size_t kHugePage = size_t{2} << 20;

// Memory for the bytes of a loaded file. Large blocks come straight from the system and
// ask for huge pages: filling hundreds of megabytes page by page costs more than reading it.
class Slab {
 public:
  explicit Slab(size_t n) {
    if (n < 2 * kHugePage) {
      small_.reset(new char[std::max<size_t>(n, 1)]);
      data_ = small_.get();
      return;
    }
    len_ = (n + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
    base_ = ::mmap(nullptr, len_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base_ == MAP_FAILED) throw std::bad_alloc();
    auto at = (reinterpret_cast<uintptr_t>(base_) + kHugePage - 1) / kHugePage * kHugePage;
    data_ = reinterpret_cast<char*>(at);
    size_t usable = len_ - (at - reinterpret_cast<uintptr_t>(base_));
#ifdef MADV_HUGEPAGE
    ::madvise(data_, usable, MADV_HUGEPAGE);
#endif
    // Fault the block in at once rather than page by page while reading; kernels that do
    // not know this advice refuse it, and the pages then come on demand as usual.
    constexpr int kPopulateWrite = 23;  // MADV_POPULATE_WRITE, Linux 5.14
    ::madvise(data_, std::min(usable, n), kPopulateWrite);
  }
  ~Slab() {
    if (base_) ::munmap(base_, len_);
  }
  Slab(const Slab&) = delete;
  Slab& operator=(const Slab&) = delete;
  char* data() const {
    return data_;
  }
  // Another block of n bytes, got the same way and freed with this one.
  char* more(size_t n) {
    more_.push_back(std::make_unique<Slab>(n));
    return more_.back()->data();
  }

 private:
  std::unique_ptr<char[]> small_;
  void* base_ = nullptr;
  size_t len_ = 0;
  char* data_ = nullptr;
  std::vector<std::unique_ptr<Slab>> more_;
};

}  // namespace

RowStore RowStore::read_file(const std::string& path, std::vector<LineEnd>* ends,
                             const std::function<size_t(std::string_view)>& inspect) {
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) throw_errno(path);
  struct stat st;
  if (::fstat(f.fd, &st) != 0) throw_errno(path);
  if (S_ISDIR(st.st_mode)) throw std::system_error(EISDIR, std::generic_category(), path);
  // The size is a hint: a file that grows while it is read, or a /proc file of size 0, is
  // read to its end.
  size_t hint = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;

  // The whole file goes into one block, so that inspect sees it in one piece; the chunks of
  // rows point into the block. The rows are cut a step at a time while the step is still in
  // the cache. A file that outgrows the block is copied into a larger one; the chunks
  // already made keep the old block alive.
  constexpr size_t kStep = size_t{256} << 10;
  size_t cap = hint > 0 ? hint + 1 : 4096;
  auto slab = std::make_shared<Slab>(cap);
  char* base = slab->data();
  size_t used = 0;
  size_t s = 0;  // start of the first row not yet in a chunk
  bool at_end = false;

  // The rows are cut straight into a few large blocks that the text's block keeps, sized
  // by the rows per byte seen so far, rather than into a small array per chunk: a file of
  // short rows has millions, and fresh memory costs the most where it is touched first.
  constexpr size_t kMaxBlockRows = (size_t{8} << 20) / sizeof(Span);
  Span* spans = nullptr;  // where the next rows go
  size_t spans_left = 0;
  size_t row_count = 0;
  // How many rows the rest of the file may hold: at its end, at most one more than its LFs;
  // before, a guess from the rows per byte so far, with room to spare.
  auto rows_left = [&]() {
    if (at_end) return static_cast<size_t>(std::count(base + s, base + used, '\n')) + 1;
    const size_t seen =
        row_count > 0 ? row_count : static_cast<size_t>(std::count(base, base + used, '\n'));
    const size_t seen_bytes = row_count > 0 ? s : used;
    const double per_byte = static_cast<double>(seen + 1) / static_cast<double>(seen_bytes + 1);
    const double left = static_cast<double>(std::max(hint, used) - s);
    return static_cast<size_t>(per_byte * left * 1.0625) + kChunkRows;
  };
  // Makes room for the rows of the next chunk.
  auto room_for_rows = [&]() {
    if (spans_left >= kChunkRows) return;
    size_t want = rows_left();
    if (at_end && spans_left >= want) return;
    if (!at_end) {
      // Whole huge pages as far as the guess surely fills them; the ragged rest comes from
      // the heap, where the pages never written take no memory.
      constexpr size_t kHugeRows = kHugePage / sizeof(Span);
      const size_t sure = want - want / 16;
      if (sure >= 2 * kHugeRows) want = std::min(sure / kHugeRows * kHugeRows, kMaxBlockRows);
    }
    spans_left = want;
    spans = reinterpret_cast<Span*>(slab->more(spans_left * sizeof(Span)));
  };

  RowStore out;
  Chunk* first_chunk = nullptr;  // the one whose first row may start with a mark to skip
  std::vector<LineEnd> all_ends;
  // Room for the ends of the next chunk, reserved once for the whole file as guessed; the
  // guess is not written, so a generous one costs no memory.
  auto room_for_ends = [&]() {
    if (!ends) return;
    if (all_ends.capacity() == 0) all_ends.reserve(rows_left());
    size_t want = row_count + kChunkRows;
    if (want > all_ends.capacity() && at_end) {
      want = row_count + rows_left();
      all_ends.reserve(want);
    }
    all_ends.resize(want);
  };
  std::vector<size_t> bad_crs;
  // Rows holding a CR that ends nothing, dropped only after inspect has seen the bytes.
  struct WithCrs {
    Chunk* chunk;
    size_t k;    // the row in the chunk
    char* data;  // the chunk's bytes
  };
  std::vector<WithCrs> with_crs;
  // Adds a chunk of the n rows at spans, of the text at base + at; answers it while it may
  // still be changed.
  auto add_chunk = [&](size_t at, size_t n) {
    auto chunk = std::make_shared<Chunk>();
    chunk->data = base + at;
    chunk->owner = slab;
    chunk->rows = Rows(spans, n);
    spans += n;
    spans_left -= n;
    row_count += n;
    Chunk* made = chunk.get();
    out.chunks_.push_back(std::move(chunk));
    if (!first_chunk) first_chunk = made;
    return made;
  };

  while (!at_end) {
    if (used == cap) {
      cap *= 2;
      auto bigger = std::make_shared<Slab>(cap);
      std::memcpy(bigger->data(), base, used);
      slab = std::move(bigger);
      base = slab->data();
      spans_left = 0;  // the rows of the chunks to come go with the new block
    }
    const size_t step_end = std::min(cap, used + kStep);
    while (used < step_end && !at_end) {
      ssize_t r = ::read(f.fd, base + used, step_end - used);
      if (r < 0) {
        if (errno == EINTR) continue;
        throw_errno(path);
      }
      if (r == 0) at_end = true;
      used += static_cast<size_t>(r);
    }
    for (;;) {
      room_for_rows();
      room_for_ends();
      bad_crs.clear();
      size_t taken = 0;
      const size_t n = scan_rows(base + s, used - s, kChunkRows, kChunkBytes, spans,
                                 ends ? all_ends.data() + row_count : nullptr, bad_crs, taken);
      // A chunk is cut short only at the end of the file; otherwise its rows wait for the
      // next step.
      if (n == 0 || (!at_end && n < kChunkRows && taken < kChunkBytes)) break;
      check_row_size(taken);
      const Span* rows = spans;
      Chunk* chunk = add_chunk(s, n);
      for (size_t c : bad_crs) {
        if (c >= taken) break;
        auto it = std::upper_bound(rows, rows + n, c,
                                   [](size_t v, const Span& sp) { return v < sp.off; });
        const size_t k = static_cast<size_t>(it - rows) - 1;
        const bool noted =
            !with_crs.empty() && with_crs.back().chunk == chunk && with_crs.back().k == k;
        if (c < rows[k].off + rows[k].len && !noted) with_crs.push_back({chunk, k, base + s});
      }
      s += taken;
    }
  }
  if (s < used) {
    // The last row of the file has no LF: kept unless nothing but CRs.
    check_row_size(used - s);
    const auto crs = static_cast<size_t>(std::count(base + s, base + used, '\r'));
    if (crs < used - s) {
      room_for_rows();
      room_for_ends();
      spans[0] = Span{0, static_cast<uint32_t>(used - s)};
      if (ends) all_ends[row_count] = LineEnd::None;
      Chunk* chunk = add_chunk(s, 1);
      if (crs > 0) with_crs.push_back({chunk, 0, base + s});
    }
  }

  const size_t skip = inspect ? inspect(std::string_view(base, used)) : 0;
  if (skip > 0 && first_chunk) {
    Span& first = first_chunk->rows.front();
    const auto n = static_cast<uint32_t>(std::min<size_t>(skip, first.len));
    first.off += n;
    first.len -= n;
  }
  for (const WithCrs& w : with_crs) {
    Span& row = w.chunk->rows[w.k];
    row.len = drop_crs(w.data, row.off, row.len);
  }

  out.renumber(0);
  if (ends) {
    all_ends.resize(row_count);
    *ends = std::move(all_ends);
  }
  return out;
}

struct RowStore::Builder::Impl {
  std::vector<ChunkPtr> chunks;
  ChunkWriter writer{chunks, kChunkBytes, kChunkRows};
};

RowStore::Builder::Builder() : impl_(std::make_unique<Impl>()) {}
RowStore::Builder::~Builder() = default;

void RowStore::Builder::add(std::string_view a, std::string_view b) {
  impl_->writer.add(a, b);
}

RowStore RowStore::Builder::finish() {
  impl_->writer.flush();
  RowStore out;
  out.chunks_ = std::move(impl_->chunks);
  impl_->chunks.clear();
  out.renumber(0);
  return out;
}

}  // namespace lq
