// The document tab strip as assistive technology knows Qt's own: a page tab list whose
// children are the tabs, named by their captions, the active one selected, each pressed
// to show its page.
#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace lq::gui {

class TTabControlExHead;
class TTabControlExSheet;

class TabHeadAccessible : public QAccessibleWidget {
 public:
  explicit TabHeadAccessible(TTabControlExHead* head);
  ~TabHeadAccessible() override;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  TTabControlExHead* head() const;
  // The tabs on show, in their order on screen.
  QList<TTabControlExSheet*> tabs() const;

 private:
  // One interface per page, kept while the strip lives, as the toolkit caches them by id.
  mutable QHash<TTabControlExSheet*, QAccessible::Id> tab_ids_;
};

class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  TabAccessible(TTabControlExHead* head, TTabControlExSheet* page);

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::PageTab; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  TTabControlExSheet* page() const { return page_; }

 private:
  QPointer<TTabControlExHead> head_;
  QPointer<TTabControlExSheet> page_;
};

}  // namespace lq::gui
