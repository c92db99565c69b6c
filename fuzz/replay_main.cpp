// A stand-in for the fuzzer's driver, built with the normal compiler: feeds a target every
// file of the corpus directories it is given, then deterministic pseudo-random inputs
// (fresh bytes, and corpus files with bytes changed, cut or joined), so the test suite
// checks each target's invariants without clang.
//
//   NAME_replay [-runs=N] [-seed=S] DIR|FILE...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Bytes the parsers give meaning to, so random inputs reach past the first checks.
constexpr char kSpecial[] =
    "\r\n\t\0 =;,.[]<>\"'\\/*?()|+^$#%&{}-_0123456789abAB\x81\xA1\xB0\xFE\xFF\x40\x7E";

struct Rng {
  uint64_t s;
  uint64_t next() {  // splitmix64
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }
};

char random_byte(Rng& rng) {
  if (rng.below(2)) return kSpecial[rng.below(sizeof kSpecial - 1)];
  return static_cast<char>(rng.next() & 0xFF);
}

std::string make_input(Rng& rng, const std::vector<std::string>& corpus) {
  std::string s;
  if (corpus.empty() || rng.below(3) == 0) {
    const size_t n = rng.below(rng.below(8) == 0 ? 4096 : 96);
    for (size_t i = 0; i < n; ++i) s += random_byte(rng);
    return s;
  }
  s = corpus[rng.below(corpus.size())];
  for (size_t edits = 1 + rng.below(6); edits > 0; --edits) {
    const size_t at = rng.below(s.size() + 1);
    switch (rng.below(4)) {
      case 0:  // change a byte
        if (at < s.size()) s[at] = random_byte(rng);
        break;
      case 1:  // insert a byte
        s.insert(at, 1, random_byte(rng));
        break;
      case 2:  // cut a piece
        s.erase(at, rng.below(16));
        break;
      default: {  // join a piece of another input
        const std::string& o = corpus[rng.below(corpus.size())];
        const size_t from = rng.below(o.size() + 1);
        s.insert(at, o.substr(from, rng.below(64)));
      }
    }
  }
  return s;
}

void run(const std::string& s) {
  // A copy of exactly the input's size, so reading past its end is caught by the sanitizers.
  std::vector<uint8_t> buf(s.begin(), s.end());
  LLVMFuzzerTestOneInput(buf.data(), buf.size());
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 3000;
  uint64_t seed = 1;
  std::vector<std::string> corpus;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("-runs=", 0) == 0) {
      runs = std::stol(arg.substr(6));
      continue;
    }
    if (arg.rfind("-seed=", 0) == 0) {
      seed = std::stoull(arg.substr(6));
      continue;
    }
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(arg)) {
      for (const auto& e : std::filesystem::directory_iterator(arg))
        if (e.is_regular_file()) files.push_back(e.path());
    } else {
      files.emplace_back(arg);
    }
    std::sort(files.begin(), files.end());  // the same order on every machine
    for (const auto& f : files) {
      std::ifstream in(f, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "cannot read %s\n", f.c_str());
        return 2;
      }
      corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  for (const std::string& s : corpus) run(s);
  Rng rng{seed};
  for (long i = 0; i < runs; ++i) run(make_input(rng, corpus));
  std::printf("%zu corpus inputs and %ld generated inputs passed\n", corpus.size(), runs);
  return 0;
}
