// The scope box "作用范围" (GroupBox1 holding ScrollBox_fw1): fifteen radio buttons, one per
// scope mode, each on a row of its own with the mode's parameter boxes. Exactly one mode
// is selected; clicking a button or entering one of its parameter boxes selects it.
#pragma once

#include <QGroupBox>
#include <QHash>
#include <QString>

#include "core/scope/scope_settings.h"

class QRadioButton;
class QScrollArea;
class QLineEdit;

namespace lq::gui {

class ColorUpDown;

class ScopeBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit ScopeBox(QWidget* parent = nullptr);

  // 1..15, or 0 when no button is checked.
  int selected_mode() const;
  void select_mode(int mode);

  // The text of a parameter box, or the state ("1"/"0") of a check box, by control name.
  QString value(const QString& name) const;
  void set_value(const QString& name, const QString& value);
  // Position of an up-down control (UpDown1, UpDown_line1, ...).
  int updown_position(const QString& name) const;

  // What the user set, for a run.
  ScopeSettings snapshot() const;

  QScrollArea* scroll_box() const { return scroll_; }
  QRadioButton* radio(int mode) const;

 private:
  // Shared by all fifteen buttons: every other button is unchecked.
  void scope_mode_clicked(QRadioButton* clicked);

  QScrollArea* scroll_;
  QHash<int, QRadioButton*> radios_;
};

}  // namespace lq::gui
