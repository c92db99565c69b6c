#include "core/operations/script_op.h"

#include <gtest/gtest.h>

#include <random>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/operation_chain.h"
#include "core/run/run_context.h"
#include "core/run/run_host.h"
#include "core/run_error.h"

namespace lq {
namespace {

std::string gbk(const char* utf8) {
  return code_page().from_utf8(utf8);
}

struct RecordingHost : RunHost {
  std::vector<std::string> messages;
  void show_message(std::string_view text) override { messages.emplace_back(text); }
};

struct Fixture {
  RunContext ctx;
  RecordingHost host;
  ScriptOp op;
  OperationChain chain;

  explicit Fixture(const std::string& script) {
    op.set_enabled(true);
    op.params().set("txtScript", script);
    op.set_env({&ctx, nullptr, &host, false});
    chain.append(&op);
  }

  // One file: the document steps, then each line as one piece.
  LineList run_file(const std::string& name, LineList lines) {
    ctx.file_name = name;
    chain.run_document_steps(lines, name);
    for (size_t i = 0; i < lines.size(); ++i) {
      ctx.line_index = static_cast<int32_t>(i);
      lines[i] = chain.run_line_steps(lines[i]);
    }
    return lines;
  }
};

struct Case {
  const char* name;
  std::string script, piece, expected;
};

class ScriptCases : public ::testing::TestWithParam<Case> {};

TEST_P(ScriptCases, OnePiece) {
  const Case& c = GetParam();
  Fixture f(c.script);
  EXPECT_EQ(f.run_file("a.txt", {c.piece}), LineList{c.expected});
  EXPECT_TRUE(f.host.messages.empty()) << f.host.messages.front();
}

INSTANTIATE_TEST_SUITE_P(
    Script, ScriptCases,
    ::testing::Values(
        Case{"th_ignores_case", "{ line.text = th(line.text, \"A\", \"b\"); }", "aAxa", "bbxb"},
        Case{"th_no_rescan", "line.text = th(line.text, 'a', 'aa');", "aXa", "aaXaa"},
        Case{"names_in_any_case",
             "LINE.TEXT = TH(Line.Text, 'x', 'y') + INTTOSTR(2) + inttostr(3) + tH('a', 'A', '');",
             "x", "y23"},
        Case{"published_property_name", "line.Text = line.text + '!';", "a", "a!"},
        Case{"no_assignment_keeps_piece", "var x = 1;", "\x80z\xFF", "\x80z\xFF"},
        Case{"chinese_counts_as_one_character", "line.text = line.text + Length(line.text);",
             gbk("中文"), gbk("中文2")},
        Case{"bytes_outside_gbk_survive", "line.text = line.text + 'z';", "\x80\x61\xFF\x81 ",
             "\x80\x61\xFF\x81 z"},
        Case{"upper_case_is_ascii_only", "line.text = UpperCase(line.text);", gbk("ab中ｂ"),
             gbk("AB中ｂ")},
        Case{"copy_pos_trim",
             "line.text = Copy(line.text, 2, 3) + Pos('c', line.text) + '[' + Trim(' \\t x ') + "
             "']' + Copy('ab', 0, 9);",
             "abcdef", "bcd3[x]ab"},
        Case{"int_conversions", "line.text = IntToStr(StrToInt(line.text) + 1);", "$1F", "32"},
        Case{"float_conversions", "line.text = FloatToStr(StrToFloat(line.text) * 2);", " 1.5 ",
             "3"},
        Case{"string_replace_flags",
             "line.text = StringReplace(line.text, 'a', 'x', [rfReplaceAll, rfIgnoreCase]) + ',' "
             "+ StringReplace(line.text, 'a', 'x', []);",
             "aAa", "xxx,xAa"},
        Case{"format",
             "line.text = Format('%d-%s-%.2f-%5s|%-3d|%x|%%|%.3d', [7, 's', 1.234, "
             "'ab', 5, 255, 9]);",
             "", "7-s-1.23-   ab|5  |FF|%|009"},
        Case{"format_date_time_from_day_count",
             "line.text = FormatDateTime('yyyy-mm-dd hh:nn:ss', 45000.5);", "",
             "2023-03-15 12:00:00"},
        Case{
            "format_date_time_from_date",
            "line.text = FormatDateTime('yy/m/d h:mm \"at\" z', new Date(2024, 1, 3, 4, 5, 6, 7));",
            "", "24-2-3 4:05 at 7"},
        Case{"date_routines_and_constructor",
             "line.text = [FormatDateTime('yyyy', Now()).length, Date() instanceof Date, "
             "Date().getHours(), new Date(2020, 0, 2).getDate(), "
             "FormatDateTime('yyyy', Time())].join(',');",
             "", "4,true,0,2,1899"},
        Case{"math", "line.text = Math.max(1, 5) + Math.floor(2.5);", "", "7"},
        Case{"no_file_access", "line.text = typeof require + typeof print + typeof File;", "",
             "undefinedundefinedundefined"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Script, InitialScriptOverEveryLine) {
  Fixture f(
      PanelClassRegistry::instance().find("TControlForm_script")->params.front().default_value);
  EXPECT_EQ(f.run_file("a.txt", {"x", "", "yy"}), (LineList{"aaa", "aaa", "aaa"}));
}

TEST(Script, VariablesLastForOneFile) {
  Fixture f("var n; if (n === undefined) n = 0; n++; line.text = n;");
  EXPECT_EQ(f.run_file("a.txt", {"", ""}), (LineList{"1", "2"}));
  EXPECT_EQ(f.run_file("b.txt", {""}), LineList{"1"});
}

TEST(Script, EditedScriptTakesEffectAtNextFile) {
  Fixture f("line.text = 'one';");
  EXPECT_EQ(f.run_file("a.txt", {""}), LineList{"one"});
  f.op.params().set("txtScript", "line.text = 'two';");
  EXPECT_EQ(f.run_file("b.txt", {""}), LineList{"two"});
}

TEST(Script, CompileErrorReportedOncePerFileAndFilesUnchanged) {
  Fixture f("line.text = ;");
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    EXPECT_EQ(f.run_file(name, {"x", "y"}), (LineList{"x", "y"}));
  ASSERT_EQ(f.host.messages.size(), 3u);
  EXPECT_NE(f.host.messages[0].find("SyntaxError"), std::string::npos) << f.host.messages[0];
}

TEST(Script, RuntimeErrorStopsOnlyThatPiece) {
  Fixture f(
      "if (line.text != 'a') { line.text = 'half'; throw new Error('boom'); } "
      "line.text = 'ok';");
  EXPECT_EQ(f.run_file("a.txt", {"a", "b", "a", "c"}), (LineList{"ok", "b", "ok", "c"}));
  ASSERT_EQ(f.host.messages.size(), 1u);
  const std::string& m = f.host.messages[0];
  EXPECT_NE(m.find("Error: boom"), std::string::npos) << m;
  EXPECT_NE(m.find("a.txt"), std::string::npos) << m;
  EXPECT_NE(m.find(gbk("第 2 行")), std::string::npos) << m;
  f.run_file("b.txt", {"z"});
  EXPECT_EQ(f.host.messages.size(), 2u);
}

TEST(Script, EndlessScriptEndsTheRun) {
  for (const char* script :
       {"while (true) {}", "for (;;) { try { while (true) {} } catch (e) {} }"}) {
    Fixture f(script);
    f.op.set_time_limit(std::chrono::milliseconds(100));
    std::string piece = "x";
    EXPECT_THROW(f.op.line_step(piece), RunError) << script;
    EXPECT_EQ(piece, "x");
  }
}

TEST(Script, RunawayMemoryIsAnErrorNotACrash) {
  Fixture f("var s = 'x'; for (;;) s = s + s;");
  EXPECT_EQ(f.run_file("a.txt", {"x"}), LineList{"x"});
  EXPECT_EQ(f.host.messages.size(), 1u);
}

TEST(Script, DisabledCompilesNothing) {
  Fixture f("line.text = ;");
  f.op.set_enabled(false);
  EXPECT_EQ(f.run_file("a.txt", {"x"}), LineList{"x"});
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(Script, FactoryIsRegistered) {
  auto op = PanelClassRegistry::instance().create("TControlForm_script");
  EXPECT_NE(dynamic_cast<ScriptOp*>(op.get()), nullptr);
}

// Whatever bytes a piece holds, they pass into the engine and back unchanged.
TEST(Script, BoundaryConversionIsLossless) {
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::string s(rng() % 12, '\0');
    for (char& c : s) c = static_cast<char>(round % 3 ? rng() % 256 : 0x80 + rng() % 128);
    ASSERT_EQ(script_to_gbk(gbk_to_script(s)), s) << round;
  }
  EXPECT_EQ(gbk_to_script(gbk("中")), "中");
}

}  // namespace
}  // namespace lq
