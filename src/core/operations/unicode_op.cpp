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
#include <memory>
#include <optional>

#include "core/encoding/code_page.h"
#include "core/operations/document_operations.h"
#include "core/operations/panel_operation.h"
#include "core/run/run_context.h"
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
  // appends whatever stands for it and answers how many bytes to skip. Unless `last`, a
  // sequence cut by the end of `in` is left for the next piece. Answers how many bytes of
  // `in` were taken.
  template <class OnError>
  size_t convert(std::string_view in, std::string& out, OnError on_error, bool last = true) {
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[16384];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, sizeof buf - room);
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      if (errno == EINVAL && !last) break;
      size_t skip = on_error(std::string_view(src, left));
      src += skip;
      left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return in.size() - left;
  }

 private:
  iconv_t cd_;
};

// UTF-8 to the code page, appended to out. Characters the code page cannot hold become "?";
// bytes that are not well-formed UTF-8 are copied unchanged.
void append_utf8_as_code_page(Converter& conv, std::string_view text, std::string& out) {
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
}

// The code page to UTF-8, appended to out; bytes that do not decode are copied unchanged.
// Unless `last`, a character cut by the end of text is left: answers how many bytes were
// taken.
size_t append_code_page_as_utf8(Converter& conv, std::string_view text, std::string& out,
                                bool last = true) {
  return conv.convert(
      text, out,
      [&out](std::string_view rest) {
        out += rest[0];
        return size_t{1};
      },
      last);
}

// Where a UTF-8 sequence cut by the end of `text` starts (text.size() when none is): the
// bytes from there may be completed by what follows.
size_t utf8_cut(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto b = static_cast<unsigned char>(text[text.size() - back]);
    if (b < 0x80) break;
    if (b >= 0xC0) {
      const size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      return len > back ? text.size() - back : text.size();
    }
  }
  return text.size();
}

// A whole file converted piece by piece, as the document conversion below would convert it
// line by line: both code pages write CR and LF as those bytes, and no character spans
// them.
class StreamingConversion final : public WholeFileConversion {
 public:
  explicit StreamingConversion(bool to_gbk) : to_gbk_(to_gbk) {
    if (to_gbk) conv_.emplace(gbk_code_page().name(), "UTF-8");
  }

  size_t convert(std::string_view bytes, bool last, std::string& out) override {
    // GBK is read by table: the same characters as the converter's, several times faster.
    if (!to_gbk_) return append_gbk_as_utf8_keeping(bytes, last, out);
    if (!conv_->ok()) {
      out.append(bytes);
      return bytes.size();
    }
    const size_t cut = last ? bytes.size() : utf8_cut(bytes);
    append_utf8_as_code_page(*conv_, bytes.substr(0, cut), out);
    return cut;
  }

  const CodePage& result_page() const override {
    return to_gbk_ ? gbk_code_page() : utf8_code_page();
  }

 private:
  bool to_gbk_;
  std::optional<Converter> conv_;  // to GBK
};

class UnicodeConversion final : public PanelOperation {
 public:
  UnicodeConversion() : PanelOperation("TControlForm_utf") {}

  void document_step(LineList& lines, const std::string&) override {
    const std::optional<bool> to_gbk = direction();
    if (!to_gbk) return;
    Converter conv(*to_gbk ? gbk_code_page().name() : "UTF-8",
                   *to_gbk ? "UTF-8" : gbk_code_page().name());
    if (!conv.ok()) return;
    // Lines joined by LF, which both code pages write as that one byte, so that every line
    // keeps its place (and its line end when written back).
    std::string text;
    for (const std::string& l : lines) text.append(l).push_back('\n');
    std::string converted;
    converted.reserve(*to_gbk ? text.size() : text.size() + text.size() / 2);
    if (*to_gbk)
      append_utf8_as_code_page(conv, text, converted);
    else
      append_code_page_as_utf8(conv, text, converted);
    lines.clear();
    size_t start = 0;
    for (size_t lf = converted.find('\n'); lf != std::string::npos;
         lf = converted.find('\n', start)) {
      lines.emplace_back(converted, start, lf - start);
      start = lf + 1;
    }
    if (env().context) env().context->page = *to_gbk ? &gbk_code_page() : &utf8_code_page();
  }

  bool converts_whole_files() const override {
    return enabled() &&
           (params().checked("RadioButton_Unicode2") || params().checked("RadioButton_Unicode3"));
  }

  std::unique_ptr<WholeFileConversion> whole_file_conversion() override {
    const std::optional<bool> to_gbk = direction();
    if (!to_gbk) return nullptr;
    return std::make_unique<StreamingConversion>(*to_gbk);
  }

 private:
  // Whether the document is converted to GBK (true) or to UTF-8 (false); nothing when it
  // stays as it is, the operation being off or the document already in the target form.
  std::optional<bool> direction() const {
    if (!enabled()) return std::nullopt;
    const bool to_gbk = params().checked("RadioButton_Unicode2");
    const bool to_utf8 = !to_gbk && params().checked("RadioButton_Unicode3");
    if (!to_gbk && !to_utf8) return std::nullopt;
    const bool is_utf8 = &text_page() == &utf8_code_page();
    if (to_utf8 == is_utf8) return std::nullopt;
    return to_gbk;
  }
};

}  // namespace

std::unique_ptr<Operation> make_unicode() {
  return std::make_unique<UnicodeConversion>();
}

}  // namespace lq
