// The JavaScript engine behind operation [28]. One engine holds one compiled script; the
// script sees the current piece as `line.text` and may call `th` and the standard
// routines of the prelude (IntToStr, Copy, Pos, Format, FormatDateTime, ...). Global
// names and the `text` property are found in any letter case, as the panel's users
// expect from the language the panel was designed for.
//
// Pieces are GBK bytes; the engine works on Unicode. Bytes that do not decode as GBK are
// carried through the engine as the code points U+DC80..U+DCFF and come back as the same
// bytes, so a script that does not touch them never changes them.
//
// The engine has no file, network or process access: only the language's built-in
// objects, `line`, `th` and the prelude.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace lq {

class CodePage;
const CodePage& code_page();

class ScriptEngine {
 public:
  enum class Outcome {
    Done,          // the piece holds the script's result (unchanged if it assigned nothing)
    RuntimeError,  // the piece is unchanged; error holds the engine's message
    TimedOut,      // the script ran longer than the time limit; the piece is unchanged
  };

  // The script and every piece are text of `page`.
  explicit ScriptEngine(std::chrono::milliseconds time_limit = std::chrono::seconds(10),
                        const CodePage& page = code_page());
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // Compiles the script (GBK bytes). False with the engine's message (GBK) on failure.
  bool compile(std::string_view script, std::string& error);

  // Runs the compiled script once on the piece. Script variables keep their values from
  // one run to the next.
  Outcome run(std::string& piece, std::string& error);

  struct Impl;  // the engine's state, shared with its native callbacks

 private:
  std::unique_ptr<Impl> impl_;
};

// The conversions at the engine's boundary, exposed for tests: bytes of a code page (GBK
// unless told) to the engine's string bytes (CESU-8) and back.
std::string gbk_to_script(std::string_view bytes, const CodePage& page = code_page());
std::string script_to_gbk(std::string_view text, const CodePage& page = code_page());

}  // namespace lq
