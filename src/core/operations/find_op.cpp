#include "core/operations/find_op.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/find_result_line.h"
#include "core/operations/text_match.h"
#include "core/run/run_context.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

FindOp::FindOp() : Operation(PanelClassRegistry::instance().find("TControlForm_find")->params) {}

void FindOp::line_step(std::string& text) {
  if (!enabled()) return;
  find_in_piece(text);
  if (env().context) env().context->find_ran = true;
}

void FindOp::document_step(LineList&, const std::string&) {
  if (!env().context) return;
  // A find ran over the document even when none of its lines is looked at.
  if (enabled()) env().context->find_ran = true;
  // Parameters change only between documents, so the line steps of this one search for
  // the query as it stands now, without looking it up for every line.
  document_query_ = params().text("Edit_find1");
  env().context->find_query_len = static_cast<int32_t>(document_query_->size());
}

void FindOp::set_env(const OperationEnv& env) {
  Operation::set_env(env);
  document_query_.reset();
}

std::optional<std::string> FindOp::line_key() const {
  const std::string& query = params().text("Edit_find1");
  // Several terms, or a query that folds, need the line itself to tell.
  if (query.empty() || query.find(" and ") != std::string::npos) return std::nullopt;
  if (!env().case_sensitive && std::any_of(query.begin(), query.end(), [](char c) {
        return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      }))
    return std::nullopt;
  return query;
}

void FindOp::find_in_piece(std::string_view piece) {
  const std::string& query =
      document_query_ && env().context ? *document_query_ : params().text("Edit_find1");
  const bool exact = env().case_sensitive;
  const CodePage& page = text_page();
  std::string_view key = query;
  LineList terms;
  if (query.find(" and ") != std::string::npos) {
    split_str(query, terms, " and ");
    del_blank_items(terms);
    if (!terms.empty()) key = terms.front();
    for (const auto& term : terms)
      if (!contains_aligned(piece, term, exact, page)) return;
  }
  std::string* const text = env().find_result_text;
  if (!env().find_results && !text) return;
  const RunContext* ctx = env().context;
  const std::string empty;
  const std::string& file = ctx ? ctx->file_name : empty;
  const int32_t line = ctx ? ctx->line_index : 0;
  // Result lines are text of the program's code page; the column stays the byte column
  // in the file.
  const CodePage& own = code_page();
  const bool convert = &page != &own;
  bool converted = false;
  for_each_aligned(piece, key, exact, page, [&](size_t at) {
    if (convert && !converted) {
      // Into buffers kept from piece to piece: a run converts every line that matched.
      shown_key_.clear();
      shown_piece_.clear();
      append_converted(key, page, own, shown_key_);
      append_converted(piece, page, own, shown_piece_);
      converted = true;
    }
    const auto column = static_cast<int32_t>(at + 1);
    const std::string_view shown_key = convert ? shown_key_ : key;
    const std::string_view shown_piece = convert ? shown_piece_ : piece;
    if (text) {
      append_find_result(*text, file, line, column, shown_key, shown_piece);
      text->push_back('\n');
    } else {
      env().find_results->push_back(format_find_result(file, line, column, shown_key, shown_piece));
    }
    if (sink_)
      sink_->push_back({ctx ? ctx->file_index : 0, file, line, static_cast<int32_t>(at + 1),
                        std::string(key), std::string(piece), &page});
    return true;
  });
}

std::unique_ptr<Operation> make_find_op() {
  return std::make_unique<FindOp>();
}

}  // namespace lq
