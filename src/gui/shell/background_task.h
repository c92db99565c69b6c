// Work too long for the GUI thread (the digest of a large file, the undo of a whole run):
// it runs on a thread of its own while a small window shows how far it is, with a "停止"
// button. The window appears only when the work takes a moment.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace lq::gui {

// Reports (done, total) from the work; answers false once "停止" was pressed, and the work
// should then end as soon as it safely can.
using TaskStep = std::function<bool(uint64_t done, uint64_t total)>;

// Runs work(step) on a worker thread and returns when it has ended; the window's events
// are processed meanwhile, and the owner is blocked by a modal progress window. True when
// the work ended without "停止" being pressed.
bool run_in_background(QWidget* owner, const QString& title,
                       const std::function<void(const TaskStep&)>& work);

}  // namespace lq::gui
