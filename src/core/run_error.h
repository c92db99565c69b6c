// Errors that end a batch run. Their message is the exact text the user is shown.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lq {

class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "'%s' is not a valid integer value" with the offending text in place of %s.
inline RunError invalid_integer_error(std::string_view text) {
  return RunError("'" + std::string(text) + "' is not a valid integer value");
}

// "Cannot create file \"%s\". %s": the file name and the system's reason.
inline RunError cannot_create_error(std::string_view file, std::string_view reason) {
  return RunError("Cannot create file \"" + std::string(file) + "\". " + std::string(reason));
}

// "Cannot open file \"%s\". %s": a file that could not be opened or read.
inline RunError cannot_open_error(std::string_view file, std::string_view reason) {
  return RunError("Cannot open file \"" + std::string(file) + "\". " + std::string(reason));
}

// "Cannot sync directory \"%s\". %s": the directory whose entries could not be made
// durable (a file renamed into it may not survive a crash).
inline RunError cannot_sync_dir_error(std::string_view dir, std::string_view reason) {
  return RunError("Cannot sync directory \"" + std::string(dir) + "\". " + std::string(reason));
}

}  // namespace lq
