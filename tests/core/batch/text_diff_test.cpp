#include "core/batch/text_diff.h"

#include <gtest/gtest.h>

namespace lq {
namespace {

std::string as_is(std::string_view s) {
  return std::string(s);
}

std::string udiff(std::string_view a, std::string_view b, int context = 3) {
  return unified_diff(diff_text(a, b, context), "a", "b", as_is);
}

TEST(TextDiff, UnifiedOutput) {
  struct Row {
    const char* name;
    const char* before;
    const char* after;
    int context;
    const char* out;
  };
  const Row rows[] = {
      {"same", "a\nb\n", "a\nb\n", 3, "--- a\n+++ b\n"},
      {"middle", "1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nV\n6\n7\n8\n9\n", 1,
       "--- a\n+++ b\n@@ -4,3 +4,3 @@\n 4\n-5\n+V\n 6\n"},
      {"two_hunks", "1\n2\n3\n4\n5\n6\n7\n", "X\n2\n3\n4\n5\n6\nY\n", 1,
       "--- a\n+++ b\n@@ -1,2 +1,2 @@\n-1\n+X\n 2\n@@ -6,2 +6,2 @@\n 6\n-7\n+Y\n"},
      {"close_changes_share", "1\n2\n3\n4\n", "X\n2\n3\nY\n", 1,
       "--- a\n+++ b\n@@ -1,4 +1,4 @@\n-1\n+X\n 2\n 3\n-4\n+Y\n"},
      {"from_empty", "", "a\nb", 3, "--- a\n+++ b\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
      {"to_empty", "a\n", "", 3, "--- a\n+++ b\n@@ -1 +0,0 @@\n-a\n"},
      {"insert", "a\nc\n", "a\nb\nc\n", 3, "--- a\n+++ b\n@@ -1,2 +1,3 @@\n a\n+b\n c\n"},
  };
  for (const Row& r : rows) EXPECT_EQ(udiff(r.before, r.after, r.context), r.out) << r.name;
}

TEST(TextDiff, ChangedLinesAndLineEnds) {
  EXPECT_EQ(diff_text("a\nb\nc\n", "A\nb\nC\nD\n").changed_lines, 3);
  EXPECT_EQ(diff_text("a\nb\n", "x\n").changed_lines, 2);
  const TextDiff ends = diff_text("a\nb", "a\r\nb\r\n");
  EXPECT_TRUE(ends.line_ends_only);
  EXPECT_EQ(ends.changed_lines, 0);
  EXPECT_TRUE(ends.hunks.empty());
  EXPECT_FALSE(diff_text("a\n", "a\n").line_ends_only);
}

// Every line changed in a long file: the coarse answer, quickly, still exact in content.
TEST(TextDiff, ManyScatteredChangesStayCorrect) {
  std::string a, b;
  for (int k = 0; k < 20000; ++k) {
    a += std::to_string(k) + "\n";
    b += (k % 2 ? "odd" : std::to_string(k)) + "\n";
  }
  const TextDiff d = diff_text(a, b, 0);
  int removed = 0, added = 0;
  for (const DiffHunk& h : d.hunks)
    for (const DiffLine& l : h.lines) (l.kind == '-' ? removed : added) += l.kind != ' ';
  EXPECT_GE(removed, 10000);
  EXPECT_EQ(removed, added);
  EXPECT_GE(d.changed_lines, 10000);
}

// A long file changed all over is still compared line by line: each change is a hunk of its
// own with exactly its lines, not one block from the first change to the last.
TEST(TextDiff, ChangesAllOverAFileStaySmallHunks) {
  std::string a, b;
  for (int k = 0; k < 50000; ++k) {
    a += "line " + std::to_string(k) + "\n";
    b += (k % 4 == 1 ? "changed " + std::to_string(k) : "line " + std::to_string(k)) + "\n";
  }
  const TextDiff d = diff_text(a, b, 0);
  EXPECT_EQ(d.changed_lines, 12500);
  ASSERT_EQ(d.hunks.size(), 12500u);
  EXPECT_EQ(d.hunks[0].old_start, 2);
  EXPECT_EQ(d.hunks[0].lines.size(), 2u);
  EXPECT_EQ(d.hunks.back().lines[1].text, "changed 49997");
}

}  // namespace
}  // namespace lq
