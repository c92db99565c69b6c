#include "core/operations/template_expand.h"

#include "core/encoding/code_page.h"
#include "core/operations/text_match.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

std::string expand_template_text(std::string_view params, std::string_view tmpl) {
  std::string p;
  p.reserve(params.size());
  for (char c : params)
    if (c != '\r' && c != '\n') p += c;
  LineList rows;
  split_str(p, rows, ";");
  std::string out;
  for (const auto& row : rows) {
    if (is_blank(row)) continue;
    LineList pairs;
    split_str(row, pairs, ",");
    std::string copy(tmpl);
    for (const auto& pair : pairs) {
      size_t eq = pair.find('=');
      if (eq == std::string::npos || eq == 0) continue;
      copy = replace_all_aligned(copy, std::string_view(pair).substr(0, eq),
                                 std::string_view(pair).substr(eq + 1), true, code_page());
    }
    out += copy;
  }
  return out;
}

TemplateExample template_example(int n) {
  if (n == 2)
    return {code_page().from_utf8("<表名>=temp1,<字段1>=1,<字段2>=-1;\r\n"
                                  "<表名>=temp2,<字段1>=2,<字段2>=-2;"),
            code_page().from_utf8(" insert into <表名> values (select * from table1 where "
                                  "f1=<字段1> and f2=<字段2> )")};
  return {"a=1,b=2,c=3;\r\na=11,b=22,c=33;", "a b c d"};
}

}  // namespace lq
