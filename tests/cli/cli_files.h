// Whole files in and out, byte for byte, for the command-line tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace lq::cli_test {

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void spill(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace lq::cli_test
