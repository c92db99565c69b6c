// [6] "查找..": the query and, beside it, the help text find_help on the " and " syntax.
#pragma once

#include "gui/panels/control_form.h"

namespace lq::gui {

class TControlForm_find : public TControlForm_ {
  Q_OBJECT

 public:
  using TControlForm_::TControlForm_;

  // The four lines of find_help.
  static QString help_text();

 protected:
  void build_body() override;
};

}  // namespace lq::gui
