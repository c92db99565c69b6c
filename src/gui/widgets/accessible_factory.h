// Our own widgets that draw what Qt's widgets would show get interfaces for assistive
// technology that say what Qt's own would: the editor's text, the document tabs, the
// up-down's value.
#pragma once

#include <QAccessible>
#include <functional>

namespace lq::gui {

// Whether anything listens for accessibility events: worth working out costly ones.
bool accessibility_listening();
// Sends an event to assistive technology, and to the hook when one is set (tests record
// what would be announced, as no screen reader listens on the offscreen platform).
void send_accessible_event(QAccessibleEvent& event);
void set_accessible_event_hook(std::function<void(QAccessibleEvent&)> hook);

// Safe to call any number of times; every widget that needs it calls it when made.
void install_accessible_factory();

}  // namespace lq::gui
