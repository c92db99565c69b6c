// Replace, find and script as a run drives them: through a scope that hands out only part
// of each line.
#include <gtest/gtest.h>

#include "core/operations/find_op.h"
#include "core/operations/find_result_line.h"
#include "core/operations/replace_op.h"
#include "core/operations/script_op.h"
#include "core/run/run_context.h"
#include "core/scope/scopes.h"

namespace lq {
namespace {

struct ScopeFixture {
  RunContext ctx;
  FindResults results;
  ScopeSettings settings;
  OperationChain chain;

  // Scope [15]: the text after the first "=" of each line.
  ScopeFixture() {
    settings.select(15);
    settings.set("Edit_fw_sp_l1", "=");
    ctx.file_name = "/d/f.txt";
  }

  LineList run(IControlTF& op, LineList lines) {
    chain.append(&op);
    chain.run_document_steps(lines, ctx.file_name);
    ScopeRun scope{chain, settings, ctx};
    run_scope(lines, scope);
    return lines;
  }
};

TEST(OperationsThroughScope, ReplaceTouchesOnlyThePiece) {
  ScopeFixture f;
  ReplaceOp op;
  op.set_enabled(true);
  op.params().set("Edit_th1", "a");
  op.params().set("Edit_th2", "b");
  EXPECT_EQ(f.run(op, {"a=a", "aa", "x=aXa"}), (LineList{"a=b", "aa", "x=bXb"}));
}

TEST(OperationsThroughScope, FindColumnsCountWithinThePiece) {
  ScopeFixture f;
  FindOp op;
  op.set_enabled(true);
  op.params().set("Edit_find1", "a");
  op.set_env({&f.ctx, &f.results, nullptr, false});
  EXPECT_EQ(f.run(op, {"a=xa", "b", "aa=aa"}), (LineList{"a=xa", "b", "aa=aa"}));
  ASSERT_EQ(f.results.size(), 3u);
  EXPECT_EQ(f.results[0], format_find_result("/d/f.txt", 0, 2, "a", "xa"));
  EXPECT_EQ(f.results[1], format_find_result("/d/f.txt", 2, 1, "a", "aa"));
  EXPECT_EQ(f.results[2], format_find_result("/d/f.txt", 2, 2, "a", "aa"));
  EXPECT_TRUE(f.ctx.find_ran);
  EXPECT_EQ(f.ctx.find_query_len, 1);
}

TEST(OperationsThroughScope, InitialScriptSetsEveryPiece) {
  ScopeFixture f;
  ScriptOp op;
  op.set_enabled(true);
  EXPECT_EQ(f.run(op, {"k=v", "none", "=x"}), (LineList{"k=aaa", "none", "=aaa"}));
}

}  // namespace
}  // namespace lq
