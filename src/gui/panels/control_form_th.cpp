#include "gui/panels/control_form_th.h"

#include <QHBoxLayout>

#include "core/operations/replace_op.h"
#include "gui/panels/form_th.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

void TControlForm_th::build_body() {
  QHBoxLayout* row = add_row();
  add_param(row, "Edit_th1", 200);
  add_param(row, "Edit_th2", 200);
  auto* more = new ImageButton(QIcon(), "多", "同时替换多个字符串", panel1());
  more->setObjectName("SpeedButton4");
  more->setAutoRaise(false);
  more->setFixedWidth(32);
  connect(more, &QToolButton::clicked, this, &TControlForm_th::open_replace_table);
  row->addWidget(more);
  QHBoxLayout* modes = add_row();
  add_param(modes, "CheckBox_th_r1");
  modes->addSpacing(12);
  add_param(modes, "CheckBox_th_r2");
}

void TControlForm_th::open_replace_table() {
  Tform_th::open_new();
}

void TControlForm_th::push_params() {
  TControlForm_::push_params();
  if (auto* replace = dynamic_cast<ReplaceOp*>(operation())) {
    if (Tform_th* w = Tform_th::tracked())
      replace->set_multi_rows(w->rows());
    else
      replace->set_multi_rows(std::nullopt);
  }
}

}  // namespace lq::gui
