#include "core/encoding/phrase_convert.h"

#include <Config.hpp>
#include <ConversionChain.hpp>
#include <Converter.hpp>
#include <Exception.hpp>
#include <Segmentation.hpp>
#include <Segments.hpp>
#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"

namespace lq {
namespace {

const unsigned char* bytes_of(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

bool all_ascii(std::string_view s) {
  return ascii_prefix(s) == s.size();
}

// The characters of well-formed UTF-8 text.
size_t count_chars(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

size_t utf8_len(unsigned char lead) {
  return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
}

// Cuts text into runs of characters the library may see (emit(run, true)) and single bytes
// it must not (emit(byte, false)): it stops at a NUL byte and refuses what is not UTF-8.
// char_len(i) is the length of the character at i, 0 for such a byte.
template <class CharLen, class Emit>
void runs(std::string_view text, CharLen char_len, Emit emit) {
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const size_t len = char_len(i);
    if (len > 0) {
      i += len;
      continue;
    }
    if (i > start) emit(text.substr(start, i - start), true);
    emit(text.substr(i, 1), false);
    start = ++i;
  }
  if (i > start) emit(text.substr(start, i - start), true);
}

}  // namespace

PhraseConverter::PhraseConverter(std::shared_ptr<const opencc::Converter> impl)
    : impl_(std::move(impl)) {}

const char* PhraseConverter::config_name(bool to_traditional, TradStandard standard) {
  switch (standard) {
    case TradStandard::Taiwan:
      return to_traditional ? "s2tw.json" : "tw2s.json";
    case TradStandard::HongKong:
      return to_traditional ? "s2hk.json" : "hk2s.json";
    case TradStandard::Common:
      break;
  }
  return to_traditional ? "s2t.json" : "t2s.json";
}

const PhraseConverter& PhraseConverter::get(bool to_traditional, TradStandard standard) {
  static std::mutex m;
  static std::map<std::string, std::unique_ptr<PhraseConverter>> loaded;
  const std::string name = config_name(to_traditional, standard);
  std::lock_guard lock(m);
  std::unique_ptr<PhraseConverter>& slot = loaded[name];
  if (!slot) {
    try {
      // A bare name is looked up in the library's data directory.
      opencc::Config config;
      slot = std::make_unique<PhraseConverter>(config.NewFromFile(name));
    } catch (const opencc::Exception& e) {
      loaded.erase(name);
      throw PhraseDataError(name, e.what());
    }
  }
  return *slot;
}

// Valid UTF-8 without NUL bytes, converted as the library's own converter does.
void PhraseConverter::convert_run(std::string_view utf8, std::string& out) const {
  const opencc::SegmentsPtr in = impl_->GetSegmentation()->Segment(std::string(utf8));
  const opencc::SegmentsPtr conv = impl_->GetConversionChain()->Convert(in);
  for (const char* segment : *conv) out += segment;
}

// The UTF-8 form of text of a byte code page (GBK), without NUL bytes. The library
// converts it phrase by phrase and each converted phrase goes back to the code page; a
// character of it that the page lacks is written as it was in the source where the phrase
// keeps its number of characters, and otherwise the whole phrase is.
void PhraseConverter::convert_page_run(const CodePage& page, std::string_view utf8,
                                       std::string& out, std::int64_t& kept) const {
  const opencc::SegmentsPtr in = impl_->GetSegmentation()->Segment(std::string(utf8));
  const opencc::SegmentsPtr conv = impl_->GetConversionChain()->Convert(in);
  std::string all;
  all.reserve(utf8.size());
  for (const char* segment : *conv) all += segment;
  // The page writes "?" for what it cannot hold; the library never adds or drops one.
  std::string bytes = page.from_utf8(all);
  if (std::count(bytes.begin(), bytes.end(), '?') == std::count(utf8.begin(), utf8.end(), '?')) {
    out += bytes;
    return;
  }
  std::string missing;
  auto fits = [&](std::string_view c) { return page.from_utf8_exact(c, bytes, missing); };
  for (size_t i = 0; i < conv->Length(); ++i) {
    const std::string_view to = conv->At(i);
    if (fits(to)) {
      out += bytes;
      continue;
    }
    const std::string_view from = in->At(i);
    const bool aligned = count_chars(from) == count_chars(to);
    for (size_t a = 0, b = 0; b < to.size();) {
      const size_t la = aligned ? utf8_len(static_cast<unsigned char>(from[a])) : 0;
      const size_t lb = utf8_len(static_cast<unsigned char>(to[b]));
      const bool fit = fits(to.substr(b, lb));
      if (aligned) out += page.from_utf8(fit ? to.substr(b, lb) : from.substr(a, la));
      kept += !fit;
      a += la;
      b += lb;
    }
    if (!aligned) out += page.from_utf8(from);
  }
}

std::string PhraseConverter::convert(std::string_view text, const CodePage& page,
                                     std::int64_t& kept) const {
  const bool has_nul = text.find('\0') != std::string_view::npos;
  if (!has_nul && all_ascii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  const unsigned char* p = bytes_of(text);
  try {
    if (&page == &utf8_code_page()) {
      auto char_len = [&](size_t i) -> size_t {
        if (p[i] == 0) return 0;
        if (p[i] < 0x80) return 1;
        return well_formed_utf8(p + i, text.size() - i);
      };
      runs(text, char_len, [&](std::string_view run, bool ok) {
        if (ok && !all_ascii(run))
          convert_run(run, out);
        else
          out += run;
      });
      return out;
    }
    static constexpr std::string_view kUndecodable = "\xEF\xBF\xBD";
    const std::string utf8 = page.to_utf8(text);
    if (!has_nul && utf8.find(kUndecodable) == std::string::npos) {
      convert_page_run(page, utf8, out, kept);
      return out;
    }
    // Bytes that form no character of the page (rare): the runs between them.
    auto char_len = [&](size_t i) -> size_t {
      if (p[i] == 0) return 0;
      if (p[i] < 0x80) return 1;
      const size_t len = page.char_len_at(text, i);
      return page.to_utf8(text.substr(i, len)) == kUndecodable ? 0 : len;
    };
    runs(text, char_len, [&](std::string_view run, bool ok) {
      if (ok && !all_ascii(run))
        convert_page_run(page, page.to_utf8(run), out, kept);
      else
        out += run;
    });
  } catch (const opencc::Exception& e) {
    throw std::runtime_error(e.what());
  }
  return out;
}

}  // namespace lq
