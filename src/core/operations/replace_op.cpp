#include "core/operations/replace_op.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/text_match.h"

namespace lq {

ReplaceRow parse_replace_row(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {std::string(line), {}};
  return {std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))};
}

ReplaceOp::ReplaceOp()
    : Operation(PanelClassRegistry::instance().find("TControlForm_th")->params) {}

void ReplaceOp::line_step(std::string& text) {
  if (!enabled()) return;
  if (rows_) {
    for (const auto& row : page_rows_ ? *page_rows_ : *rows_)
      replace_in_place(text, row.old_text, row.new_text);
    return;
  }
  if (document_ && env().context)
    replace_in_place(text, document_->search, document_->replacement);
  else
    replace_in_place(text, params().text("Edit_th1"), params().text("Edit_th2"));
}

void ReplaceOp::document_step(LineList&, const std::string&) {
  if (!env().context) return;
  document_ = DocumentParams{params().checked("CheckBox_th_r1"), params().checked("CheckBox_th_r2"),
                             params().text("Edit_th1"), params().text("Edit_th2")};
}

void ReplaceOp::set_env(const OperationEnv& env) {
  Operation::set_env(env);
  document_.reset();
}

void ReplaceOp::set_text_page(const CodePage* page) {
  Operation::set_text_page(page);
  page_rows_.reset();
  if (!rows_ || !page || page == &code_page()) return;
  // Rows are text of the program's code page; bytes that do not decode stay bytes.
  auto convert = [page](const std::string& s) {
    const std::string utf8 = code_page().to_utf8(s);
    std::string out, missing;
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos ||
        !page->from_utf8_exact(utf8, out, missing))
      return s;
    return out;
  };
  page_rows_.emplace();
  for (const ReplaceRow& row : *rows_)
    page_rows_->push_back({convert(row.old_text), convert(row.new_text)});
}

bool ReplaceOp::edits_text_lines() const {
  if (!enabled() || rows_) return false;
  // A regular expression sees one line at a time anyway.
  if (params().checked("CheckBox_th_r1") || params().checked("CheckBox_th_r2")) return true;
  // Plain text is searched for in the whole text at once: a search that holds a line end
  // would reach into the next line, and one that folds needs the lines folded.
  const std::string& search = params().text("Edit_th1");
  if (search.find_first_of("\r\n") != std::string::npos) return false;
  return env().case_sensitive || std::none_of(search.begin(), search.end(), [](char c) {
           return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
         });
}

bool ReplaceOp::edit_text_lines(std::string_view text, std::string& out) {
  const bool of_document = document_ && env().context;
  const bool wildcards = of_document ? document_->wildcards : params().checked("CheckBox_th_r1");
  const bool regex = of_document ? document_->regex : params().checked("CheckBox_th_r2");
  const std::string& search = of_document ? document_->search : params().text("Edit_th1");
  const std::string& replacement = of_document ? document_->replacement : params().text("Edit_th2");
  const bool caseless = !env().case_sensitive;
  if (wildcards) {
    if (!wildcard_ || wildcard_->first != search)
      wildcard_.emplace(search, wildcard_to_regex(search));
    return matcher(wildcard_->second, caseless).replace_in_lines(text, replacement, out);
  }
  if (regex) return matcher(search, caseless).replace_in_lines(text, replacement, out);
  return replace_in_lines_aligned(text, search, replacement, text_page(), out);
}

std::string ReplaceOp::replace_one(std::string_view text, std::string_view search,
                                   std::string_view replacement) {
  std::string out(text);
  replace_in_place(out, search, replacement);
  return out;
}

void ReplaceOp::replace_in_place(std::string& text, std::string_view search,
                                 std::string_view replacement) {
  const bool case_sensitive = env().case_sensitive;
  const bool wildcards =
      document_ && env().context ? document_->wildcards : params().checked("CheckBox_th_r1");
  const bool regex =
      document_ && env().context ? document_->regex : params().checked("CheckBox_th_r2");
  if (wildcards) {
    if (!wildcard_ || wildcard_->first != search)
      wildcard_.emplace(std::string(search), wildcard_to_regex(search));
    matcher(wildcard_->second, !case_sensitive).replace_all_in_place(text, scratch_, replacement);
  } else if (regex) {
    matcher(search, !case_sensitive).replace_all_in_place(text, scratch_, replacement);
  } else
    replace_all_aligned_in_place(text, scratch_, search, replacement, case_sensitive, text_page());
}

const RegexMatcher& ReplaceOp::matcher(std::string_view pattern, bool caseless) {
  const CodePage& page = text_page();
  // The same pattern line after line: no lookup (the map's entries never move).
  if (last_ && last_->page == &page && last_->caseless == caseless && last_->pattern == pattern)
    return *last_->matcher;
  auto key = std::make_tuple(&page, caseless, std::string(pattern));
  auto it = compiled_.find(key);
  if (it != compiled_.end()) {
    last_ = Last{&page, caseless, std::string(pattern), it->second.get()};
    return *it->second;
  }
  last_.reset();
  if (compiled_.size() >= 1024) compiled_.clear();
  auto compiled = std::make_unique<RegexMatcher>(std::get<2>(key), caseless, page);
  const RegexMatcher& made = *compiled_.emplace(std::move(key), std::move(compiled)).first->second;
  last_ = Last{&page, caseless, std::string(pattern), &made};
  return made;
}

std::unique_ptr<Operation> make_replace_op() {
  return std::make_unique<ReplaceOp>();
}

}  // namespace lq
