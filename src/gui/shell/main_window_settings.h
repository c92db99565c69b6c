// What the main window keeps for its settings, geometry, layouts, options and help: the
// open "sys1.ini", the options read from it, and the windows created on first use.
#pragma once

#include <QPointer>

#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "core/textsvc/text_data.h"

class QToolButton;

namespace lq::gui {

class LayoutComboBox;
class TQOZPosition;
class Tform_help;
class Tform_option;

struct MainWindowSettings {
  IniFile sys_ini;
  SysSettings sys;
  TTextData help_texts = make_text_data();
  TQOZPosition* window_positions = nullptr;
  LayoutComboBox* ComboBox_view1 = nullptr;
  QToolButton* SpeedButton10 = nullptr;
  QPointer<Tform_option> form_option;
  QPointer<Tform_help> form_help;
};

}  // namespace lq::gui
