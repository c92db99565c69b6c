#include "gui/shell/scope_box.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <vector>

#include "gui/shell/tags.h"
#include "gui/widgets/color_widgets.h"

namespace lq::gui {
namespace {

// One piece of a mode's row, in the order shown.
struct Piece {
  enum Kind { Radio, Label, Edit, Count, UpDown, Check, Break } kind;
  const char* name = "";
  const char* text = "";  // caption, or the initial text of a box
  int tag = 0;
  int min = 0, max = 0;  // up-down range; the position is the edit's initial number
  const char* updown = "";
};

Piece radio(const char* name, const char* caption, int tag) {
  return {Piece::Radio, name, caption, tag};
}
Piece label(const char* caption, int tag = 0) {
  return {Piece::Label, "", caption, tag};
}
Piece text(const char* name, const char* init = "", int tag = 0) {
  return {Piece::Edit, name, init, tag};
}
Piece count(const char* name, const char* init, int tag = 0) {
  return {Piece::Count, name, init, tag};
}
Piece updown(const char* edit, const char* ud, const char* init) {
  return {Piece::UpDown, edit, init, 0, 1, 32767, ud};
}
Piece check(const char* name, const char* caption) {
  return {Piece::Check, name, caption};
}
Piece wrap() {
  return {Piece::Break};
}

struct Mode {
  int number;
  std::vector<Piece> pieces;
};

// The fifteen rows, top to bottom, with the Tags of the message catalogue.
const std::vector<Mode>& modes() {
  static const std::vector<Mode> m = {
      {1, {radio("RadioButton_fw_all1", "[1]全部", 10300001)}},
      {2,
       {radio("RadioButton_fw_qj1", "[2]每一行的前?个字符", 10300002), count("Edit_fw_qj1", "10")}},
      {3,
       {radio("RadioButton_fw_qz1", "[3]每一行的第..", 10300003), count("Edit_fw_qz1", "1"),
        label("个..", 10300004), text("Edit_fw_qz2"), label("字符串之前", 10300005), wrap(),
        check("CheckBox_fw_qz3", "没找到字符串时处理整行")}},
      {4, {radio("RadioButton_hy1", "[4]含有..的行", 10300006), text("Edit_hy1")}},
      {5,
       {radio("RadioButton_fw_qjhj1", "[5]每一行的第..", 10300008),
        count("Edit_qjhj1", "1", 10300009), label("个..", 10300009), text("Edit_qjhj2"),
        label("之后到", 10300010), wrap(), label("第..", 10300011), count("Edit_qjhj3", "1"),
        label("个..", 10300012), text("Edit_qjhj4"), label("之前", 10300013)}},
      {6, {radio("RadioButton_bh1", "[6]不含有..的行", 10300014), text("edit_bh1")}},
      {7,
       {radio("RadioButton_fw_hqjhj1", "[7]从第..", 10300016), count("Edit_qj1", "1"),
        label("个含有..", 10300017), text("Edit_qj2"), label("的行之后到", 10300018), wrap(),
        label("第..", 10300019), count("Edit_qj3", "1"), label("个含有..", 10300020),
        text("Edit_qj4"), label("之前", 10300021)}},
      {8,
       {radio("RadioButton_fw_hj1", "[8]每一行的后?个字符", 10300022), count("Edit_fw_hj1", "1")}},
      {9,
       {radio("RadioButton_line1", "[9]第?行", 10300023),
        updown("Edit_line1", "UpDown_line1", "1")}},
      {10,
       {radio("RadioButton_line_m1", "[10]第?行", 10300024),
        updown("Edit_line_m1", "UpDown_line_m1", "1"), label("至 第?行", 10300025),
        updown("Edit_line_m2", "UpDown_line_m2", "2")}},
      {11,
       {radio("RadioButton_fw_len1", "[11]长度为?的行", 10300030),
        updown("Edit_fw_len1", "UpDown1", "1")}},
      {12,
       {radio("RadioButton_fw_sp1", "[12]每行中", 10300031), label("各个", 10300032),
        count("Edit_fw_b_sp1", "("), label("与", 10300033), count("Edit_fw_e_sp1", ")"),
        label("之间的字符串", 10300034)}},
      {13,
       {radio("RadioButton_fw_mg1", "[13]每行中每隔?个字符单独处理", 10300035),
        updown("Edit_fw_mg1", "UpDown2", "1")}},
      {14,
       {radio("RadioButton_fw_sp_r1", "[14]右边第一个分隔符..之后", 10300035),
        text("edit_fw_sp_r1")}},
      {15,
       {radio("RadioButton_fw_sp_l1", "[15]左边第一个分隔符..之后", 10300035),
        text("Edit_fw_sp_l1")}},
  };
  return m;
}

}  // namespace

ScopeBox::ScopeBox(QWidget* parent)
    : QGroupBox("作用范围", parent), scroll_(new QScrollArea(this)) {
  setObjectName("GroupBox1");
  set_tag(this, 10400001);
  setAccessibleName("作用范围");
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  scroll_->setObjectName("ScrollBox_fw1");
  scroll_->setAccessibleName("作用范围");
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  outer->addWidget(scroll_);

  auto* content = new QWidget;
  content->setObjectName("ScrollBox_fw1_content");
  auto* rows = new QVBoxLayout(content);
  rows->setContentsMargins(2, 2, 2, 2);
  rows->setSpacing(1);

  for (const Mode& mode : modes()) {
    // Each mode sits on a panel of its own, as the buttons are not siblings the toolkit's
    // own exclusion does not apply; the shared click handler does it.
    auto* panel = new QWidget(content);
    panel->setObjectName(QString("Panel_fw%1").arg(mode.number));
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    lines->addLayout(row);
    QRadioButton* rb = nullptr;
    QString last_caption;
    for (const Piece& p : mode.pieces) {
      switch (p.kind) {
        case Piece::Radio: {
          rb = new QRadioButton(QString::fromUtf8(p.text), panel);
          rb->setObjectName(p.name);
          rb->setAutoExclusive(false);
          rb->setAccessibleName(QString::fromUtf8(p.text));
          set_tag(rb, p.tag);
          radios_.insert(mode.number, rb);
          connect(rb, &QRadioButton::clicked, this, [this, rb] { RadioButton_fw_all1Click(rb); });
          row->addWidget(rb);
          last_caption = rb->text();
          break;
        }
        case Piece::Label: {
          auto* l = new QLabel(QString::fromUtf8(p.text), panel);
          set_tag(l, p.tag);
          row->addWidget(l);
          last_caption = l->text();
          break;
        }
        case Piece::Edit:
        case Piece::Count:
        case Piece::UpDown: {
          auto* e = new ColorEdit(panel);
          e->setObjectName(p.name);
          e->setText(QString::fromUtf8(p.text));
          e->setFixedWidth(p.kind == Piece::Edit ? 80 : 40);
          // A box is named by the caption piece in front of it.
          e->setAccessibleName(last_caption + " (" + QString(p.name) + ")");
          if (p.tag) set_tag(e, p.tag);
          row->addWidget(e);
          if (p.kind == Piece::UpDown) {
            auto* ud = new ColorUpDown(panel);
            ud->setObjectName(p.updown);
            ud->setAccessibleName(e->accessibleName());
            ud->setRange(p.min, p.max);
            ud->setPosition(QString::fromUtf8(p.text).toInt());
            ud->setBuddy(e);
            row->addWidget(ud);
          }
          // Entering a parameter box selects its mode.
          connect(e, &ColorEdit::entered, this, [this, n = mode.number] { select_mode(n); });
          break;
        }
        case Piece::Check: {
          // Deliberately does not select its mode.
          auto* c = new QCheckBox(QString::fromUtf8(p.text), panel);
          c->setObjectName(p.name);
          c->setAccessibleName(c->text());
          row->addWidget(c);
          break;
        }
        case Piece::Break:
          row->addStretch(1);
          row = new QHBoxLayout;
          row->setSpacing(3);
          row->addSpacing(22);
          lines->addLayout(row);
          break;
      }
    }
    row->addStretch(1);
    rows->addWidget(panel);
  }
  rows->addStretch(1);
  scroll_->setWidget(content);
  select_mode(1);
}

QRadioButton* ScopeBox::radio(int mode) const {
  return radios_.value(mode, nullptr);
}

int ScopeBox::selected_mode() const {
  for (auto it = radios_.begin(); it != radios_.end(); ++it)
    if (it.value()->isChecked()) return it.key();
  return 0;
}

void ScopeBox::select_mode(int mode) {
  if (QRadioButton* rb = radio(mode)) RadioButton_fw_all1Click(rb);
}

void ScopeBox::RadioButton_fw_all1Click(QRadioButton* clicked) {
  // A click on a checked button must leave it checked (the buttons do not exclude
  // one another by themselves).
  clicked->setChecked(true);
  for (QRadioButton* rb : findChildren<QRadioButton*>())
    if (rb->objectName() != clicked->objectName()) rb->setChecked(false);
}

QString ScopeBox::value(const QString& name) const {
  QWidget* w = findChild<QWidget*>(name);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? "1" : "0";
  return {};
}

void ScopeBox::set_value(const QString& name, const QString& value) {
  QWidget* w = findChild<QWidget*>(name);
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(value);
    // Keep a bound up-down in step, as typing would.
    for (auto* ud : findChildren<ColorUpDown*>())
      if (ud->buddy() == e) {
        bool ok = false;
        const int v = value.trimmed().toInt(&ok);
        if (ok) ud->setPosition(v);
      }
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (auto* rb = qobject_cast<QRadioButton*>(b); rb && value == "1")
      RadioButton_fw_all1Click(rb);
    else
      b->setChecked(value == "1");
  }
}

int ScopeBox::updown_position(const QString& name) const {
  auto* ud = findChild<ColorUpDown*>(name);
  return ud ? ud->position() : 0;
}

}  // namespace lq::gui
