// [5] save a copy of the document and [24] split it into part files. Both leave the
// document itself unchanged.

#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/run/run_context.h"
#include "core/run/run_host.h"
#include "core/run_error.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

// A dry run processes everything but writes nothing, part files and copies included; the
// run is told of every file either way (the journal keeps it, a preview lists it).
void write_part(const Operation& op, const std::string& path, const LineList& lines) {
  const std::string bytes = lines_text(lines);
  if (op.env().before_own_write) op.env().before_own_write(path, bytes);
  if (!op.env().dry_run) write_file_atomically(path, bytes);
}

bool is_clipboard(const std::string& file_name) {
  return file_name == kClipboardEntry;
}

// The clipboard has no file name to put copies or parts beside: nothing is written, and
// the user is told so.
void tell_clipboard_skipped(const Operation& op, const char* what_utf8) {
  if (op.env().host) op.env().host->show_message(code_page().from_utf8(what_utf8));
}

class SaveCopy final : public PanelOperation {
 public:
  SaveCopy() : PanelOperation("TControlForm_saveas") {}
  void document_step(LineList& lines, const std::string& file_name) override {
    if (!enabled()) return;
    if (is_clipboard(file_name)) {
      tell_clipboard_skipped(*this, "剪贴板的内容没有文件名, 没有另存为文件.");
      return;
    }
    write_part(*this, file_name + params().text("Edit_saveas1"), lines);
  }
};

[[noreturn]] void bad_format(std::string_view tmpl) {
  throw RunError("Format '" + std::string(tmpl) + "' invalid or incompatible with argument");
}

// The runtime's formatting of a template with one integer argument:
// "%" [index ":"] ["-"] [width] ["." precision] type, where the type must take an
// integer (d, u or x); "%%" is a percent sign. Anything else is a formatting error.
std::string format_with_int(std::string_view tmpl, int value) {
  std::string out;
  int next_arg = 0;
  auto take_arg = [&]() -> long long {
    if (next_arg != 0) bad_format(tmpl);
    ++next_arg;
    return value;
  };
  auto number = [&](size_t& i) -> long long {
    if (i < tmpl.size() && tmpl[i] == '*') {
      ++i;
      return take_arg();
    }
    long long n = 0;
    while (i < tmpl.size() && tmpl[i] >= '0' && tmpl[i] <= '9') {
      n = n * 10 + (tmpl[i++] - '0');
      if (n > 100000) bad_format(tmpl);
    }
    return n;
  };
  for (size_t i = 0; i < tmpl.size();) {
    if (tmpl[i] != '%') {
      out += tmpl[i++];
      continue;
    }
    ++i;
    if (i < tmpl.size() && tmpl[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // An explicit argument index: only 0 names the one argument.
    size_t mark = i;
    long long index = 0;
    while (i < tmpl.size() && tmpl[i] >= '0' && tmpl[i] <= '9' && index <= 100000)
      index = index * 10 + (tmpl[i++] - '0');
    if (i > mark && i < tmpl.size() && tmpl[i] == ':') {
      if (index != 0) bad_format(tmpl);
      next_arg = 0;
      ++i;
    } else {
      i = mark;
    }
    bool left = false;
    if (i < tmpl.size() && tmpl[i] == '-') {
      left = true;
      ++i;
    }
    long long width = number(i);
    long long precision = -1;
    if (i < tmpl.size() && tmpl[i] == '.') {
      ++i;
      precision = number(i);
    }
    if (i >= tmpl.size()) bad_format(tmpl);
    char type = static_cast<char>(tmpl[i++] | 0x20);
    std::string digits;
    long long arg;
    bool negative = false;
    switch (type) {
      case 'd':
        arg = take_arg();
        negative = arg < 0;
        digits = std::to_string(negative ? -arg : arg);
        break;
      case 'u':
        arg = take_arg();
        digits = std::to_string(static_cast<uint32_t>(arg));
        break;
      case 'x': {
        arg = take_arg();
        static constexpr char kHex[] = "0123456789ABCDEF";
        auto u = static_cast<uint32_t>(arg);
        do {
          digits.insert(digits.begin(), kHex[u & 15]);
          u >>= 4;
        } while (u);
        break;
      }
      default:
        bad_format(tmpl);
    }
    if (precision > static_cast<long long>(digits.size()))
      digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    if (negative) digits.insert(0, 1, '-');
    if (width > static_cast<long long>(digits.size())) {
      std::string pad(static_cast<size_t>(width) - digits.size(), ' ');
      digits = left ? digits + pad : pad + digits;
    }
    out += digits;
  }
  return out;
}

class SplitFile final : public PanelOperation {
 public:
  SplitFile() : PanelOperation("TControlForm_sp_file") {}

  void document_step(LineList& lines, const std::string& file_name) override {
    if (!enabled()) return;
    const long long n = str_to_int(trim(params().text("Edit_sp_file1")));
    if (is_clipboard(file_name)) {
      tell_clipboard_skipped(*this, "剪贴板的内容没有文件名, 没有分割为文件.");
      return;
    }
    const bool use_template = params().checked("CheckBox_sp_file1");
    const std::string& tmpl = params().text("Edit_sp_file2");
    auto part_name = [&](int k) {
      return file_name +
             (use_template ? format_with_int(tmpl, k) : "." + std::to_string(k) + ".txt");
    };
    const size_t parts = n > 0 ? lines.size() / static_cast<size_t>(n) + 1 : 1;
    // A template without a number would write every part to one name, each part replacing
    // the one before; a name equal to the file's own would overwrite the file being split.
    // Both are refused before anything is written.
    if (use_template) {
      std::string first = part_name(1);
      if (first == file_name || (parts > 1 && part_name(2) == first))
        throw RunError(code_page().from_utf8("分割文件: 文件名模板 \"") + tmpl +
                       code_page().from_utf8("\" 使各部分文件同名或与原文件同名."));
    }
    LineList part;
    int k = 0;
    for (auto& line : lines) {
      part.push_back(line);
      if (n > 0 && part.size() == static_cast<size_t>(n)) {
        write_part(*this, part_name(++k), part);
        part.clear();
      }
    }
    write_part(*this, part_name(++k), part);
  }
};

}  // namespace

std::unique_ptr<Operation> make_save_as() {
  return std::make_unique<SaveCopy>();
}
std::unique_ptr<Operation> make_split_file() {
  return std::make_unique<SplitFile>();
}

}  // namespace lq
