// The application icon: the installed icon theme's when there is one, else the copy
// built into the program, so that a portable copy shows it too.
#pragma once

#include <QIcon>

namespace lq::gui {

QIcon app_icon();

}  // namespace lq::gui
