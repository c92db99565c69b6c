#include "gui/panels/control_form_md5.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>

#include "core/operations/md5.h"
#include "gui/shell/background_task.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {
namespace {

TControlForm_md5::OpenDialog& open_dialog() {
  static TControlForm_md5::OpenDialog d;
  return d;
}

}  // namespace

void TControlForm_md5::set_open_dialog(OpenDialog dialog) {
  open_dialog() = std::move(dialog);
}

void TControlForm_md5::build_body() {
  QHBoxLayout* row = add_row();
  auto* button =
      new ImageButton(QIcon(), ">  取整个文件的md5编码", "选择一个文件, 计算它的md5编码", panel1());
  button->setObjectName("SpeedButton_md51");
  button->setAutoRaise(false);
  connect(button, &QToolButton::clicked, this, &TControlForm_md5::compute_md5);
  row->addWidget(button);
  auto* edit = static_cast<QLineEdit*>(add_param(row, "Edit_md51", 260));
  edit->setReadOnly(true);
  edit->setAccessibleName("md5编码");
}

void TControlForm_md5::compute_md5() {
  const QString path = open_dialog() ? open_dialog()(this)
                                     : QFileDialog::getOpenFileName(this, "取整个文件的md5编码");
  if (path.isEmpty()) return;  // cancelled: nothing changes
  // A large file takes a while: read on a worker, with progress and "停止".
  const std::string file = path_from_q(path);
  std::optional<std::string> digest;
  std::optional<std::string> error;
  run_in_background(this, "正在计算md5编码...", [&](const TaskStep& step) {
    try {
      digest = md5_file_hex(file, step);
    } catch (const std::exception& e) {  // nothing may leave the worker's thread
      error = e.what();
    }
  });
  auto* edit = findChild<QLineEdit*>("Edit_md51");
  if (error) {
    // No digest rather than the one of an empty file, and the reason why.
    if (edit) edit->clear();
    show_message_box(QString::fromLocal8Bit(error->c_str()), this);
    return;
  }
  if (!digest) return;  // stopped: the box keeps what it showed
  if (edit) edit->setText(QString::fromStdString(*digest));
}

}  // namespace lq::gui
