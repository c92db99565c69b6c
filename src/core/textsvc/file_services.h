// The program's small file toolkit: reading a text file into lines, scanning directories,
// filtering names by extension, the program's own directory, creating directories,
// handing a target to the desktop's opener, the command-line remainder, modification
// times, and writing a file so that a failure never leaves it half-written.
//
// Paths are file-system bytes with "/" as separator; directory paths these functions
// build or expect end in "/".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/textsvc/file_replacement.h"
#include "core/textsvc/line_list.h"

namespace lq {

// Reads the file as raw bytes into lines: split at LF, every CR dropped, a last
// unterminated line kept when not empty. No encoding detection. Throws RunError
// ("Cannot open file ..." with the system's reason) when the file cannot be opened or
// read; lines is then unchanged.
void load_lines(const std::string& file_name, LineList& lines);

// The whole file as bytes; throws as load_lines does.
std::string read_file_bytes_or_throw(const std::string& file_name);
// The same without throwing: nothing when the file cannot be read (a directory cannot),
// with the system's error number in *error when asked for.
std::optional<std::string> read_file_bytes(const std::string& file_name, int* error = nullptr);

// A file read a piece at a time, for files too large to hold twice; throws as load_lines
// does.
class FilePieces {
 public:
  explicit FilePieces(const std::string& file_name);
  ~FilePieces();
  FilePieces(const FilePieces&) = delete;
  FilePieces& operator=(const FilePieces&) = delete;

  // Appends up to `max` more bytes of the file to `out` (fewer only at its end); answers
  // how many, 0 at the end.
  size_t read(std::string& out, size_t max);
  // The same into `into`, which has room for `max` bytes.
  size_t read(char* into, size_t max);

 private:
  std::string name_;
  int fd_ = -1;
};

// Appends the files of dir (and with recurse, of its subdirectories, depth-first at the
// place of the subdirectory), each directory's names in natural order (natural_order.h),
// so the list reads as a file manager shows the tree.
// pump, when given, is called before each subdirectory of the top level is scanned so
// a user interface can process its events. Symbolic links to directories are not
// entered. A directory that cannot be read adds nothing.
void get_files(const std::string& dir, LineList& list, bool recurse,
               const std::function<void()>& pump = {});

// Keeps the entries whose extension (from the last "." of the file-name part, dot
// included, empty when there is none) equals one of exts, ASCII case-insensitively and
// trimmed. An empty element of exts keeps names without extension.
void filter_by_ext(LineList& lines, const LineList& exts);

// Masks like "*.txt;*.htm" or ".dsk": "*" removed, split at ";", then filter_by_ext.
void filter_by_masks(LineList& lines, std::string_view masks);

// Appends the entries of dir. mode "all": files and directories; "dir": directories only;
// anything else: files only. With recurse, a directory's own entry follows the entries
// found inside it. Names come in natural order, as in get_files. Symbolic links to
// directories are listed but never entered.
void list_dir(const std::string& dir, LineList& list, bool recurse, std::string_view mode);

// The directory where the program keeps its files, ending in "/": LEXOQUILL_HOME when
// set; else the executable's directory when writable; else $XDG_CONFIG_HOME/lexoquill/
// (~/.config/lexoquill/), created when missing.
std::string app_path();

// The full path of the running executable, or "" when the system does not say.
std::string program_path();

// Creates the directory (with is_file: the directory part of path, up to its last "/")
// and its missing parents. Throws RunError "Unable to create directory" for an empty
// target; a directory that cannot be created is not reported here (the write that
// follows reports it).
void force_dir(const std::string& path, bool is_file);

// Hands a file, program or address to the desktop's opener (xdg-open), detached; the
// outcome is ignored.
void shell_open(const std::string& target);

// Writes bytes to path through a temporary file in the same directory renamed over the
// original, so the file is either old or new, never half-written: the new bytes are on
// the disk before the rename, and the directory is synced after it. The original's
// permission bits are kept, with write permission for the owner added (a read-only file
// may be replaced, as the user asked to save it). A symbolic link is followed: its target
// is replaced. Throws RunError ("Cannot create file ..." with the system's reason; or
// "Cannot sync directory ..." once the file is replaced but its directory is not synced).
void write_file_atomically(const std::string& path, std::string_view bytes);

// A file written through a temporary file in the same directory, renamed over the
// original by commit(), as write_file_atomically does it, for content written a piece at a time.
// Dropped without commit(), it leaves the original as it was. Throws as write_file_atomically.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  void write(std::string_view bytes);
  void commit();

 private:
  std::string path_, real_, buffer_;
  FileReplacement file_;
  unsigned mode_ = 0666;
  bool existed_ = false;
  unsigned uid_ = 0, gid_ = 0;
};

// Lines written with CR LF after every line, through write_file_atomically.
void save_lines(const std::string& path, const LineList& lines);

// True when path names a regular file (links followed) / a directory.
bool file_exists(const std::string& path);
bool dir_exists(const std::string& path);

namespace file_util {

void force_dir(const std::string& path, bool is_file);

// The command-line text after the program's name: every argument preceded by one blank,
// so a path given in pieces by the shell comes back whole; "" without arguments. With
// strip_quotes every '"' is removed. Callers trim the result.
std::string cmd_line(bool strip_quotes);
// The same over given arguments (argv[1..]).
std::string cmd_line(const std::vector<std::string>& args, bool strip_quotes);

// Last-write time as days since 1899-12-30 (fraction = time of day, local time), at
// the two-second resolution of a DOS time, years 1980..2107; -1 when the name is missing,
// is a directory, or the time falls outside that range.
double file_time(const std::string& file_name);

}  // namespace file_util

}  // namespace lq
