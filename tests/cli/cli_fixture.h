// The command-line program run as a user runs it: from a temporary directory of its own,
// with the program's directory (LEXOQUILL_HOME) inside it and its output caught in files.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace lq::cli_test {

using test::read_file;
using test::write_file;

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended the program
  std::string out, err;
};

class CliTest : public ::testing::Test {
 protected:
  CliTest() { std::filesystem::create_directory(p("home")); }

  std::string p(std::string_view name) const { return temp_ / name; }

  // Runs the program in cwd (the temporary directory when empty); with file_limit, under
  // that file-size limit.
  Outcome run(std::vector<std::string> args, const std::string& cwd = {}, long file_limit = 0) {
    const std::string out = p("stdout"), err = p("stderr");
    const pid_t pid = start(std::move(args), out, err, cwd, file_limit);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), read_file(out),
            read_file(err)};
  }

  // Starts the program without waiting for it.
  pid_t start(std::vector<std::string> args, const std::string& out, const std::string& err,
              const std::string& cwd = {}, long file_limit = 0) {
    args.insert(args.begin(), LQ_BATCH_EXE);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("LEXOQUILL_HOME", p("home").c_str(), 1);
      const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (::chdir(cwd.empty() ? root.c_str() : cwd.c_str()) != 0 || o < 0 || e < 0 ||
          ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
        ::_exit(126);
      if (file_limit) {
        const struct rlimit lim = {static_cast<rlim_t>(file_limit),
                                   static_cast<rlim_t>(file_limit)};
        ::setrlimit(RLIMIT_FSIZE, &lim);
      }
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }

 private:
  test::TempDir temp_;

 protected:
  const std::string root = temp_.path();
};

}  // namespace lq::cli_test
