// The settings' stored values as Qt sees them: fonts (name in GBK, size in points,
// character set) and colours in the stored 32-bit format, where 0x00BBGGRR is a plain
// colour and 0xFF0000nn the system colour number nn of the original platform.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "core/settings/sys_settings.h"

class QWidget;

namespace lq::gui {

// Makes every CJK family the system has stand in for 宋体, the stored default, when it is
// not installed itself. Safe to call more than once.
void install_cjk_font_fallbacks();

// A font from its stored description; a size no one could read (below 1 or above 200
// points) takes default_size.
QFont font_from_spec(const FontSpec& spec, int default_size);
// The description of a chosen font; the character set cannot be chosen here and is kept
// from previous.
FontSpec spec_from_font(const QFont& font, const FontSpec& previous);

QColor color_from_stored(std::int32_t value);
std::int32_t stored_from_color(const QColor& color);

// The help keyword of a control, which picks its record in the help store: the property
// set with set_help_keyword, else the one the find operation's controls carry by name.
inline constexpr const char* kHelpKeywordProperty = "HelpKeyword";
void set_help_keyword(QWidget* w, const char* keyword);
QString help_keyword(const QWidget* w);

}  // namespace lq::gui
