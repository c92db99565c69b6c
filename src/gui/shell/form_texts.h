// A window's controls and menu items as the message catalogue sees them: by Tag number,
// with a text and a hint, so catalogue_text::apply_form and catalogue_text::save_form work on Qt
// windows.
#pragma once

#include <QList>
#include <QPointer>

#include "core/textsvc/message_catalogue.h"

class QWidget;

namespace lq::gui {

class FormTexts : public ITranslatableForm {
 public:
  // Every label, button, group box and edit box in the window, then its menu items.
  explicit FormTexts(QWidget* window);

  int item_count() const override { return static_cast<int>(items_.size()); }
  int tag(int index) const override;
  std::string text(int index) const override;
  std::string hint(int index) const override;
  void set_text(int index, std::string_view text) override;
  void set_hint(int index, std::string_view hint) override;

 private:
  QList<QPointer<QObject>> items_;
};

}  // namespace lq::gui
