// The preview of a run: per file that would change, the difference as a unified diff
// (decoded from GBK), the number of changed lines and a check box; "开始处理" asks the
// window to run the checked files only.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace lq::gui {

struct PreviewItem {
  std::string entry;                    // as in the file list
  std::string before, after;            // the bytes now and after the run
  bool changes = false;                 // the entry's own content changes
  std::vector<std::string> own_writes;  // files its operation would write besides it
};

class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  PreviewDialog(std::vector<PreviewItem> items, QWidget* parent = nullptr);

  // The entries still checked, in list order.
  std::vector<std::string> checked_entries() const;

 signals:
  void startRequested();

 private:
  void show_item(int row);
  void update_start();

  std::vector<PreviewItem> items_;
  QTreeWidget* list_ = nullptr;
  QPlainTextEdit* diff_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* start_ = nullptr;
};

}  // namespace lq::gui
