#include "core/operations/script_op.h"

#include <cstdio>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/run/run_context.h"
#include "core/run/run_host.h"
#include "core/run_error.h"

namespace lq {

ScriptOp::ScriptOp()
    : Operation(PanelClassRegistry::instance().find("TControlForm_script")->params) {}

ScriptOp::~ScriptOp() = default;

void ScriptOp::document_step(LineList&, const std::string&) {
  engine_.reset();
  failed_ = false;
  runtime_reported_ = false;
}

void ScriptOp::line_step(std::string& text) {
  if (!enabled() || failed_) return;
  std::string error;
  if (!engine_) {
    engine_ = std::make_unique<ScriptEngine>(time_limit_, text_page());
    if (!engine_->compile(params().text("txtScript"), error)) {
      failed_ = true;
      engine_.reset();
      report(error);
      return;
    }
  }
  std::string piece = text;
  switch (engine_->run(piece, error)) {
    case ScriptEngine::Outcome::Done:
      text = std::move(piece);
      return;
    case ScriptEngine::Outcome::RuntimeError:
      if (!runtime_reported_) {
        runtime_reported_ = true;
        const RunContext* ctx = env().context;
        std::string where;
        if (ctx)
          where = " (" + ctx->file_name + code_page().from_utf8(" 第 ") +
                  std::to_string(ctx->line_index + 1) + code_page().from_utf8(" 行)");
        report(code_page().from_utf8("脚本运行出错") + where + ": " + error);
      }
      return;
    case ScriptEngine::Outcome::TimedOut:
      engine_.reset();
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%g", time_limit_.count() / 1000.0);
      throw RunError(code_page().from_utf8("脚本处理一段文字超过 ") + seconds +
                     code_page().from_utf8(" 秒仍未结束，已停止运行 (脚本中可能有死循环)"));
  }
}

void ScriptOp::report(const std::string& text) {
  if (env().host) env().host->show_message(text);
}

std::unique_ptr<Operation> make_script_op() {
  return std::make_unique<ScriptOp>();
}

}  // namespace lq
