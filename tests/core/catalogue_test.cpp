#include "core/operations/catalogue.h"

#include <gtest/gtest.h>

#include "core/operations/operation_chain.h"

namespace lq {
namespace {

TEST(PanelClassRegistry, KnowsAllClassesCaseInsensitively) {
  auto& reg = PanelClassRegistry::instance();
  EXPECT_EQ(reg.classes().size(), 27u);
  ASSERT_NE(reg.find("tcontrolform_lcase"), nullptr);
  EXPECT_EQ(reg.find("tcontrolform_lcase")->class_name, "TControlForm_lcase");
  EXPECT_EQ(reg.find("TControlForm_nope"), nullptr);
  EXPECT_EQ(reg.find_number(21), reg.find("TControlForm_ft2gb"));
  for (int n = 1; n <= 28; ++n) EXPECT_NE(reg.find_number(n), nullptr) << n;
}

TEST(PanelClassRegistry, UnknownClassMessage) {
  EXPECT_EQ(unknown_panel_message("TX"), "未找到 \"TX\" 的定义,请确认是否已集成其他组件.");
}

struct Braces : Operation {
  Braces() : Operation({}) {}
  void line_step(std::string& t) override {
    if (enabled()) t = "{" + t + "}";
  }
};

TEST(OperationChain, EnableRuleKeepsAtMostOne) {
  Braces a, b;
  OperationChain chain;
  chain.append(&a);
  chain.append(&b);
  chain.apply_enable_rule(&a, true);
  chain.apply_enable_rule(&b, true);
  EXPECT_FALSE(a.enabled());
  EXPECT_TRUE(b.enabled());
  EXPECT_EQ(chain.run_line_steps("x"), "{x}");
  chain.apply_enable_rule(&b, false);
  EXPECT_EQ(chain.run_line_steps("x"), "x");
}

}  // namespace
}  // namespace lq
