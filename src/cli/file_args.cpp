#include "cli/file_args.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/run/run_context.h"
#include "core/textsvc/file_services.h"

namespace lq::cli {
namespace {

std::string quoted(const std::string& path) {
  return "'" + path + "'";
}

// Opening the directory is the one way to learn the reason get_files would swallow.
void check_readable_dir(const std::string& path) {
  DIR* d = opendir(path.c_str());
  if (!d) throw PathError("cannot read directory " + quoted(path) + ": " + std::strerror(errno));
  closedir(d);
}

bool has_subdirectory(const std::string& path) {
  LineList dirs;
  list_dir(path, dirs, false, "dir");
  return !dirs.empty();
}

std::string joined(const LineList& exts) {
  std::string s;
  for (const std::string& e : exts) s += (s.empty() ? "" : " ") + e;
  return s;
}

}  // namespace

LineList collect_files(const std::vector<std::string>& paths, bool recursive, const LineList& exts,
                       std::vector<std::string>& notes) {
  // Every path is checked before any directory is scanned, so a typo at the end of a long
  // command line is reported at once.
  for (const std::string& path : paths) {
    if (path == kClipboardEntry) continue;
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
      throw PathError("cannot access " + quoted(path) + ": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
      check_readable_dir(path);
    else if (!S_ISREG(st.st_mode))
      throw PathError(quoted(path) + " is neither a regular file nor a directory");
  }
  LineList files;
  for (const std::string& path : paths) {
    if (!dir_exists(path)) {
      files.push_back(path);
      continue;
    }
    LineList found;
    get_files(path, found, recursive);
    const size_t all = found.size();
    filter_by_ext(found, exts);
    if (found.empty()) {
      std::string why;
      if (all > 0)
        why = "none of its " + std::to_string(all) + " file" + (all == 1 ? "" : "s") +
              " has an extension of the list (" + joined(exts) + "); --ext sets the list";
      else if (!recursive && has_subdirectory(path))
        why = "it holds no files, only subdirectories; -r takes those";
      else
        why = recursive ? "it and its subdirectories hold no files" : "it holds no files";
      notes.push_back("no files to process in " + quoted(path) + ": " + why);
    }
    files.insert(files.end(), found.begin(), found.end());
  }
  if (files.empty()) {
    if (notes.size() != 1) throw PathError("no files to process");
    const std::string only = notes.front();
    notes.clear();
    throw PathError(only);
  }
  return files;
}

}  // namespace lq::cli
