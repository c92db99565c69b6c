// Times load_lines against a plain std::getline reader over the same file.
// Usage: load_lines_bench FILE
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/textsvc/file_services.h"

namespace {

void getline_reader(const std::string& name, lq::LineList& lines) {
  lines.clear();
  std::ifstream in(name, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    lines.push_back(line);
  }
}

template <class F>
double median_ms(F f) {
  std::vector<double> t;
  for (int k = 0; k < 7; ++k) {
    const auto a = std::chrono::steady_clock::now();
    f();
    t.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string name = argv[1];
  lq::LineList ours, theirs;
  const double our_ms = median_ms([&] { lq::load_lines(name, ours); });
  const double ref_ms = median_ms([&] { getline_reader(name, theirs); });
  if (ours != theirs) {
    std::fprintf(stderr, "line lists differ\n");
    return 1;
  }
  std::printf("lines=%zu ours_ms=%.2f getline_ms=%.2f\n", ours.size(), our_ms, ref_ms);
  std::printf("RESULT lines=%zu ours_ms=%.2f reference_ms=%.2f ratio=%.3f\n", ours.size(), our_ms,
              ref_ms, our_ms / ref_ms);
  return 0;
}
