#include "gui/shell/runs_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/batch/journal_format.h"
#include "core/batch/journal_summary.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

QString state_text(const JournalRun& run) {
  if (run.undone) return "已撤销";
  if (run.end == "done") return "完成";
  if (run.end == "stopped") return "已停止";
  if (run.end == "failed") return "出错中止";
  return "中断";
}

QString size_text(unsigned long long bytes) {
  if (bytes < 1024) return QString("%1 B").arg(bytes);
  if (bytes < (1ULL << 20))
    return QString("%1 KB").arg(static_cast<double>(bytes) / 1024, 0, 'f', 1);
  return QString("%1 MB").arg(static_cast<double>(bytes) / (1 << 20), 0, 'f', 1);
}

}  // namespace

RunsDialog::RunsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("Form_runs1");
  setWindowTitle("处理记录");
  resize(760, 380);
  auto* col = new QVBoxLayout(this);
  auto* note = new QLabel(
      "每次写入文件的处理都记录在这里, 可以整批撤销. 处理后又被改动过的文件撤销时不会被改动.",
      this);
  note->setWordWrap(true);
  col->addWidget(note);
  list_ = new QTreeWidget(this);
  list_->setObjectName("ListView_runs1");
  list_->setAccessibleName("处理记录");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"时间", "状态", "文件", "大小", "编号", "操作"});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(true);
  col->addWidget(list_, 1);
  auto* buttons = new QDialogButtonBox(this);
  undo_ = buttons->addButton("撤销所选的处理", QDialogButtonBox::ActionRole);
  undo_->setObjectName("Button_runs_undo1");
  QPushButton* close = buttons->addButton("关闭", QDialogButtonBox::RejectRole);
  close->setObjectName("Button_runs_close1");
  col->addWidget(buttons);
  connect(undo_, &QPushButton::clicked, this, [this] {
    const std::string id = selected_id();
    if (!id.empty()) emit undoRequested(id);
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { undo_->setEnabled(item != nullptr); });
  refresh();
}

void RunsDialog::refresh() {
  list_->clear();
  for (const JournalRun& run : list_journal_runs(run_journal_dir())) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, QString::fromStdString(journal_run_time(run)));
    row->setText(1, state_text(run));
    row->setText(2, QString::number(run.files.size()));
    row->setText(3, size_text(run.bytes));
    row->setText(4, QString::fromStdString(run.id));
    row->setText(5, from_utf8(journal_run_operation(run)));
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  undo_->setEnabled(list_->currentItem() != nullptr);
}

std::string RunsDialog::selected_id() const {
  const QTreeWidgetItem* item = list_->currentItem();
  return item ? item->text(4).toStdString() : std::string();
}

}  // namespace lq::gui
