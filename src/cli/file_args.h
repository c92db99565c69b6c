// The file list of a run from the PATH arguments: a file is taken as it is, a directory
// gives its files filtered by the extension list. What the user named must be there: a
// path that does not exist or a directory that cannot be read ends the command before
// anything is touched.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/textsvc/line_list.h"

namespace lq::cli {

// A PATH that cannot be used; the message names it and the reason. Exit status 1.
class PathError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The entries to process, in argument order. A directory that yields no file is named in
// `notes` with the reason (empty, or no name with a listed extension); when no entry is
// left at all, PathError. "<剪贴板>" passes as it is.
LineList collect_files(const std::vector<std::string>& paths, bool recursive, const LineList& exts,
                       std::vector<std::string>& notes);

}  // namespace lq::cli
