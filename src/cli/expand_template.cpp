#include "cli/expand_template.h"

#include <cerrno>
#include <cstring>

#include "core/operations/template_expand.h"
#include "core/textsvc/file_services.h"

namespace lq::cli {
namespace {

bool read_all(const std::string& path, std::string& bytes, std::string& reason) {
  int err = 0;
  std::optional<std::string> read = read_file_bytes(path, &err);
  if (!read) {
    reason = std::strerror(err);
    return false;
  }
  bytes = std::move(*read);
  return true;
}

}  // namespace

int run_expand_template(const std::string& template_file, const std::string& params_file,
                        std::FILE* out, std::FILE* err) {
  std::string tmpl, params, reason;
  for (auto [path, dest] : {std::pair{&template_file, &tmpl}, std::pair{&params_file, &params}}) {
    if (!read_all(*path, *dest, reason)) {
      std::fprintf(err, "lexoquill-batch: cannot read '%s': %s\n", path->c_str(), reason.c_str());
      return 1;
    }
  }
  std::string expanded = expand_template_text(params, tmpl);
  if (std::fwrite(expanded.data(), 1, expanded.size(), out) != expanded.size() ||
      std::fflush(out) != 0) {
    std::fprintf(err, "lexoquill-batch: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

}  // namespace lq::cli
