// A fresh directory under the system's temporary directory, removed with everything in it
// when the test ends, and whole files in and out of it byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace lq::test {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Creates the parent directories as needed.
inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline mode_t mode_of(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "lqtest.XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "cannot create " << tmpl;
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    // Directories a test made read-only or unsearchable must not stop the clean-up.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      if (e.is_directory(ec)) ::chmod(e.path().c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Without a trailing "/".
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::directory_iterator(path_)) out.push_back(e.path().filename());
    return out;
  }

 private:
  std::string path_;
};

// A test with a TempDir of its own.
class TempDirTest : public ::testing::Test {
 protected:
  // Directory path with a trailing "/".
  std::string dir() const { return temp_.path() + "/"; }
  std::string path(std::string_view name) const { return temp_ / name; }

  std::string write(std::string_view name, std::string_view bytes) const {
    const std::string p = path(name);
    write_file(p, bytes);
    return p;
  }
  std::string read(std::string_view name) const { return read_file(path(name)); }

 private:
  TempDir temp_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace lq::test
