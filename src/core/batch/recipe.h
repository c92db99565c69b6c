// A recipe: the scope box and the one enabled operation panel with every control's value,
// as one small INI file that either face can save and restore.
//
//   [scope]
//   RadioButton_fw_qj1=1
//   Edit_fw_qj1=5
//   [operation]
//   op=TControlForm_th
//   Edit_th1=旧
//
// Keys are control names. The file is UTF-8; values are converted to GBK when read. A
// value in double quotes takes C escapes (\\ \" \n \r \t \xHH), where \xHH is one byte as
// it is, unconverted: so any value, line breaks, outer blanks and bytes that are not text
// included, survives a save and a load. Lines starting with ";" or "#" are comments.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/operations/catalogue.h"
#include "core/operations/param.h"
#include "core/scope/scope_settings.h"

namespace lq {

// A recipe or a control setting that cannot be used; the message names the culprit.
class RecipeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Recipe {
  ScopeSettings scope;
  const PanelClass* op = nullptr;  // the enabled operation's panel, if any
  ParamValues values;              // that panel's controls
};

// Chooses the operation by number (1..28) or panel class name, with its defaults; 20 and
// 21 also pick their choice on the shared panel. Throws RecipeError.
void choose_operation(Recipe& recipe, std::string_view op);

// Sets a scope or operation control by name (exact, else ignoring ASCII case) to a value
// in GBK bytes. Check boxes and radio buttons take "1" or "0"; a radio button set to 1
// clears the others of its group. Throws RecipeError naming the control.
void set_control(Recipe& recipe, std::string_view name, std::string value);

// Reads a recipe file into `recipe` (on top of what it holds). Throws RecipeError with the
// file name and line for anything it does not understand.
void load_recipe(Recipe& recipe, const std::string& path);
std::string recipe_text(const Recipe& recipe);

// The value notation of recipe files, exposed for tests.
std::string encode_recipe_value(std::string_view gbk);
std::string decode_recipe_value(std::string_view text);

}  // namespace lq
