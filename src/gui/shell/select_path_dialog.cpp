#include "gui/shell/select_path_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/widgets/color_widgets.h"

namespace lq::gui {

SelectPathDialog::SelectPathDialog(QWidget* parent) : QDialog(parent), edit_(new ColorEdit(this)) {
  setObjectName("Tform_select_path1");
  setWindowTitle("目录选择");
  auto* col = new QVBoxLayout(this);
  auto* label = new QLabel("目录(&P):", this);
  label->setBuddy(edit_);
  col->addWidget(label);
  auto* row = new QHBoxLayout;
  edit_->setObjectName("Edit_path1");
  edit_->setAccessibleName("目录");
  edit_->setMinimumWidth(360);
  row->addWidget(edit_, 1);
  auto* browse = new QPushButton("...", this);
  browse->setObjectName("btnBrowse1");
  browse->setAccessibleName("浏览文件夹");
  browse->setToolTip("浏览文件夹");
  browse->setAutoDefault(false);
  browse->setFixedWidth(32);
  row->addWidget(browse);
  col->addLayout(row);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* ok = new QPushButton("确定", this);
  ok->setObjectName("btnOk1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("取消", this);
  cancel->setObjectName("btnCancel1");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  col->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, "目录选择", edit_->text());
    if (!dir.isEmpty()) edit_->setText(dir);
  });
}

QString SelectPathDialog::path() const {
  return edit_->text();
}

}  // namespace lq::gui
