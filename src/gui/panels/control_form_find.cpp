#include "gui/panels/control_form_find.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>

namespace lq::gui {

QString TControlForm_find::help_text() {
  return QStringList{"+查找功能中支持“与”操作，各词之间用 and 隔开", "例如  ", "1 and 2",
                     "所有含有\"1\" 和\"2\"的行将被查找出来"}
      .join('\n');
}

void TControlForm_find::build_body() {
  QHBoxLayout* row = add_row();
  QWidget* edit = add_param(row, "Edit_find1", 240);
  row->setAlignment(edit, Qt::AlignTop);
  auto* help = new QPlainTextEdit(help_text(), panel1());
  help->setObjectName("find_help1");
  help->setAccessibleName("查找帮助");
  help->setReadOnly(true);
  help->setFocusPolicy(Qt::NoFocus);
  help->setLineWrapMode(QPlainTextEdit::NoWrap);
  help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  help->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  help->setStyleSheet("QPlainTextEdit { background: black; color: lime; border: none; }");
  const QFontMetrics fm(help->font());
  help->setFixedSize(fm.horizontalAdvance(help_text().section('\n', 0, 0)) + 24,
                     fm.lineSpacing() * 4 + 12);
  row->addSpacing(12);
  row->addWidget(help, 0, Qt::AlignTop);
}

}  // namespace lq::gui
