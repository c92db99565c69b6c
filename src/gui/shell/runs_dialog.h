// The runs kept in the journal, newest first, with undo of the selected one.
#pragma once

#include <QDialog>
#include <string>

class QTreeWidget;
class QPushButton;

namespace lq::gui {

class RunsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RunsDialog(QWidget* parent = nullptr);

  // Reads the journal again.
  void refresh();
  // The id of the selected run, "" when none.
  std::string selected_id() const;

 signals:
  void undoRequested(const std::string& id);

 private:
  QTreeWidget* list_ = nullptr;
  QPushButton* undo_ = nullptr;
};

}  // namespace lq::gui
