#include "gui/panels/control_form_choice.h"

#include <QHBoxLayout>
#include <QLabel>

namespace lq::gui {

void TControlForm_ft2gb::build_body() {
  // The two choices carry the numbers [20] and [21]; no separate caption.
  hide_caption();
  add_to_top_row(add_param(nullptr, "RadioButton_ft2gb"));
  add_to_top_row(add_param(nullptr, "RadioButton_gb2ft"));
  // Character by character through the tables, or phrase by phrase in a chosen standard.
  add_param(add_row(), "ComboBox_ft2gb1");
  QLabel* note = add_label(add_row(), "[注意:是这GBK字符集间的转换,与BIG5无关]");
  note->setObjectName("Label_note1");
  note->setStyleSheet("color: #a00000;");
}

void TControlForm_utf::build_body() {
  QHBoxLayout* row = add_row();
  add_param(row, "RadioButton_Unicode2");
  row->addSpacing(16);
  add_param(row, "RadioButton_Unicode3");
  int n = 1;
  for (const char* text : {"注意不要连续转换两次,否则会清空中文字符.",
                           "转换前应当先备份,转换与希望效果不同时再恢复,重做转换."}) {
    QLabel* l = add_label(add_row(), text);
    l->setObjectName(QString("Label_note%1").arg(n++));
    l->setStyleSheet("color: #a00000;");
  }
}

}  // namespace lq::gui
