#include "core/operations/catalogue.h"

#include "core/operations/factories.h"

namespace lq {
namespace {

bool iequals_ascii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

ParamDecl text(std::string name, std::string def, std::string caption = {}) {
  return {std::move(name), ParamKind::Text, std::move(def), std::move(caption)};
}
ParamDecl check(std::string name, bool on, std::string caption) {
  return {std::move(name), ParamKind::Check, on ? "1" : "0", std::move(caption)};
}
ParamDecl radio(std::string name, bool on, std::string caption) {
  return {std::move(name), ParamKind::Radio, on ? "1" : "0", std::move(caption)};
}
ParamDecl updown(std::string name, std::string def, int min, int max, std::string caption = {}) {
  return {std::move(name), ParamKind::UpDown, std::move(def), std::move(caption), min, max};
}
ParamDecl choice(std::string name, std::vector<std::string> items, std::string caption) {
  const int last = static_cast<int>(items.size()) - 1;
  return {std::move(name), ParamKind::Choice, "0", std::move(caption), 0, last, {},
          std::move(items)};
}
ParamDecl memo(std::string name, std::string def) {
  return {std::move(name), ParamKind::Memo, std::move(def), {}};
}

PanelClass panel(std::string cls, std::vector<OperationInfo> entries, std::vector<ParamDecl> params,
                 OperationFactory factory) {
  for (auto& e : entries) {
    e.class_name = cls;
    e.params = params;
  }
  return {std::move(cls), std::move(entries), std::move(params), std::move(factory)};
}

OperationFactory f(std::unique_ptr<Operation> (*make)()) {
  if (!make) return {};
  return make;
}

void register_catalogue(PanelClassRegistry& r) {
  using V = std::vector<OperationInfo>;
  r.add(panel("TControlForm_LAdd", V{{1, "", "[1]每一行前加上字符..", {}}},
              {text("Edit_leftadd1", "")}, f(factories::ladd)));
  r.add(panel("TControlForm_radd", V{{2, "", "[2]每一行后加上字符..", {}}},
              {text("Edit_rightadd1", "")}, f(factories::radd)));
  r.add(panel("TControlForm_FillStr", V{{3, "", "[3]填满?个字符", {}}}, {text("Edit_full1", "10")},
              f(factories::fill_str)));
  r.add(panel("TControlForm_th", V{{4, "", "[4]替换..", {}}},
              {text("Edit_th1", ""), text("Edit_th2", "", "为"),
               check("CheckBox_th_r1", false, "使用通配符"),
               check("CheckBox_th_r2", false, "使用正则表达式")},
              f(factories::replace)));
  r.add(panel("TControlForm_saveas", V{{5, "", "[5]作用范围内文字另存为文件，生成的文件在", {}}},
              {text("Edit_saveas1", ".new.txt", "原文件名后加..")}, f(factories::save_as)));
  r.add(panel("TControlForm_find", V{{6, "", "[6]查找..", {}}}, {text("Edit_find1", "")},
              f(factories::find)));
  r.add(panel("TControlForm_big5", V{{7, "", "启用 [7]GB->BIG5(大陆字符转为台湾字符)", {}}}, {},
              f(factories::gb_to_big5)));
  r.add(panel("TControlForm_big52", V{{8, "", "启用 [8]BIG5->GB(台湾字符转为大陆字符)", {}}}, {},
              f(factories::big5_to_gb)));
  r.add(panel("TControlForm_lcase", V{{9, "", "启用  [9]全部转为小写", {}}}, {},
              f(factories::lower_case)));
  r.add(panel("TControlForm_ucase", V{{10, "", "启用  [10]全部转为大写", {}}}, {},
              f(factories::upper_case)));
  r.add(panel("TControlForm_del_blank", V{{11, "", "启用  [11]删除全部空行(不受作用范围影响)", {}}},
              {}, f(factories::delete_blank_lines)));
  r.add(
      panel("TControlForm_del", V{{12, "", "启用  [12]删除", {}}}, {}, f(factories::delete_text)));
  r.add(panel("TControlForm_delwebtext",
              V{{13, "", "启用  [13]处理从网页中复制粘贴来的文字中的特殊字符", {}}}, {},
              f(factories::web_text)));
  r.add(panel("TControlForm_base64decode", V{{14, "", "启用  [14]base64解码", {}}}, {},
              f(factories::base64_decode)));
  r.add(panel("TControlForm_base64encode", V{{15, "", "启用  [15]base64编码", {}}}, {},
              f(factories::base64_encode)));
  r.add(panel("TControlForm_mtoone", V{{16, "", "[16]多行文字合为一行(不受作用范围影响)", {}}},
              {check("CheckBox_m_to_one1", false, "每段为单独的一行"),
               check("CheckBox_m_to_one2", false, "每隔x行"), text("Edit_m_to_one1", "3")},
              f(factories::merge_lines)));
  r.add(panel("TControlForm_mod_out", V{{17, "", "[17]", {}}}, {}, {}));
  r.add(panel("TControlForm_as_num_add1", V{{18, "", "[18]作用范围内文字作为数字", {}}},
              {text("Edit_add1", "1", "加")}, f(factories::number_add)));
  r.add(panel("TControlForm_as_num_dec", V{{19, "", "[19]作用范围内文字作为数字", {}}},
              {text("Edit_dec1", "1", "减")}, f(factories::number_subtract)));
  r.add(panel("TControlForm_ft2gb",
              V{{20, "", "[20]繁体转换为简体", {}}, {21, "", "[21]简体转换为繁体", {}}},
              {radio("RadioButton_ft2gb", false, "[20]繁体转换为简体"),
               radio("RadioButton_gb2ft", false, "[21]简体转换为繁体"),
               choice("ComboBox_ft2gb1",
                      {"逐字 (经典)", "词组 (通用繁体)", "词组 (台湾正体)", "词组 (香港繁体)"},
                      "转换方式")},
              f(factories::trad_simp)));
  r.add(panel("TControlForm_del_r", V{{22, "", "[22]删除重复行(不受作用范围影响)", {}}}, {},
              f(factories::delete_duplicates)));
  r.add(panel("TControlForm_row2col", V{{23, "", "[23]行列转换(不受作用范围影响)", {}}},
              {text("Edit_row_to_col1", " ")}, f(factories::transpose)));
  r.add(panel("TControlForm_sp_file", V{{24, "", "[24]按自定义行数分割文件", {}}},
              {updown("Edit_sp_file1", "10", 0, 32767), text("Edit_sp_file2", "%d.txt"),
               check("CheckBox_sp_file1", false, "启用文件名宏替换")},
              f(factories::split_file)));
  r.add(panel("TControlForm_md5", V{{25, "", "[25]取得md5编码", {}}}, {text("Edit_md51", "")},
              f(factories::md5)));
  r.add(panel("TControlForm_utf", V{{26, "", "[26]Unicode转换(不受作用范围影响)", {}}},
              {radio("RadioButton_Unicode2", true, "UTF8转普通字符"),
               radio("RadioButton_Unicode3", false, "普通字符转UTF8")},
              f(factories::unicode)));
  r.add(panel("TControlForm_blank_line", V{{27, "", "[27]清除连续的空行(不受作用范围影响)", {}}},
              {updown("Edit_blank_line1", "1", 0, 32767, "连续的空行数限制为此数")},
              f(factories::blank_run_limit)));
  r.add(panel("TControlForm_script", V{{28, "", "启用  [28]脚本", {}}},
              {memo("txtScript", "{\n  line.text = \"aaa\";\n\n}")}, f(factories::script)));
}

}  // namespace

PanelClassRegistry& PanelClassRegistry::instance() {
  static PanelClassRegistry* registry = [] {
    auto* r = new PanelClassRegistry;
    register_catalogue(*r);
    return r;
  }();
  return *registry;
}

void PanelClassRegistry::add(PanelClass cls) {
  classes_.push_back(std::move(cls));
}

const PanelClass* PanelClassRegistry::find(std::string_view class_name) const {
  for (const auto& c : classes_)
    if (iequals_ascii(c.class_name, class_name)) return &c;
  return nullptr;
}

const PanelClass* PanelClassRegistry::find_number(int number) const {
  for (const auto& c : classes_)
    for (const auto& e : c.entries)
      if (e.number == number) return &c;
  return nullptr;
}

std::vector<std::string> PanelClassRegistry::class_names() const {
  std::vector<std::string> names;
  for (const auto& c : classes_) names.push_back(c.class_name);
  return names;
}

void PanelClassRegistry::set_factory(std::string_view class_name, OperationFactory factory) {
  for (auto& c : classes_)
    if (iequals_ascii(c.class_name, class_name)) c.factory = std::move(factory);
}

std::unique_ptr<Operation> PanelClassRegistry::create(std::string_view class_name) const {
  const PanelClass* c = find(class_name);
  if (!c || !c->factory) return nullptr;
  return c->factory();
}

std::string unknown_panel_message(std::string_view class_name) {
  return "未找到 \"" + std::string(class_name) + "\" 的定义,请确认是否已集成其他组件.";
}

}  // namespace lq
