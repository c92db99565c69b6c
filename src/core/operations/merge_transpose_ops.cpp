// [16] merge lines and [23] swap rows and columns.
#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/run_error.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

class MergeLines final : public PanelOperation {
 public:
  MergeLines() : PanelOperation("TControlForm_mtoone") {}

  void document_step(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    const long long x = str_to_int(trim(params().text("Edit_m_to_one1")));
    const bool all_in_one = params().checked("CheckBox_m_to_one1");
    // A break every x lines needs x >= 1; with 0 or less no count of lines is ever
    // reached, so no break is added (as when a part of [24] is never full).
    const bool every_x = params().checked("CheckBox_m_to_one2") && x > 0;
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 4;
    std::string t;
    t.reserve(total);
    long long k = 0;
    for (const auto& line : lines) {
      ++k;
      if (!all_in_one && line.find(' ') != std::string::npos) t += "\r\n";
      t += line;
      if (every_x && k % x == 0) t += "\r\n";
    }
    set_lines_text(lines, t);
  }
};

class Transpose final : public PanelOperation {
 public:
  Transpose() : PanelOperation("TControlForm_row2col") {}

  void document_step(LineList& lines, const std::string& file_name) override {
    if (!enabled() || lines.empty()) return;
    const std::string& sep = params().text("Edit_row_to_col1");
    std::vector<LineList> rows(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) split_str(lines[i], rows[i], sep);
    const size_t columns = rows[0].size();
    if (columns == 0) {
      // Zero columns would replace the document by an empty one.
      throw RunError(code_page().from_utf8("行列转换: \"") + file_name +
                     code_page().from_utf8("\" 的第一行是空行, 无法确定列数."));
    }
    // A row with fewer pieces than the first asks for a piece that is not there; the
    // smallest such index is the first one asked for, column by column.
    size_t shortest = columns;
    for (const auto& r : rows) shortest = std::min(shortest, r.size());
    if (shortest < columns)
      throw RunError("List index out of bounds (" + std::to_string(shortest) + ")");
    LineList out(columns);
    for (size_t j = 0; j < columns; ++j) {
      std::string& o = out[j];
      for (const auto& r : rows) {
        o += r[j];
        o += sep;
      }
    }
    lines = std::move(out);
  }
};

}  // namespace

std::unique_ptr<Operation> make_merge_lines() {
  return std::make_unique<MergeLines>();
}
std::unique_ptr<Operation> make_transpose() {
  return std::make_unique<Transpose>();
}

}  // namespace lq
