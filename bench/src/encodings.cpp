// Drives the encoding conversions over files for bench/encodings.
//   encodings_bench make SIZE_MB GBK_OUT UTF8_OUT   writes a Chinese test text in both forms
//   encodings_bench gbk2utf8 IN OUT                  GBK -> UTF-8, file to file
//   encodings_bench s2t IN OUT                       simplified -> traditional (GBK), file to file
//   encodings_bench s2t_phrase IN OUT                the same by phrases, line by line as a run
//   encodings_bench gb2big5 IN                       prints GBToBig5 throughput in MB/s
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/encoding/gb_big5.h"
#include "core/encoding/phrase_convert.h"
#include "core/encoding/simp_trad.h"

namespace {

std::string read_file(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  std::fseek(f, 0, SEEK_END);
  std::string data(static_cast<size_t>(std::ftell(f)), '\0');
  std::fseek(f, 0, SEEK_SET);
  size_t got = std::fread(data.data(), 1, data.size(), f);
  std::fclose(f);
  data.resize(got);
  return data;
}

void write_file(const char* path, const std::string& data) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path);
    std::exit(2);
  }
}

// Converts a file in blocks of about 1 MB cut after a line feed, which never is the second
// byte of a GBK character, so no character is split; streaming keeps the memory small, as a
// stream converter's does.
template <typename Convert>
void convert_file(const char* in_path, const char* out_path, Convert convert) {
  std::FILE* in = std::fopen(in_path, "rb");
  std::FILE* out = std::fopen(out_path, "wb");
  if (!in || !out) {
    std::fprintf(stderr, "cannot open %s or %s\n", in_path, out_path);
    std::exit(2);
  }
  std::string block(1 << 20, '\0');
  size_t carried = 0;
  for (;;) {
    size_t got = std::fread(block.data() + carried, 1, block.size() - carried, in);
    size_t filled = carried + got;
    if (filled == 0) break;
    size_t cut = filled;  // at the end of the file: the rest
    if (got > 0) {
      const void* lf = memrchr(block.data(), '\n', filled);
      if (!lf) {  // no line end yet: read on, with more room when the block is full
        if (filled == block.size()) block.resize(block.size() * 2);
        carried = filled;
        continue;
      }
      cut = static_cast<size_t>(static_cast<const char*>(lf) - block.data()) + 1;
    }
    std::string converted = convert(std::string_view(block.data(), cut));
    std::fwrite(converted.data(), 1, converted.size(), out);
    carried = filled - cut;
    std::memmove(block.data(), block.data() + cut, carried);
  }
  std::fclose(in);
  if (std::fclose(out) != 0) std::exit(2);
}

// Running Chinese prose stand-in: GB2312 level-1 ideographs (the frequent ones) with some
// level-2 ones, Chinese punctuation, a few ASCII words and numbers, lines of 20-100
// characters.
std::string make_text(size_t size) {
  std::mt19937 rng(7);
  std::string text;
  text.reserve(size + 256);
  const char* punct[] = {"\xA3\xAC", "\xA1\xA3", "\xA1\xA2", "\xA3\xBB", "\xA1\xB0", "\xA1\xB1"};
  while (text.size() < size) {
    int chars = 20 + static_cast<int>(rng() % 80);
    for (int k = 0; k < chars; ++k) {
      unsigned r = rng() % 100;
      if (r < 80) {
        text += static_cast<char>(0xB0 + rng() % 40);  // B0-D7: level 1
        text += static_cast<char>(0xA1 + rng() % 94);
        if (text[text.size() - 2] == '\xD7' && static_cast<unsigned char>(text.back()) >= 0xFA)
          text.back() = '\xA1';  // D7FA-D7FE are unassigned
      } else if (r < 88) {
        text += static_cast<char>(0xD8 + rng() % 32);  // level 2
        text += static_cast<char>(0xA1 + rng() % 94);
      } else if (r < 96) {
        text += punct[rng() % 6];
      } else {
        text += " 2024 GB ";
      }
    }
    text += '\n';
  }
  return text;
}

// Processor time, so that other work on the machine does not count.
double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "make" && argc == 5) {
    std::string gbk = make_text(static_cast<size_t>(std::atof(argv[2]) * 1024 * 1024));
    write_file(argv[3], gbk);
    write_file(argv[4], lq::code_page().to_utf8(gbk));
  } else if (mode == "gbk2utf8" && argc == 4) {
    convert_file(argv[2], argv[3], [](std::string_view b) { return lq::code_page().to_utf8(b); });
  } else if (mode == "s2t" && argc == 4) {
    convert_file(argv[2], argv[3], [](std::string_view b) { return lq::simp_to_trad(b); });
  } else if (mode == "s2t_phrase" && argc == 4) {
    // The converter is loaded once; each line goes to it on its own, as a run hands it over.
    const lq::PhraseConverter& conv = lq::PhraseConverter::get(true, lq::TradStandard::Common);
    std::int64_t kept = 0;
    convert_file(argv[2], argv[3], [&](std::string_view b) {
      std::string out;
      out.reserve(b.size() + b.size() / 4);
      for (size_t start = 0; start < b.size();) {
        size_t end = b.find('\n', start);
        end = end == std::string_view::npos ? b.size() : end + 1;
        out += conv.convert(b.substr(start, end - start), lq::code_page(), kept);
        start = end;
      }
      return out;
    });
  } else if (mode == "gb2big5" && argc == 3) {
    std::string text = read_file(argv[2]);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
      double t0 = cpu_seconds();
      std::string out = lq::GBToBig5(text);
      times.push_back(cpu_seconds() - t0);
      if (out.size() != text.size()) return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("%.0f\n", static_cast<double>(text.size()) / (1024 * 1024) / times[2]);
  } else {
    std::fprintf(stderr,
                 "usage: encodings_bench make SIZE_MB GBK UTF8 | gbk2utf8 IN OUT | s2t IN OUT | "
                 "s2t_phrase IN OUT | gb2big5 IN\n");
    return 2;
  }
  return 0;
}
