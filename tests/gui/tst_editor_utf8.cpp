// UTF-8 files in the main window's editor: opened, typed into and saved in UTF-8 with the
// file's own line ends, the format in the status bar, text copied between documents of
// different code pages, and "文件 → 转换编码".
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include "core/encoding/code_page.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/support/gbk_bytes.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::DocumentTabs;
using lq::gui::EditorView;
using lq::gui::MainWindow;
using lq::test::gbk;
using lq::test::read_file;
using lq::test::write_file;

namespace {

// Records every message box instead of showing it.
struct Boxes {
  QStringList texts;
  Boxes() {
    lq::gui::set_msg_box_hook([this](const QString&, const QString& t, bool) {
      texts << t;
      return false;
    });
  }
  ~Boxes() { lq::gui::set_msg_box_hook({}); }
};

QByteArray bytes(const std::string& s) {
  return QByteArray::fromStdString(s);
}

// A shown main window; open() puts a file into a tab of its own and focuses its editor.
struct Win {
  MainWindow w;
  Win() {
    w.resize(900, 700);
    w.show();
    QApplication::setActiveWindow(&w);
  }
  DocumentTabs* tabs() { return w.document_tabs(); }
  EditorView* open(const QString& path) {
    if (!tabs()->open_in_tab(path.toStdString())) return nullptr;
    EditorView* ed = tabs()->active_editor();
    ed->setFocus();
    return ed;
  }
  QString format() { return w.findChild<QLabel*>("Label_format1")->text(); }
  QString caption() { return tabs()->active_page()->caption(); }
  void trigger(const char* name) {
    QAction* a = w.findChild<QAction*>(name);
    QVERIFY2(a, name);
    a->trigger();
  }
};

}  // namespace

class TestEditorUtf8 : public QObject {
  Q_OBJECT

  QTemporaryDir home_;

  QString file(const QString& name, const QByteArray& content) {
    const QString p = home_.filePath(name);
    write_file(p, content);
    return p;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
  }

  void typedChineseIsSavedInUtf8WithTheFilesLineEnds() {
    const QString path = file("u.txt", "第一行\n第二行\n");
    Win win;
    EditorView* ed = win.open(path);
    QVERIFY(ed);
    QCOMPARE(win.format(), QString::fromUtf8("UTF-8 · LF"));
    QTest::keyClick(ed, Qt::Key_End);
    QTest::keyClicks(ed, "a");
    // A key that gives a Chinese character itself, then the input method's commit.
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("字"));
    QApplication::sendEvent(ed, &key);
    QInputMethodEvent ev;
    ev.setCommitString(QString::fromUtf8("中文"));
    QApplication::sendEvent(ed, &ev);
    COMPARE_BYTES(ed->model().get_row(0), std::string("第一行a字中文"));
    // One step left crosses the three bytes of 文; Backspace then takes 中 whole.
    QTest::keyClick(ed, Qt::Key_Left);
    QCOMPARE(ed->model().caret_abs_col(), 17);
    QTest::keyClick(ed, Qt::Key_Backspace);
    COMPARE_BYTES(ed->model().get_row(0), std::string("第一行a字文"));
    QTest::keyClick(ed, Qt::Key_End);
    QTest::keyClick(ed, Qt::Key_Return);
    QCOMPARE(win.caption(), QString("u.txt*"));
    win.tabs()->save_page(win.tabs()->active_page());
    QCOMPARE(read_file(path), QByteArray("第一行a字文\n\n第二行\n"));
  }

  void copiesBetweenCodePagesArriveConvertedAndTheStatusFollowsTheTab() {
    const QString gbk_path = file("g.txt", bytes(gbk("汉字\r\n")));
    const QString utf8_path = file("u.txt",
                                   "\xEF\xBB\xBF"
                                   "UTF-8\n");
    Win win;
    EditorView* from = win.open(gbk_path);
    QVERIFY(from);
    QCOMPARE(win.format(), QString::fromUtf8("GBK · CR LF"));
    QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(from, Qt::Key_C, Qt::ControlModifier);
    EditorView* to = win.open(utf8_path);
    QVERIFY(to);
    QCOMPARE(win.format(), QString::fromUtf8("UTF-8 BOM · LF"));
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    COMPARE_BYTES(to->model().get_row(0), std::string("汉字UTF-8"));
    win.tabs()->PageControl1()->SetActivePage(win.tabs()->find_page(gbk_path.toStdString()));
    QCOMPARE(win.format(), QString::fromUtf8("GBK · CR LF"));
  }

  void convertingToGbkRefusesCharactersGbkLacks() {
    const QString path = file("emoji.txt", "a😀b✓\n");
    Win win;
    QVERIFY(win.open(path));
    Boxes boxes;
    win.trigger("N_convert_gbk1");
    QCOMPARE(boxes.texts,
             QStringList{QString::fromUtf8("不能转换为 GBK: 以下字符在 GBK 中没有: 😀 ✓")});
    QCOMPARE(win.caption(), QString("emoji.txt"));
    QCOMPARE(win.format(), QString::fromUtf8("UTF-8 · LF"));
    win.tabs()->save_page(win.tabs()->active_page());
    QCOMPARE(read_file(path), QByteArray("a😀b✓\n"));
  }

  void convertingToGbkDropsTheMarkAndSavesInGbk() {
    const QString path = file("c.txt", "\xEF\xBB\xBF中文\r\n");
    Win win;
    QVERIFY(win.open(path));
    Boxes boxes;
    win.trigger("N_convert_gbk1");
    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(win.caption(), QString("c.txt*"));
    QCOMPARE(win.format(), QString::fromUtf8("GBK · CR LF"));
    QMenu* convert = win.w.findChild<QMenu*>("N_convert1");
    emit convert->aboutToShow();
    QVERIFY(win.w.findChild<QAction*>("N_convert_gbk1")->isChecked());
    QVERIFY(!win.w.findChild<QAction*>("N_convert_utf81")->isChecked());
    win.tabs()->save_page(win.tabs()->active_page());
    QCOMPARE(read_file(path), bytes(gbk("中文\r\n")));
  }
};

QTEST_MAIN(TestEditorUtf8)
#include "tst_editor_utf8.moc"
