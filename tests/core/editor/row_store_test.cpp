#include "core/editor/row_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "core/textsvc/file_services.h"
#include "editor_test_util.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using test::show;

std::string joined_ref(const LineList& rows) {
  std::string s;
  for (auto& r : rows) s += r + "\r\n";
  return s;
}

// Every edit of the store must give what the same edit gives on a plain vector, and a copy
// taken before must not see the edit. Enough rows to span many chunks.
TEST(RowStore, EditsMatchAPlainVectorAndSpareCopies) {
  std::mt19937 rng(7);
  auto rnd = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  auto row = [&] {
    std::string s(rnd(3) == 0 ? rnd(300) : rnd(40), 'a');
    for (auto& c : s) c = static_cast<char>('a' + rnd(26));
    return s;
  };
  LineList ref;
  RowStore rows;
  for (int i = 0; i < 20000; ++i) ref.push_back(row());
  rows = RowStore(ref);
  ASSERT_GT(rows.chunk_count(), 4u);

  std::vector<std::pair<RowStore, LineList>> snapshots;
  for (int step = 0; step < 400; ++step) {
    if (step % 40 == 0) snapshots.emplace_back(rows, ref);
    size_t first = rnd(ref.size() + 1);
    size_t n = std::min(rnd(step % 10 == 0 ? 3000 : 3), ref.size() - first);
    std::vector<std::string> add(rnd(step % 7 == 0 ? 2500 : 3));
    for (auto& a : add) a = row();
    std::vector<std::string_view> views(add.begin(), add.end());
    rows.replace(first, n, views);
    ref.erase(ref.begin() + static_cast<long>(first), ref.begin() + static_cast<long>(first + n));
    ref.insert(ref.begin() + static_cast<long>(first), add.begin(), add.end());
    ASSERT_EQ(rows.size(), ref.size()) << "step " << step;
  }
  EXPECT_EQ(rows.to_lines(), ref);
  for (size_t i = 0; i < ref.size(); i += 97) EXPECT_EQ(rows[i], ref[i]) << i;
  EXPECT_EQ(rows.joined(), joined_ref(ref));
  for (auto& [snap, snap_ref] : snapshots) EXPECT_EQ(snap.to_lines(), snap_ref);
}

TEST(RowStore, ReplaceWithViewsIntoItself) {
  RowStore rows(LineList{"ab", "cd", "ef"});
  std::string_view v[] = {rows[2], rows[0]};
  rows.replace(0, 3, v);
  EXPECT_EQ(rows.to_lines(), (LineList{"ef", "ab"}));
}

struct SplitCase {
  const char* name;
  std::string text;
  LineList rows;
};

class FromText : public testing::TestWithParam<SplitCase> {};

TEST_P(FromText, EveryBreakKindEndsARow) {
  EXPECT_EQ(RowStore::from_text(GetParam().text).to_lines(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FromText,
    testing::Values(SplitCase{"empty", "", {}}, SplitCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
                    SplitCase{"lone_cr_and_lf", "a\rb\nc", {"a", "b", "c"}},
                    SplitCase{"cr_cr_lf", "a\r\r\n", {"a", ""}},
                    SplitCase{"only_break", "\r\n", {""}},
                    SplitCase{"lf_cr_is_two_breaks", "a\n\rb", {"a", "", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Cutting rows at the breaks inside them must equal joining everything with CR LF and
// splitting again, which is what reading an undo record back does.
TEST(RowStore, SplitBreaksEqualsJoinThenSplit) {
  LineList cases[] = {{"plain", "", "x"}, {"a\r", "b"}, {"a\rb\nc\r\nd"},
                      {"end\n"},          {"\r\n"},     {"", "a\r\r", ""}};
  for (const auto& rows_in : cases) {
    RowStore rows(rows_in);
    std::string text = rows.joined();
    rows.split_breaks();
    EXPECT_EQ(rows.to_lines(), RowStore::from_text(text).to_lines()) << show(text);
    EXPECT_FALSE(rows.has_breaks());
  }
  RowStore marked(LineList{"0:a\nb", "1:c"});
  marked.split_breaks("0:");
  EXPECT_EQ(marked.to_lines(), (LineList{"0:a", "0:b", "1:c"}));
}

class ReadFile : public testing::Test {
 protected:
  std::string write(const std::string& bytes) {
    std::string p = (dir_ / "f.txt").string();
    lq::test::write_file(p, bytes);
    return p;
  }
  lq::test::TempDir temp_;
  std::filesystem::path dir_ = temp_.path();
};

TEST_F(ReadFile, SplitsAtLfAndDropsEveryCr) {
  struct {
    const char* name;
    std::string bytes;
    LineList rows;
  } cases[] = {
      {"crlf", "a\r\nb", {"a", "b"}},
      {"one_terminated", "a\r\n", {"a"}},
      {"empty_line", "a\n\n", {"a", ""}},
      {"only_crlf", "\r\n", {""}},
      {"empty_file", "", {}},
      {"lone_cr_joins", "a\rb", {"ab"}},
      {"crs_before_lf", "a\r\r\nb\r", {"a", "b"}},
      {"last_line_only_cr", "a\n\r", {"a"}},
      {"utf8_mark_kept", "\xEF\xBB\xBFx\n", {"\xEF\xBB\xBFx"}},
      {"nul_and_high_bytes", std::string("\0\xD6\xD0\n", 4), {std::string("\0\xD6\xD0", 3)}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RowStore::read_file(write(c.bytes)).to_lines(), c.rows) << c.name;
}

// Rows that cross the reading buffers, rows longer than a buffer, and more rows than one
// chunk holds come out as from a short file.
TEST_F(ReadFile, LargeFilesGiveTheSameRowsAsTheRule) {
  std::mt19937 rng(3);
  std::string bytes;
  LineList expect;
  for (int i = 0; i < 30000; ++i) {
    std::string r(rng() % 50, 'x');
    if (i == 777) r.assign(300000, 'L');  // longer than a read buffer
    if (i % 5000 == 3) r += "\rin";       // a CR inside a row is dropped
    bytes += r + (i % 3 ? "\r\n" : "\n");
    r.erase(std::remove(r.begin(), r.end(), '\r'), r.end());
    expect.push_back(r);
  }
  for (int i = 0; i < 5000; ++i) {  // many empty rows: the row limit of a chunk
    bytes += "\n";
    expect.push_back("");
  }
  bytes += "tail";
  expect.push_back("tail");
  std::string p = write(bytes);
  std::vector<LineEnd> ends;
  std::string seen;
  RowStore rows = RowStore::read_file(p, &ends, [&](std::string_view all) {
    seen = all;
    return size_t{0};
  });
  ASSERT_EQ(rows.size(), expect.size());
  EXPECT_EQ(rows.to_lines(), expect);
  EXPECT_TRUE(seen == bytes);  // before any CR was dropped
  std::vector<LineEnd> expect_ends;
  LineList scratch;
  split_keeping_ends(bytes, scratch, expect_ends);
  EXPECT_EQ(ends, expect_ends);
  LineList lines;
  load_lines(p, lines);
  EXPECT_EQ(lines, expect);
}

// Rows much denser than at the start outgrow the room guessed for them; they go on in further
// blocks, and every row still counts in the memory the store reports.
TEST_F(ReadFile, RowsDenserThanTheStartKeepTheirEnds) {
  std::string bytes;
  LineList expect;
  for (int i = 0; i < 1000; ++i) {
    expect.emplace_back(1000, static_cast<char>('a' + i % 26));
    bytes += expect.back() + "\r\n";
  }
  for (int i = 0; i < 300000; ++i) {
    expect.push_back(i % 1000 == 5 ? "ab" : "");
    bytes += i % 1000 == 5 ? "a\rb\n" : i % 2 ? "\r\n" : "\n";
  }
  bytes += "end\r";
  expect.push_back("end");
  std::vector<LineEnd> ends;
  RowStore rows = RowStore::read_file(write(bytes), &ends);
  ASSERT_EQ(rows.size(), expect.size());
  EXPECT_EQ(rows.to_lines(), expect);
  std::vector<LineEnd> expect_ends;
  LineList scratch;
  split_keeping_ends(bytes, scratch, expect_ends);
  EXPECT_EQ(ends, expect_ends);
  EXPECT_GE(rows.bytes_apart_from(RowStore()), rows.byte_size() + rows.size() * sizeof(RowSpan));
}

TEST_F(ReadFile, InspectSkipsAByteOrderMark) {
  struct {
    const char* name;
    std::string bytes;
    LineList rows;
    std::vector<LineEnd> ends;
  } cases[] = {
      {"mark_and_lines", "\xEF\xBB\xBFx\r\ny", {"x", "y"}, {LineEnd::CrLf, LineEnd::None}},
      {"mark_then_cr", "\xEF\xBB\xBF\rx\n", {"x"}, {LineEnd::Lf}},
      {"mark_alone", "\xEF\xBB\xBF", {""}, {LineEnd::None}},
  };
  for (const auto& c : cases) {
    std::vector<LineEnd> ends;
    RowStore rows = RowStore::read_file(write(c.bytes), &ends, [](std::string_view all) {
      return all.substr(0, 3) == "\xEF\xBB\xBF" ? size_t{3} : size_t{0};
    });
    EXPECT_EQ(rows.to_lines(), c.rows) << c.name;
    EXPECT_EQ(ends, c.ends) << c.name;
  }
}

// A pipe has no size to go by: the block grows while it is read, and the rows made before
// keep pointing into the smaller blocks.
TEST_F(ReadFile, GrowingInputKeepsEveryRow) {
  const std::string fifo = (dir_ / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string bytes;
  LineList expect;
  for (int i = 0; i < 20000; ++i) {
    std::string r = "row " + std::to_string(i);
    bytes += r + (i % 7 == 0 ? "\rx\r\n" : "\n");
    expect.push_back(i % 7 == 0 ? r + "x" : r);
  }
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
  std::string seen;
  std::vector<LineEnd> ends;
  RowStore rows = RowStore::read_file(fifo, &ends, [&](std::string_view all) {
    seen = all;
    return size_t{0};
  });
  writer.join();
  EXPECT_EQ(rows.to_lines(), expect);
  EXPECT_TRUE(seen == bytes);
  std::vector<LineEnd> expect_ends;
  for (int i = 0; i < 20000; ++i) expect_ends.push_back(i % 7 == 0 ? LineEnd::CrLf : LineEnd::Lf);
  EXPECT_EQ(ends, expect_ends);
}

TEST_F(ReadFile, MissingFileOrDirectoryThrows) {
  EXPECT_THROW(RowStore::read_file((dir_ / "none").string()), std::system_error);
  EXPECT_THROW(RowStore::read_file(dir_.string()), std::system_error);
}

}  // namespace
}  // namespace lq
