#include "gui/tools/java_escape_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/encoding/unicode_helpers.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

Tex_form_java::Tex_form_java(QWidget* parent) : QDialog(parent) {
  setObjectName("Tex_form_java");
  setWindowTitle(QString::fromUtf8("java字符字节化"));
  auto* form = new QFormLayout(this);
  edit1_ = new QLineEdit(this);
  edit1_->setObjectName("Edit1");
  edit1_->setMinimumWidth(360);
  edit2_ = new QLineEdit(this);
  edit2_->setObjectName("Edit2");
  edit2_->setReadOnly(true);
  auto* l1 = new QLabel(QString::fromUtf8("汉字"), this);
  auto* l2 = new QLabel(QString::fromUtf8("java字符串"), this);
  l1->setBuddy(edit1_);
  l2->setBuddy(edit2_);
  form->addRow(l1, edit1_);
  form->addRow(l2, edit2_);
  button1_ = new QPushButton(QString::fromUtf8("转换"), this);
  button1_->setObjectName("Button1");
  button1_->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(button1_);
  form->addRow(row);
  connect(button1_, &QPushButton::clicked, this, &Tex_form_java::convert_clicked);
}

void Tex_form_java::convert_clicked() {
  edit2_->clear();
  edit2_->setText(from_gbk(java_escape(to_gbk(edit1_->text()))));
}

}  // namespace lq::gui
