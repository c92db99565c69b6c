// [25] "取得md5编码": besides the line step, a button that shows the MD5 of a whole file
// picked in an open-file dialog in the read-only box Edit_md51.
#pragma once

#include <functional>

#include "gui/panels/control_form.h"

namespace lq::gui {

class TControlForm_md5 : public TControlForm_ {
  Q_OBJECT

 public:
  using TControlForm_::TControlForm_;

  void compute_md5();

  // The open-file dialog, replaceable for automated runs: answers the chosen path or "".
  using OpenDialog = std::function<QString(QWidget* owner)>;
  static void set_open_dialog(OpenDialog dialog);

 protected:
  void build_body() override;
};

}  // namespace lq::gui
