#include "gui/settings/settings_bridge.h"

#include <QApplication>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

#include "gui/panels/control_form.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

void install_cjk_font_fallbacks() {
  const QString song = QStringLiteral("宋体");
  if (!QFont::substitutes(song).isEmpty()) return;
  QFont::insertSubstitutions(song, {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                    "Source Han Sans SC", "AR PL UMing CN", "Droid Sans Fallback"});
}

QFont font_from_spec(const FontSpec& spec, int default_size) {
  QFont f(from_gbk(spec.name));
  f.setPointSize(spec.size >= 1 && spec.size <= 200 ? spec.size : default_size);
  return f;
}

FontSpec spec_from_font(const QFont& font, const FontSpec& previous) {
  FontSpec s = previous;
  s.name = to_gbk(font.family());
  if (font.pointSize() > 0) s.size = font.pointSize();
  return s;
}

namespace {

// System colour numbers of the original platform and the palette roles closest to them.
QColor system_color(int index) {
  const QPalette pal = QApplication::palette();
  switch (index) {
    case 5:  // window background
      return pal.color(QPalette::Base);
    case 8:   // window text
    case 18:  // button text
      return pal.color(QPalette::Text);
    case 13:
      return pal.color(QPalette::Highlight);
    case 14:
      return pal.color(QPalette::HighlightedText);
    case 16:  // button shadow
      return pal.color(QPalette::Mid);
    case 20:  // 3D highlight
    case 22:  // 3D light
      return pal.color(QPalette::Light);
    case 24:  // tooltip background
      return pal.color(QPalette::ToolTipBase);
    default:  // 15, button face, and everything else
      return pal.color(QPalette::Button);
  }
}

}  // namespace

QColor color_from_stored(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  if ((v & 0xFF000000U) == 0xFF000000U) return system_color(static_cast<int>(v & 0xFF));
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t stored_from_color(const QColor& color) {
  const QColor c = color.toRgb();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) |
                                   (static_cast<std::uint32_t>(c.green()) << 8) |
                                   (static_cast<std::uint32_t>(c.blue()) << 16));
}

void set_help_keyword(QWidget* w, const char* keyword) {
  w->setProperty(kHelpKeywordProperty, QString::fromUtf8(keyword));
}

QString help_keyword(const QWidget* w) {
  if (!w) return {};
  const QString own = w->property(kHelpKeywordProperty).toString();
  if (!own.isEmpty()) return own;
  // The find operation's query field and its caption button.
  if (w->objectName() == "Edit_find1") return QStringLiteral("find1");
  if (qobject_cast<const QRadioButton*>(w)) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
      if (auto* panel = qobject_cast<const TControlForm_*>(p))
        return panel->class_name() == "TControlForm_find" ? QStringLiteral("find1") : QString();
  }
  return {};
}

}  // namespace lq::gui
