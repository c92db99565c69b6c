// The windows and lists that operation panels open: the multi-replace windows of [4],
// the template window of [17], the find results under the editor, the whole-file MD5.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <thread>

#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/panels/control_form.h"
#include "gui/panels/control_form_md5.h"
#include "gui/panels/form_mod_out.h"
#include "gui/panels/form_th.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::MainWindow;
using lq::gui::TControlForm_;
using lq::gui::Tform_mod_out;
using lq::gui::Tform_th;
using lq::test::read_file;
using lq::test::write_file;

namespace {

void set_cell(QTableWidget* t, int r, int c, const QString& text) {
  t->setItem(r, c, new QTableWidgetItem(text));
}

// Closes a window and lets its deferred deletion happen.
void close_now(QWidget* w) {
  QPointer<QWidget> guard(w);
  w->close();
  QTRY_VERIFY(guard.isNull());
}

}  // namespace

class TestPanelWindows : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QStringList boxes_;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write_file(p, bytes);
    return p;
  }

  static bool run(MainWindow& w) { return lq::test::start_and_wait(w); }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::test::write_lines_with_crlf(home_.path());
    lq::gui::set_msg_box_hook([this](const QString&, const QString& t, bool) {
      boxes_ << t;
      return false;
    });
  }
  void init() { boxes_.clear(); }

  void multiReplaceWindows() {
    MainWindow w;
    auto* th = w.ensure_panel("TControlForm_th");
    th->findChild<QLineEdit*>("Edit_th1")->setText("a");
    th->findChild<QLineEdit*>("Edit_th2")->setText("edit");
    th->chkEnable()->click();
    auto* more = th->findChild<QAbstractButton*>("SpeedButton4");

    // Every click opens a new window, which becomes the tracked one.
    more->click();
    Tform_th* first = Tform_th::tracked();
    QVERIFY(first);
    more->click();
    Tform_th* second = Tform_th::tracked();
    QVERIFY(second && second != first);
    QVERIFY(second->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(second->size(), QSize(274, 369));
    QTableWidget* t = second->ValueListEditor1();
    QCOMPARE(t->horizontalHeaderItem(0)->text(), QString("旧字符串"));
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QString("新字符串"));
    QCOMPARE(t->columnWidth(0), 130);

    // Rows apply in order, each to the result of the one before; the edits are not used.
    second->findChild<QAbstractButton*>("SpeedButton1")->click();
    second->findChild<QAbstractButton*>("SpeedButton1")->click();
    QCOMPARE(t->rowCount(), 3);
    set_cell(t, 0, 0, "a");
    set_cell(t, 0, 1, "b");
    set_cell(t, 1, 0, "b");
    set_cell(t, 1, 1, "中");
    t->setCurrentCell(2, 0);
    second->findChild<QAbstractButton*>("SpeedButton2")->click();  // "-" drops the cursor row
    QCOMPARE(t->rowCount(), 2);
    const QString p = file("multi.txt", "abc\n");
    w.add_files({p});
    QVERIFY(run(w));
    QCOMPARE(read_file(p), QByteArray("\xD6\xD0\xD6\xD0"
                                      "c\r\n"));

    // The old string ends at the first "=" of a row, so its column refuses "="; the new
    // string takes anything. Ctrl+Delete deletes the row holding the cursor.
    for (int col : {0, 1}) {
      std::unique_ptr<QWidget> ed(
          t->itemDelegateForColumn(col)
              ? t->itemDelegateForColumn(col)->createEditor(t->viewport(), {},
                                                            t->model()->index(0, col))
              : t->itemDelegate()->createEditor(t->viewport(), {}, t->model()->index(0, col)));
      auto* line = qobject_cast<QLineEdit*>(ed.get());
      QVERIFY(line);
      QTest::keyClicks(line, "x=y");
      QCOMPARE(line->text(), QString(col == 0 ? "xy" : "x=y"));
    }
    // A cell still being edited when the run starts counts with what it shows.
    second->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(second));
    t->editItem(t->item(1, 1));
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(cell);
    cell->setText("typed");
    QCOMPARE(second->rows()[1].new_text, std::string("typed"));
    t->setCurrentCell(0, 0);
    QTest::keyClick(t, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(t->rowCount(), 1);
    QCOMPARE(t->item(0, 0)->text(), QString("b"));

    // Closing an older window keeps the newer one in use; closing the tracked one falls
    // back to the panel's own edits.
    close_now(first);
    QCOMPARE(Tform_th::tracked(), second);
    close_now(second);
    QVERIFY(!Tform_th::tracked());
    QFile::remove(p);
    file("multi.txt", "abc\n");
    QVERIFY(run(w));
    QCOMPARE(read_file(p), QByteArray("editbc\r\n"));
  }

  void templateWindow() {
    MainWindow w;
    auto* button =
        w.ensure_panel("TControlForm_mod_out")->findChild<QAbstractButton*>("SpeedButton2");
    button->click();
    Tform_mod_out* t = Tform_mod_out::instance();
    QVERIFY(t && t->isVisible());
    QCOMPARE(t->windowTitle(), QString("模板功能/宏替换"));
    QCOMPARE(t->size(), QSize(550, 421));
    button->click();
    QCOMPARE(Tform_mod_out::instance(), t);  // one instance

    t->findChild<QAbstractButton*>("SpeedButton2")->click();  // 例子1
    t->findChild<QAbstractButton*>("SpeedButton1")->click();  // run
    QCOMPARE(QString::fromStdString(t->memo3()->model().get_all_text()),
             QString("1 2 3 d\r\n11 22 33 d\r\n"));
    t->findChild<QAbstractButton*>("SpeedButton3")->click();  // 例子2 leaves the output
    QCOMPARE(QString::fromStdString(t->memo3()->model().get_all_text()),
             QString("1 2 3 d\r\n11 22 33 d\r\n"));
    t->findChild<QAbstractButton*>("SpeedButton1")->click();
    const std::string out = t->memo3()->model().get_all_text();
    QVERIFY(out.find("temp1") < out.find("temp2"));

    // Closing destroys the window with its texts; the next click starts empty.
    close_now(t);
    QVERIFY(!Tform_mod_out::instance());
    button->click();
    QVERIFY(Tform_mod_out::instance());
    QCOMPARE(Tform_mod_out::instance()->memo1()->model().get_all_text(), std::string());
    close_now(Tform_mod_out::instance());
  }

  void findResultsPanel() {
    MainWindow w;
    w.show();
    const QString p = file("找到的.txt", "xabcabc\nnone\nabc\n");
    w.add_files({p});
    auto* find = w.ensure_panel("TControlForm_find");
    find->findChild<QLineEdit*>("Edit_find1")->setText("abc");
    find->chkEnable()->click();
    auto* list = w.findChild<QListWidget*>("ListBox_find1");
    auto* panel = w.findChild<QWidget*>("Panel_find1");
    auto* view = w.findChild<QAbstractButton*>("SpeedButton_view1");
    QVERIFY(!panel->isVisible());
    QVERIFY(!w.findChild<QWidget*>("Splitter_find1")->isVisible());

    QVERIFY(run(w));
    QVERIFY(panel->isVisible());
    QVERIFY(w.findChild<QWidget*>("Splitter_find1")->isVisible());
    QCOMPARE(list->count(), 3);
    // The file name is shown decoded; the rest of the line as the run wrote it.
    QCOMPARE(list->item(0)->text(), "文件名=" + p + ";行=0;列=2;查找内容=abc;内容=xabcabc");
    QCOMPARE(list->item(1)->text(), "文件名=" + p + ";行=0;列=5;查找内容=abc;内容=xabcabc");
    QVERIFY(!view->isChecked());  // the end of a run does not press the button

    // Results collect across runs; pressing the button shows the last run's only.
    QVERIFY(run(w));
    QCOMPARE(list->count(), 6);
    view->click();
    QVERIFY(view->isChecked());
    QCOMPARE(list->count(), 3);
    view->click();
    QVERIFY(!panel->isVisible());
    w.findChild<QAction*>("N_find1")->trigger();  // the menu item flips the button
    QVERIFY(view->isChecked());
    QVERIFY(panel->isVisible());

    // Context menu: copy every line with CR LF, delete the selected, clear all.
    auto* menu = w.findChild<QMenu*>("PopupMenu_find1");
    QStringList texts;
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) texts << a->text();
    QCOMPARE(texts, QStringList({"复制", "清空", "删除"}));
    w.findChild<QAction*>("MenuItem7")->trigger();
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied.count("\r\n"), 3);
    QVERIFY(copied.startsWith("文件名=" + p));
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    w.findChild<QAction*>("N31")->trigger();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), "文件名=" + p + ";行=0;列=5;查找内容=abc;内容=xabcabc");
    w.findChild<QAction*>("MenuItem6")->trigger();
    QCOMPARE(list->count(), 0);
  }

  // A double click opens the file and selects the match, as long as the query.
  void doubleClickGoesToMatch() {
    MainWindow w;
    w.show();
    const QString p = file("goto.txt", "one\ntwo abc here\n");
    w.add_files({p});
    auto* find = w.ensure_panel("TControlForm_find");
    find->findChild<QLineEdit*>("Edit_find1")->setText("abc");
    find->chkEnable()->click();
    QVERIFY(run(w));
    auto* list = w.findChild<QListWidget*>("ListBox_find1");
    QCOMPARE(list->count(), 1);
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    lq::gui::EditorView* ed = w.document_tabs()->active_editor();
    QVERIFY(ed);
    QCOMPARE(QString::fromStdString(w.document_tabs()->current_file()), p);
    const lq::EditorModel& m = ed->model();
    QCOMPARE(m.sel_anchor(), (lq::EditPos{5, 1}));
    QCOMPARE(m.sel_end(), (lq::EditPos{8, 1}));
    QCOMPARE(m.top_line(), 1);
    QCOMPARE(m.current_index(), 1);

    // A result of the clipboard entry opens nothing and selects nothing elsewhere.
    w.go_to_match("<剪贴板>", 0, 1);
    QCOMPARE(w.document_tabs()->current_file(), p.toStdString());
    QCOMPARE(m.sel_anchor(), (lq::EditPos{5, 1}));
  }

  void wholeFileMd5() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_md5");
    auto* edit = p->findChild<QLineEdit*>("Edit_md51");
    QString answer = file("md5.bin", QByteArray("abc"));
    lq::gui::TControlForm_md5::set_open_dialog([&answer](QWidget*) { return answer; });
    p->findChild<QAbstractButton*>("SpeedButton_md51")->click();
    QCOMPARE(edit->text(), QString("900150983cd24fb0d6963f7d28e17f72"));
    answer.clear();  // cancelled: nothing changes
    p->findChild<QAbstractButton*>("SpeedButton_md51")->click();
    QCOMPARE(edit->text(), QString("900150983cd24fb0d6963f7d28e17f72"));
    QVERIFY(boxes_.isEmpty());
    // A missing file or a directory has no digest: the box names it and says why.
    for (const QString& bad : {home_.filePath("no such file"), home_.path()}) {
      answer = bad;
      boxes_.clear();
      p->findChild<QAbstractButton*>("SpeedButton_md51")->click();
      QCOMPARE(edit->text(), QString());
      QCOMPARE(boxes_.size(), 1);
      QVERIFY2(boxes_[0].startsWith("Cannot open file \"" + bad + "\". "), qPrintable(boxes_[0]));
    }
    lq::gui::TControlForm_md5::set_open_dialog({});
  }

  // The digest is read on a worker: the window goes on while it waits for the file, shows
  // its progress with "停止", and a stop leaves the box as it was.
  void wholeFileMd5CanBeStopped() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_md5");
    auto* edit = p->findChild<QLineEdit*>("Edit_md51");
    const QString fifo = home_.filePath("slow.fifo");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    lq::gui::TControlForm_md5::set_open_dialog([&fifo](QWidget*) { return fifo; });
    // The writer that lets the reading go on: late, so a reading on the GUI thread would
    // have stood still until then.
    std::thread writer([&fifo] {
      std::this_thread::sleep_for(std::chrono::seconds(3));
      QFile f(fifo);  // opened and closed: the reading ends (a write could meet a closed pipe)
      f.open(QIODevice::WriteOnly);
    });
    bool stopped = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* stop = w.findChild<QAbstractButton*>("Button_task_stop1");
      if (!stop || !stop->isVisible() || stopped) return;
      QVERIFY(w.findChild<QWidget*>("ProgressBar_task1"));
      stop->click();
      stopped = true;
    });
    poll.start(20);
    p->findChild<QAbstractButton*>("SpeedButton_md51")->click();
    writer.join();
    QVERIFY(stopped);
    QCOMPARE(edit->text(), QString());  // stopped: no digest
    lq::gui::TControlForm_md5::set_open_dialog({});
  }
};

QTEST_MAIN(TestPanelWindows)
#include "tst_panel_windows.moc"
