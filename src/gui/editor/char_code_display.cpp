#include "gui/editor/char_code_display.h"

#include <QHBoxLayout>
#include <QLabel>

#include "core/encoding/unicode_helpers.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"

namespace lq::gui {

namespace {

// A byte shown as a character: itself below 0x80, else the character it stands for alone
// in the code page (often none, shown as the replacement mark).
QString byte_text(std::string_view bytes) {
  return from_gbk(bytes);
}

}  // namespace

CharCodeDisplay::CharCodeDisplay(QWidget* parent) : QWidget(parent) {
  setObjectName("Panel_code1");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(3);
  auto* label = new QLabel(QString::fromUtf8("当前字符编码:"), this);
  label->setObjectName("Label_code1");
  code1_ = new ColorEdit(this);
  code1_->setObjectName("Edit_code1");
  code1_->setFixedWidth(24);
  code1_->setMaxLength(1);
  code1_->setAccessibleName(QString::fromUtf8("当前字符"));
  code2_ = new ColorEdit(this);
  code2_->setObjectName("Edit_code2");
  code2_->setReadOnly(true);
  code2_->setFocusPolicy(Qt::ClickFocus);
  code2_->setFixedWidth(code2_->fontMetrics().horizontalAdvance(QStringLiteral("W D=999,H=FF")) +
                        12);
  code2_->setAccessibleName(QString::fromUtf8("当前字符编码"));
  label->setBuddy(code1_);
  for (ColorEdit* e : {code1_, code2_}) e->setFrame(false);
  row->addWidget(label);
  row->addWidget(code1_);
  row->addWidget(code2_);
  // As wide as its parts: a status bar would otherwise spread them apart.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  connect(code1_, &QLineEdit::textChanged, this, &CharCodeDisplay::code1_changed);
}

void CharCodeDisplay::show_byte(const std::string& byte) {
  byte_ = byte;
  setting_ = true;
  // Set even when the text looks the same, so the display follows every key.
  code1_->blockSignals(true);
  code1_->clear();
  code1_->blockSignals(false);
  code1_->setText(byte_text(byte));
  setting_ = false;
}

void CharCodeDisplay::code1_changed(const QString& text) {
  if (text.isEmpty()) return;  // Edit_code2 keeps its text
  const std::string bytes = setting_ ? byte_ : to_gbk(text);
  if (bytes.empty()) return;
  code2_->setText(byte_text(char_code_text(static_cast<unsigned char>(bytes[0]))));
}

}  // namespace lq::gui
