#include "gui/shell/scope_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <vector>

#include "core/scope/scope_settings.h"
#include "gui/shell/tags.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"

namespace lq::gui {
namespace {

const ParamDecl* decl_of(const std::string& name) {
  for (const ParamDecl& d : ScopeSettings::decls())
    if (d.name == name) return &d;
  return nullptr;
}

// The long rows go on two lines: before the second count ("第..") and before a check box.
bool starts_second_line(const ScopeRowItem& item, size_t index) {
  if (index == 0) return false;
  if (item.kind == ScopeRowItem::Kind::Caption) return item.text.rfind("第..", 0) == 0;
  const ParamDecl* d = decl_of(item.text);
  return d && d->kind == ParamKind::Check;
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

  auto* group = new QButtonGroup(this);
  group->setExclusive(false);
  for (const ScopeModeInfo& mode : ScopeSettings::modes()) {
    // Each mode sits on a panel of its own; as the buttons are not siblings the toolkit's
    // own exclusion does not apply, the shared click handler does it.
    auto* panel = new QWidget(content);
    panel->setObjectName(QString("Panel_fw%1").arg(mode.mode));
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    lines->addLayout(row);
    QString last_caption;
    // The whole row as one reads it, to tell apart boxes whose captions repeat ("个..").
    QString row_text;
    for (const ScopeRowItem& item : mode.row)
      if (item.kind == ScopeRowItem::Kind::Caption) row_text += from_utf8(item.text);
    for (size_t i = 0; i < mode.row.size(); ++i) {
      const ScopeRowItem& item = mode.row[i];
      if (starts_second_line(item, i)) {
        row->addStretch(1);
        row = new QHBoxLayout;
        row->setSpacing(3);
        row->addSpacing(22);
        lines->addLayout(row);
      }
      const QString text = from_utf8(item.text);
      if (i == 0) {
        // The first caption is the radio button's own.
        auto* rb = new QRadioButton(text, panel);
        rb->setObjectName(QString::fromStdString(mode.radio));
        // Exclusive to assistive technology, which then calls it a radio button; the
        // non-exclusive group lets the shared handler uncheck the others.
        rb->setAutoExclusive(true);
        group->addButton(rb);
        rb->setAccessibleName(text);
        set_tag(rb, mode.tag);
        radios_.insert(mode.mode, rb);
        connect(rb, &QRadioButton::clicked, this, [this, rb] { scope_mode_clicked(rb); });
        row->addWidget(rb);
        last_caption = text;
        continue;
      }
      if (item.kind == ScopeRowItem::Kind::Caption) {
        auto* l = new QLabel(text, panel);
        set_tag(l, item.tag);
        row->addWidget(l);
        last_caption = text;
        continue;
      }
      const ParamDecl* d = decl_of(item.text);
      if (!d) continue;
      const QString init = from_gbk(d->default_value);
      if (d->kind == ParamKind::Check) {
        // Deliberately does not select its mode.
        auto* c = new QCheckBox(from_utf8(d->caption), panel);
        c->setObjectName(text);
        c->setAccessibleName(c->text());
        c->setChecked(d->default_value == "1");
        row->addWidget(c);
        continue;
      }
      auto* e = new ColorEdit(panel);
      e->setObjectName(text);
      e->setText(init);
      // Counts and one-character markers get a narrow box.
      e->setFixedWidth(d->default_value.empty() ? 80 : 40);
      // A box is named by the caption piece in front of it, as a label would name it.
      e->setAccessibleName(last_caption);
      e->setAccessibleDescription(row_text);
      // This box shares the Tag of the caption after it.
      if (d->name == "Edit_qjhj1") set_tag(e, 10300009);
      row->addWidget(e);
      if (d->kind == ParamKind::UpDown) {
        auto* ud = new ColorUpDown(panel);
        ud->setObjectName(QString::fromStdString(d->updown));
        ud->setAccessibleName(e->accessibleName());
        ud->setRange(d->min, d->max);
        ud->setPosition(init.toInt());
        ud->setBuddy(e);
        row->addWidget(ud);
      }
      // Entering a parameter box selects its mode.
      const int m = ScopeSettings::mode_of_control(d->name);
      if (m) connect(e, &ColorEdit::entered, this, [this, m] { select_mode(m); });
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
  if (QRadioButton* rb = radio(mode)) scope_mode_clicked(rb);
}

void ScopeBox::scope_mode_clicked(QRadioButton* clicked) {
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
      scope_mode_clicked(rb);
    else
      b->setChecked(value == "1");
  }
}

ScopeSettings ScopeBox::snapshot() const {
  ScopeSettings s;
  for (const ParamDecl& d : ScopeSettings::decls()) {
    const QString name = QString::fromStdString(d.name);
    if (d.kind == ParamKind::UpDown) {
      // The up-down first: the typed text then moves it only when it is a number.
      s.set(d.updown, std::to_string(updown_position(QString::fromStdString(d.updown))));
    }
    if (d.kind != ParamKind::Radio) s.set_text(d.name, value(name).toStdString());
  }
  s.select(selected_mode());
  return s;
}

int ScopeBox::updown_position(const QString& name) const {
  auto* ud = findChild<ColorUpDown*>(name);
  return ud ? ud->position() : 0;
}

}  // namespace lq::gui
