#include "gui/panels/form_th.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/shell/text_bridge.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {
namespace {

// The most recently opened window. A QPointer forgets a window when it is destroyed, so
// closing the tracked window clears it, and closing an older one leaves it alone.
QPointer<Tform_th>& tracked_window() {
  static QPointer<Tform_th> w;
  return w;
}

// A row is kept as "old=new" and the old string ends at the first "=", so the old
// column refuses "=" instead of silently moving the rest into the new string.
class OldStringDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* e = qobject_cast<QLineEdit*>(w))
      e->setValidator(new QRegularExpressionValidator(QRegularExpression("[^=]*"), e));
    return w;
  }
};

}  // namespace

Tform_th::Tform_th(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName("form_th");
  setWindowTitle("同时替换多个字符串");
  setAttribute(Qt::WA_DeleteOnClose);
  // A tool window left open must not keep the program running once the main window closes.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(274, 369);

  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  auto* bar = new QWidget(this);
  bar->setObjectName("ToolBar1");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  auto* add = new ImageButton(QIcon(), "+", "加一行", bar);
  add->setObjectName("SpeedButton1");
  add->setAutoRaise(false);
  add->setFixedSize(26, 24);
  connect(add, &QToolButton::clicked, this, &Tform_th::add_row);
  auto* del = new ImageButton(QIcon(), "-", "删除光标所在的行", bar);
  del->setObjectName("SpeedButton2");
  del->setAutoRaise(false);
  del->setFixedSize(26, 24);
  connect(del, &QToolButton::clicked, this, &Tform_th::delete_row);
  row->addWidget(add);
  row->addWidget(del);
  row->addStretch(1);
  col->addWidget(bar);

  table_ = new QTableWidget(1, 2, this);
  table_->setObjectName("ValueListEditor1");
  table_->setAccessibleName("同时替换多个字符串");
  table_->setHorizontalHeaderLabels({"旧字符串", "新字符串"});
  table_->setColumnWidth(0, 130);
  table_->setColumnWidth(1, 130);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setItemDelegateForColumn(0, new OldStringDelegate(table_));
  table_->installEventFilter(this);
  col->addWidget(table_, 1);
}

Tform_th::~Tform_th() = default;

Tform_th* Tform_th::open_new() {
  auto* w = new Tform_th;
  // A little below and right of the window before, so both can be seen.
  if (Tform_th* before = tracked_window()) w->move(before->pos() + QPoint(24, 24));
  tracked_window() = w;
  w->show();
  w->raise();
  w->activateWindow();
  return w;
}

Tform_th* Tform_th::tracked() {
  return tracked_window().data();
}

std::vector<ReplaceRow> Tform_th::rows() const {
  // A cell still being edited counts with what it shows: leaving the editor commits it.
  QWidget* editor = QApplication::focusWidget();
  if (editor && editor != table_ && table_->isAncestorOf(editor)) editor->clearFocus();
  std::vector<ReplaceRow> out;
  auto cell = [this](int r, int c) {
    const QTableWidgetItem* it = table_->item(r, c);
    return it ? to_gbk(it->text()) : std::string();
  };
  for (int r = 0; r < table_->rowCount(); ++r) out.push_back({cell(r, 0), cell(r, 1)});
  return out;
}

void Tform_th::add_row() {
  table_->insertRow(table_->rowCount());
  table_->setCurrentCell(table_->rowCount() - 1, 0);
}

void Tform_th::delete_row() {
  const int r = table_->currentRow();
  if (r >= 0) table_->removeRow(r);
}

bool Tform_th::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl+Delete deletes the current row from the keyboard.
  if (watched == table_ && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier)) {
      delete_row();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lq::gui
