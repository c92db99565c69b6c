#include "gui/settings/qoz_position.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSplitter>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "core/settings/layout_store.h"
#include "core/textsvc/str_helpers.h"
#include "gui/widgets/caption_splitter.h"

namespace lq::gui {

namespace {

// A window whose stored place shows no part of it on any screen keeps the place it has:
// screens change between runs.
bool reachable(const QRect& r) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return true;
  for (QScreen* s : screens) {
    const QRect common = s->availableGeometry().intersected(r);
    if (common.width() >= 40 && common.height() >= 20) return true;
  }
  return false;
}

bool horizontal(Align a) {
  return a == Align::kLeft || a == Align::kRight;
}

// The stretching side of a splitter handle takes what is left; the other one is the area
// the handle sizes.
TQOZPosition::Area handle_target(QSplitterHandle* h) {
  QSplitter* s = h->splitter();
  const int i = s->indexOf(h);
  if (i < 1 || i >= s->count()) return {};
  QWidget* before = s->widget(i - 1);
  QWidget* after = s->widget(i);
  const bool horiz = s->orientation() == Qt::Horizontal;
  auto stretch = [horiz](QWidget* w) {
    return horiz ? w->sizePolicy().horizontalStretch() : w->sizePolicy().verticalStretch();
  };
  if (stretch(before) == 0 && stretch(after) > 0)
    return {before, horiz ? Align::kLeft : Align::kTop, {}};
  if (stretch(after) == 0 && stretch(before) > 0)
    return {after, horiz ? Align::kRight : Align::kBottom, {}};
  return {};
}

// The neighbour of w in its parent's layout on the given side.
TQOZPosition::Area marked_target(QWidget* w, const QString& side) {
  QWidget* parent = w->parentWidget();
  QLayout* layout = parent ? parent->layout() : nullptr;
  if (!layout) return {};
  const Align align = side == "top"      ? Align::kTop
                      : side == "bottom" ? Align::kBottom
                      : side == "left"   ? Align::kLeft
                      : side == "right"  ? Align::kRight
                                         : Align::kNone;
  if (align == Align::kNone) return {};
  const int step = align == Align::kTop || align == Align::kLeft ? -1 : 1;
  for (int i = layout->indexOf(w) + step; i >= 0 && i < layout->count(); i += step) {
    QWidget* n = layout->itemAt(i)->widget();
    if (n && !n->isHidden()) return {n, align, {}};
  }
  return {};
}

int current_size(QWidget* w, Align a) {
  return horizontal(a) ? w->width() : w->height();
}

void apply_size(QWidget* w, Align a, int size) {
  if (auto* s = qobject_cast<QSplitter*>(w->parentWidget())) {
    QList<int> sizes = s->sizes();
    const int i = s->indexOf(w);
    const int j = a == Align::kLeft || a == Align::kTop ? i + 1 : i - 1;
    if (i < 0 || j < 0 || j >= sizes.size()) return;
    // The neighbour takes what the area gives up or gains, so the splitter's total stays.
    size = std::min(size, sizes[i] + sizes[j]);
    sizes[j] = std::max(0, sizes[j] + sizes[i] - size);
    sizes[i] = size;
    s->setSizes(sizes);
    return;
  }
  // Areas sized by hand carry a fixed size; the rest are resized as they are.
  if (horizontal(a)) {
    if (w->minimumWidth() == w->maximumWidth())
      w->setFixedWidth(std::max(1, size));
    else
      w->resize(size, w->height());
  } else {
    if (w->minimumHeight() == w->maximumHeight())
      w->setFixedHeight(std::max(1, size));
    else
      w->resize(w->width(), size);
  }
}

}  // namespace

TQOZPosition::TQOZPosition(QWidget* window, const QString& class_name,
                           const std::string& position_file)
    : QObject(window), window_(window), class_name_(class_name), position_(position_file) {
  window->installEventFilter(this);
}

bool TQOZPosition::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Show && !shown_) {
    shown_ = true;
    // Areas have their real sizes only once the window is laid out for showing.
    if (areas_pending_) {
      areas_pending_ = false;
      for (const Area& a : splitter_targets()) restore_size(a);
    }
    emit firstShown();
  }
  // A window that is closed for good (often destroyed right after) has its final
  // geometry now; saving again at destruction changes nothing.
  if (watched == window_ && event->type() == QEvent::Close) window_destroying();
  return QObject::eventFilter(watched, event);
}

void TQOZPosition::restore_window(QWidget* w) {
  if (!w) return;
  const std::string cls = class_name_.toStdString();
  if (w->isMaximized()) w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
  const Bounds current{w->x(), w->y(), w->width(), w->height()};
  const Bounds b = read_window_bounds(*ini_, cls, current);
  if (reachable(QRect(b.left, b.top, b.width, b.height))) w->move(b.left, b.top);
  w->resize(b.width, b.height);
  w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  switch (read_window_state(*ini_, cls)) {
    case WindowState::kMaximized:
      w->setWindowState(w->windowState() | Qt::WindowMaximized);
      break;
    case WindowState::kMinimized:
      w->setWindowState(w->windowState() | Qt::WindowMinimized);
      break;
    case WindowState::kNormal:
      break;
  }
}

void TQOZPosition::save_window(QWidget* w) {
  if (!w) return;
  const WindowState state = w->isMinimized()   ? WindowState::kMinimized
                            : w->isMaximized() ? WindowState::kMaximized
                                               : WindowState::kNormal;
  write_window(*ini_, class_name_.toStdString(), state, {w->x(), w->y(), w->width(), w->height()},
               false);
}

void TQOZPosition::restore_size(const Area& area) {
  if (!area.control || area.align == Align::kNone || area.align == Align::kClient) return;
  const int cur = current_size(area.control, area.align);
  const int size =
      read_area_size(*ini_, class_name_.toStdString(), area.name.toStdString(), area.align, cur);
  if (size != cur) apply_size(area.control, area.align, size);
}

void TQOZPosition::save_size(const Area& area) {
  if (!area.control) return;
  const QRect g = area.control->geometry();
  write_area(*ini_, class_name_.toStdString(), area.name.toStdString(),
             {g.x(), g.y(), g.width(), g.height()});
}

std::vector<TQOZPosition::Area> TQOZPosition::splitter_targets() const {
  std::vector<Area> out;
  if (!window_) return out;
  for (QWidget* w : window_->findChildren<QWidget*>()) {
    Area a;
    if (auto* h = qobject_cast<QSplitterHandle*>(w))
      a = handle_target(h);
    else if (qobject_cast<CaptionSplitter*>(w))
      a = {w, Align::kBottom, {}};
    else if (const QString side = w->property("splitter_align").toString(); !side.isEmpty())
      a = marked_target(w, side);
    if (!a.control || !a.control->isVisibleTo(window_) || !a.control->isEnabled()) continue;
    const QString own = a.control->property("position_name").toString();
    a.name = own.isEmpty() ? a.control->objectName() : own;
    if (!a.name.isEmpty()) out.push_back(a);
  }
  return out;
}

void TQOZPosition::load_from(IniFile& ini) {
  ini_ = &ini;
  restore_window(window_);
  for (const Area& a : splitter_targets()) restore_size(a);
  ini_ = &position_;
}

void TQOZPosition::save_to(IniFile& ini) {
  // Another window may have saved its own sections since this file was read.
  ini.reload();
  const bool was = ini.write_through();
  ini.set_write_through(false);
  ini_ = &ini;
  try {
    save_window(window_);
    for (const Area& a : splitter_targets()) save_size(a);
    ini_ = &position_;
    ini.set_write_through(was);
    ini.update_file();
  } catch (...) {
    ini_ = &position_;
    ini.set_write_through(was);
    throw;
  }
}

void TQOZPosition::load_positions(const std::string& file_name) {
  if (is_blank(file_name)) {
    position_.reload();
    load_from(position_);
    return;
  }
  IniFile ini(layout_file_path(file_name));
  load_from(ini);
}

void TQOZPosition::save_positions(const std::string& file_name) {
  if (is_blank(file_name)) {
    save_to(position_);
    return;
  }
  IniFile ini(layout_file_path(file_name));
  save_to(ini);
}

void TQOZPosition::window_built() {
  restore_window(window_);
  areas_pending_ = true;
}

void TQOZPosition::window_destroying() {
  if (!shown_ || !window_) return;
  try {
    save_to(position_);
  } catch (const std::exception&) {
    // A read-only directory: the next start uses the window's own defaults.
  }
}

}  // namespace lq::gui
