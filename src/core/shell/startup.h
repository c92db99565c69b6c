// Program start before any window: what the command line names, and the hand-off of it to
// a running window that asked for the files of later starts (single-window mode).
#pragma once

#include <string>
#include <vector>

namespace lq {

// The paths named by the arguments (argv[1..]). One argument is one path. Several are one
// path when, joined with blanks, they name an existing file or directory (a path with
// blanks split by a shell); otherwise each is a path of its own (a desktop passing several
// selected files). An argument that does not exist as given loses its quotes and outer
// blanks; empty ones are dropped. Relative paths are made absolute against the working
// directory, as they may be handed to a window that runs elsewhere.
std::vector<std::string> startup_paths_from_args(const std::vector<std::string>& args);

struct HandOff {
  bool ended = false;             // everything was handed over: end without a window
  std::vector<std::string> rest;  // the paths this process opens in its own window
};

// Takes the instance lock (instance_exists) and, when another copy runs with
// single-window mode on ("quorbeam_one_form" = 1), sends it each path, or one empty path
// when there is none. A path longer than the 260 bytes a message carries is never cut:
// then nothing is handed over and this process opens everything itself. Paths that could
// not be delivered because the window no longer listens stay with this process too.
HandOff hand_off(const std::vector<std::string>& paths, int timeout_ms = 10000);

}  // namespace lq
