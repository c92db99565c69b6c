#include "core/batch/recipe.h"

#include <fstream>
#include <sstream>

#include "core/encoding/code_page.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

const CodePage& gbk() {
  return gbk_code_page();
}

// The declared name that `name` means: exact, else the one equal ignoring ASCII case.
template <typename Names>
std::string resolve(const Names& names, std::string_view name) {
  std::string found;
  for (const std::string& n : names) {
    if (n == name) return n;
    if (same_text(n, name)) found = n;
  }
  return found;
}

std::vector<std::string> scope_names() {
  std::vector<std::string> names;
  for (const auto& d : ScopeSettings::decls()) {
    names.push_back(d.name);
    if (!d.updown.empty()) names.push_back(d.updown);
  }
  return names;
}

bool is_flag(std::string_view v) {
  return v == "1" || v == "0";
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void choose_operation(Recipe& recipe, std::string_view op) {
  const PanelClassRegistry& reg = PanelClassRegistry::instance();
  const PanelClass* cls = nullptr;
  int number = 0;
  if (!op.empty() && op.find_first_not_of("0123456789") == std::string_view::npos &&
      op.size() < 4) {
    number = std::stoi(std::string(op));
    cls = reg.find_number(number);
    if (!cls) throw RecipeError("--op takes a number from 1 to 28, got '" + std::string(op) + "'");
  } else {
    cls = reg.find(op);
    if (!cls)
      throw RecipeError("unknown operation '" + std::string(op) +
                        "' (give its number 1..28 or its panel class name)");
  }
  recipe.op = cls;
  recipe.values = ParamValues(cls->params);
  if (number == 20) set_control(recipe, "RadioButton_ft2gb", "1");
  if (number == 21) set_control(recipe, "RadioButton_gb2ft", "1");
}

void set_control(Recipe& recipe, std::string_view name, std::string value, ValueForm form) {
  if (std::string n = resolve(scope_names(), name); !n.empty()) {
    const bool ok = form == ValueForm::Unicode ? recipe.scope.set_text(n, value)
                    : form == ValueForm::Bytes ? recipe.scope.set_bytes(n, value)
                                               : recipe.scope.set(n, value);
    if (!ok) {
      const bool updown = n.starts_with("UpDown");
      throw RecipeError("control " + n + " takes " + (updown ? "a number" : "1 or 0") + ", got '" +
                        value + "'");
    }
    return;
  }
  if (!recipe.op)
    throw RecipeError("unknown control '" + std::string(name) +
                      "' (not a scope control; operation controls need --op)");
  std::vector<std::string> names;
  for (const auto& d : recipe.op->params) names.push_back(d.name);
  const std::string n = resolve(names, name);
  if (n.empty())
    throw RecipeError("unknown control '" + std::string(name) +
                      "' (neither a scope control nor one of " + recipe.op->class_name + ")");
  const ParamDecl* decl = nullptr;
  for (const auto& d : recipe.op->params)
    if (d.name == n) decl = &d;
  if (decl->kind == ParamKind::Check || decl->kind == ParamKind::Radio) {
    if (!is_flag(value)) throw RecipeError("control " + n + " takes 1 or 0, got '" + value + "'");
    if (decl->kind == ParamKind::Radio && value == "1")
      for (const auto& d : recipe.op->params)
        if (d.kind == ParamKind::Radio) recipe.values.set(d.name, "0");
  }
  if (decl->kind == ParamKind::Choice) {
    int item = -1;
    if (!parse_int(value, item) || item < decl->min || item > decl->max)
      throw RecipeError("control " + n + " takes a number from " + std::to_string(decl->min) +
                        " to " + std::to_string(decl->max) + ", got '" + value + "'");
    value = std::to_string(item);
  }
  if (form == ValueForm::Unicode)
    recipe.values.set_text(n, value);
  else if (form == ValueForm::Bytes)
    recipe.values.set_bytes(n, std::move(value));
  else
    recipe.values.set(n, std::move(value));
}

void set_file_option(Recipe& recipe, std::string_view key, std::string_view value) {
  const std::string k = lower_ascii(key);
  if (k == "encoding") {
    EncodingChoice c;
    if (!parse_encoding_choice(value, c))
      throw RecipeError("encoding takes auto, gbk or utf-8, got '" + std::string(value) + "'");
    recipe.encoding = c;
  } else if (k == "eol") {
    EolPolicy p;
    if (!parse_eol_policy(value, p))
      throw RecipeError("eol takes keep, crlf or lf, got '" + std::string(value) + "'");
    recipe.eol = p;
  } else if (k == "binary") {
    if (!is_flag(value)) throw RecipeError("binary takes 1 or 0, got '" + std::string(value) + "'");
    recipe.binary = value == "1";
  } else {
    throw RecipeError("unknown key '" + std::string(key) + "' in [file]");
  }
}

namespace {

// Whether a value can stand in the file as it is, without quotes.
bool plain_value(std::string_view v) {
  bool plain = !v.empty() && v.front() > ' ' && v.back() > ' ' && v.front() != '"';
  for (unsigned char c : v)
    if (c < 0x20 || c == 0x7F) plain = false;
  return plain;
}

// The value in double quotes with C escapes; with hex_bytes every byte that is not
// printable ASCII becomes \xHH (bytes of the program's code page), else it stays as text.
std::string quoted_value(std::string_view v, bool hex_bytes) {
  std::string out = "\"";
  static const char* hex = "0123456789ABCDEF";
  for (unsigned char c : v) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (hex_bytes && (c < 0x20 || c >= 0x7F)) {
          out += "\\x";
          out += hex[c >> 4];
          out += hex[c & 15];
        } else {
          out += static_cast<char>(c);  // other control characters are text too
        }
    }
  }
  return out + "\"";
}

}  // namespace

std::string encode_recipe_value(std::string_view v) {
  if (plain_value(v)) {
    const std::string utf8 = gbk().to_utf8(v);
    if (gbk().from_utf8(utf8) == v) return utf8;
  }
  if (v.empty()) return "";
  return quoted_value(v, true);
}

std::string encode_recipe_text(std::string_view v) {
  if (plain_value(v) || v.empty()) return std::string(v);
  return quoted_value(v, false);
}

RecipeValue read_recipe_value(std::string_view text) {
  const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
  if (quoted) {
    // \xHH stands for a byte: then the value is bytes of the program's code page.
    std::string_view inner = text.substr(1, text.size() - 2);
    for (size_t k = 0; k + 1 < inner.size(); ++k) {
      if (inner[k] != '\\') continue;
      if (inner[k + 1] == 'x') return {decode_recipe_value(text), ValueForm::Program};
      ++k;
    }
  }
  // No byte escapes: the text as typed, in UTF-8 (the GBK conversion undone).
  std::string utf8;
  if (!quoted) return {std::string(text), ValueForm::Unicode};
  for (size_t k = 1; k + 1 < text.size(); ++k) {
    if (text[k] != '\\' || k + 2 == text.size()) {
      utf8 += text[k];
      continue;
    }
    const char e = text[++k];
    utf8 += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
  }
  return {utf8, ValueForm::Unicode};
}

std::string decode_recipe_value(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return gbk().from_utf8(text);
  text = text.substr(1, text.size() - 2);
  std::string out, pending;  // pending: literal UTF-8 text not yet converted
  auto flush = [&] {
    out += gbk().from_utf8(pending);
    pending.clear();
  };
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '\\' || k + 1 == text.size()) {
      pending += text[k];
      continue;
    }
    const char e = text[++k];
    switch (e) {
      case 'n':
        pending += '\n';
        break;
      case 'r':
        pending += '\r';
        break;
      case 't':
        pending += '\t';
        break;
      case 'x':
        if (k + 2 < text.size() + 0 && hex_digit(text[k + 1]) >= 0 && hex_digit(text[k + 2]) >= 0) {
          flush();
          out += static_cast<char>(hex_digit(text[k + 1]) * 16 + hex_digit(text[k + 2]));
          k += 2;
        } else {
          pending += "\\x";
        }
        break;
      default:
        pending += e;  // \\ and \" and anything else stand for themselves
    }
  }
  flush();
  return out;
}

void load_recipe(Recipe& recipe, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecipeError("cannot read recipe '" + path + "'");
  std::string line, section;
  int number = 0;
  std::vector<std::pair<std::string, RecipeValue>> op_values;
  while (std::getline(in, line)) {
    ++number;
    auto where = [&] { return path + ":" + std::to_string(number) + ": "; };
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      section = lower_ascii(trim(t.substr(1, t.size() - 2)));
      if (section != "scope" && section != "operation" && section != "file")
        throw RecipeError(where() + "unknown section [" + section + "]");
      continue;
    }
    const size_t eq = t.find('=');
    if (eq == std::string::npos || section.empty())
      throw RecipeError(where() + "expected NAME=VALUE under [scope] or [operation]");
    const std::string key = trim(t.substr(0, eq));
    RecipeValue v = read_recipe_value(trim(t.substr(eq + 1)));
    try {
      if (section == "file") {
        set_file_option(recipe, key, v.value);
      } else if (section == "operation" && same_text(key, "op")) {
        if (!v.value.empty()) choose_operation(recipe, v.value);
      } else if (section == "operation") {
        op_values.emplace_back(key, std::move(v));  // after the op= line, wherever it stands
      } else {
        if (!ScopeSettings::knows(resolve(scope_names(), key)))
          throw RecipeError("unknown scope control '" + key + "'");
        set_control(recipe, key, std::move(v.value), v.form);
      }
    } catch (const RecipeError& e) {
      throw RecipeError(where() + e.what());
    }
  }
  for (auto& [key, value] : op_values) {
    try {
      set_control(recipe, key, std::move(value.value), value.form);
    } catch (const RecipeError& e) {
      throw RecipeError(path + ": " + e.what());
    }
  }
}

std::string recipe_text(const Recipe& recipe) {
  std::ostringstream out;
  out << "; lexoquill-batch recipe\n[scope]\n";
  // Text as typed is written as text; bytes of the program's code page as they always
  // were (as text when they convert back exactly, else with \xHH escapes).
  auto value_text = [](ValueForm form, const std::string& stored, const std::string& utf8) {
    return form == ValueForm::Unicode ? encode_recipe_text(utf8) : encode_recipe_value(stored);
  };
  const auto unicode = recipe.scope.unicode_values();
  const auto stored = recipe.scope.values();
  for (size_t i = 0; i < stored.size(); ++i)
    out << stored[i].first << "="
        << value_text(recipe.scope.form(stored[i].first), stored[i].second, unicode[i].second)
        << "\n";
  out << "\n[operation]\n";
  if (recipe.op) {
    out << "op=" << recipe.op->class_name << "\n";
    for (const auto& d : recipe.op->params)
      out << d.name << "="
          << value_text(recipe.values.form(d.name), recipe.values.text(d.name),
                        recipe.values.unicode_text(d.name))
          << "\n";
  }
  if (recipe.encoding || recipe.eol || recipe.binary) {
    out << "\n[file]\n";
    if (recipe.encoding) out << "encoding=" << encoding_choice_name(*recipe.encoding) << "\n";
    if (recipe.eol) out << "eol=" << eol_policy_name(*recipe.eol) << "\n";
    if (recipe.binary) out << "binary=" << (*recipe.binary ? "1" : "0") << "\n";
  }
  return out.str();
}

}  // namespace lq
