#include "gui/editor/tab_control.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/editor/qoz_edit.h"
#include "gui/widgets/accessible_factory.h"

namespace lq::gui {

// ---- Pages ----

TTabControlExSheet::TTabControlExSheet(TTabControlEx* control)
    : QWidget(control), control_(control) {
  setFocusPolicy(Qt::StrongFocus);
  hide();
}

TTabControlExSheet::~TTabControlExSheet() {
  closing_ = true;
  if (control_) {
    control_->remove_page(this);
    if (control_->active_ == this) control_->active_ = nullptr;
    if (control_->Head) control_->Head->update();
  }
}

void TTabControlExSheet::set_caption(const QString& c) {
  caption_ = c;
  setAccessibleName(c);  // a screen reader names the page as its tab does
  if (control_ && control_->Head) control_->Head->update();
}

FilePage::FilePage(TTabControlEx* control) : TTabControlExSheet(control) {
  auto* fill = new QVBoxLayout(this);
  fill->setContentsMargins(0, 0, 0, 0);
  page_editor = new EditorView(this);
  fill->addWidget(page_editor);
  page_editor->setObjectName("page_editor1");
  page_editor->setAccessibleName("文本编辑器");
  page_editor->set_scroll_bars(true, true);
  page_editor->setBorderColor(QColor(128, 128, 128));
}

// ---- Control ----

TTabControlEx::TTabControlEx(QWidget* parent) : QWidget(parent) {
  setObjectName("PageControl1");
}

TTabControlEx::~TTabControlEx() {
  // The pages die with the control's children, after this object's members are gone.
  for (QObject* o : children())
    if (auto* page = qobject_cast<TTabControlExSheet*>(o)) page->control_ = nullptr;
  Head = nullptr;
}

void TTabControlEx::resizeEvent(QResizeEvent*) {
  for (TTabControlExSheet* p : pages_) p->setGeometry(rect());
}

const std::vector<TTabControlExSheet*>& TTabControlEx::refresh_pages() {
  for (QObject* o : children()) {
    auto* page = qobject_cast<TTabControlExSheet*>(o);
    if (page && std::find(pages_.begin(), pages_.end(), page) == pages_.end())
      pages_.push_back(page);
  }
  return pages_;
}

void TTabControlEx::SetActivePage(TTabControlExSheet* page) {
  active_ = page;
  if (page && !page->is_closing()) {
    if (page->parentWidget() != this) page->setParent(this);
    page->setGeometry(rect());
    page->raise();
    page->show();
    refresh_pages();
    if (Head) Head->update();
  }
  emit activePageChanged();
}

void TTabControlEx::remove_page(TTabControlExSheet* page) {
  refresh_pages();
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  page->setParent(nullptr);
}

void TTabControlEx::close_page(TTabControlExSheet* page) {
  if (!page) return;
  page->set_closing();
  refresh_pages();
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it != pages_.end()) {
    pages_.erase(it);
    const bool was_active = active_ == page;
    if (was_active) active_ = nullptr;
    // No other page becomes active: the one below shows, but commands wait for a click.
    page->hide();
    page->setParent(nullptr);
    delete page;
    if (was_active) emit activePageChanged();
  }
  if (Head) Head->update();
}

// ---- Head ----

TTabControlExHead::TTabControlExHead(QWidget* parent) : QWidget(parent) {
  setObjectName("TabHeader");
  setAccessibleName("打开的文档");
  install_accessible_factory();
  setMouseTracking(true);
}

void TTabControlExHead::set_close_button_rect_string(const QStringList& lines) {
  auto value = [&](const QString& key) {
    for (const QString& l : lines) {
      const QString s = l.toLower();
      if (s.startsWith(key)) return s.mid(key.size()).trimmed().toInt();  // 0 when not numeric
    }
    return 0;
  };
  close_l_ = value("left=");
  close_t_ = value("top=");
  close_r_ = value("right=");
  close_b_ = value("bottom=");
  update();
}

QRect TTabControlExHead::title_rect(const TTabControlExSheet* page) const {
  if (!TabControl) return QRect();
  int x = TitleStartLeft;
  const auto& pages = TabControl->all_pages();
  for (size_t i = static_cast<size_t>(first_tab1_); i < pages.size(); ++i) {
    if (pages[i]->is_closing()) continue;
    if (pages[i] == page) return QRect(QPoint(x, 0), QPoint(x + PageTitleWidth - 1, height() - 2));
    x += PageTitleWidth;
  }
  return QRect();
}

QRect TTabControlExHead::close_rect(const TTabControlExSheet* page) const {
  const QRect t = title_rect(page);
  // Corners as given: right and bottom lie outside, so equal values give an empty rectangle.
  return QRect(QPoint(t.left() + close_l_, t.top() + close_t_),
               QPoint(t.left() + close_r_ - 1, t.top() + close_b_ - 1));
}

std::pair<TTabControlExSheet*, bool> TTabControlExHead::page_at(const QPoint& pt) const {
  if (!TabControl) return {nullptr, false};
  for (TTabControlExSheet* page : TabControl->all_pages()) {
    const QRect c = close_rect(page);
    if (c.isValid() && c.contains(pt)) return {page, true};
    const QRect t = title_rect(page);
    // The rectangle's right and bottom edges lie outside it.
    if (t.isValid() && pt.x() >= t.left() && pt.x() < t.right() && pt.y() >= t.top() &&
        pt.y() < t.bottom())
      return {page, false};
  }
  return {nullptr, false};
}

void TTabControlExHead::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !TabControl) return;
  auto [page, on_close] = page_at(e->position().toPoint());
  if (!page) return;
  if (on_close) {
    emit OnCloseButtonClick(page);
    return;
  }
  activate_page(page);
}

void TTabControlExHead::activate_page(TTabControlExSheet* page) {
  if (!TabControl || !page) return;
  emit OnActivePageChange(page);
  TabControl->SetActivePage(page);
  emit OnAfterActivePageChange(page);
}

bool TTabControlExHead::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* he = static_cast<QHelpEvent*>(e);
    auto [page, on_close] = page_at(he->pos());
    if (page)
      QToolTip::showText(he->globalPos(), page->hint(), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}

void TTabControlExHead::paintEvent(QPaintEvent*) {
  QPixmap buf(size());
  buf.fill(palette().color(QPalette::Window));
  QPainter p(&buf);
  p.setFont(font());
  if (TabControl) {
    const auto& pages = TabControl->all_pages();
    for (size_t i = static_cast<size_t>(first_tab1_); i < pages.size(); ++i) {
      TTabControlExSheet* page = pages[i];
      if (page->is_closing()) continue;
      const QRect r = title_rect(page);
      const bool active = page == TabControl->ActivePage();
      // Our own tab picture: a rounded tab, lighter when active, over the fill colour.
      QLinearGradient g(r.topLeft(), r.bottomLeft());
      g.setColorAt(0, active ? QColor(255, 255, 255) : QColor(226, 230, 236));
      g.setColorAt(1, active ? QColor(236, 240, 246) : QColor(200, 206, 216));
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QColor(150, 158, 170));
      p.setBrush(g);
      p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -1.5, 0.5), 4, 4);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(active ? ActiveBkColor : BkColor);
      p.save();
      p.setClipRect(r.adjusted(0, 0, -2, 0));
      const QFontMetrics fm(font());
      p.drawText(r.left() + CaptionLeft, r.top() + CaptionTop + fm.ascent(), page->caption());
      p.restore();
    }
  }
  p.end();
  QPainter(this).drawPixmap(0, 0, buf);
}

}  // namespace lq::gui
