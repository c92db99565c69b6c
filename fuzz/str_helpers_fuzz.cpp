// The string helpers over arbitrary text and parameters: positions stay inside the text,
// pieces join back to what was cut, and encodings decode to what was encoded.
#include "core/textsvc/str_helpers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string a = in.text(6);
  const std::string b = in.text(6);
  const int n = in.in_range<int>(-3, 40);
  const long long i = in.in_range<long long>(-5, 200);
  const bool wide = in.flag();
  const std::string s = in.rest();
  const int len = static_cast<int>(s.size());

  FUZZ_CHECK(lq::sub(s, i, n).size() <= static_cast<size_t>(n < 0 ? 0 : n));
  for (int p : {lq::pos(a, s, n), lq::pos_text(a, s, n), lq::nth_pos(s, a, n),
                lq::text_parts::last_pos(a, s)})
    FUZZ_CHECK(p >= 0 && p <= len);
  FUZZ_CHECK(lq::replace_all(s, a, a) == s);
  FUZZ_CHECK(lq::same_text(lq::lower_ascii(s), lq::upper_ascii(s)));
  FUZZ_CHECK(lq::trim(s) == lq::trim_left(lq::trim_right(s)));

  lq::LineList pieces;
  lq::split_str(s, pieces, a);
  if (!a.empty()) FUZZ_CHECK(lq::join_list(pieces, a) == s);
  lq::LineList positions;
  lq::all_pos(positions, s, a);

  std::string back;
  FUZZ_CHECK(lq::hex_to_str(lq::str_to_hex(s), back) && back == s);
  FUZZ_CHECK(lq::from_base64(lq::to_base64(s)) == s);
  lq::text_parts::tab_to_crlf(lq::text_parts::crlf_to_tab(s));
  lq::str_between(s, a, b);
  lq::text_parts::text_between(s, a, b);
  lq::text_parts::split_to_text(s, a);

  pieces.clear();
  lq::split_by_len(s, pieces, n);
  back.clear();
  for (const std::string& p : pieces) back += p;
  FUZZ_CHECK(back == s);

  lq::LineList lines{s, a, b};
  lq::split_lines_by_len(lines, lines, n, wide);
  back.clear();
  for (const std::string& p : lines) {
    FUZZ_CHECK(!p.empty() && (wide || p.size() <= static_cast<size_t>(n < 1 ? 1 : n)));
    back += p;
  }
  FUZZ_CHECK(back == s + a + b);

  int at = 0;
  lq::LineList sorted{a + "=1", b + "=2", s};
  lq::text_parts::find_sorted_key(sorted, a, "=", at, wide);
  FUZZ_CHECK(at >= 0 && at <= 3);
  return 0;
}
