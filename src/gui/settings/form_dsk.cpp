#include "gui/settings/form_dsk.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/layout_store.h"
#include "core/textsvc/file_services.h"
#include "gui/shell/form_texts.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"

namespace lq::gui {

Tform_dsk::Tform_dsk(const MessageCatalogue& catalogue, QWidget* parent) : QDialog(parent) {
  setObjectName("Tform_dsk");
  setWindowTitle("管理操作界面方案[窗体布局]");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(10, 10, 10, 10);
  grid->setHorizontalSpacing(10);

  auto* list_label = new QLabel("管理已有方案", this);
  list_label->setObjectName("Label1");
  list_ = new ColorListBox(this);
  list_->setObjectName("ListBox1");
  list_->setAccessibleName("管理已有方案");
  list_label->setBuddy(list_);
  auto* edit_label = new QLabel("请输入新方案名称", this);
  edit_label->setObjectName("Label2");
  edit_ = new ColorEdit(this);
  edit_->setObjectName("Edit1");
  edit_->setAccessibleName("请输入新方案名称");
  edit_label->setBuddy(edit_);

  auto* ok = new QPushButton("确定", this);
  ok->setObjectName("Button_ok1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("取消", this);
  cancel->setObjectName("Button_cancel1");
  auto* del = new QPushButton("删除", this);
  del->setObjectName("Button_delete1");
  del->setToolTip("删除当前选择的方案");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(del, &QPushButton::clicked, this, &Tform_dsk::delete_layout_clicked);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* it) { edit_->setText(it->text()); });

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addSpacing(16);
  buttons->addWidget(del);
  buttons->addStretch(1);

  grid->addWidget(list_label, 0, 0);
  grid->addWidget(list_, 1, 0);
  grid->addWidget(edit_label, 2, 0);
  grid->addWidget(edit_, 3, 0);
  grid->addLayout(buttons, 1, 1, 3, 1);
  grid->setRowStretch(1, 1);
  resize(380, 300);
  // A fixed frame: the dialog is small and has nothing to gain from resizing.
  setFixedSize(sizeHint().expandedTo(QSize(380, 300)));

  fill_list();
  FormTexts texts(this);
  catalogue_text::apply_form(texts, catalogue);
}

void Tform_dsk::fill_list() {
  list_->clear();
  for (const std::string& name : layout_names(app_path())) list_->addItem(path_to_q(name));
}

void Tform_dsk::delete_layout_clicked() {
  QListWidgetItem* it = list_->currentItem();
  if (!it || !it->isSelected()) return;
  delete_layout(app_path(), path_from_q(it->text()));
  fill_list();
}

}  // namespace lq::gui
