// The program's modal message box: caption, text, information icon, OK or Yes/No.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace lq::gui {

// The caption of the program's information boxes, in the language of the interface.
inline constexpr const char kInfoCaption[] = "提示";

// Shows the box and waits for the answer; true exactly when the user chose Yes.
bool msg_box(const QString& text, bool ask, QWidget* owner, const QString& caption);

// A box as the plain message function of the program shows it: OK, captioned with the
// application's name.
void show_message_box(const QString& text, QWidget* owner = nullptr);

// Replaces the box, for automated runs: the hook receives what would be shown and gives
// the answer. An empty function restores the real box.
using MsgBoxHook = std::function<bool(const QString& caption, const QString& text, bool ask)>;
void set_msg_box_hook(MsgBoxHook hook);

}  // namespace lq::gui
