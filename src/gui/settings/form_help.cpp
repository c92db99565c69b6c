#include "gui/settings/form_help.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/textsvc/file_services.h"
#include "gui/shell/form_texts.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

Tform_help::Tform_help(const MessageCatalogue& catalogue, QWidget* parent) : QDialog(parent) {
  setObjectName("Tform_help");
  setWindowTitle("帮助");
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  memo_->setAccessibleName("帮助");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Read-only text still takes the caret, so the keyboard can scroll and select.
  memo_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  col->addWidget(memo_);
  resize(512, 375);
  FormTexts texts(this);
  catalogue_text::apply_form(texts, catalogue);
}

void Tform_help::set_text(const std::string& gbk) {
  memo_->setPlainText(from_gbk(gbk));
}

void Tform_help::load_file(const std::string& path) {
  LineList lines;
  load_lines(path, lines);
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  set_text(text);
}

}  // namespace lq::gui
