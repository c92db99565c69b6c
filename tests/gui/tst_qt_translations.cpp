// Qt's standard buttons and dialogs in Chinese, and a program that still works without
// Qt's catalogue.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "gui/shell/qt_translations.h"

using lq::gui::install_qt_translations;

class TestQtTranslations : public QObject {
  Q_OBJECT

 private slots:
  // Runs first: nothing is installed yet, and a missing catalogue must leave it so.
  void missingCatalogueKeepsEnglish() {
    const QLocale before;
    QVERIFY(!install_qt_translations(QDir::temp().filePath("no-such-translations-dir")));
    QCOMPARE(QLocale(), before);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QString("OK"));
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Cancel"));
  }

  void standardButtonsReadChinese() {
    QVERIFY2(install_qt_translations(),
             qPrintable("no Qt catalogue in " + lq::gui::qt_translations_dir()));
    QCOMPARE(QLocale().language(), QLocale::Chinese);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QString("确定"));
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("取消"));

    QMessageBox ask(QMessageBox::Information, "提示", "文件已经修改,是否重新装载?",
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(ask.button(QMessageBox::Yes)->text(), QString("是(&Y)"));
    QCOMPARE(ask.button(QMessageBox::No)->text(), QString("否(&N)"));
    QMessageBox ok(QMessageBox::Information, "提示", "完成", QMessageBox::Ok);
    QCOMPARE(ok.button(QMessageBox::Ok)->text(), QString("确定"));
  }

  // Qt's own dialogs, as the program opens them on a desktop without a native one.
  void standardDialogsReadChinese() {
    QFileDialog files(nullptr, "打开要处理的文件");
    files.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(files.labelText(QFileDialog::LookIn), QString("查找范围："));
    QCOMPARE(files.labelText(QFileDialog::FileName), QString("文件名称(&N)："));
    QCOMPARE(files.labelText(QFileDialog::Accept), QString("打开(&O)"));

    QFontDialog font;
    font.setOption(QFontDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* l : font.findChildren<QLabel*>()) labels << l->text();
    QVERIFY2(labels.contains("字体(&F)") && labels.contains("大小(&S)"),
             qPrintable(labels.join('|')));
  }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_qt_translations.moc"
