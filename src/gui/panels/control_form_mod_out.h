// [17]: not a step of the run; its button opens the template window.
#pragma once

#include "gui/panels/control_form.h"

namespace lq::gui {

class TControlForm_mod_out : public TControlForm_ {
  Q_OBJECT

 public:
  using TControlForm_::TControlForm_;

  void open_template_window();

 protected:
  void build_body() override;
};

}  // namespace lq::gui
