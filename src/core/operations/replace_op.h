// Operation [4]: replace inside every piece, with plain text, wildcards or a regular
// expression, once with the panel's two edits or row by row with the multi-replace table.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "core/operations/operation.h"
#include "core/operations/regex_matcher.h"

namespace lq {

// One row of the multi-replace table.
struct ReplaceRow {
  std::string old_text;
  std::string new_text;
};

// A table line "old=new": the old string ends at the first "="; a line without "=" is an
// old string with an empty replacement.
ReplaceRow parse_replace_row(std::string_view line);

class ReplaceOp : public Operation {
 public:
  ReplaceOp();

  void line_step(std::string& text) override;
  void document_step(LineList& lines, const std::string& file_name) override;
  void set_env(const OperationEnv& env) override;
  // The rows of the multi-replace table follow the file's code page too.
  void set_text_page(const CodePage* page) override;
  bool edits_text_lines() const override;
  bool edit_text_lines(std::string_view text, std::string& out) override;

  // The rows of the multi-replace window the caller tracks, applied in order instead of
  // the two edits; nothing when no such window is open.
  void set_multi_rows(std::optional<std::vector<ReplaceRow>> rows) {
    rows_ = std::move(rows);
    page_rows_.reset();
  }
  const std::optional<std::vector<ReplaceRow>>& multi_rows() const { return rows_; }

  // One replacement with the panel's current mode and the run's case setting.
  std::string replace_one(std::string_view text, std::string_view search,
                          std::string_view replacement);

 private:
  const RegexMatcher& matcher(std::string_view pattern, bool caseless);
  // Replaces in `text` itself, which is left alone (not even copied) when nothing matches.
  void replace_in_place(std::string& text, std::string_view search, std::string_view replacement);

  // The panel's mode and texts as they stand for the document being processed: parameters
  // change only between documents, so its lines need not look them up one by one.
  struct DocumentParams {
    bool wildcards = false, regex = false;
    std::string search, replacement;
  };
  std::optional<DocumentParams> document_;
  std::string scratch_;  // the buffer a line is rewritten through
  // The last wildcard pattern and its regular expression.
  std::optional<std::pair<std::string, std::string>> wildcard_;

  std::optional<std::vector<ReplaceRow>> rows_;
  // The rows in the code page of the file being processed, when it is not the program's.
  std::optional<std::vector<ReplaceRow>> page_rows_;
  // Compiled patterns by (code page, caseless, pattern): parameters and the files' code
  // pages may change between files, so the cache is keyed by what is compiled rather than
  // filled once.
  std::map<std::tuple<const CodePage*, bool, std::string>, std::unique_ptr<RegexMatcher>> compiled_;
  struct Last {
    const CodePage* page;
    bool caseless;
    std::string pattern;
    const RegexMatcher* matcher;
  };
  std::optional<Last> last_;
};

std::unique_ptr<Operation> make_replace_op();

}  // namespace lq
