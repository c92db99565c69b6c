#include "gui/shell/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lq::gui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutBox1");
  setWindowTitle("关于");
  auto* col = new QVBoxLayout(this);
  auto* name = new QLabel(QString("<h2>Lexoquill %1</h2>").arg(LEXOQUILL_VERSION), this);
  name->setObjectName("Label_about_name1");
  col->addWidget(name);
  auto* text = new QLabel(
      "批量处理文本文件: 选择要处理的文件、作用范围和一项操作,\n"
      "点击“开始处理”即可处理列表中的全部文件。\n"
      "内置多标签文本编辑器。",
      this);
  text->setObjectName("Label_about_text1");
  col->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText("确定");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  col->addWidget(buttons);
}

}  // namespace lq::gui
