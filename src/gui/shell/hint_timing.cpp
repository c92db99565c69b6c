#include "gui/shell/hint_timing.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QWidget>

namespace lq::gui {

namespace {

class HintStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_ToolTip_WakeUpDelay || hint == SH_ToolTip_FallAsleepDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }
};

// Gives a widget the long hint time just before its first hint shows; widgets that chose
// their own time keep it.
class HintDuration : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip)
      if (auto* w = qobject_cast<QWidget*>(watched); w && w->toolTipDuration() <= 0)
        w->setToolTipDuration(kHintShownMs);
    return false;
  }
};

}  // namespace

void install_hint_timing() {
  QApplication::setStyle(new HintStyle(QApplication::style()->name()));
  qApp->installEventFilter(new HintDuration(qApp));
}

}  // namespace lq::gui
