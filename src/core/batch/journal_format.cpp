#include "core/batch/journal_format.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "core/textsvc/disk_sync.h"
#include "core/textsvc/file_services.h"

namespace lq {
namespace {

std::vector<std::string> fields(std::string_view line) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < line.size()) {
    const size_t sp = line.find(' ', at);
    const size_t end = sp == std::string_view::npos ? line.size() : sp;
    out.emplace_back(line.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

bool is_hash(std::string_view h, DigestKind kind) {
  return h.size() == hash_digits(kind) && std::all_of(h.begin(), h.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

std::optional<long long> number(std::string_view s, int base = 10) {
  if (s.empty() || s.size() > 18) return std::nullopt;
  long long v = 0;
  for (char c : s) {
    const int d = c >= '0' && c <= '9' ? c - '0' : 99;
    if (d >= base) return std::nullopt;
    v = v * base + d;
  }
  return v;
}

// A stored copy's name must stay inside the run's directory.
bool plain_name(std::string_view s) {
  return !s.empty() && s != "." && s != ".." && s.find('/') == std::string_view::npos;
}

std::optional<std::string> read_text(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string out;
  char buf[1 << 14];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

unsigned long long dir_size(const std::string& dir) {
  // An ended run notes its size, so that listing many runs of many files does not look at
  // each of their files again; the note is trusted only when it is whole.
  if (const std::optional<std::string> noted = read_text(dir + kJournalSizeName))
    if (noted->ends_with('\n'))
      if (const auto n = number(std::string_view(*noted).substr(0, noted->size() - 1)))
        return static_cast<unsigned long long>(*n);
  unsigned long long total = 0;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  while (dirent* e = ::readdir(d)) {
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      total += static_cast<unsigned long long>(st.st_size);
  }
  ::closedir(d);
  return total;
}

// "20261210-114800-3" → ("20261210-114800", 3); no suffix counts as 1.
std::pair<std::string_view, long long> id_parts(std::string_view id) {
  constexpr size_t kStamp = 15;
  if (id.size() > kStamp + 1 && id[kStamp] == '-')
    if (auto n = number(id.substr(kStamp + 1))) return {id.substr(0, kStamp), *n};
  return {id, 1};
}

}  // namespace

void note_journal_run_size(const std::string& run_dir) {
  const std::string text = std::to_string(dir_size(run_dir)) + "\n";
  const std::string path = run_dir + kJournalSizeName;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // A note cut short is ignored: the size is then counted again.
  if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    (void)!::ftruncate(fd, 0);
  ::close(fd);
}

std::string run_journal_dir() {
  return app_path() + kJournalDirName + "/";
}

std::string escape_journal_path(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (c <= 0x20 || c == 0x7F || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string unescape_journal_path(std::string_view text) {
  std::string out;
  auto hex = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '%' && k + 2 < text.size() && hex(text[k + 1]) >= 0 && hex(text[k + 2]) >= 0) {
      out += static_cast<char>(hex(text[k + 1]) * 16 + hex(text[k + 2]));
      k += 2;
    } else {
      out += text[k];
    }
  }
  return out;
}

std::optional<JournalRun> read_journal_run(const std::string& run_dir, bool records) {
  auto text = read_text(run_dir + kJournalFileName);
  if (!text) return std::nullopt;
  std::istringstream in(*text);
  std::string line;
  if (!std::getline(in, line) || (line != kJournalMagic && line != kJournalMagicSha256))
    return std::nullopt;
  JournalRun run;
  run.digest = line == kJournalMagic ? kJournalDigest : DigestKind::Sha256;
  run.dir = run_dir;
  std::string name = run_dir.substr(0, run_dir.size() - 1);
  run.id = name.substr(name.rfind('/') + 1);
  if (!records) {
    run.bytes = dir_size(run_dir);
    return run;
  }
  // Only whole lines count: the last one may have been cut short by a crash.
  const bool ends_whole = text->ends_with('\n');
  size_t seen = line.size() + 1;
  while (std::getline(in, line)) {
    seen += line.size() + 1;
    if (seen > text->size() && !ends_whole) break;
    const std::vector<std::string> f = fields(line);
    if (f.empty()) continue;
    if (f[0] == "started" && f.size() == 2) {
      run.started = number(f[1]).value_or(0);
    } else if (f[0] == "R" && f.size() == 6 && plain_name(f[1]) && is_hash(f[3], run.digest) &&
               is_hash(f[4], run.digest) && number(f[2], 8)) {
      run.files.push_back({false, unescape_journal_path(f[5]), f[1],
                           static_cast<unsigned>(*number(f[2], 8) & 07777), f[3], f[4]});
    } else if (f[0] == "C" && f.size() == 3 && is_hash(f[1], run.digest)) {
      run.files.push_back({true, unescape_journal_path(f[2]), {}, 0, {}, f[1]});
    } else if (f[0] == "end" && f.size() >= 2) {
      run.end = f[1];
    } else if (f[0] == "undone") {
      run.undone = true;
    }
  }
  run.bytes = dir_size(run_dir);
  return run;
}

bool run_id_before(std::string_view a, std::string_view b) {
  auto pa = id_parts(a), pb = id_parts(b);
  if (pa.first != pb.first) return pa.first < pb.first;
  return pa.second < pb.second;
}

std::vector<JournalRun> list_journal_runs(const std::string& journal_dir, bool records) {
  std::vector<JournalRun> runs;
  DIR* d = ::opendir(journal_dir.c_str());
  if (!d) return runs;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (auto run = read_journal_run(journal_dir + name + "/", records))
      runs.push_back(std::move(*run));
  }
  ::closedir(d);
  std::sort(runs.begin(), runs.end(),
            [](const JournalRun& a, const JournalRun& b) { return run_id_before(b.id, a.id); });
  return runs;
}

bool append_journal_line(int fd, std::string_view line, bool sync) {
  std::string data(line);
  data += '\n';
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return !sync || sync_file_data(fd);
}

}  // namespace lq
