// The template tool of operation [17]: one copy of a template per row of parameters, with
// every parameter name replaced by the row's value. Rows are separated by ";" (line breaks
// mean nothing), pairs by ",", and each pair is name "=" value split at the first "=".
#pragma once

#include <string>
#include <string_view>

namespace lq {

// The concatenated copies. Pairs apply one after the other to the same copy, so a value
// holding a later pair's name is replaced again. All text is GBK bytes.
std::string expand_template_text(std::string_view params, std::string_view tmpl);

struct TemplateExample {
  std::string params;
  std::string tmpl;
};

// The two examples of the window's buttons "例子1" and "例子2" (n = 1 or 2), in GBK.
TemplateExample template_example(int n);

}  // namespace lq
