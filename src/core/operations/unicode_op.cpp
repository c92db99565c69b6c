// [26] Converts the whole document between UTF-8 and GBK. A file already in the target
// form is left as it is: converting it again would garble it (附录 would become 闄勫綍).
// After the conversion the document is in its new code page.
//
// Bytes that do not decode are kept as they are instead of being dropped or replaced:
// converting a document that is not in the expected encoding (for example one converted
// twice) must never empty it, and the kept bytes make the two directions undo each other
// for every byte that the first conversion could not read.
#include <iconv.h>

#include <cerrno>

#include "core/batch/run_context.h"
#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/line_text.h"

namespace lq {
namespace {

// Length of the well-formed UTF-8 sequence at s[i] (no overlong forms, no surrogates,
// nothing above U+10FFFF), or 0 when the bytes there are not one.
size_t utf8_sequence_len(std::string_view s, size_t i) {
  auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = at(i);
  if (b < 0x80) return 1;
  size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  if (at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (size_t k = 2; k < len; ++k)
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  return len;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts in, appending to out. At input that cannot be converted, on_error(rest)
  // appends whatever stands for it and answers how many bytes to skip.
  template <class OnError>
  void convert(std::string_view in, std::string& out, OnError on_error) {
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[16384];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, sizeof buf - room);
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      size_t skip = on_error(std::string_view(src, left));
      src += skip;
      left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }

 private:
  iconv_t cd_;
};

// UTF-8 to the code page. Characters the code page cannot hold become "?"; bytes that are
// not well-formed UTF-8 are copied unchanged.
std::string utf8_to_code_page(std::string_view text, const char* code_page_name) {
  Converter conv(code_page_name, "UTF-8");
  if (!conv.ok()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    // The longest run of well-formed sequences goes to the converter in one call.
    size_t start = i, len;
    while (i < text.size() && (len = utf8_sequence_len(text, i)) != 0) i += len;
    conv.convert(text.substr(start, i - start), out, [&out](std::string_view rest) {
      out += '?';
      size_t n = utf8_sequence_len(rest, 0);
      return n ? n : 1;
    });
    if (i < text.size()) out += text[i++];
  }
  return out;
}

// The code page to UTF-8; bytes that do not decode are copied unchanged.
std::string code_page_to_utf8(std::string_view text, const char* code_page_name) {
  Converter conv("UTF-8", code_page_name);
  if (!conv.ok()) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  conv.convert(text, out, [&out](std::string_view rest) {
    out += rest[0];
    return size_t{1};
  });
  return out;
}

class UnicodeConversion final : public PanelOperation {
 public:
  UnicodeConversion() : PanelOperation("TControlForm_utf") {}

  void DocumentStep(LineList& lines, const std::string&) override {
    if (!enabled()) return;
    const bool to_gbk = params().checked("RadioButton_Unicode2");
    const bool to_utf8 = !to_gbk && params().checked("RadioButton_Unicode3");
    if (!to_gbk && !to_utf8) return;
    const bool is_utf8 = &text_page() == &utf8_code_page();
    if (to_utf8 == is_utf8) return;
    const char* name = gbk_code_page().name();
    // Lines joined by LF, which both code pages write as that one byte, so that every line
    // keeps its place (and its line end when written back).
    std::string text;
    for (const std::string& l : lines) text.append(l).push_back('\n');
    text = to_gbk ? utf8_to_code_page(text, name) : code_page_to_utf8(text, name);
    lines.clear();
    size_t start = 0;
    for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
      lines.emplace_back(text, start, lf - start);
      start = lf + 1;
    }
    if (env().context) env().context->page = to_gbk ? &gbk_code_page() : &utf8_code_page();
  }
};

}  // namespace

std::unique_ptr<Operation> make_unicode() {
  return std::make_unique<UnicodeConversion>();
}

}  // namespace lq
