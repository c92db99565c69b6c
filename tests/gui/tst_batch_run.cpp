// The run as a user drives it: file list, scope, one enabled panel, Start, the boxes.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::MainWindow;
using lq::test::read_file;
using lq::test::write_file;

namespace {

struct Box {
  QString caption, text;
};

}  // namespace

class TestBatchRun : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QList<Box> boxes_;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write_file(p, bytes);
    return p;
  }

  // Starts the run and waits for its end.
  static bool run(MainWindow& w) { return lq::test::start_and_wait(w); }

  static void enable(lq::gui::TControlForm_* p) {
    if (!p->chkEnable()->isChecked()) p->chkEnable()->click();
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    // The program's own files (settings, extension list) live here during the tests.
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::gui::set_msg_box_hook([this](const QString& c, const QString& t, bool) {
      boxes_ << Box{c, t};
      return false;
    });
  }
  void init() { boxes_.clear(); }

  void emptyListComesFirst() {
    MainWindow w;
    w.scope_box()->set_value("Edit_fw_qj1", "abc");
    w.scope_box()->select_mode(2);
    w.findChild<QAction*>("N_start1")->trigger();
    QVERIFY(!w.running());
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].caption, QString("提示"));
    QCOMPARE(boxes_[0].text,
             QString("还未打开要处理的文件呢！\n您可以在菜单“文件”下的“打开要处理的文件...”中打开要"
                     "处理的文件\n或是点击“打开要处理的文件”按钮。"));
  }

  void scopeTwoNeedsAnInteger() {
    MainWindow w;
    const QString p = file("int.txt", "abc\n");
    w.add_files({p});
    w.scope_box()->set_value("Edit_fw_qj1", "abc");
    w.scope_box()->select_mode(2);
    w.findChild<QAction*>("N_start1")->trigger();
    QVERIFY(!w.running());
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].caption, QString("提示"));
    QCOMPARE(boxes_[0].text, QString("应填一个整数，比如  10"));
    QCOMPARE(read_file(p), QByteArray("abc\n"));  // nothing processed
  }

  void runWritesFilesAndShowsProgress() {
    MainWindow w;
    w.show();
    const QStringList files = {file("r1.txt", "a\nb"), file("r2.txt", "x\r\n"), file("r3.txt", "")};
    w.add_files(files);
    auto* panel = w.ensure_panel("TControlForm_LAdd");
    panel->findChild<QLineEdit*>("Edit_leftadd1")->setText("{");
    enable(panel);
    QList<int> shown;
    connect(&w, &MainWindow::progressShown, this, [&](int p) {
      shown << p;
      // While the run works, no second one can start and the inputs are locked.
      QVERIFY(!w.findChild<QAction*>("N_start1")->isEnabled());
      QVERIFY(!w.scope_box()->isEnabled());
      QVERIFY(w.findChild<QWidget*>("ProgressBar_files1")->isVisible());
    });
    QVERIFY(run(w));
    QCOMPARE(shown, QList<int>({33, 66, 100}));
    // Each file keeps its line ends, a missing last one included.
    QCOMPARE(read_file(files[0]), QByteArray("{a\n{b"));
    QCOMPARE(read_file(files[1]), QByteArray("{x\r\n"));
    QCOMPARE(read_file(files[2]), QByteArray(""));
    QTRY_COMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].caption, QString("提示"));
    QCOMPARE(boxes_[0].text, QString("完成\n\n改动 2 个文件, 未改动 1 个, 跳过 0 个."));
    QVERIFY(!w.findChild<QWidget*>("ProgressBar_files1")->isVisible());
    QVERIFY(!w.findChild<QWidget*>("Label_file1")->isVisible());
    QVERIFY(w.findChild<QAction*>("N_start1")->isEnabled());
  }

  void onlyTheEnabledPanelActs() {
    MainWindow w;
    const QString p = file("two.txt", "ab\n");
    w.add_files({p});
    auto* upper = w.ensure_panel("TControlForm_ucase");
    auto* add = w.ensure_panel("TControlForm_LAdd");
    add->findChild<QLineEdit*>("Edit_leftadd1")->setText("-");
    enable(upper);
    enable(add);  // unticks upper
    QVERIFY(!upper->chkEnable()->isChecked());
    QVERIFY(run(w));
    QCOMPARE(read_file(p), QByteArray("-ab\n"));
  }

  void lastBytesFallbackRewritesTheBox() {
    MainWindow w;
    const QString p = file("fb.txt", "abc\nabcdef\n");
    w.add_files({p});
    auto* add = w.ensure_panel("TControlForm_LAdd");
    add->findChild<QLineEdit*>("Edit_leftadd1")->setText("|");
    enable(add);
    w.scope_box()->set_value("Edit_fw_hj1", "x");
    w.scope_box()->select_mode(8);
    QVERIFY(run(w));
    // The first line's length became the count, and the later line used it.
    QCOMPARE(read_file(p), QByteArray("|abc\nabc|def\n"));
    QTRY_COMPARE(w.scope_box()->value("Edit_fw_hj1"), QString("3"));
  }

  // The worker keeps its results to itself and hands them over file by file: when a
  // file's progress shows, the window holds exactly the results of the files before it,
  // and looking at them (the toggle) while the run goes on is safe.
  void findResultsReachTheWindowFileByFile() {
    MainWindow w;
    w.show();
    QStringList files;
    // Files long enough that the worker is still finding while the window looks.
    for (int i = 0; i < 40; ++i)
      files << file(QString("f%1.txt").arg(i), QByteArray("ab ab\nno\n").repeated(100));
    w.add_files(files);
    auto* find = w.ensure_panel("TControlForm_find");
    find->findChild<QLineEdit*>("Edit_find1")->setText("ab");
    enable(find);
    auto* toggle = w.findChild<QAbstractButton*>("SpeedButton_view1");
    auto* list = w.findChild<QListWidget*>("ListBox_find1");
    int begun = 0;
    QList<qsizetype> mismatches;
    connect(&w, &MainWindow::progressShown, this, [&](int) {
      const qsizetype expected = 200 * begun++;
      if (static_cast<qsizetype>(w.find_results().size()) != expected) mismatches << begun;
      toggle->click();  // down: the results so far
      if (list->count() != expected) mismatches << -begun;
      toggle->click();  // up again
    });
    QVERIFY(run(w));
    QCOMPARE(begun, 40);
    QCOMPARE(mismatches, QList<qsizetype>());
    QCOMPARE(w.find_results().size(), size_t(8000));
    // The end of the run adds them all after what the last look left in the list.
    QCOMPARE(list->count(), 7800 + 8000);
    QVERIFY(boxes_.isEmpty());
  }

  void stopEndsBetweenFiles() {
    MainWindow w;
    QStringList files;
    for (int i = 0; i < 400; ++i)
      files << file(QString("s%1.txt").arg(i), QByteArray(2000, 'a') + "\n");
    w.add_files(files);
    enable(w.ensure_panel("TControlForm_ucase"));
    connect(&w, &MainWindow::progressShown, &w,
            [&w](int) { w.findChild<QAction*>("N_stop1")->trigger(); });
    QVERIFY(run(w));
    int done = 0, untouched = 0;
    for (const QString& f : files) {
      const QByteArray b = read_file(f);
      if (b == QByteArray(2000, 'A') + "\n")
        ++done;
      else if (b == QByteArray(2000, 'a') + "\n")
        ++untouched;
    }
    QCOMPARE(done + untouched, files.size());  // nothing half-written
    QVERIFY(untouched > 0);
    QVERIFY(boxes_.isEmpty());  // no "完成" after a stop
    QVERIFY(w.findChild<QAction*>("N_start1")->isEnabled());
  }

  void closingDuringARunWaitsForTheFileInHand() {
    auto* w = new MainWindow;
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<MainWindow> alive = w;
    w->show();
    QStringList files;
    for (int i = 0; i < 20; ++i) files << file(QString("c%1.txt").arg(i), "q\n");
    w->add_files(files);
    enable(w->ensure_panel("TControlForm_ucase"));
    connect(w, &MainWindow::progressShown, w, [w](int) { w->close(); });
    w->findChild<QAction*>("N_start1")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 20000);
    for (const QString& f : files) QVERIFY(read_file(f) == "Q\n" || read_file(f) == "q\n");
  }

  void binaryFileIsSkippedAndNamed() {
    MainWindow w;
    const QString bin = file("bin.txt", QByteArray("a\0b\n", 4)), text = file("t.txt", "t\n");
    w.add_files({bin, text});
    auto* panel = w.ensure_panel("TControlForm_ucase");
    enable(panel);
    QVERIFY(run(w));
    QCOMPARE(read_file(bin), QByteArray("a\0b\n", 4));
    QCOMPARE(read_file(text), QByteArray("T\n"));
    QTRY_COMPARE(boxes_.size(), 1);
    QCOMPARE(boxes_[0].text,
             "完成\n\n改动 1 个文件, 未改动 0 个, 跳过 1 个.\n" + bin + "  (二进制文件)");
  }

  void addDirectoryFiltersTheWholeList() {
    MainWindow w;
    QDir(home_.path()).mkpath("d/sub");
    write_file(home_.filePath("ext1.txt"), ".txt\r\n");
    const QString dir = home_.filePath("d");
    write_file(dir + "/a.txt", "1");
    write_file(dir + "/b.htm", "2");
    write_file(dir + "/sub/c.txt", "3");
    w.add_files({home_.filePath("old.htm"), home_.filePath("old.txt")});
    // Answer the directory dialog as a user would.
    QTimer::singleShot(0, &w, [&] {
      auto* dlg = w.findChild<QDialog*>("Tform_select_path1");
      QVERIFY(dlg);
      dlg->findChild<QLineEdit*>("Edit_path1")->setText("  " + dir + "  ");
      dlg->accept();
    });
    w.findChild<QAction*>("N14")->trigger();
    std::vector<std::string> expected = {home_.filePath("old.txt").toStdString(),
                                         (dir + "/a.txt").toStdString()};
    QCOMPARE(w.file_list(), expected);
    QCOMPARE(w.last_dir(), dir.toStdString());

    // With subdirectories; the dialog shows the previous text again.
    QTimer::singleShot(0, &w, [&] {
      auto* dlg = w.findChild<QDialog*>("Tform_select_path1");
      QCOMPARE(dlg->findChild<QLineEdit*>("Edit_path1")->text().trimmed(), dir);
      dlg->accept();
    });
    w.findChild<QAction*>("N15")->trigger();
    QCOMPARE(w.file_list().size(), size_t(4));
    QVERIFY(std::find(w.file_list().begin(), w.file_list().end(),
                      (dir + "/sub/c.txt").toStdString()) != w.file_list().end());
  }
};

QTEST_MAIN(TestBatchRun)
#include "tst_batch_run.moc"
