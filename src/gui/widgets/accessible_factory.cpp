#include "gui/widgets/accessible_factory.h"

#include <QAccessible>

#include "gui/editor/editor_accessible.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_accessible.h"
#include "gui/editor/tab_control.h"
#include "gui/widgets/caption_radio.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/updown_accessible.h"

namespace lq::gui {
namespace {

std::function<void(QAccessibleEvent&)>& event_hook() {
  static std::function<void(QAccessibleEvent&)> hook;
  return hook;
}

QAccessibleInterface* make_interface(const QString& class_name, QObject* object) {
  // The toolkit asks once per class up the hierarchy; only the exact classes are ours.
  if (class_name == QLatin1String(EditorView::staticMetaObject.className()))
    return new EditorAccessible(static_cast<EditorView*>(object));
  if (class_name == QLatin1String(TTabControlExHead::staticMetaObject.className()))
    return new TabHeadAccessible(static_cast<TTabControlExHead*>(object));
  if (class_name == QLatin1String(ColorUpDown::staticMetaObject.className()))
    return new UpDownAccessible(static_cast<ColorUpDown*>(object));
  // A panel's numbered caption only looks like a radio button: it is read as its title.
  if (class_name == QLatin1String(CaptionRadio::staticMetaObject.className()))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
  return nullptr;
}

}  // namespace

bool accessibility_listening() {
  return QAccessible::isActive() || event_hook();
}

void send_accessible_event(QAccessibleEvent& event) {
  if (event_hook()) event_hook()(event);
  QAccessible::updateAccessibility(&event);
}

void set_accessible_event_hook(std::function<void(QAccessibleEvent&)> hook) {
  event_hook() = std::move(hook);
}

void install_accessible_factory() {
  static const bool installed = [] {
    QAccessible::installFactory(make_interface);
    return true;
  }();
  (void)installed;
}

}  // namespace lq::gui
