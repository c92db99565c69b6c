// The fifteen scope modes: which text of each document the line steps see. Each scope
// function cuts out the selected piece(s), passes each through the chain's line steps
// (written C(x)) and glues the result back together; nothing outside the selection is
// changed, repeated or lost. Parameters are read from the settings for every line, as
// the run may rewrite one of them ([8]).
#pragma once

#include <string>

#include "core/operations/operation_chain.h"
#include "core/run/run_context.h"
#include "core/scope/scope_settings.h"
#include "core/textsvc/line_list.h"

namespace lq {

class RunHost;
class CodePage;

// What a scope function works with during a run.
struct ScopeRun {
  const OperationChain& chain;
  ScopeSettings& settings;
  RunContext& context;
  RunHost* host = nullptr;      // told when [8] rewrites Edit_fw_hj1
  bool case_sensitive = false;  // "区分大小写", read by [4] and [6]

  std::string C(std::string text) const { return chain.run_line_steps(std::move(text)); }
  // The code page of the document: every search and cut keeps its characters whole.
  const CodePage& page() const;
};

// Per-line modes. Each returns the new line; a mode that selects nothing returns the line
// unchanged without calling C. Conversion errors throw RunError.
std::string whole_line_scope(const std::string& line, ScopeRun& run);      // [1]
std::string first_chars_scope(const std::string& line, ScopeRun& run);     // [2]
std::string before_nth_scope(const std::string& line, ScopeRun& run);      // [3]
std::string containing_scope(const std::string& line, ScopeRun& run);      // [4]
std::string between_nth_scope(const std::string& line, ScopeRun& run);     // [5]
std::string not_containing_scope(const std::string& line, ScopeRun& run);  // [6]
std::string last_chars_scope(const std::string& line, ScopeRun& run);      // [8]
std::string length_scope(const std::string& line, ScopeRun& run);          // [11]
std::string enclosed_scope(const std::string& line, ScopeRun& run);        // [12]
std::string every_n_scope(const std::string& line, ScopeRun& run);         // [13]
std::string after_last_scope(const std::string& line, ScopeRun& run);      // [14]
std::string after_first_scope(const std::string& line, ScopeRun& run);     // [15]

// Line-range modes: change the document in place, setting line_index before each C.
void marker_lines_scope(LineList& lines, ScopeRun& run);  // [7]
void line_number_scope(LineList& lines, ScopeRun& run);   // [9]
void line_range_scope(LineList& lines, ScopeRun& run);    // [10]

// The scope step of one document: the selected line-range mode, or the per-line loop
// over the lines present when it starts, setting line_index for each line. With no mode
// selected the lines stay as they are.
void run_scope(LineList& lines, ScopeRun& run);

}  // namespace lq
