#include "gui/shell/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lq::gui {

QString qt_translations_dir() {
  return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool install_qt_translations(const QString& dir) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  // "qt_zh_CN" gathers the catalogues of every Qt module that has one (qtbase first).
  if (!translator->load(QStringLiteral("qt_zh_CN"), dir)) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  // The names of file types in Qt's file dialog follow the default locale, not the catalogue.
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  return true;
}

}  // namespace lq::gui
