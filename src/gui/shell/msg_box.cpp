#include "gui/shell/msg_box.h"

#include <QApplication>
#include <QMessageBox>

namespace lq::gui {
namespace {

MsgBoxHook& hook() {
  static MsgBoxHook h;
  return h;
}

}  // namespace

void set_msg_box_hook(MsgBoxHook h) {
  hook() = std::move(h);
}

bool msg_box(const QString& raw, bool ask, QWidget* owner, const QString& caption) {
  // Catalogue texts come back with CR LF line breaks; a label wants LF.
  QString text = raw;
  text.replace("\r\n", "\n");
  if (hook()) return hook()(caption, text, ask);
  QMessageBox box(QMessageBox::Information, caption, text,
                  ask ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
  box.setObjectName("msg_box1");
  // Application-modal: every window of the program waits for the answer.
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec() == QMessageBox::Yes;
}

void show_message_box(const QString& text, QWidget* owner) {
  msg_box(text, false, owner, QApplication::applicationName());
}

}  // namespace lq::gui
