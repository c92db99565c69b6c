#include "core/textsvc/file_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "core/run_error.h"
#include "core/textsvc/file_replacement.h"
#include "core/textsvc/install_layout.h"
#include "core/textsvc/natural_order.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

std::string reason(int err) {
  return std::strerror(err);
}

// Closes a descriptor on every path out of a function.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

// Splits at LF and drops every CR. A line without CR, or with just the one before its LF
// (the usual cases), is copied in one piece. The strings already in lines are written over
// rather than freed and made again: a run loads file after file into the same list, and
// their buffers fit the next file's lines as often as not.
void split_bytes(std::string_view data, LineList& lines) {
  size_t count = 0;
  auto next_line = [&]() -> std::string& {
    if (count == lines.size()) lines.emplace_back();
    return lines[count++];
  };
  const char* p = data.data();
  const char* const end = p + data.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* stop = lf ? lf : end;
    const size_t len = static_cast<size_t>(stop - p);
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', len));
    std::string& line = next_line();
    if (cr == nullptr) {
      line.assign(p, len);
    } else if (cr == stop - 1) {
      line.assign(p, len - 1);
    } else {
      line.clear();
      const char* q = p;
      while (cr) {
        line.append(q, static_cast<size_t>(cr - q));
        q = cr + 1;
        cr = static_cast<const char*>(std::memchr(q, '\r', static_cast<size_t>(stop - q)));
      }
      line.append(q, static_cast<size_t>(stop - q));
    }
    if (!lf) {
      // The last, unterminated line counts only when something is left after the CRs.
      if (line.empty()) --count;
      break;
    }
    p = lf + 1;
  }
  lines.resize(count);
}

std::string with_slash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

bool is_dot_name(std::string_view name) {
  return name == "." || name == "..";
}

// A real directory, not a link to one: recursion never follows links, so a loop of links
// cannot make a scan endless.
bool is_real_dir(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> read_names(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
  ::closedir(d);
  // In the order a file manager shows them; the disk's own order means nothing to anyone.
  std::sort(names.begin(), names.end(), natural_less);
  return names;
}

void get_files_in(const std::string& dir, LineList& list, bool recurse,
                  const std::function<void()>* pump) {
  for (const std::string& name : read_names(dir)) {
    const std::string path = dir + name;
    if (recurse && !is_dot_name(trim(name)) && is_real_dir(path)) {
      if (pump && *pump) (*pump)();
      get_files_in(path + "/", list, true, nullptr);
    }
    if (file_exists(path)) list.push_back(path);
  }
}

void list_dir_in(const std::string& dir, LineList& list, bool recurse, std::string_view mode) {
  for (const std::string& name : read_names(dir)) {
    const std::string path = dir + name;
    if (recurse && !is_dot_name(trim(name)) && is_real_dir(path))
      list_dir_in(path + "/", list, true, mode);
    if (mode == "all") {
      if (!is_dot_name(name)) list.push_back(path);
    } else if (mode == "dir") {
      if (!is_dot_name(name) && dir_exists(path)) list.push_back(path);
    } else if (file_exists(path)) {
      list.push_back(path);
    }
  }
}

std::string extension_of(std::string_view name) {
  const std::string t = trim(name);
  const size_t slash = t.rfind('/');
  const size_t dot = t.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return lower_ascii(std::string_view(t).substr(dot));
}

bool writable_dir(const std::string& dir) {
  return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string exe_path() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long days_from_civil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

std::optional<std::string> read_file_bytes(const std::string& file_name, int* error) {
  auto failed = [error](int err) -> std::optional<std::string> {
    if (error) *error = err;
    return std::nullopt;
  };
  Fd f(::open(file_name.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.fd < 0) return failed(errno);
  struct stat st;
  if (::fstat(f.fd, &st) != 0) return failed(errno);
  if (S_ISDIR(st.st_mode)) return failed(EISDIR);
  // The size is only a hint: a file that grows or a /proc file of size 0 is read to its
  // end.
  std::string data;
  data.resize(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
  size_t have = 0;
  for (;;) {
    if (have == data.size()) data.resize(data.size() * 2);
    const ssize_t n = ::read(f.fd, data.data() + have, data.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failed(errno);
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  data.resize(have);
  return data;
}

std::string read_file_bytes_or_throw(const std::string& file_name) {
  int err = 0;
  std::optional<std::string> data = read_file_bytes(file_name, &err);
  if (!data) throw cannot_open_error(file_name, reason(err));
  return std::move(*data);
}

FilePieces::FilePieces(const std::string& file_name) : name_(file_name) {
  Fd f(::open(file_name.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.fd < 0) throw cannot_open_error(file_name, reason(errno));
  struct stat st;
  if (::fstat(f.fd, &st) != 0) throw cannot_open_error(file_name, reason(errno));
  if (S_ISDIR(st.st_mode)) throw cannot_open_error(file_name, reason(EISDIR));
  std::swap(fd_, f.fd);
}

FilePieces::~FilePieces() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FilePieces::read(std::string& out, size_t max) {
  const size_t start = out.size();
  out.resize(start + max);
  try {
    out.resize(start + read(out.data() + start, max));
  } catch (...) {
    out.resize(start);
    throw;
  }
  return out.size() - start;
}

size_t FilePieces::read(char* into, size_t max) {
  size_t have = 0;
  while (have < max) {
    const ssize_t n = ::read(fd_, into + have, max - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw cannot_open_error(name_, reason(errno));
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  return have;
}

void load_lines(const std::string& file_name, LineList& lines) {
  // Read everything before touching lines, so a failure leaves them as they were.
  split_bytes(read_file_bytes_or_throw(file_name), lines);
}

void get_files(const std::string& dir, LineList& list, bool recurse,
               const std::function<void()>& pump) {
  get_files_in(with_slash(dir), list, recurse, &pump);
}

void filter_by_ext(LineList& lines, const LineList& exts) {
  std::vector<std::string> wanted;
  wanted.reserve(exts.size());
  for (const std::string& e : exts) wanted.push_back(lower_ascii(trim(e)));
  LineList kept;
  for (std::string& line : lines) {
    const std::string ext = extension_of(line);
    for (const std::string& w : wanted) {
      if (w == ext) {
        kept.push_back(std::move(line));
        break;
      }
    }
  }
  lines = std::move(kept);
}

void filter_by_masks(LineList& lines, std::string_view masks) {
  LineList exts;
  split_str(replace_all(masks, "*", ""), exts, ";");
  filter_by_ext(lines, exts);
}

void list_dir(const std::string& dir, LineList& list, bool recurse, std::string_view mode) {
  list_dir_in(with_slash(dir), list, recurse, mode);
}

std::string program_path() {
  return exe_path();
}

std::string app_path() {
  if (const char* home = std::getenv("LEXOQUILL_HOME"); home && *home) {
    const std::string dir = with_slash(home);
    if (!dir_exists(dir)) force_dir(dir, false);
    return dir;
  }
  const std::string exe = exe_path();
  const size_t slash = exe.rfind('/');
  if (slash != std::string::npos) {
    const std::string dir = exe.substr(0, slash + 1);
    // An installed program never keeps its files beside itself, even when the prefix
    // happens to be writable (root, or a prefix in the user's home).
    if (installed_data_dir(dir).empty() && writable_dir(dir)) return dir;
  }
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = "/tmp";
  }
  const std::string dir = with_slash(base) + "lexoquill/";
  force_dir(dir, false);
  return dir;
}

void force_dir(const std::string& path, bool is_file) {
  std::string target = path;
  if (is_file) {
    const size_t slash = path.rfind('/');
    target = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  }
  if (target.empty()) throw RunError("Unable to create directory");
  // Parents first; each mkdir failure other than "exists" shows up at the write that
  // follows, which names the file.
  for (size_t k = 1; k <= target.size(); ++k) {
    if (k == target.size() || target[k] == '/') {
      const std::string part = target.substr(0, k);
      if (!dir_exists(part)) ::mkdir(part.c_str(), 0777);
    }
  }
}

void shell_open(const std::string& target) {
  // Double fork: the opener is adopted by init, so it outlives us and leaves no zombie.
  const pid_t child = ::fork();
  if (child < 0) return;
  if (child == 0) {
    ::setsid();
    if (::fork() == 0) {
      const int null_fd = ::open("/dev/null", O_RDWR);
      if (null_fd >= 0) {
        ::dup2(null_fd, 0);
        ::dup2(null_fd, 1);
        ::dup2(null_fd, 2);
      }
      const char* opener = std::getenv("LEXOQUILL_OPENER");
      if (!opener || !*opener) opener = "xdg-open";
      ::execlp(opener, opener, target.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

ReplacingFile::ReplacingFile(const std::string& path) : path_(path), real_(path) {
  // Replace the target of a link, not the link itself.
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    real_ = resolved;
    std::free(resolved);
  }
  struct stat st;
  if (::stat(real_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw cannot_create_error(path, reason(EISDIR));
    mode_ = (st.st_mode & 07777) | S_IWUSR;
    existed_ = true;
    uid_ = st.st_uid;
    gid_ = st.st_gid;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_ = 0666 & ~mask;
  }
  file_ = FileReplacement(real_, path);
}

ReplacingFile::~ReplacingFile() = default;

void ReplacingFile::write(std::string_view bytes) {
  if (!file_.waiting()) throw cannot_create_error(path_, reason(EBADF));
  constexpr size_t kBuffer = 1 << 20;
  if (buffer_.size() + bytes.size() > kBuffer) {
    file_.write(buffer_);
    buffer_.clear();
  }
  if (bytes.size() >= kBuffer)
    file_.write(bytes);
  else
    buffer_.append(bytes);
}

void ReplacingFile::commit() {
  if (!file_.waiting()) throw cannot_create_error(path_, reason(EBADF));
  file_.write(buffer_);
  buffer_ = {};
  file_.set_mode(mode_);
  // Keep the owner and group where allowed; a file of another user becomes ours otherwise.
  if (existed_) file_.set_owner(uid_, gid_, false);
  file_.rename_over();
  sync_replaced_dir(directory_of(real_));
}

void write_file_atomically(const std::string& path, std::string_view bytes) {
  ReplacingFile file(path);
  file.write(bytes);
  file.commit();
}

void save_lines(const std::string& path, const LineList& lines) {
  size_t total = 0;
  for (const std::string& l : lines) total += l.size() + 2;
  std::string data;
  data.reserve(total);
  for (const std::string& l : lines) {
    data.append(l);
    data.append("\r\n");
  }
  write_file_atomically(path, data);
}

bool file_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool dir_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace file_util {

void force_dir(const std::string& path, bool is_file) {
  lq::force_dir(path, is_file);
}

std::string cmd_line(bool strip_quotes) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  LineList parts;
  split_str(raw, parts, std::string_view("\0", 1));
  // parts: argv[0], argv[1], ..., and the empty piece after the final NUL.
  for (size_t k = 1; k + 1 < parts.size(); ++k) args.push_back(parts[k]);
  return cmd_line(args, strip_quotes);
}

std::string cmd_line(const std::vector<std::string>& args, bool strip_quotes) {
  std::string out;
  for (const std::string& a : args) {
    out.push_back(' ');
    out.append(a);
  }
  return strip_quotes ? replace_all(out, "\"", "") : out;
}

double file_time(const std::string& file_name) {
  struct stat st;
  if (::stat(file_name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  std::tm tm{};
  const std::time_t t = st.st_mtime;
  if (!::localtime_r(&t, &tm)) return -1;
  const long long year = tm.tm_year + 1900LL;
  if (year < 1980 || year > 2107) return -1;
  const long long days = days_from_civil(year, static_cast<unsigned>(tm.tm_mon + 1),
                                         static_cast<unsigned>(tm.tm_mday)) -
                         days_from_civil(1899, 12, 30);
  const int seconds = tm.tm_hour * 3600 + tm.tm_min * 60 + (tm.tm_sec / 2) * 2;
  return static_cast<double>(days) + seconds / 86400.0;
}

}  // namespace file_util

}  // namespace lq
