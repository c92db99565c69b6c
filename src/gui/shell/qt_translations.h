// Qt's own texts — standard buttons, the file and font dialogs, context menus of edit
// boxes — in Simplified Chinese like the rest of the interface, whatever the user's locale.
#pragma once

#include <QString>

namespace lq::gui {

// Qt's translations directory of this installation.
QString qt_translations_dir();

// Installs Qt's Simplified Chinese catalogue from dir into the running application (call
// after the application object exists) and makes Chinese the default locale. Answers false
// when the catalogue is missing or unreadable; Qt's English texts then stay, and nothing
// else changes.
bool install_qt_translations(const QString& dir = qt_translations_dir());

}  // namespace lq::gui
