// Phrase-aware conversion between simplified and traditional characters, by the OpenCC
// library and its dictionaries: 复杂 becomes 複雜 and 恢复 恢復, where a character table
// can give 复 only one form. The text is cut into the longest phrases the dictionaries
// know, and each phrase is converted as a whole.
//
// A converter reads its dictionaries once and is kept for the rest of the process, so a
// run pays for loading them once, whatever the number of pieces it converts.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace opencc {
class Converter;
}

namespace lq {

class CodePage;

// The traditional characters a conversion writes (to traditional) or reads (to
// simplified): the dictionaries' common forms, or those of Taiwan or Hong Kong.
enum class TradStandard { Common, Taiwan, HongKong };

// The dictionaries of a converter could not be loaded (the data files are missing).
class PhraseDataError : public std::runtime_error {
 public:
  PhraseDataError(std::string config, const std::string& reason)
      : std::runtime_error(config + ": " + reason), config(std::move(config)) {}
  std::string config;  // the configuration file that failed, e.g. "s2t.json"
};

class PhraseConverter {
 public:
  // The converter of a direction and standard, loaded on first use and kept. Safe to
  // call from several threads. Throws PhraseDataError.
  static const PhraseConverter& get(bool to_traditional, TradStandard standard);

  // The library's configuration file of a direction and standard ("s2tw.json").
  static const char* config_name(bool to_traditional, TradStandard standard);

  // `text` in `page` (GBK or UTF-8) converted. Bytes that form no character of the page,
  // and NUL bytes, are copied as they are. A character whose converted form the page
  // cannot hold keeps its own form and is added to `kept`. Safe to call from several
  // threads at once.
  std::string convert(std::string_view text, const CodePage& page, std::int64_t& kept) const;

  explicit PhraseConverter(std::shared_ptr<const opencc::Converter> impl);

 private:
  void convert_run(std::string_view utf8, std::string& out) const;
  void convert_page_run(const CodePage& page, std::string_view utf8, std::string& out,
                        std::int64_t& kept) const;

  std::shared_ptr<const opencc::Converter> impl_;
};

}  // namespace lq
