#include <QMenuBar>
#include <QtTest>

#include "gui/shell/main_window.h"

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void titleAndMenus() {
    lq::gui::MainWindow w;
    QCOMPARE(w.windowTitle(), QString("Lexoquill"));
    QStringList captions;
    for (QAction* a : w.menuBar()->actions()) captions << a->text().section('(', 0, 0);
    QCOMPARE(captions, QStringList({"文件", "编辑", "查看", "操作", "特殊工具", "高级设置", "书签", "帮助"}));
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
