#include "core/shell/startup.h"

#include <unistd.h>

#include <climits>

#include "core/shell/handoff_client.h"
#include "core/shell/handoff_message.h"
#include "core/shell/instance_lock.h"
#include "core/shell/shared_values.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

bool exists(const std::string& path) {
  return file_exists(path) || dir_exists(path);
}

// A window started elsewhere has another working directory: a path given relative to ours
// must arrive whole.
std::string absolute(std::string path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  std::string base(cwd);
  if (base.back() != '/') base += '/';
  return base + path;
}

}  // namespace

std::vector<std::string> startup_paths_from_args(const std::vector<std::string>& args) {
  std::vector<std::string> out;
  if (args.size() > 1) {
    const std::string joined = trim(file_util::cmd_line(args, true));
    if (exists(joined)) return {absolute(joined)};
  }
  for (const std::string& a : args) {
    std::string p = exists(a) ? a : trim(file_util::cmd_line({a}, true));
    if (!p.empty()) out.push_back(absolute(std::move(p)));
  }
  return out;
}

HandOff hand_off(const std::vector<std::string>& paths, int timeout_ms) {
  HandOff keep{false, paths};
  if (!instance_exists("")) return keep;
  if (shared_mem::get_share_handle(shared_mem::kOneForm) != 1) return keep;
  for (const std::string& p : paths)
    if (p.size() > kMaxHandoffPath) return keep;

  const std::string socket =
      handoff_socket_path(shared_mem::get_share_handle(shared_mem::kMainForm));
  const std::vector<std::string> messages = paths.empty() ? std::vector<std::string>{""} : paths;
  std::size_t done = 0;
  for (; done < messages.size(); ++done) {
    // A message sent but not confirmed may still arrive: it is not sent again.
    if (send_handoff(socket, messages[done], timeout_ms) == HandoffResult::kUnreachable) break;
  }
  if (done == messages.size()) return {true, {}};
  if (done == 0) return keep;
  return {false, std::vector<std::string>(paths.begin() + static_cast<long>(done), paths.end())};
}

}  // namespace lq
