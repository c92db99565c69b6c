// Operation [6]: records one result line per occurrence of the query in every piece.
// The query may join several terms with " and ": a piece then counts only when it holds
// all of them, and the first term is the one whose occurrences are recorded. Text is
// never changed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/operations/operation.h"

namespace lq {

class FindOp : public Operation {
 public:
  FindOp();

  // When enabled: find_in_piece1, then marks the run as one that found (even nothing).
  void LineStep(std::string& text) override;
  // Runs enabled or not: keeps the query's byte length for opening results later.
  void DocumentStep(LineList& lines, const std::string& file_name) override;
  // A new run forgets the query of the last document.
  void set_env(const OperationEnv& env) override;

  void find_in_piece1(std::string_view piece);

 private:
  std::optional<std::string> document_query_;  // the query when this document began
};

std::unique_ptr<Operation> make_find_op();

}  // namespace lq
