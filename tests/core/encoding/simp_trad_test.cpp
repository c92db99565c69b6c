#include "core/encoding/simp_trad.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/encoding/code_page.h"

namespace lq {
namespace {

std::string gbk(std::string_view utf8) {
  return code_page().from_utf8(utf8);
}
std::string utf8(std::string_view gbk_text) {
  return code_page().to_utf8(gbk_text);
}

struct Case {
  const char* name;
  bool to_traditional;
  const char* in;
  const char* out;
};

class SimpTrad : public testing::TestWithParam<Case> {};

TEST_P(SimpTrad, Converts) {
  const Case& c = GetParam();
  std::string got = c.to_traditional ? simp_to_trad(gbk(c.in)) : trad_to_simp(gbk(c.in));
  EXPECT_EQ(utf8(got), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SimpTrad,
    testing::Values(Case{"LoveCountry", true, "爱国", "愛國"},
                    Case{"LoveCountryBack", false, "愛國", "爱国"}, Case{"Empty", true, "", ""},
                    Case{"EmptyBack", false, "", ""},
                    Case{"AsciiUnchanged", true, "abc 123, (x)!", "abc 123, (x)!"},
                    Case{"NoEntryUnchanged", true, "只台面", "只台面"},
                    Case{"NoEntryUnchangedBack", false, "只台面", "只台面"},
                    Case{"SingleEntries", true, "发后干里么几云", "發後幹裏麽幾雲"},
                    Case{"FaInContext", true, "头发发展", "頭發發展"},
                    Case{"HouBack", false, "後", "后"},
                    // Only keys of the table used change: 國 is no key of sl_lib_gb2old.
                    Case{"MixedToTraditional", true, "国國爱愛", "國國愛愛"},
                    Case{"MixedToSimplified", false, "国國爱愛", "国国爱爱"},
                    Case{"CharactersOfOwnStayInTraditional", true, "埝磙漤犟嚯", "埝磙漤犟嚯"},
                    // Every traditional form converts, not only the one simplified ->
                    // traditional chooses; 麼 goes to 么, not to the variant 麽.
                    Case{"EveryTraditionalForm", false, "為爲啟啓裡裏製複麼", "为为启启里里制复么"},
                    // GB2312's own characters stand for themselves in simplified text.
                    Case{"Gb2312CharactersStay", false, "乾坤著名", "乾坤著名"}),
    [](const auto& info) { return info.param.name; });

TEST(SimpTradTables, RepeatedKeysUseTheCommonForm) {
  // Each of these traditional characters has two lines; the first, the everyday simplified
  // form, is the one used.
  const char* expected = "垫滚滥垄强谑余钟";
  EXPECT_EQ(utf8(trad_to_simp(gbk("墊滾濫壟強謔餘鍾"))), expected);

  std::map<std::string, std::vector<std::string>> values;
  for (const std::string& line : sl_lib_old2gb().all_lines())
    values[utf8(line.substr(0, 2))].push_back(utf8(line.substr(3)));
  std::map<std::string, std::vector<std::string>> repeated;
  for (const auto& [key, v] : values)
    if (v.size() > 1) repeated[key] = v;
  EXPECT_EQ(repeated, (std::map<std::string, std::vector<std::string>>{
                          {"墊", {"垫", "埝"}},
                          {"滾", {"滚", "磙"}},
                          {"濫", {"滥", "漤"}},
                          {"壟", {"垄", "垅"}},
                          {"強", {"强", "犟"}},
                          {"謔", {"谑", "嚯"}},
                          {"餘", {"余", "馀"}},
                          {"鍾", {"钟", "锺"}},
                      }));
}

TEST(SimpTradTables, LinesAreOnePairOfGbkCharacters) {
  const CodePage& cp = code_page();
  for (const StringStore* table : {&sl_lib_gb2old(), &sl_lib_old2gb()}) {
    std::set<std::string> keys;
    for (const std::string& line : table->all_lines()) {
      ASSERT_EQ(line.size(), 5u) << utf8(line);
      EXPECT_EQ(line[2], '=');
      EXPECT_EQ(cp.char_len_at(line, 0), 2u) << utf8(line);
      EXPECT_EQ(cp.char_len_at(line, 3), 2u) << utf8(line);
      EXPECT_EQ(utf8(line).find("\xEF\xBF\xBD"), std::string::npos) << utf8(line);
      EXPECT_NE(line.substr(0, 2), line.substr(3)) << utf8(line);
      // The lookup finds every key, and finds it at the first of its lines.
      int index = -1;
      ASSERT_TRUE(table->find_sorted_key(line.substr(0, 2), index)) << utf8(line);
      EXPECT_EQ(table->all_lines()[index].substr(0, 2), line.substr(0, 2));
      if (keys.insert(line.substr(0, 2)).second) {
        EXPECT_EQ(table->all_lines()[index], line);
      }
    }
  }
  // Keys of the simplified table are GB2312 ideographs and never repeat.
  std::set<std::string> keys;
  for (const std::string& line : sl_lib_gb2old().all_lines()) {
    auto lead = static_cast<unsigned char>(line[0]);
    auto trail = static_cast<unsigned char>(line[1]);
    EXPECT_TRUE(lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE) << utf8(line);
    EXPECT_TRUE(keys.insert(line.substr(0, 2)).second) << utf8(line);
  }
}

TEST(SimpTradTables, PublishedInReadingOrder) {
  auto gb2old = published_gb2old_lines();
  auto old2gb = published_old2gb_lines();
  ASSERT_GT(gb2old.size(), 2000u);
  std::vector<std::string> head(gb2old.begin(), gb2old.begin() + 5);
  EXPECT_EQ(head, (std::vector<std::string>{"锕=錒", "锿=鎄", "皑=皚", "嗳=噯", "蔼=藹"}));
  std::vector<std::string> tail(gb2old.end() - 3, gb2old.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"缵=纘", "钻=鑽", "鳟=鱒"}));
  EXPECT_STREQ(old2gb.front(), "錒=锕");
  EXPECT_STREQ(old2gb.back(), "鱒=鳟");
  EXPECT_EQ(sl_lib_gb2old().all_lines().size(), gb2old.size());
  EXPECT_EQ(sl_lib_old2gb().all_lines().size(), old2gb.size());
}

TEST(SimpTradLookup, MissesAndInsertionPoint) {
  const StringStore& table = sl_lib_gb2old();
  int index = -1;
  EXPECT_FALSE(table.find_sorted_key(gbk("只"), index));
  EXPECT_GE(index, 0);
  EXPECT_LE(index, static_cast<int>(table.all_lines().size()));
  EXPECT_FALSE(table.find_sorted_key("", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(table.find_sorted_key("\xFF\xFF\xFF", index));
  EXPECT_EQ(index, static_cast<int>(table.all_lines().size()));
}

TEST(SimpTradConversion, InvalidBytesPassThrough) {
  // A lone lead byte at the end, 0x80, 0xFF, a lead before a byte that cannot end it, and
  // GBK outside GB2312: nothing is lost, the valid characters around them still convert.
  std::string text = "\xFF" + gbk("爱") + "\x80" + "\x81\x7F" + gbk("国") + "\x81\x40" + "\xB0";
  std::string want = "\xFF" + gbk("愛") + "\x80" + "\x81\x7F" + gbk("國") + "\x81\x40" + "\xB0";
  EXPECT_EQ(simp_to_trad(text), want);
  EXPECT_EQ(trad_to_simp(want), text);
}

}  // namespace
}  // namespace lq
