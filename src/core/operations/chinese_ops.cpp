// [7] GB2312 -> Big5, [8] Big5 -> GB2312, and [20]/[21] traditional <-> simplified. A
// conversion that fails leaves the piece as it was; nothing is reported.
//
// [20]/[21] convert character by character through the pair tables ("逐字 (经典)", the
// panel's first choice), or phrase by phrase through the phrase converter of the chosen
// traditional standard. The tables are of GBK characters: a UTF-8 file is converted
// character by character on its code points, each character GBK can hold going through
// the table and every other one staying; the phrase converter takes GBK and UTF-8 text
// alike. GB2312 and Big5 are byte encodings: a UTF-8 file is left alone and named in the
// run's summary.
#include <cstdint>
#include <exception>
#include <optional>

#include "core/encoding/code_page.h"
#include "core/encoding/gb_big5.h"
#include "core/encoding/phrase_convert.h"
#include "core/encoding/simp_trad.h"
#include "core/operations/line_operations.h"
#include "core/operations/panel_operation.h"
#include "core/run/run_context.h"
#include "core/run_error.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

template <class Convert>
void convert_or_keep(std::string& s, Convert convert) {
  try {
    s = convert(s);
  } catch (const std::exception&) {
    // The piece stays unchanged.
  }
}

// Runs `convert` (GBK bytes in and out) over the characters of UTF-8 text that GBK holds.
template <class Convert>
std::string through_gbk(std::string_view utf8, Convert convert) {
  const CodePage& gbk = gbk_code_page();
  const CodePage& u8 = utf8_code_page();
  std::string bytes, missing;
  if (gbk.from_utf8_exact(utf8, bytes, missing)) return gbk.to_utf8(convert(bytes));
  // Some characters GBK lacks (or bytes that are no UTF-8): convert the runs between them.
  std::string out, run;
  auto flush = [&] {
    if (run.empty()) return;
    std::string b;
    gbk.from_utf8_exact(run, b, missing);
    out += gbk.to_utf8(convert(b));
    run.clear();
  };
  for (size_t i = 0; i < utf8.size();) {
    const size_t len = u8.char_len_at(utf8, i);
    const std::string_view c = utf8.substr(i, len);
    std::string b;
    if (gbk.from_utf8_exact(c, b, missing)) {
      run += c;
    } else {
      flush();
      out += c;
    }
    i += len;
  }
  flush();
  return out;
}

bool is_utf8(const Operation& op) {
  return &op.text_page() == &utf8_code_page();
}

// A byte conversion that does not apply to UTF-8 text: the entry is left alone.
bool not_for_utf8(const Operation& op) {
  if (!is_utf8(op)) return false;
  if (op.env().context) op.env().context->not_applicable = true;
  return true;
}

template <class Convert>
void simp_trad(const Operation& op, std::string& s, Convert convert) {
  if (is_utf8(op))
    convert_or_keep(s, [&](std::string_view t) { return through_gbk(t, convert); });
  else
    convert_or_keep(s, convert);
}

}  // namespace

std::unique_ptr<Operation> make_gb_to_big5() {
  return make_line_operation("TControlForm_big5", [](const Operation& op, std::string& s) {
    if (not_for_utf8(op)) return;
    convert_or_keep(s, [](std::string_view t) { return GBToBig5(t); });
  });
}

std::unique_ptr<Operation> make_big5_to_gb() {
  return make_line_operation("TControlForm_big52", [](const Operation& op, std::string& s) {
    if (not_for_utf8(op)) return;
    convert_or_keep(s, [](std::string_view t) { return Big5ToGB(t); });
  });
}

namespace {

// The choices of ComboBox_ft2gb1, by index: the pair tables, then phrases in the common,
// Taiwan and Hong Kong standards.
std::optional<TradStandard> phrase_standard(std::string_view choice) {
  if (choice == "1") return TradStandard::Common;
  if (choice == "2") return TradStandard::Taiwan;
  if (choice == "3") return TradStandard::HongKong;
  return std::nullopt;
}

// One panel, two choices: with neither selected the enabled panel changes nothing.
class TradSimpOperation final : public PanelOperation {
 public:
  TradSimpOperation() : PanelOperation("TControlForm_ft2gb") {}

  void line_step(std::string& s) override {
    if (!enabled()) return;
    const bool to_simplified = params().checked("RadioButton_ft2gb");
    if (!to_simplified && !params().checked("RadioButton_gb2ft")) return;
    if (to_simplified && is_blank(s)) return;
    const std::optional<TradStandard> standard = phrase_standard(params().text("ComboBox_ft2gb1"));
    if (!standard) {
      if (to_simplified)
        simp_trad(*this, s, [](std::string_view t) { return trad_to_simp(t); });
      else
        simp_trad(*this, s, [](std::string_view t) { return simp_to_trad(t); });
      return;
    }
    const PhraseConverter& converter = phrase(!to_simplified, *standard);
    std::int64_t kept = 0;
    convert_or_keep(s, [&](std::string_view t) { return converter.convert(t, text_page(), kept); });
    if (env().context) env().context->unconverted_chars += kept;
  }

 private:
  // The converter of the current choice, kept between pieces; a missing dictionary ends
  // the run with a message rather than leaving every piece unchanged in silence.
  const PhraseConverter& phrase(bool to_traditional, TradStandard standard) {
    if (converter_ && to_traditional_ == to_traditional && standard_ == standard)
      return *converter_;
    try {
      converter_ = &PhraseConverter::get(to_traditional, standard);
    } catch (const PhraseDataError& e) {
      const CodePage& own = code_page();
      throw RunError(own.from_utf8("词组转换的数据 ") + e.config +
                     own.from_utf8(" 无法读取，请安装 OpenCC 的数据文件 (") + e.what() + ")");
    }
    to_traditional_ = to_traditional;
    standard_ = standard;
    return *converter_;
  }

  const PhraseConverter* converter_ = nullptr;
  bool to_traditional_ = false;
  TradStandard standard_ = TradStandard::Common;
};

}  // namespace

std::unique_ptr<Operation> make_trad_simp() {
  return std::make_unique<TradSimpOperation>();
}

}  // namespace lq
