// Tform_th, the multi-replace window of [4]: a table of old and new strings that a run
// applies row by row. Every click on "多" opens a new window and tracks it; the tracked
// window's rows are what the next run uses. The window is destroyed when closed.
#pragma once

#include <QWidget>
#include <vector>

#include "core/operations/replace_op.h"

class QTableWidget;

namespace lq::gui {

class Tform_th : public QWidget {
  Q_OBJECT

 public:
  explicit Tform_th(QWidget* parent = nullptr);
  ~Tform_th() override;

  // A new window, shown and tracked.
  static Tform_th* open_new();
  // The window whose rows the next run uses, or nullptr.
  static Tform_th* tracked();

  QTableWidget* ValueListEditor1() const { return table_; }
  // The rows from first to last, as GBK bytes.
  std::vector<ReplaceRow> rows() const;

  void add_row();     // "+": an empty row at the end
  void delete_row();  // "-": deletes the row holding the cursor

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableWidget* table_;
};

}  // namespace lq::gui
