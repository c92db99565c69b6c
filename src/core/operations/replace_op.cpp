#include "core/operations/replace_op.h"

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

void ReplaceOp::LineStep(std::string& text) {
  if (!enabled()) return;
  if (rows_) {
    for (const auto& row : page_rows_ ? *page_rows_ : *rows_)
      text = replace_one(text, row.old_text, row.new_text);
    return;
  }
  text = replace_one(text, params().text("Edit_th1"), params().text("Edit_th2"));
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

std::string ReplaceOp::replace_one(std::string_view text, std::string_view search,
                                   std::string_view replacement) {
  const bool case_sensitive = env().case_sensitive;
  if (params().checked("CheckBox_th_r1"))
    return matcher(wildcard_to_regex(search), !case_sensitive).replace_all(text, replacement);
  if (params().checked("CheckBox_th_r2"))
    return matcher(std::string(search), !case_sensitive).replace_all(text, replacement);
  return replace_all_aligned(text, search, replacement, case_sensitive, text_page());
}

const RegexMatcher& ReplaceOp::matcher(const std::string& pattern, bool caseless) {
  const CodePage& page = text_page();
  // The same pattern line after line: no lookup (the map's entries never move).
  if (last_ && last_->page == &page && last_->caseless == caseless && last_->pattern == pattern)
    return *last_->matcher;
  auto key = std::make_tuple(&page, caseless, pattern);
  auto it = compiled_.find(key);
  if (it != compiled_.end()) {
    last_ = Last{&page, caseless, pattern, it->second.get()};
    return *it->second;
  }
  last_.reset();
  if (compiled_.size() >= 1024) compiled_.clear();
  auto compiled = std::make_unique<RegexMatcher>(pattern, caseless, page);
  const RegexMatcher& made = *compiled_.emplace(std::move(key), std::move(compiled)).first->second;
  last_ = Last{&page, caseless, pattern, &made};
  return made;
}

std::unique_ptr<Operation> make_replace_op() {
  return std::make_unique<ReplaceOp>();
}

}  // namespace lq
