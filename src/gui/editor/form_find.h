// TForm_find, the quick-find box "快速查找框": a combo box with the search history and the
// buttons "确定" and "取消". It stays on top beside the main window; "确定" (or Enter) asks
// the main window to find the next match and records the text in the history, which is
// loaded from the file "find1" whenever the box is shown and written back when it closes.
#pragma once

#include <QDialog>
#include <string>

#include "core/textsvc/line_list.h"

class QComboBox;
class QPushButton;

namespace lq {
class MessageCatalogue;
}

namespace lq::gui {

class TForm_find : public QDialog {
  Q_OBJECT

 public:
  // The catalogue's texts are put on the box now; its own texts are recorded into the
  // catalogue and saved as "language.txt" when the box is destroyed, so the catalogue must
  // outlive the box.
  TForm_find(MessageCatalogue& catalogue, QWidget* parent = nullptr);
  ~TForm_find() override;

  QComboBox* find1() const { return find1_; }
  LineList history() const;
  // The history file: "find1" in the program's directory.
  static std::string history_path();

 signals:
  // "确定": the text (GBK bytes) is to be found.
  void findRequested(const std::string& text);

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  void ok_clicked();
  void save_history();

  MessageCatalogue& catalogue_;
  QComboBox* find1_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool placed_ = false;
};

}  // namespace lq::gui
