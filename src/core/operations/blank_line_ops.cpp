// [11] delete every blank line, [27] cut runs of blank lines to N lines.
#include <algorithm>

#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

class DeleteBlankLines final : public PanelOperation {
 public:
  DeleteBlankLines() : PanelOperation("TControlForm_del_blank") {}
  void document_step(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    std::erase_if(lines, [](const std::string& l) { return is_blank(l); });
  }
};

class BlankRunLimit final : public PanelOperation {
 public:
  BlankRunLimit() : PanelOperation("TControlForm_blank_line") {}
  void document_step(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    // N is read only once a blank line is met: a document without blank lines never
    // fails on a bad limit.
    bool have_limit = false;
    long long limit = 0, run = 0;
    size_t out = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      bool keep = true;
      if (!is_blank(lines[i])) {
        run = 0;
      } else {
        if (!have_limit) {
          limit = str_to_int(params().text("Edit_blank_line1"));
          have_limit = true;
        }
        keep = limit >= ++run;
      }
      if (!keep) continue;
      if (out != i) lines[out] = std::move(lines[i]);
      ++out;
    }
    lines.resize(out);
  }
};

}  // namespace

std::unique_ptr<Operation> make_delete_blank_lines() {
  return std::make_unique<DeleteBlankLines>();
}
std::unique_ptr<Operation> make_blank_run_limit() {
  return std::make_unique<BlankRunLimit>();
}

}  // namespace lq
