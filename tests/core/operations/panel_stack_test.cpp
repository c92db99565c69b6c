#include "core/operations/panel_stack.h"

#include <gtest/gtest.h>

#include "core/operations/catalogue.h"

namespace lq {
namespace {

TEST(PanelStack, EnsureFindsWithoutRegardToCaseAndAppendsMissingOnes) {
  PanelStack stack;
  Operation* lcase = stack.ensure_panel("TControlForm_lcase");
  ASSERT_NE(lcase, nullptr);
  Operation* th = stack.ensure_panel("TControlForm_th");
  th->params().set("Edit_th1", "kept");
  stack.enable_clicked(th, true);
  EXPECT_EQ(stack.ensure_panel("tcontrolform_LCASE"), lcase);
  EXPECT_EQ(stack.panels().size(), 2u);

  stack.show_all_panels();
  ASSERT_EQ(stack.panels().size(), 27u);
  // The two present keep their place, parameters and enable state; the rest follow in
  // the fixed order.
  EXPECT_EQ(stack.panels()[0].class_name, "TControlForm_lcase");
  EXPECT_EQ(stack.panels()[1].class_name, "TControlForm_th");
  EXPECT_EQ(stack.panels()[2].class_name, "TControlForm_LAdd");
  EXPECT_EQ(stack.panels().back().class_name, "TControlForm_script");
  EXPECT_EQ(th->params().text("Edit_th1"), "kept");
  EXPECT_TRUE(th->enabled());
  EXPECT_EQ(stack.collect_operations().members().size(), 27u);
}

TEST(PanelStack, UnknownClassNamesTheClass) {
  PanelStack stack;
  std::string message;
  EXPECT_EQ(stack.ensure_panel("TControlForm_nope", &message), nullptr);
  EXPECT_EQ(message, "未找到 \"TControlForm_nope\" 的定义,请确认是否已集成其他组件.");
  EXPECT_TRUE(stack.panels().empty());
}

TEST(PanelStack, EnableRuleAndClosing) {
  PanelStack stack;
  Operation* a = stack.ensure_panel("TControlForm_LAdd");
  Operation* b = stack.ensure_panel("TControlForm_radd");
  stack.enable_clicked(a, true);
  stack.enable_clicked(b, true);
  EXPECT_FALSE(a->enabled());
  EXPECT_TRUE(b->enabled());
  stack.enable_clicked(b, false);
  EXPECT_FALSE(b->enabled());
  stack.enable_clicked(b, true);
  EXPECT_TRUE(stack.remove(b));
  EXPECT_EQ(stack.collect_operations().members(), std::vector<IControlTF*>{a});
  // Brought back, it has its defaults and is not enabled.
  Operation* again = stack.ensure_panel("TControlForm_radd");
  EXPECT_FALSE(again->enabled());
  EXPECT_EQ(again->params().text("Edit_rightadd1"), "");
}

}  // namespace
}  // namespace lq
