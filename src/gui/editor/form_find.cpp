#include "gui/editor/form_find.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/editor/find_history.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "gui/shell/form_texts.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"

namespace lq::gui {

TForm_find::TForm_find(MessageCatalogue& catalogue, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), catalogue_(catalogue) {
  setObjectName("TForm_find");
  setWindowTitle(QString::fromUtf8("快速查找框"));
  setModal(false);
  auto* col = new QVBoxLayout(this);
  find1_ = new ColorComboBox(this);
  find1_->setObjectName("find1");
  find1_->setEditable(true);
  find1_->setInsertPolicy(QComboBox::NoInsert);
  find1_->setMinimumWidth(320);
  find1_->setAccessibleName(QString::fromUtf8("查找内容"));
  // The typing field takes the focus, so a screen reader names it, not the combo box.
  find1_->lineEdit()->setAccessibleName(find1_->accessibleName());
  col->addWidget(find1_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  ok_ = new QPushButton(QString::fromUtf8("确定"), this);
  ok_->setObjectName("Button_ok1");
  ok_->setDefault(true);
  cancel_ = new QPushButton(QString::fromUtf8("取消"), this);
  cancel_->setObjectName("Button_cancel1");
  row->addWidget(ok_);
  row->addWidget(cancel_);
  col->addLayout(row);
  connect(ok_, &QPushButton::clicked, this, &TForm_find::ok_clicked);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  FormTexts texts(this);
  catalogue_text::apply_form(texts, catalogue_);
}

TForm_find::~TForm_find() {
  try {
    const FormTexts texts(this);
    catalogue_text::save_form(texts, &catalogue_, app_path() + kLanguageFileName);
  } catch (...) {
    // A locked "language.txt" must not stop the program from closing.
  }
}

std::string TForm_find::history_path() {
  return app_path() + kFindHistoryFileName;
}

LineList TForm_find::history() const {
  LineList out;
  for (int i = 0; i < find1_->count(); ++i) out.push_back(to_gbk(find1_->itemText(i)));
  return out;
}

void TForm_find::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!placed_) {
    placed_ = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  const QString text = find1_->currentText();
  find1_->clear();
  for (const std::string& item : load_find_history(history_path())) find1_->addItem(from_gbk(item));
  find1_->setEditText(text);
  find1_->setFocus();
  find1_->lineEdit()->selectAll();
}

void TForm_find::ok_clicked() {
  const QString text = find1_->currentText();
  const std::string bytes = to_gbk(text);
  emit findRequested(bytes);
  activateWindow();
  raise();
  const LineList items = push_find_history(history(), bytes);
  find1_->clear();
  for (const std::string& item : items) find1_->addItem(from_gbk(item));
  find1_->setEditText(text);
}

void TForm_find::save_history() {
  try {
    save_find_history(history_path(), history());
  } catch (...) {
    // The history is a convenience; a file that cannot be written loses only it.
  }
}

void TForm_find::done(int r) {
  save_history();
  QDialog::done(r);
}

}  // namespace lq::gui
