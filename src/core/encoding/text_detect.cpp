// Deciding between GBK and UTF-8 for one file.
//
// Validity settles most files: GBK text is almost never valid UTF-8 once it holds a few
// Chinese characters, and text that is not valid UTF-8 can only be GBK here. What is left is
// valid UTF-8 with multi-byte characters, and ICU's charset detector alone cannot weigh that:
// its UTF-8 recognizer measures validity only (80 for up to three sequences, 100 above), and
// its GB18030 recognizer gives a flat 10 below eleven double-byte characters, so for short
// text ICU ranks UTF-8 first whatever the characters are. Short GBK text often is valid UTF-8
// by accident, though: 为 is CE AA, which reads "Ϊ"; 为什么 reads "Ϊʲô".
//
// So the two readings are weighed first: GBK when the GBK reading is ordinary text and the
// UTF-8 reading is not. "Ordinary" comes from published character sets rather than from
// weights tuned here: the characters of GB2312 (the everyday set GBK extends) in the Han,
// Latin and common scripts, the exemplar characters CLDR lists for Chinese and for every
// language written in Latin letters, and punctuation, symbols and spaces that belong to no
// other script. Scripts alone are too coarse: IPA and modifier letters are Latin but in no
// language's alphabet, and they are what common characters such as 十 (ʮ) or 时 (ʱ) read as.
// Where both readings are ordinary (茅 reads "é") the text is valid UTF-8 and stays UTF-8.
//
// Once the GBK reading has more than ten double-byte characters, ICU's GB18030 recognizer
// does count: it weighs how many of them are among the most frequent Chinese characters. A
// GBK reading that is merely ordinary then also needs ICU to rank GB18030 at least as high as
// UTF-8, which sends back to UTF-8, for instance, English text with a dozen Greek letters
// (α..ο read as GB2312 characters, but rare ones).
#include "core/encoding/text_detect.h"

#include <unicode/uchar.h>
#include <unicode/ucsdet.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>
#include <unicode/uscript.h>
#include <unicode/uset.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"

namespace lq {

const char* encoding_choice_name(EncodingChoice choice) {
  switch (choice) {
    case EncodingChoice::Gbk:
      return "gbk";
    case EncodingChoice::Utf8:
      return "utf-8";
    case EncodingChoice::Auto:
      break;
  }
  return "auto";
}

bool parse_encoding_choice(std::string_view name, EncodingChoice& choice) {
  std::string lower(name);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (lower == "auto")
    choice = EncodingChoice::Auto;
  else if (lower == "gbk")
    choice = EncodingChoice::Gbk;
  else if (lower == "utf-8" || lower == "utf8")
    choice = EncodingChoice::Utf8;
  else
    return false;
  return true;
}

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// How much of a file is looked at, from its first byte above ASCII: enough for the detector's
// statistics, and the cost of a file stays bounded whatever its size.
constexpr size_t kWindow = 64 * 1024;

// ICU's GB18030 recognizer counts its characters only above this many double-byte ones.
constexpr int kIcuCountsFrom = 11;

// How much of the window the charset detector reads: its recognizers all run over the whole
// of what they are given, and a few thousand characters settle its statistics.
constexpr size_t kIcuSample = 8 * 1024;

enum class Kind { Ascii, Utf8, NotUtf8 };

struct Scan {
  Kind kind = Kind::Ascii;
  std::string_view window;  // Utf8: the text looked at, cut at a character boundary
};

// Whether the text is ASCII, valid UTF-8 or neither. ASCII before the first other byte is
// skipped at word speed, so a long English header does not hide the Chinese after it; from
// there only kWindow bytes are read.
Scan scan(std::string_view bytes) {
  const size_t start = ascii_prefix(bytes);
  if (start == bytes.size()) return {};
  std::string_view window = bytes.substr(start, kWindow);
  const bool more = start + window.size() < bytes.size();
  const auto* p = reinterpret_cast<const unsigned char*>(window.data());
  const size_t valid = utf8_valid_run(p, p + window.size());
  if (valid == window.size()) return {Kind::Utf8, window};
  // A sequence that is sound up to the end of the window was cut by it, not broken.
  const auto n = static_cast<int32_t>(window.size());
  const auto at = static_cast<int32_t>(valid);
  int32_t i = at;
  UChar32 c;
  U8_NEXT(window.data(), i, n, c);
  if (c < 0 && i == n && more && U8_IS_LEAD(window[at]))
    return {Kind::Utf8, window.substr(0, valid)};
  return {Kind::NotUtf8, {}};
}

// The characters taken as ordinary text (see the top of the file), built once.
class OrdinaryText {
 public:
  OrdinaryText() : set_(uset_openEmpty(), &uset_close) {
    add_gb2312();
    add_exemplars("zh");
    add_exemplars("zh_Hant");
    // Every language whose usual script is Latin; regional variants add next to nothing.
    for (int32_t k = 0; k < uloc_countAvailable(); ++k) {
      const char* locale = uloc_getAvailable(k);
      UErrorCode err = U_ZERO_ERROR;
      char part[ULOC_FULLNAME_CAPACITY];
      if (uloc_getCountry(locale, part, sizeof part, &err) > 0 || U_FAILURE(err)) continue;
      char likely[ULOC_FULLNAME_CAPACITY];
      uloc_addLikelySubtags(locale, likely, sizeof likely, &err);
      uloc_getScript(likely, part, sizeof part, &err);
      if (U_SUCCESS(err) && std::strcmp(part, "Latn") == 0) add_exemplars(locale);
    }
    uset_freeze(set_.get());
  }

  bool contains(UChar32 c) const {
    if (c < 0x80 || uset_contains(set_.get(), c)) return true;
    constexpr uint32_t kShared =
        U_GC_P_MASK | U_GC_SM_MASK | U_GC_SC_MASK | U_GC_SO_MASK | U_GC_ZS_MASK;
    return (U_GET_GC_MASK(c) & kShared) != 0 &&
           (uscript_hasScript(c, USCRIPT_COMMON) || uscript_hasScript(c, USCRIPT_LATIN) ||
            uscript_hasScript(c, USCRIPT_HAN));
  }

 private:
  // GB2312 is the part of GBK in rows A1-F7, cells A1-FE. Its Greek, Cyrillic and kana are
  // left out: text in those scripts is not what this program expects, and lone letters of
  // theirs are what common characters such as 小 (С) or 位 (λ) read as in UTF-8.
  void add_gb2312() {
    const CodePage& gbk = gbk_code_page();
    for (int lead = 0xA1; lead <= 0xF7; ++lead) {
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::u16string u = gbk.to_utf16(std::string_view(pair, 2));
        if (u.size() != 1 || u[0] == 0xFFFD) continue;
        UErrorCode err = U_ZERO_ERROR;
        const UScriptCode script = uscript_getScript(u[0], &err);
        if (script == USCRIPT_HAN || script == USCRIPT_LATIN || script == USCRIPT_COMMON)
          uset_add(set_.get(), u[0]);
      }
    }
  }

  void add_exemplars(const char* locale) {
    UErrorCode err = U_ZERO_ERROR;
    ULocaleData* data = ulocdata_open(locale, &err);
    if (U_FAILURE(err)) return;
    for (ULocaleDataExemplarSetType type :
         {ULOCDATA_ES_STANDARD, ULOCDATA_ES_AUXILIARY, ULOCDATA_ES_PUNCTUATION}) {
      err = U_ZERO_ERROR;
      USet* set = ulocdata_getExemplarSet(data, nullptr, USET_CASE_INSENSITIVE, type, &err);
      if (U_SUCCESS(err) && set) uset_addAll(set_.get(), set);
      if (set) uset_close(set);
    }
    ulocdata_close(data);
  }

  std::unique_ptr<USet, decltype(&uset_close)> set_;
};

const OrdinaryText& ordinary_text() {
  static const OrdinaryText set;
  return set;
}

// The UTF-8 reading of valid UTF-8 is ordinary text.
bool utf8_reading_ordinary(std::string_view text) {
  const OrdinaryText& ordinary = ordinary_text();
  const auto n = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < n;) {
    UChar32 c;
    U8_NEXT(text.data(), i, n, c);
    if (c < 0 || !ordinary.contains(c)) return false;
  }
  return true;
}

struct GbkReading {
  int pairs = 0;         // double-byte characters read
  bool ordinary = true;  // every character read is ordinary text
};

// Reads the text as GBK, up to the first character that is not ordinary.
GbkReading read_as_gbk(std::string_view text) {
  const CodePage& gbk = gbk_code_page();
  const OrdinaryText& ordinary = ordinary_text();
  GbkReading r;
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      i += ascii_prefix(text.substr(i));
      continue;
    }
    const size_t len = gbk.char_len_at(text, i);
    const std::u16string u = gbk.to_utf16(text.substr(i, len));
    if (u.size() != 1 || u[0] == 0xFFFD || !ordinary.contains(u[0])) {
      r.ordinary = false;
      break;
    }
    r.pairs += len == 2;
    i += len;
  }
  return r;
}

struct IcuConfidence {
  int32_t utf8 = 0;
  int32_t gb18030 = 0;
};

// ICU's confidence in UTF-8 and in GB18030 for text that is valid UTF-8 and starts at a
// character boundary; its recognizers all run over the whole sample, so it is kept short.
IcuConfidence icu_confidence(std::string_view text) {
  size_t sample = std::min(text.size(), kIcuSample);
  while (sample < text.size() && (static_cast<unsigned char>(text[sample]) & 0xC0) == 0x80)
    --sample;  // back to the start of a character
  IcuConfidence conf;
  UErrorCode err = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&err),
                                                                      &ucsdet_close);
  if (U_FAILURE(err)) return conf;
  ucsdet_setText(detector.get(), text.data(), static_cast<int32_t>(sample), &err);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &err);
  for (int32_t k = 0; U_SUCCESS(err) && k < count; ++k) {
    const char* name = ucsdet_getName(matches[k], &err);
    const int32_t c = ucsdet_getConfidence(matches[k], &err);
    if (U_FAILURE(err)) break;
    if (std::strcmp(name, "UTF-8") == 0) conf.utf8 = c;
    if (std::strcmp(name, "GB18030") == 0) conf.gb18030 = c;
  }
  return conf;
}

// Valid UTF-8 with characters above ASCII: is it GBK after all?
bool valid_utf8_is_gbk(std::string_view window) {
  const GbkReading gbk = read_as_gbk(window);
  if (!gbk.ordinary || utf8_reading_ordinary(window)) return false;
  if (gbk.pairs < kIcuCountsFrom) return true;
  // Ties go to GBK: the readings already favour it, and validity is all UTF-8's 100 says.
  const IcuConfidence conf = icu_confidence(window);
  return conf.gb18030 >= conf.utf8;
}

}  // namespace

DetectedText detect_code_page(std::string_view bytes, EncodingChoice choice) {
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  const DetectedText utf8{&utf8_code_page(), bom ? kBom.size() : 0};
  switch (choice) {
    case EncodingChoice::Gbk:
      return {&gbk_code_page(), 0};
    case EncodingChoice::Utf8:
      return utf8;
    case EncodingChoice::Auto:
      break;
  }
  if (bom) return utf8;
  const Scan s = scan(bytes);
  switch (s.kind) {
    case Kind::Ascii:
      return {&code_page(), 0};
    case Kind::NotUtf8:
      return {&gbk_code_page(), 0};
    case Kind::Utf8:
      break;
  }
  return valid_utf8_is_gbk(s.window) ? DetectedText{&gbk_code_page(), 0} : utf8;
}

bool detection_settled_by(std::string_view head) {
  return head.substr(0, kBom.size()) == kBom || ascii_prefix(head) + kWindow < head.size();
}

}  // namespace lq
