// Small helpers for driving operations the way a run does: created from the catalogue by
// number, enabled, with some controls set, and applied through an operation chain.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/operation_chain.h"
#include "core/run/run_context.h"

namespace lq::testing {

using Params = std::vector<std::pair<std::string, std::string>>;

// GBK bytes of a UTF-8 literal.
inline std::string gbk(std::string_view utf8) {
  return code_page().from_utf8(utf8);
}

inline std::unique_ptr<Operation> make_op(int number, const Params& params = {},
                                          bool enabled = true) {
  const PanelClass* cls = PanelClassRegistry::instance().find_number(number);
  EXPECT_NE(cls, nullptr) << number;
  if (!cls) return nullptr;
  auto op = PanelClassRegistry::instance().create(cls->class_name);
  EXPECT_NE(op, nullptr) << "operation [" << number << "] is not built";
  if (!op) return nullptr;
  for (const auto& [name, value] : params) {
    EXPECT_TRUE(op->params().has(name)) << name;
    op->params().set(name, value);
  }
  op->set_enabled(enabled);
  return op;
}

inline std::string apply_line(Operation& op, const std::string& piece) {
  OperationChain chain;
  chain.append(&op);
  return chain.run_line_steps(piece);
}

inline void apply_document(Operation& op, LineList& lines, const std::string& file_name = "") {
  OperationChain chain;
  chain.append(&op);
  chain.run_document_steps(lines, file_name);
}

// The same with the document in `page`, as a run hands a file of that code page over.
inline void apply_document(Operation& op, LineList& lines, const CodePage& page) {
  RunContext context;
  context.page = &page;
  OperationEnv env = op.env();
  env.context = &context;
  op.set_env(env);
  apply_document(op, lines);
  env.context = nullptr;
  op.set_env(env);
}

// Bytes shown as hex when a comparison fails on non-ASCII text.
inline std::string hex(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

}  // namespace lq::testing
