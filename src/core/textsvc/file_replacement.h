// A new version of a file written beside it and put in its place without ever leaving the
// file half-written: the new bytes go completely into a temporary file in the same
// directory (so the rename never crosses file systems), are on the disk before that file
// is renamed over the original, and the directory is synced after the rename so that the
// rename itself lasts. A crash, a power cut, a full disk or a killed process leaves either
// the old file or the new one.
//
// The steps are separate so that callers can write the new version a piece at a time and
// let many files share their waits for the disk.
#pragma once

#include <string>
#include <string_view>

namespace lq {

class FileReplacement {
 public:
  FileReplacement() = default;
  // Creates the temporary file beside `target` (the file finally replaced, links already
  // resolved); errors name the file `shown`. Throws RunError "Cannot create file ..." with
  // the system's reason.
  FileReplacement(const std::string& target, const std::string& shown);
  FileReplacement(FileReplacement&& o) noexcept { *this = std::move(o); }
  FileReplacement& operator=(FileReplacement&& o) noexcept;
  ~FileReplacement() { discard(); }

  // Whether a new version is waiting to be put in place.
  bool waiting() const { return fd_ >= 0; }

  // Every step below throws RunError "Cannot create file ..." with the system's reason
  // when it fails, the temporary file then removed and the original untouched.

  // Appends bytes to the new version.
  void write(std::string_view bytes);
  // Gives the new version these permission bits.
  void set_mode(unsigned mode);
  // Gives the new version this owner and group where the system allows it (only root may
  // give a file away; with group_if_refused the group alone is tried then). The content is
  // safe either way, so a refusal is no error. Changes nothing when they are already ours.
  void set_owner(unsigned uid, unsigned gid, bool group_if_refused);
  // Waits until the new version is on the disk (once).
  void sync();
  // Syncs it when not done yet and renames it over the target. The directory is synced
  // apart (sync_replaced_dir), once for all the files renamed into it.
  void rename_over();
  // Drops a waiting new version, leaving the original as it was.
  void discard();

 private:
  [[noreturn]] void fail(int err);

  std::string target_, shown_, tmp_;
  int fd_ = -1;
  bool synced_ = false;
};

// The directory of a file path, ending in "/"; "" for a bare name (the working directory).
std::string directory_of(const std::string& path);

// Makes the renames into `dir` (a directory_of answer) last. Throws RunError "Cannot sync
// directory ..." with the system's reason ("." standing for "").
void sync_replaced_dir(const std::string& dir);

}  // namespace lq
