#include <QtTest>

#include "gui/resources/app_icon.h"

class TestAppIcon : public QObject {
  Q_OBJECT

 private slots:
  // The built-in copy must be in the executable and render at every size a desktop
  // asks for, from the SVG (which needs the SVG image plugin) and from the PNGs.
  void builtInIconRenders() {
    const QIcon icon = lq::gui::app_icon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48, 256}) {
      const QPixmap pm = icon.pixmap(size, size);
      QVERIFY2(!pm.isNull(), qPrintable(QString("size %1").arg(size)));
      QCOMPARE(pm.width(), size);
    }
    const QImage svg = QIcon(":/icons/lexoquill.svg").pixmap(100, 100).toImage();
    QVERIFY(!svg.isNull());
    // The tile's colour in the middle of the left edge, not transparency.
    QVERIFY(qAlpha(svg.pixel(8, 50)) > 200);
  }
};

QTEST_MAIN(TestAppIcon)
#include "tst_app_icon.moc"
