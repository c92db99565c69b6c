// The message catalogue: user-visible texts looked up by id with a built-in default, so a
// reworded text could take the place of the built-in one. The catalogue starts empty in
// every run; each lookup adds its id with the default text, and "language.txt" lists the
// ids used in a run.
//
// Names and values never hold line breaks inside the catalogue: texts are stored through
// text_parts::crlf_to_tab and read back through text_parts::tab_to_crlf. All texts are GBK bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/textsvc/line_list.h"

namespace lq {

inline constexpr const char* kLanguageFileName = "language.txt";

// An ordered list of name=value lines. Names compare ASCII-case-insensitively.
class MessageCatalogue {
 public:
  // The value of the first line whose name (text before its first "=") equals name;
  // "" when there is none.
  std::string value(std::string_view name) const;
  // Replaces the line of name, or appends one; an empty value deletes the line.
  void set_value(std::string_view name, std::string_view value);

  const LineList& lines() const { return lines_; }
  void clear() { lines_.clear(); }

  // Every line followed by CR LF, replacing the file (read-only included). Throws RunError
  // when the file cannot be written.
  void save(const std::string& file_name) const;

 private:
  int index_of(std::string_view name) const;

  LineList lines_;
};

// A message of the program: its id and built-in default text (UTF-8 in the source; the
// catalogue holds it as GBK).
struct MessageId {
  const char* id;
  const char* default_utf8;
};

namespace msg {
inline constexpr MessageId kHintCaption{"20000002", "提示"};
inline constexpr MessageId kNoFiles{
    "20000003",
    "还未打开要处理的文件呢！\n您可以在菜单“文件”下的“打开要处理的文件...”"
    "中打开要处理的文件\n或是点击“打开要处理的文件”按钮。"};
inline constexpr MessageId kNeedInteger{"20000004", "应填一个整数，比如  10"};
inline constexpr MessageId kDone{"20000005", "完成"};
inline constexpr MessageId kCannotOpen{"20000006", "未能打开此文件，请用别的程序查看文件内容。"};
inline constexpr MessageId kLayoutNameEmpty{"20000007", "保存失败，文件名不能为空。"};
inline constexpr MessageId kLayoutSaveFailed{"20000008", "保存失败，请输入有效的文件名。"};
inline constexpr MessageId kNotFound{"20000010", "没找到。"};
inline constexpr MessageId kReloadChanged{"20000011", "文件已经修改,是否重新装载?"};
}  // namespace msg

// What the catalogue needs of a window to translate it or to record its texts. The GUI
// implements it over the window's controls and menu items (other components are left
// out), in creation order. Texts are GBK bytes.
class ITranslatableForm {
 public:
  virtual ~ITranslatableForm() = default;
  virtual int item_count() const = 0;
  virtual int tag(int index) const = 0;
  // A control's caption or content, a menu item's caption.
  virtual std::string text(int index) const = 0;
  virtual std::string hint(int index) const = 0;
  virtual void set_text(int index, std::string_view text) = 0;
  virtual void set_hint(int index, std::string_view hint) = 0;
};

namespace catalogue_text {

// The text for id: the catalogue's value, or the default, which is then stored under the
// id (an absent or blank value counts as missing). The id is trimmed first.
std::string get_text(MessageCatalogue& catalogue, std::string_view id,
                     std::string_view default_text);
// The same for a message of the program.
std::string get_text(MessageCatalogue& catalogue, const MessageId& message);

// Puts the catalogue's texts on every item whose tag is above 100: the value of the
// decimal tag becomes its text, that of tag + ".hint" its hint, when not empty.
void apply_form(ITranslatableForm& form, const MessageCatalogue& catalogue);

// Records every item's text and hint (whatever its tag) in the catalogue (an empty one
// when none is given) and saves the catalogue to file_name. Throws RunError when the
// file cannot be written.
void save_form(const ITranslatableForm& form, MessageCatalogue* catalogue,
               const std::string& file_name);

}  // namespace catalogue_text

// Message boxes belong to the user interface; the core shows them through this handler.
// It gets the text, whether to ask Yes/No, and the caption, all GBK bytes, and answers
// true for Yes; an empty caption asks for the interface's usual information caption.
// Without a handler the text goes to stderr (as UTF-8) and the answer is false.
using MsgBoxHandler =
    std::function<bool(std::string_view text, bool ask, std::string_view caption)>;
void set_msg_box_handler(MsgBoxHandler handler);

bool msg_box(std::string_view text, bool ask = false, std::string_view caption = {});

}  // namespace lq
