#include "gui/shell/preview_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSyntaxHighlighter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/batch/text_diff.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

// Added lines green, removed lines red, hunk headers blue, notes grey.
class DiffHighlighter : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

 protected:
  void highlightBlock(const QString& text) override {
    QTextCharFormat f;
    if (text.startsWith("@@")) {
      f.setForeground(QColor(0x1a, 0x4f, 0xa8));
    } else if (text.startsWith("+++") || text.startsWith("---")) {
      f.setFontWeight(QFont::Bold);
    } else if (text.startsWith('+')) {
      f.setBackground(QColor(0xdc, 0xf5, 0xdc));
    } else if (text.startsWith('-')) {
      f.setBackground(QColor(0xfa, 0xdc, 0xdc));
    } else if (text.startsWith('#')) {
      f.setForeground(Qt::darkGray);
    } else {
      return;
    }
    setFormat(0, static_cast<int>(text.size()), f);
  }
};

QString diff_text_of(const PreviewItem& item, int* changed_lines) {
  const TextDiff diff = diff_text(item.before, item.after);
  *changed_lines = diff.changed_lines;
  QString out;
  if (item.changes) {
    out = QString::fromStdString(
        unified_diff(diff, "原文件", "处理后", diff_line_decoder(item.before, item.after)));
    if (diff.line_ends_only) out += "# 只有换行符改变\n";
  }
  for (const std::string& w : item.own_writes) out += "# 将写入文件: " + path_to_q(w) + "\n";
  return out;
}

}  // namespace

PreviewDialog::PreviewDialog(std::vector<PreviewItem> items, QWidget* parent)
    : QDialog(parent), items_(std::move(items)) {
  setObjectName("Form_preview1");
  setWindowTitle("预览");
  resize(900, 560);
  auto* col = new QVBoxLayout(this);

  summary_ = new QLabel(this);
  summary_->setObjectName("Label_preview1");
  summary_->setWordWrap(true);
  col->addWidget(summary_);

  auto* split = new QSplitter(Qt::Horizontal, this);
  list_ = new QTreeWidget(split);
  list_->setObjectName("ListView_preview1");
  list_->setAccessibleName("将要改变的文件");
  list_->setHeaderLabels({"文件", "改变的行"});
  list_->setRootIsDecorated(false);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  diff_ = new QPlainTextEdit(split);
  diff_->setObjectName("Memo_preview1");
  diff_->setAccessibleName("改动对照");
  diff_->setReadOnly(true);
  diff_->setLineWrapMode(QPlainTextEdit::NoWrap);
  diff_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  new DiffHighlighter(diff_->document());
  split->addWidget(list_);
  split->addWidget(diff_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 2);
  col->addWidget(split, 1);

  auto* buttons = new QDialogButtonBox(this);
  start_ = buttons->addButton("开始处理", QDialogButtonBox::AcceptRole);
  start_->setObjectName("Button_preview_start1");
  QPushButton* cancel = buttons->addButton("取消", QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button_preview_cancel1");
  col->addWidget(buttons);
  connect(start_, &QPushButton::clicked, this, &PreviewDialog::startRequested);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  done_.assign(items_.size(), false);
  texts_.resize(items_.size());
  for (const PreviewItem& item : items_) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, path_to_q(item.entry));
    row->setToolTip(0, path_to_q(item.entry));
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setCheckState(0, Qt::Checked);
  }
  if (items_.empty())
    summary_->setText("没有文件会改变.");
  else
    summary_->setText(QString("%1 个文件将改变. 只处理勾选的文件.").arg(items_.size()));
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    show_item(item ? list_->indexOfTopLevelItem(item) : -1);
  });
  connect(list_, &QTreeWidget::itemChanged, this, [this] { update_start(); });
  if (!items_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
  update_start();
}

const QString& PreviewDialog::diff_of(int row) {
  const size_t k = static_cast<size_t>(row);
  if (!done_[k]) {
    int changed = 0;
    texts_[k] = diff_text_of(items_[k], &changed);
    done_[k] = true;
    list_->topLevelItem(row)->setText(1, QString::number(changed));
  }
  return texts_[k];
}

void PreviewDialog::show_item(int row) {
  diff_->setPlainText(row < 0 ? QString() : diff_of(row));
}

void PreviewDialog::update_start() {
  start_->setEnabled(!stale_ && !checked_entries().empty());
}

void PreviewDialog::mark_stale() {
  stale_ = true;
  start_->setText("开始处理 (预览已过期)");
  start_->setToolTip("操作面板、作用范围或文件在预览之后改动过. 请重新预览.");
  update_start();
}

bool PreviewDialog::event(QEvent* e) {
  // Back from the main window: the panels may have changed meanwhile.
  if (e->type() == QEvent::WindowActivate && !stale_ && current_ && !current_()) mark_stale();
  return QDialog::event(e);
}

std::vector<std::string> PreviewDialog::checked_entries() const {
  std::vector<std::string> out;
  for (int k = 0; k < list_->topLevelItemCount(); ++k)
    if (list_->topLevelItem(k)->checkState(0) == Qt::Checked)
      out.push_back(items_[static_cast<size_t>(k)].entry);
  return out;
}

}  // namespace lq::gui
