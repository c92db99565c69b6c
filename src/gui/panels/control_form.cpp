#include "gui/panels/control_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {
namespace {

// Name of the up-down bound to an edit box: "Edit_sp_file1" -> "UpDown_sp_file1".
QString updown_name(const std::string& edit_name) {
  QString n = QString::fromStdString(edit_name);
  if (n.startsWith("Edit_")) return "UpDown_" + n.mid(5);
  return n + "_updown";
}

}  // namespace

TControlForm_::TControlForm_(const PanelClass& cls, Operation* op, QWidget* parent)
    : QFrame(parent), class_name_(cls.class_name), params_(cls.params), op_(op) {
  setObjectName(QString::fromStdString(cls.class_name));
  setWindowTitle("控件标准窗口");
  setFrameShape(QFrame::StyledPanel);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* panel1 = new QWidget(this);
  panel1->setObjectName("Panel1");
  outer->addWidget(panel1);
  auto* col = new QVBoxLayout(panel1);
  col->setContentsMargins(8, 4, 4, 6);
  col->setSpacing(4);

  // Top row: the enable box, the numbered caption, the hide button.
  const QString caption = cls.entries.empty() ? QString() : from_utf8(cls.entries[0].caption);
  auto* top = new QHBoxLayout;
  const bool caption_on_box = caption.startsWith("启用");
  chk_enable_ = new ImageCheckBox(caption_on_box ? caption : QString("启用"), panel1);
  chk_enable_->setObjectName("chkEnable");
  top->addWidget(chk_enable_);
  if (!caption_on_box && !caption.isEmpty()) {
    auto* title = new QLabel(caption, panel1);
    title->setObjectName("lblCaption");
    title->setStyleSheet("font-weight: bold;");
    top->addWidget(title);
    chk_enable_->setAccessibleName("启用 " + caption);
  }
  top->addStretch(1);
  btn_close_ = new ImageButton(style()->standardIcon(QStyle::SP_TitleBarCloseButton), QString(),
                               "隐藏此功能", panel1);
  btn_close_->setObjectName("btnClose");
  btn_close_->setFixedSize(23, 23);
  top->addWidget(btn_close_);
  col->addLayout(top);

  connect(chk_enable_, &QCheckBox::clicked, this, [this](bool checked) {
    if (op_) op_->SetEnabled(checked);
    emit enableClicked(this, checked);
  });
  connect(btn_close_, &QToolButton::clicked, this, [this] { emit closeClicked(this); });

  // One row of parameter widgets, a memo on a row of its own.
  body_ = new QGridLayout;
  body_->setHorizontalSpacing(6);
  col->addLayout(body_);
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  row->addSpacing(20);
  QWidget* memo = nullptr;
  for (const auto& d : params_) {
    const QString name = QString::fromStdString(d.name);
    const QString cap = from_utf8(d.caption);
    QLabel* label = nullptr;
    if (!cap.isEmpty() && (d.kind == ParamKind::Text || d.kind == ParamKind::UpDown)) {
      label = new QLabel(cap, panel1);
      row->addWidget(label);
    }
    switch (d.kind) {
      case ParamKind::Text:
      case ParamKind::UpDown: {
        auto* e = new ColorEdit(panel1);
        e->setObjectName(name);
        e->setMinimumWidth(120);
        e->setAccessibleName(cap.isEmpty() ? caption + " " + name : cap);
        if (label) label->setBuddy(e);
        row->addWidget(e);
        if (d.kind == ParamKind::UpDown) {
          auto* ud = new ColorUpDown(panel1);
          ud->setObjectName(updown_name(d.name));
          ud->setRange(d.min, d.max);
          ud->setBuddy(e);
          row->addWidget(ud);
        }
        break;
      }
      case ParamKind::Check: {
        auto* c = new ImageCheckBox(cap, panel1);
        c->setObjectName(name);
        row->addWidget(c);
        break;
      }
      case ParamKind::Radio: {
        auto* r = new QRadioButton(cap, panel1);
        r->setObjectName(name);
        r->setAccessibleName(cap);
        row->addWidget(r);
        break;
      }
      case ParamKind::Memo: {
        auto* m = new QPlainTextEdit(panel1);
        m->setObjectName(name);
        m->setAccessibleName(caption + " " + name);
        m->setFixedHeight(120);
        memo = m;
        break;
      }
    }
    set_widget_value(d, from_gbk(op_ ? op_->params().text(d.name) : d.default_value));
  }
  row->addStretch(1);
  if (row->count() > 2)
    col->addLayout(row);
  else
    delete row;
  if (memo) col->addWidget(memo);
}

TControlForm_::~TControlForm_() = default;

bool TControlForm_::is_enabled() const {
  return chk_enable_->isChecked();
}

void TControlForm_::SetEnabled(bool value) {
  chk_enable_->setChecked(value);  // setChecked does not emit clicked
  if (op_) op_->SetEnabled(value);
}

void TControlForm_::show_enabled() {
  if (op_) chk_enable_->setChecked(op_->enabled());
}

void TControlForm_::LineStep(std::string& text) {
  if (op_) op_->LineStep(text);
}

void TControlForm_::DocumentStep(LineList& lines, const std::string& file_name) {
  if (op_) op_->DocumentStep(lines, file_name);
}

QWidget* TControlForm_::param_widget(const ParamDecl& d) const {
  return findChild<QWidget*>(QString::fromStdString(d.name));
}

QString TControlForm_::widget_value(const ParamDecl& d) const {
  QWidget* w = param_widget(d);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? "1" : "0";
  return {};
}

void TControlForm_::set_widget_value(const ParamDecl& d, const QString& value) {
  QWidget* w = param_widget(d);
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(value);
    if (d.kind == ParamKind::UpDown) {
      if (auto* ud = findChild<ColorUpDown*>(updown_name(d.name))) {
        bool ok = false;
        const int v = value.trimmed().toInt(&ok);
        if (ok) ud->setPosition(v);
      }
    }
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
    m->setPlainText(value);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setChecked(value == "1");
  }
}

void TControlForm_::push_params() {
  if (!op_) return;
  op_->SetEnabled(is_enabled());
  for (const auto& d : params_) op_->params().set(d.name, to_gbk(widget_value(d)));
}

void TControlForm_::pull_params() {
  if (!op_) return;
  for (const auto& d : params_) {
    const std::string& v = op_->params().text(d.name);
    if (v != to_gbk(widget_value(d))) set_widget_value(d, from_gbk(v));
  }
}

}  // namespace lq::gui
