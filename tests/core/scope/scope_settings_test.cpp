#include "core/scope/scope_settings.h"

#include <gtest/gtest.h>

#include <set>

namespace lq {
namespace {

TEST(ScopeSettings, DefaultsOfAFreshStart) {
  ScopeSettings s;
  EXPECT_EQ(s.mode(), 1);
  struct Row {
    const char* name;
    const char* value;
  };
  for (const Row& r :
       {Row{"Edit_fw_qj1", "10"}, Row{"Edit_fw_qz1", "1"}, Row{"Edit_fw_qz2", ""},
        Row{"CheckBox_fw_qz3", "0"}, Row{"Edit_qjhj1", "1"}, Row{"Edit_qjhj3", "1"},
        Row{"Edit_fw_hj1", "1"}, Row{"Edit_fw_len1", "1"}, Row{"UpDown1", "1"},
        Row{"Edit_fw_b_sp1", "("}, Row{"Edit_fw_e_sp1", ")"}, Row{"Edit_fw_mg1", "1"},
        Row{"UpDown_line1", "1"}, Row{"UpDown_line_m1", "1"}, Row{"UpDown_line_m2", "2"},
        Row{"Edit_qj1", "1"}, Row{"Edit_qj3", "1"}, Row{"edit_bh1", ""}})
    EXPECT_EQ(s.text(r.name), r.value) << r.name;
  // Fifteen radio buttons, each naming a mode; every parameter box belongs to one mode.
  std::set<std::string> radios;
  for (const auto& m : ScopeSettings::modes()) radios.insert(m.radio);
  EXPECT_EQ(radios.size(), 15u);
  for (const auto& d : ScopeSettings::decls()) {
    if (d.kind == ParamKind::Radio || d.name == "CheckBox_fw_qz3") continue;
    EXPECT_NE(ScopeSettings::mode_of_control(d.name), 0) << d.name;
  }
}

TEST(ScopeSettings, FocusingABoxSelectsItsMode) {
  EXPECT_EQ(ScopeSettings::mode_of_control("Edit_qjhj4"), 5);
  EXPECT_EQ(ScopeSettings::mode_of_control("Edit_qj3"), 7);
  EXPECT_EQ(ScopeSettings::mode_of_control("Edit_line_m2"), 10);
  EXPECT_EQ(ScopeSettings::mode_of_control("edit_fw_sp_r1"), 14);
  EXPECT_EQ(ScopeSettings::mode_of_control("CheckBox_fw_qz3"), 0);
}

TEST(ScopeSettings, RadioButtonsExcludeEachOther) {
  ScopeSettings s;
  EXPECT_TRUE(s.set("RadioButton_fw_mg1", "1"));
  EXPECT_EQ(s.mode(), 13);
  EXPECT_EQ(s.text("RadioButton_fw_all1"), "0");
  s.select(14);
  EXPECT_EQ(s.mode(), 14);
  EXPECT_EQ(s.text("RadioButton_fw_mg1"), "0");
  EXPECT_TRUE(s.set("RadioButton_fw_sp_r1", "0"));
  EXPECT_EQ(s.mode(), 0);
  EXPECT_FALSE(s.set("RadioButton_fw_sp_r1", "yes"));
  EXPECT_FALSE(s.set("CheckBox_fw_qz3", "2"));
  EXPECT_FALSE(s.set("Edit_nothing", "1"));
}

TEST(ScopeSettings, UpDownsAreSixteenBitAndBoundToTheirBox) {
  ScopeSettings s;
  EXPECT_TRUE(s.set("Edit_line1", "40000"));
  EXPECT_EQ(s.position("UpDown_line1"), 32767);
  EXPECT_EQ(s.text("Edit_line1"), "40000");  // the box keeps what was typed
  EXPECT_TRUE(s.set("Edit_line1", "abc"));   // not a number: the up-down stays put
  EXPECT_EQ(s.position("Edit_line1"), 32767);
  EXPECT_TRUE(s.set("UpDown_line_m2", "0"));
  EXPECT_EQ(s.position("UpDown_line_m2"), 1);
  EXPECT_EQ(s.text("Edit_line_m2"), "1");
  EXPECT_FALSE(s.set("UpDown2", "x"));
  EXPECT_TRUE(s.set("UpDown2", "$10"));
  EXPECT_EQ(s.text("Edit_fw_mg1"), "16");
}

}  // namespace
}  // namespace lq
