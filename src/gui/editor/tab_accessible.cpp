#include "gui/editor/tab_accessible.h"

#include "gui/editor/tab_control.h"

namespace lq::gui {

TabHeadAccessible::TabHeadAccessible(TTabControlExHead* head)
    : QAccessibleWidget(head, QAccessible::PageTabList) {}

TabHeadAccessible::~TabHeadAccessible() {
  for (QAccessible::Id id : std::as_const(tab_ids_)) QAccessible::deleteAccessibleInterface(id);
}

TTabControlExHead* TabHeadAccessible::head() const {
  return static_cast<TTabControlExHead*>(widget());
}

QList<TTabControlExSheet*> TabHeadAccessible::tabs() const {
  QList<TTabControlExSheet*> out;
  const TTabControlExHead* h = head();
  if (!h->TabControl) return out;
  for (TTabControlExSheet* page : h->TabControl->all_pages())
    if (!page->is_closing() && h->title_rect(page).isValid()) out << page;
  return out;
}

int TabHeadAccessible::childCount() const {
  return static_cast<int>(tabs().size());
}

QAccessibleInterface* TabHeadAccessible::child(int index) const {
  const QList<TTabControlExSheet*> pages = tabs();
  if (index < 0 || index >= pages.size()) return nullptr;
  TTabControlExSheet* page = pages[index];
  auto it = tab_ids_.find(page);
  if (it != tab_ids_.end()) {
    if (QAccessibleInterface* iface = QAccessible::accessibleInterface(it.value())) return iface;
    tab_ids_.erase(it);
  }
  // Forget the interfaces of pages that are gone.
  for (auto old = tab_ids_.begin(); old != tab_ids_.end();) {
    if (!pages.contains(old.key())) {
      QAccessible::deleteAccessibleInterface(old.value());
      old = tab_ids_.erase(old);
    } else {
      ++old;
    }
  }
  auto* iface = new TabAccessible(head(), page);
  tab_ids_.insert(page, QAccessible::registerAccessibleInterface(iface));
  return iface;
}

int TabHeadAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!child || child->role() != QAccessible::PageTab) return -1;
  const auto* tab = static_cast<const TabAccessible*>(child);
  return static_cast<int>(tabs().indexOf(tab->page()));
}

QAccessibleInterface* TabHeadAccessible::childAt(int x, int y) const {
  const QPoint local = head()->mapFromGlobal(QPoint(x, y));
  auto [page, on_close] = head()->page_at(local);
  (void)on_close;
  const int i = static_cast<int>(tabs().indexOf(page));
  return i >= 0 ? child(i) : nullptr;
}

TabAccessible::TabAccessible(TTabControlExHead* head, TTabControlExSheet* page)
    : head_(head), page_(page) {}

bool TabAccessible::isValid() const {
  return head_ && page_ && !page_->is_closing();
}

QAccessibleInterface* TabAccessible::parent() const {
  return head_ ? QAccessible::queryAccessibleInterface(head_.data()) : nullptr;
}

QString TabAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  switch (t) {
    case QAccessible::Name:
      return page_->caption();
    case QAccessible::Description:
      // The hint tells the full path; a new document's hint is its caption again.
      return page_->hint() != page_->caption() ? page_->hint() : QString();
    default:
      return {};
  }
}

QRect TabAccessible::rect() const {
  if (!isValid()) return {};
  const QRect r = head_->title_rect(page_);
  return QRect(head_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TabAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.selected = head_->TabControl && head_->TabControl->ActivePage() == page_;
  s.invisible = !head_->isVisible();
  return s;
}

void* TabAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

QStringList TabAccessible::actionNames() const {
  return {pressAction()};
}

void TabAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction() && isValid()) head_->activate_page(page_);
}

}  // namespace lq::gui
