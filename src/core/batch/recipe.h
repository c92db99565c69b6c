// A recipe: the scope box and the one enabled operation panel with every control's value,
// as one small INI file that either face can save and restore.
//
//   [scope]
//   RadioButton_fw_qj1=1
//   Edit_fw_qj1=5
//   [operation]
//   op=TControlForm_th
//   Edit_th1=旧
//   [file]
//   encoding=auto
//   eol=keep
//   binary=0
//
// Keys are control names. The file is UTF-8, and so are the values: text as typed, which a
// run encodes into each file's code page. A value in double quotes takes C escapes (\\ \"
// \n \r \t \xHH); a value with \xHH escapes is bytes in the program's code page (GBK), each
// \xHH one byte as it is: so any value, line breaks, outer blanks and bytes that are not
// text included, survives a save and a load. Lines starting with ";" or "#" are comments.
// The [file] section is optional: what it leaves out comes from the settings.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/encoding/text_detect.h"
#include "core/operations/catalogue.h"
#include "core/operations/param.h"
#include "core/scope/scope_settings.h"
#include "core/textsvc/text_layout.h"

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
  // How files are read and written; unset means "as the settings say".
  std::optional<EncodingChoice> encoding;
  std::optional<EolPolicy> eol;
  std::optional<bool> binary;
};

// Chooses the operation by number (1..28) or panel class name, with its defaults; 20 and
// 21 also pick their choice on the shared panel. Throws RecipeError.
void choose_operation(Recipe& recipe, std::string_view op);

// Sets a scope or operation control by name (exact, else ignoring ASCII case) to a value
// given in `form` (Program: GBK bytes; Unicode: UTF-8 text as typed; Bytes: raw). Check
// boxes and radio buttons take "1" or "0"; a radio button set to 1 clears the others of
// its group. Throws RecipeError naming the control.
void set_control(Recipe& recipe, std::string_view name, std::string value,
                 ValueForm form = ValueForm::Program);

// Sets a [file] key: encoding, eol or binary. Throws RecipeError.
void set_file_option(Recipe& recipe, std::string_view key, std::string_view value);

// Reads a recipe file into `recipe` (on top of what it holds). Throws RecipeError with the
// file name and line for anything it does not understand.
void load_recipe(Recipe& recipe, const std::string& path);
std::string recipe_text(const Recipe& recipe);

// The value notation of recipe files, exposed for tests: a value of the program's code page
// (GBK bytes), and a value as UTF-8 text.
std::string encode_recipe_value(std::string_view gbk);
std::string encode_recipe_text(std::string_view utf8);
// A value read back: GBK bytes (with form Program) when it holds \xHH escapes, else the
// UTF-8 text (with form Unicode).
struct RecipeValue {
  std::string value;
  ValueForm form = ValueForm::Unicode;
};
RecipeValue read_recipe_value(std::string_view text);
// The GBK bytes of a value, whatever its form (old callers).
std::string decode_recipe_value(std::string_view text);

}  // namespace lq
