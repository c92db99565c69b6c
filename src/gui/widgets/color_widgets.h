// Edit, list and combo boxes drawn with a thin coloured border that lights up with the
// focus, and the up-down control that steps a number in an edit box beside it.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

class QToolButton;

namespace lq::gui {

class ColorEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit ColorEdit(QWidget* parent = nullptr);

 signals:
  // Emitted when the box receives the keyboard focus (by click or Tab).
  void entered();

 protected:
  void focusInEvent(QFocusEvent* e) override;
};

class ColorListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit ColorListBox(QWidget* parent = nullptr);
};

class ColorComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ColorComboBox(QWidget* parent = nullptr);
};

// Two small arrow buttons holding a position within [min, max], mirrored into a buddy
// edit box. Typing a valid number into the buddy moves the position; the Up and Down keys
// in the buddy step it.
class ColorUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit ColorUpDown(QWidget* parent = nullptr);

  void setRange(int min, int max);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int position() const { return pos_; }
  void setPosition(int pos);
  void setBuddy(QLineEdit* edit);
  QLineEdit* buddy() const { return buddy_; }

  void stepUp() { setPosition(pos_ + 1); }
  void stepDown() { setPosition(pos_ - 1); }

 signals:
  void positionChanged(int pos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buddyEdited(const QString& text);

  int min_ = 0;
  int max_ = 100;
  int pos_ = 0;
  QLineEdit* buddy_ = nullptr;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace lq::gui
