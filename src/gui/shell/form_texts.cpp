#include "gui/shell/form_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "gui/shell/tags.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

FormTexts::FormTexts(QWidget* window) {
  for (QObject* o : window->findChildren<QObject*>()) {
    if (qobject_cast<QLabel*>(o) || qobject_cast<QAbstractButton*>(o) ||
        qobject_cast<QGroupBox*>(o) || qobject_cast<QLineEdit*>(o))
      items_ << o;
    else if (auto* a = qobject_cast<QAction*>(o); a && !a->isSeparator())
      items_ << o;
  }
}

int FormTexts::tag(int index) const {
  QObject* o = items_.value(index);
  return o ? tag_of(o) : 0;
}

std::string FormTexts::text(int index) const {
  QObject* o = items_.value(index);
  QString t;
  if (auto* l = qobject_cast<QLabel*>(o))
    t = l->text();
  else if (auto* b = qobject_cast<QAbstractButton*>(o))
    t = b->text();
  else if (auto* g = qobject_cast<QGroupBox*>(o))
    t = g->title();
  else if (auto* e = qobject_cast<QLineEdit*>(o))
    t = e->text();
  else if (auto* a = qobject_cast<QAction*>(o))
    t = a->text();
  return to_gbk(t);
}

std::string FormTexts::hint(int index) const {
  QObject* o = items_.value(index);
  if (auto* w = qobject_cast<QWidget*>(o)) return to_gbk(w->toolTip());
  if (auto* a = qobject_cast<QAction*>(o))
    return to_gbk(a->toolTip() == a->text() ? QString() : a->toolTip());
  return {};
}

void FormTexts::set_text(int index, std::string_view text) {
  QObject* o = items_.value(index);
  const QString t = from_gbk(text);
  if (auto* l = qobject_cast<QLabel*>(o))
    l->setText(t);
  else if (auto* b = qobject_cast<QAbstractButton*>(o))
    b->setText(t);
  else if (auto* g = qobject_cast<QGroupBox*>(o))
    g->setTitle(t);
  else if (auto* e = qobject_cast<QLineEdit*>(o))
    e->setText(t);
  else if (auto* a = qobject_cast<QAction*>(o))
    a->setText(t);
}

void FormTexts::set_hint(int index, std::string_view hint) {
  QObject* o = items_.value(index);
  if (auto* w = qobject_cast<QWidget*>(o))
    w->setToolTip(from_gbk(hint));
  else if (auto* a = qobject_cast<QAction*>(o))
    a->setToolTip(from_gbk(hint));
}

}  // namespace lq::gui
