// Tform_dsk: the layout manager. Lists the saved layouts, takes the name for a new one and
// deletes saved ones at once.
#pragma once

#include <QDialog>

#include "core/textsvc/message_catalogue.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lq::gui {

class Tform_dsk : public QDialog {
  Q_OBJECT

 public:
  Tform_dsk(const MessageCatalogue& catalogue, QWidget* parent = nullptr);

  QListWidget* ListBox1() const { return list_; }
  QLineEdit* Edit1() const { return edit_; }

  // Fills the list with the names of the saved layouts.
  void fill_list();
  // "删除": deletes the selected layout's file and refills the list.
  void delete_layout_clicked();

 private:
  QListWidget* list_;
  QLineEdit* edit_;
};

}  // namespace lq::gui
