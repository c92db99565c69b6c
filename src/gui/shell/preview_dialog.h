// The preview of a run: per file that would change, the difference as a unified diff
// (decoded from GBK), the number of changed lines and a check box; "开始处理" asks the
// window to run what was previewed over the checked files only. A file's difference is
// worked out when it is first shown. Once the panels or the files are no longer what the
// preview was made from, the button says so and no longer starts anything.
#pragma once

#include <QDialog>
#include <functional>
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

  // Asked when the window comes to the front: false marks the preview stale.
  void set_freshness(std::function<bool()> current) { current_ = std::move(current); }
  void mark_stale();
  bool stale() const { return stale_; }

 protected:
  bool event(QEvent* e) override;

 signals:
  void startRequested();

 private:
  void show_item(int row);
  void update_start();
  // The item's diff text, worked out the first time it is asked for.
  const QString& diff_of(int row);

  std::vector<PreviewItem> items_;
  std::vector<bool> done_;  // diff worked out
  std::vector<QString> texts_;
  std::function<bool()> current_;
  bool stale_ = false;
  QTreeWidget* list_ = nullptr;
  QPlainTextEdit* diff_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* start_ = nullptr;
};

}  // namespace lq::gui
