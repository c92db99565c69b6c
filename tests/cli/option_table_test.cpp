// --help, the bash completion and both manual pages come from one option table: every
// option and command of the table is in each of them, and the parser knows each option.
#include "cli/option_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/verbs.h"

namespace {

using lq::cli::Value;

std::string roff(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '-') out += '\\';
    out += c;
  }
  return out;
}

TEST(OptionTable, EveryOptionAndCommandIsInEachGeneratedText) {
  const std::string help = lq::cli::help_text();
  const std::string completion = lq::cli::completion_script();
  const std::string man_en = lq::cli::man_sections("en"), man_zh = lq::cli::man_sections("zh");
  // The completion offers options, and commands as the first word, from word lists.
  auto word_list = [&completion](std::string_view after) {
    const size_t at = completion.find("compgen -W '", completion.find(after));
    const size_t begin = at + 12, end = completion.find('\'', begin);
    return at == std::string::npos ? std::string()
                                   : " " + completion.substr(begin, end - begin) + " ";
  };
  const std::string offered = word_list("if [[ $cur == -* ]]");
  const std::string commands = word_list("if ((cword == 1))");
  for (const lq::cli::OptionDoc& o : lq::cli::option_docs()) {
    for (std::string_view name : o.names) {
      const std::string n(name);
      EXPECT_TRUE(help.find("  " + n) != std::string::npos ||
                  help.find(", " + n) != std::string::npos)
          << n;
      if (o.value == Value::Argument) continue;
      EXPECT_NE(offered.find(" " + n + " "), std::string::npos) << n;
      EXPECT_NE(man_en.find("\\fB" + roff(n) + "\\fR"), std::string::npos) << n;
      EXPECT_NE(man_zh.find("\\fB" + roff(n) + "\\fR"), std::string::npos) << n;
    }
    if (o.value != Value::Argument) {
      EXPECT_FALSE(o.man_en.empty()) << o.names.front();
      EXPECT_FALSE(o.man_zh.empty()) << o.names.front();
    }
  }
  for (const lq::cli::Verb& v : lq::cli::verbs()) {
    const std::string n(v.name);
    EXPECT_NE(help.find("\n  " + n + " "), std::string::npos) << n;
    EXPECT_NE(commands.find(" " + n + " "), std::string::npos) << n;
    EXPECT_NE(man_en.find(".B " + roff(n)), std::string::npos) << n;
    EXPECT_NE(man_zh.find(".B " + roff(n)), std::string::npos) << n;
  }
}

// Every spelling in the table is one the parser takes.
TEST(OptionTable, TheParserKnowsEveryOption) {
  for (const lq::cli::OptionDoc& o : lq::cli::option_docs()) {
    if (o.value == Value::Argument) continue;
    for (std::string_view name : o.names) {
      std::vector<std::string> args;
      if (name == "-E" || name == "-w") args = {"replace", "a", "b"};
      args.emplace_back(name);
      if (!o.arg.empty())
        args.emplace_back(o.arg.find('=') != std::string_view::npos ? "x=1" : "1");
      if (name == "--expand-template") args.emplace_back("2");
      if (name == "--diff") args.emplace_back("--dry-run");
      if (name == "-0" || name == "--null") args.insert(args.end(), {"--files-from", "f"});
      args.emplace_back("a.txt");
      try {
        lq::cli::parse_args(args);
      } catch (const lq::cli::UsageError& e) {
        ADD_FAILURE() << name << ": " << e.what();
      }
    }
  }
}

}  // namespace
