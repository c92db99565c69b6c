// Operation [6]: records one result line per occurrence of the query in every piece.
// The query may join several terms with " and ": a piece then counts only when it holds
// all of them, and the first term is the one whose occurrences are recorded. Text is
// never changed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/operation.h"

namespace lq {

class CodePage;

// One occurrence as data, for callers that print results in a form of their own. The
// piece and the key stay bytes of the file's code page.
struct FindMatch {
  int32_t file_index = 0;  // the entry's place in the file list
  std::string file_name;
  int32_t line_index = 0;  // 0-based, as in the result line
  int32_t column = 0;      // 1-based byte position in the piece
  std::string key;
  std::string piece;
  const CodePage* page = nullptr;
};

class FindOp : public Operation {
 public:
  FindOp();

  // When enabled: find_in_piece, then marks the run as one that found (even nothing).
  void line_step(std::string& text) override;
  // Runs enabled or not: keeps the query's byte length for opening results later.
  void document_step(LineList& lines, const std::string& file_name) override;
  // A new run forgets the query of the last document.
  void set_env(const OperationEnv& env) override;
  TextEffect text_effect() const override {
    return enabled() ? TextEffect::Reads : TextEffect::None;
  }
  std::optional<std::string> line_key() const override;

  void find_in_piece(std::string_view piece);

  // Every occurrence recorded as a result line is also appended to `sink` (null: not).
  void set_match_sink(std::vector<FindMatch>* sink) { sink_ = sink; }

 private:
  std::vector<FindMatch>* sink_ = nullptr;
  std::optional<std::string> document_query_;  // the query when this document began
  std::string shown_key_, shown_piece_;        // the last converted result's key and piece
};

std::unique_ptr<Operation> make_find_op();

}  // namespace lq
