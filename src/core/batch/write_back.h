// Writing a processed document back over its file without ever leaving it half-written:
// the new bytes go completely into a temporary file in the same directory, which is then
// renamed over the original. A crash, a full disk or a killed process leaves either the
// old file or the new one.
//
// The two halves are separate so that a parallel run can prepare files ahead and still
// put them in place strictly in list order.
#pragma once

#include <string>
#include <string_view>

namespace lq {

// New content waiting beside its file. Destroying it without commit() removes the
// temporary file and leaves the original as it was.
class PendingWrite {
 public:
  PendingWrite() = default;
  PendingWrite(PendingWrite&& o) noexcept { *this = std::move(o); }
  PendingWrite& operator=(PendingWrite&& o) noexcept;
  ~PendingWrite() { discard(); }

  // Whether the file's content changes.
  bool changed() const { return changed_; }
  // The file that commit() replaces (links resolved).
  const std::string& target() const { return target_; }

  // Puts the new content in place (or, for unchanged content, only makes the file
  // writable). Throws RunError "Cannot create file ..." with the system's reason.
  void commit();
  void discard();

 private:
  friend PendingWrite prepare_write_back1(const std::string&, std::string_view, bool);
  std::string path_;    // as the caller named it, for messages
  std::string target_;  // the file finally replaced (links resolved)
  std::string tmp_;     // the temporary file, empty when there is none
  unsigned mode_ = 0;
  bool changed_ = false;
  bool make_writable_ = false;
};

// Prepares replacing the content of the existing file `path` with `bytes`. A symbolic
// link is followed and its target replaced. The new file keeps the original's permission
// bits with write permission for the owner added (a read-only file is made writable
// first, as Start always did), and its owner and group where the system allows. A file
// that already holds exactly these bytes is not rewritten, only made writable. With
// dry_run nothing on disk is touched, now or at commit. Throws RunError "Cannot create
// file ..." with the system's reason; the original is untouched and no temporary file is
// left behind.
PendingWrite prepare_write_back1(const std::string& path, std::string_view bytes,
                                 bool dry_run = false);

// Both halves at once; answers whether the content changed.
bool write_back1(const std::string& path, std::string_view bytes, bool dry_run = false);

}  // namespace lq
