// Panels whose parameters are a choice between two radio buttons: [20]/[21], where the
// two choices are the numbered captions, and [26] with its two warnings.
#pragma once

#include "gui/panels/control_form.h"

namespace lq::gui {

class TControlForm_ft2gb : public TControlForm_ {
  Q_OBJECT
 public:
  using TControlForm_::TControlForm_;

 protected:
  void build_body() override;
};

class TControlForm_utf : public TControlForm_ {
  Q_OBJECT
 public:
  using TControlForm_::TControlForm_;

 protected:
  void build_body() override;
};

}  // namespace lq::gui
