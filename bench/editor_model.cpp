// Opens a large file in the editor model, types into it with an undo snapshot per
// keystroke, and compares the load with `wc -l` on the same file. The peak memory of a long
// typing session (thousands of keystrokes, the history bounded by its default limits) is
// the maximum resident size of a fresh process that only loads the file and types, so
// nothing the measuring process did before counts.
#include "core/editor/editor_model.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void make_file(const std::string& path, size_t bytes) {
  const char* words[] = {"alpha", "beta", "\xD6\xD0\xCE\xC4", "gamma", "\xB2\xE2\xCA\xD4",
                         "delta", "xyz"};
  std::mt19937 rng(1);
  std::string buf;
  std::ofstream out(path, std::ios::binary);
  size_t written = 0;
  while (written < bytes) {
    buf.clear();
    while (buf.size() < (1 << 20)) {
      int n = static_cast<int>(rng() % 21);
      for (int i = 0; i < n; ++i) {
        if (i) buf.push_back(' ');
        buf += words[rng() % 7];
      }
      buf += "\r\n";
    }
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    written += buf.size();
  }
}

double cpu_seconds(const rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double self_cpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return cpu_seconds(u);
}

// Wall time of `wc -l`; its processor time goes to *cpu.
double time_wc(const std::string& path, double* cpu = nullptr) {
  auto t = Clock::now();
  pid_t pid;
  std::string devnull = "/dev/null";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, devnull.c_str(), 0x1 /* O_WRONLY */, 0);
  char* argv[] = {const_cast<char*>("wc"), const_cast<char*>("-l"), const_cast<char*>(path.c_str()),
                  nullptr};
  if (posix_spawnp(&pid, "wc", &fa, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  if (cpu) *cpu = cpu_seconds(u);
  posix_spawn_file_actions_destroy(&fa);
  return seconds_since(t);
}

// Types `keys` characters into the middle of the document, each with its undo snapshot.
void type_into_middle(lq::EditorModel& m, int keys) {
  m.set_top_line(m.row_count() / 2);
  m.set_caret_row(0);
  m.set_caret_col(1);
  for (int i = 0; i < keys; ++i) m.type_char(static_cast<unsigned char>('a' + i % 26), false);
}

// The child's part: load, type, end. Answers the process's exit status.
int typing_session(const std::string& path, int keys) {
  lq::EditorModel m;
  if (!m.load_file(path)) return 1;
  type_into_middle(m, keys);
  return m.undo_list().empty() ? 1 : 0;
}

// Maximum resident size, in bytes, of a fresh copy of this program running typing_session;
// negative when it failed.
double session_peak_rss(const char* self, const std::string& path, int keys) {
  std::string n = std::to_string(keys);
  char* argv[] = {const_cast<char*>(self), const_cast<char*>("--session"),
                  const_cast<char*>(path.c_str()), n.data(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return static_cast<double>(u.ru_maxrss) * 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--session")
    return typing_session(argv[2], std::atoi(argv[3]));
  size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  std::string dir = argc > 2 ? argv[2] : "/tmp";
  std::string path = dir + "/lq_editor_bench_" + std::to_string(getpid()) + ".txt";
  make_file(path, mb << 20);
  std::ifstream sz(path, std::ios::binary | std::ios::ate);
  double file_bytes = static_cast<double>(sz.tellg());

  time_wc(path);  // warm the page cache for both
  std::vector<double> wc, load, wc_cpu, load_cpu;
  for (int i = 0; i < 5; ++i) {
    double c = 0;
    wc.push_back(time_wc(path, &c));
    wc_cpu.push_back(c);
    lq::EditorModel fresh;  // as when a file is opened in a new tab
    double c0 = self_cpu();
    auto t = Clock::now();
    if (!fresh.load_file(path)) {
      std::fprintf(stderr, "load failed\n");
      return 1;
    }
    load.push_back(seconds_since(t));
    load_cpu.push_back(self_cpu() - c0);
  }
  // A long session in a process of its own, before this one holds a document.
  const int session_keys = 5000;
  const double peak = session_peak_rss(argv[0], path, session_keys);
  if (peak < 0) {
    std::fprintf(stderr, "typing session failed\n");
    std::remove(path.c_str());
    return 1;
  }

  lq::EditorModel m;
  if (!m.load_file(path)) return 1;
  std::remove(path.c_str());

  // Time per keystroke in the middle of the document.
  const int keys = 200;
  auto t = Clock::now();
  type_into_middle(m, keys);
  double key_ms = seconds_since(t) * 1000.0 / keys;
  if (m.undo_list().size() != static_cast<size_t>(keys)) {
    std::fprintf(stderr, "expected %d undo records\n", keys);
    return 1;
  }

  std::printf("file: %.0f MB, %d rows\n", file_bytes / (1 << 20), m.row_count());
  std::printf("wc -l median: %.3f s, load_file median: %.3f s\n", median(wc), median(load));
  std::printf("processor time: wc -l %.3f s, load_file %.3f s (ratio %.2f)\n", median(wc_cpu),
              median(load_cpu), median(load_cpu) / std::max(median(wc_cpu), 1e-3));
  std::printf("keystroke (typing + snapshot): %.4f ms\n", key_ms);
  std::printf("peak memory after %d keystrokes: %.0f MB (history limits: %zu steps, %zu MB)\n",
              session_keys, peak / (1 << 20), m.undo_limits().steps, m.undo_limits().bytes >> 20);
  std::printf("RESULT load_vs_wc=%.2f keystroke_ms=%.4f keystrokes=%d peak_mem_vs_file=%.2f\n",
              median(load) / median(wc), key_ms, session_keys, peak / file_bytes);
  return 0;
}
