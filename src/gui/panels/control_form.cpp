#include "gui/panels/control_form.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/shell/text_bridge.h"
#include "gui/widgets/caption_radio.h"
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

// What an edit box without a label of its own holds, for its hint and screen readers.
QString param_hint(const std::string& name) {
  static const std::pair<const char*, const char*> hints[] = {
      {"Edit_leftadd1", "加在前面的字符"},
      {"Edit_rightadd1", "加在后面的字符"},
      {"Edit_full1", "填满到的字节数"},
      {"Edit_th1", "要替换的字符串"},
      {"Edit_find1", "要查找的字符串"},
      {"Edit_m_to_one1", "x (行数)"},
      {"Edit_row_to_col1", "列之间的分隔符"},
      {"Edit_sp_file1", "每个文件的行数"},
      {"Edit_sp_file2", "文件名宏 (%d 为文件序号)"},
  };
  for (const auto& [n, hint] : hints)
    if (name == n) return QString::fromUtf8(hint);
  return {};
}

// Numbers and one-character separators get a short box, other texts a long one.
int default_edit_width(const ParamDecl& d) {
  const std::string& v = d.default_value;
  const bool number = !v.empty() && v.find_first_not_of("0123456789") == std::string::npos;
  return d.kind == ParamKind::UpDown || number || v.size() == 1 ? 60 : 160;
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
  panel1_ = new QWidget(this);
  panel1_->setObjectName("Panel1");
  outer->addWidget(panel1_);
  auto* col = new QVBoxLayout(panel1_);
  col->setContentsMargins(8, 4, 4, 6);
  col->setSpacing(4);

  // Top row: the enable box, the numbered caption, the hide button.
  caption_ = cls.entries.empty() ? QString() : from_utf8(cls.entries[0].caption);
  auto* top = top_ = new QHBoxLayout;
  top->setSpacing(6);
  const bool caption_on_box = caption_.startsWith("启用");
  chk_enable_ = new ImageCheckBox(caption_on_box ? caption_ : QString("启用"), panel1_);
  chk_enable_->setObjectName("chkEnable");
  top->addWidget(chk_enable_);
  if (!caption_on_box && !caption_.isEmpty()) {
    auto* title = new CaptionRadio(caption_, panel1_);
    title->setObjectName("lblCaption");
    caption_label_ = title;
    top->addWidget(title);
    chk_enable_->setAccessibleName("启用 " + caption_);
  }
  top->addStretch(1);
  btn_close_ = new ImageButton(style()->standardIcon(QStyle::SP_TitleBarCloseButton), QString(),
                               "隐藏此功能", panel1_);
  btn_close_->setObjectName("btnClose");
  btn_close_->setFixedSize(23, 23);
  top->addWidget(btn_close_, 0, Qt::AlignTop);
  col->addLayout(top);

  // Alt+Q (qiyong) switches the panel that holds the focus on or off, so no panel needs
  // the mouse; the caption stays as it is, with no mnemonic mark in it.
  auto* enable_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Q), this);
  enable_key->setContext(Qt::WidgetWithChildrenShortcut);
  connect(enable_key, &QShortcut::activated, chk_enable_, &QCheckBox::click);
  chk_enable_->setAccessibleDescription("Alt+Q");
  connect(chk_enable_, &QCheckBox::clicked, this, [this](bool checked) {
    if (op_) op_->set_enabled(checked);
    emit enableClicked(this, checked);
  });
  connect(btn_close_, &QToolButton::clicked, this, [this] { emit closeClicked(this); });

  body_ = new QVBoxLayout;
  body_->setSpacing(4);
  col->addLayout(body_);
}

void TControlForm_::build() {
  build_body();
  for (const auto& d : params_)
    set_widget_value(d, op_ ? QString::fromStdString(op_->params().unicode_text(d.name))
                            : from_gbk(d.default_value));
}

void TControlForm_::build_body() {
  QHBoxLayout* row = nullptr;
  for (const auto& d : params_) {
    if (d.kind == ParamKind::Memo) {
      add_param(nullptr, d.name);
      continue;
    }
    if (!row) row = add_row();
    add_param(row, d.name);
  }
}

QHBoxLayout* TControlForm_::add_row() {
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  // Rows start under the caption, to the right of the enable box's square.
  row->addSpacing(20);
  auto* holder = new QHBoxLayout;
  holder->addLayout(row);
  holder->addStretch(1);
  body_->addLayout(holder);
  return row;
}

QLabel* TControlForm_::add_label(QHBoxLayout* row, const QString& text) {
  auto* l = new QLabel(text, panel1_);
  row->addWidget(l);
  return l;
}

const ParamDecl* TControlForm_::decl(const std::string& name) const {
  for (const auto& d : params_)
    if (d.name == name) return &d;
  return nullptr;
}

void TControlForm_::add_to_top_row(QWidget* w) {
  // Before the stretch and the hide button.
  top_->insertWidget(top_->count() - 2, w);
}

void TControlForm_::hide_caption() {
  if (caption_label_) caption_label_->hide();
}

QWidget* TControlForm_::add_param(QHBoxLayout* row, const std::string& param, int edit_width) {
  const ParamDecl* d = decl(param);
  if (!d) return nullptr;
  const QString name = QString::fromStdString(d->name);
  const QString cap = from_utf8(d->caption);
  QLabel* label = nullptr;
  if (row && !cap.isEmpty() &&
      (d->kind == ParamKind::Text || d->kind == ParamKind::UpDown || d->kind == ParamKind::Choice))
    label = add_label(row, cap);
  switch (d->kind) {
    case ParamKind::Text:
    case ParamKind::UpDown: {
      auto* e = new ColorEdit(panel1_);
      e->setObjectName(name);
      e->setFixedWidth(edit_width > 0 ? edit_width : default_edit_width(*d));
      const QString hint = param_hint(d->name);
      e->setAccessibleName(!cap.isEmpty() ? cap : !hint.isEmpty() ? hint : caption_);
      if (!hint.isEmpty()) e->setToolTip(hint);
      if (label) label->setBuddy(e);
      if (row) row->addWidget(e);
      if (d->kind == ParamKind::UpDown) {
        auto* ud = new ColorUpDown(panel1_);
        ud->setObjectName(updown_name(d->name));
        ud->setRange(d->min, d->max);
        ud->setBuddy(e);
        if (row) row->addWidget(ud);
      }
      return e;
    }
    case ParamKind::Check: {
      auto* c = new ImageCheckBox(cap, panel1_);
      c->setObjectName(name);
      if (row) row->addWidget(c);
      return c;
    }
    case ParamKind::Radio: {
      auto* r = new QRadioButton(cap, panel1_);
      r->setObjectName(name);
      r->setAccessibleName(cap);
      if (row) row->addWidget(r);
      return r;
    }
    case ParamKind::Choice: {
      auto* c = new ColorComboBox(panel1_);
      c->setObjectName(name);
      for (const std::string& item : d->items) c->addItem(from_utf8(item));
      c->setAccessibleName(cap);
      if (label) label->setBuddy(c);
      if (row) row->addWidget(c);
      return c;
    }
    case ParamKind::Memo: {
      auto* m = new QPlainTextEdit(panel1_);
      m->setObjectName(name);
      QString what = caption_;
      if (what.startsWith("启用")) what = what.mid(2).trimmed();
      m->setAccessibleName(what);
      m->setFixedHeight(120);
      m->setLineWrapMode(QPlainTextEdit::NoWrap);
      // Code reads best with its columns lined up.
      m->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
      m->setTabChangesFocus(true);
      if (row) {
        row->addWidget(m, 1);
      } else {
        // A row of its own, as wide as the panel, starting under the caption.
        auto* own = new QHBoxLayout;
        own->addSpacing(20);
        own->addWidget(m, 1);
        body_->addLayout(own);
      }
      return m;
    }
  }
  return nullptr;
}

TControlForm_::~TControlForm_() = default;

bool TControlForm_::is_enabled() const {
  return chk_enable_->isChecked();
}

void TControlForm_::set_enabled(bool value) {
  chk_enable_->setChecked(value);  // setChecked does not emit clicked
  if (op_) op_->set_enabled(value);
}

void TControlForm_::show_enabled() {
  if (op_) chk_enable_->setChecked(op_->enabled());
}

void TControlForm_::line_step(std::string& text) {
  if (op_) op_->line_step(text);
}

void TControlForm_::document_step(LineList& lines, const std::string& file_name) {
  if (op_) op_->document_step(lines, file_name);
}

QWidget* TControlForm_::param_widget(const ParamDecl& d) const {
  return findChild<QWidget*>(QString::fromStdString(d.name));
}

QString TControlForm_::widget_value(const ParamDecl& d) const {
  QWidget* w = param_widget(d);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? "1" : "0";
  if (auto* c = qobject_cast<QComboBox*>(w)) return QString::number(c->currentIndex());
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
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    bool ok = false;
    const int item = value.trimmed().toInt(&ok);
    if (ok && item >= 0 && item < c->count()) c->setCurrentIndex(item);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    // A checked radio button of an exclusive group refuses to be cleared directly.
    const bool exclusive = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(value == "1");
    b->setAutoExclusive(exclusive);
  }
}

ParamValues TControlForm_::values() const {
  ParamValues v(params_);
  // What the user typed is text: each file of a run gets it in its own code page.
  for (const auto& d : params_) v.set_text(d.name, widget_value(d).toStdString());
  return v;
}

void TControlForm_::set_values(const ParamValues& values) {
  for (const auto& d : params_)
    if (values.has(d.name))
      set_widget_value(d, QString::fromStdString(values.unicode_text(d.name)));
}

void TControlForm_::push_params() {
  if (!op_) return;
  op_->set_enabled(is_enabled());
  for (const auto& d : params_) op_->params().set_text(d.name, widget_value(d).toStdString());
}

void TControlForm_::pull_params() {
  if (!op_) return;
  for (const auto& d : params_) {
    const QString v = QString::fromStdString(op_->params().unicode_text(d.name));
    if (v != widget_value(d)) set_widget_value(d, v);
  }
}

}  // namespace lq::gui
