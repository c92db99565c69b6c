#include "gui/panels/control_form_mod_out.h"

#include <QHBoxLayout>

#include "gui/panels/form_mod_out.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

void TControlForm_mod_out::build_body() {
  QHBoxLayout* row = add_row();
  auto* button = new ImageButton(QIcon(), "模板功能/宏替换", "打开模板功能/宏替换窗口", panel1());
  button->setObjectName("SpeedButton2");
  button->setAutoRaise(false);
  connect(button, &QToolButton::clicked, this, &TControlForm_mod_out::open_template_window);
  row->addWidget(button);
}

void TControlForm_mod_out::open_template_window() {
  Tform_mod_out::show_window();
}

}  // namespace lq::gui
