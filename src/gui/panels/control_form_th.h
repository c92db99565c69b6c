// [4] "替换..": search text, "为", replacement, the two mode boxes and the button "多",
// which opens a new multi-replace window each time. While a multi-replace window is
// tracked, a run replaces its rows in order instead of the two edits.
#pragma once

#include "gui/panels/control_form.h"

namespace lq::gui {

class TControlForm_th : public TControlForm_ {
  Q_OBJECT

 public:
  using TControlForm_::TControlForm_;

  void push_params() override;
  void open_replace_table();

 protected:
  void build_body() override;
};

}  // namespace lq::gui
