// A fresh directory per test, removed afterwards, with small file helpers.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lq::testing_support {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "lq-test-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only directories made by a test must not stop the clean-up.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      if (e.is_directory(ec)) chmod(e.path().c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::directory_iterator(path_)) out.push_back(e.path().filename());
    return out;
  }

 private:
  std::string path_;
};

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline mode_t mode_of(const std::string& path) {
  struct stat st;
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

}  // namespace lq::testing_support
