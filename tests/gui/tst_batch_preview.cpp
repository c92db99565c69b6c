// Preview before writing and undo of a whole run, as a user drives them: "预览", uncheck a
// file, "开始处理" from the preview; then "撤销上次处理" and the list of runs.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "gui/panels/control_form.h"
#include "gui/settings/form_option.h"
#include "gui/settings/journal_page.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/preview_dialog.h"
#include "gui/shell/runs_dialog.h"
#include "gui/shell/scope_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::MainWindow;
using lq::test::read_file;
using lq::test::write_file;

class TestBatchPreview : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QStringList boxes_;
  bool answer_ = true;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write_file(p, bytes);
    return p;
  }

  // A window with three files and the replace panel set to turn "x" into "中".
  QStringList set_up(MainWindow& w) {
    const QStringList files = {file("p1.txt", "one x\ntwo\n"), file("p2.txt", "x\r\n"),
                               file("p3.txt", "no change\r\n")};
    w.add_files(files);
    auto* panel = w.ensure_panel("TControlForm_th");
    panel->findChild<QLineEdit*>("Edit_th1")->setText("x");
    panel->findChild<QLineEdit*>("Edit_th2")->setText("中");
    if (!panel->chkEnable()->isChecked()) panel->chkEnable()->click();
    return files;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::test::write_lines_with_crlf(home_.path());
    lq::gui::set_msg_box_hook([this](const QString&, const QString& text, bool) {
      boxes_ << text;
      return answer_;
    });
  }
  void init() { boxes_.clear(); }

  void previewThenWriteOnlyCheckedThenUndo() {
    MainWindow w;
    w.show();
    const QStringList files = set_up(w);
    QSignalSpy shown(&w, &MainWindow::previewShown);
    w.findChild<QAbstractButton*>("SpeedButton_preview1")->click();
    QVERIFY(shown.wait(20000));
    QVERIFY(boxes_.isEmpty());  // a preview ends in its window, not in "完成"
    QCOMPARE(read_file(files[0]), QByteArray("one x\ntwo\n"));  // nothing written

    lq::gui::PreviewDialog* preview = w.preview_dialog();
    QVERIFY(preview && preview->isVisible());
    auto* list = preview->findChild<QTreeWidget*>("ListView_preview1");
    QCOMPARE(list->topLevelItemCount(), 2);  // p3 does not change
    QCOMPARE(list->topLevelItem(0)->text(1), QString("1"));
    const QString diff = preview->findChild<QPlainTextEdit*>("Memo_preview1")->toPlainText();
    QVERIFY2(diff.contains("-one x\n+one 中\n two"), qPrintable(diff));

    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QSignalSpy done(&w, &MainWindow::runFinished);
    preview->findChild<QPushButton*>("Button_preview_start1")->click();
    QVERIFY(done.wait(20000));
    QCOMPARE(read_file(files[0]), QByteArray("one \xD6\xD0\r\ntwo\r\n"));
    QCOMPARE(read_file(files[1]), QByteArray("x\r\n"));  // unchecked: untouched
    QCOMPARE(read_file(files[2]), QByteArray("no change\r\n"));
    QTRY_COMPARE(boxes_.size(), 1);
    QVERIFY2(boxes_[0].startsWith("完成\n\n改动 "), qPrintable(boxes_[0]));

    boxes_.clear();
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(boxes_.size(), 2);  // the question, then the report
    QVERIFY2(boxes_[0].contains("[4]"), qPrintable(boxes_[0]));
    QVERIFY2(boxes_[1].contains("恢复了 1 个文件"), qPrintable(boxes_[1]));
    QCOMPARE(read_file(files[0]), QByteArray("one x\ntwo\n"));

    // Nothing left to undo; the list of runs shows the run as undone.
    boxes_.clear();
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(boxes_, QStringList{"没有可以撤销的处理."});
    w.findChild<QAction*>("N_runs1")->trigger();
    auto* runs = w.runs_dialog()->findChild<QTreeWidget*>("ListView_runs1");
    QCOMPARE(runs->topLevelItemCount(), 1);
    QCOMPARE(runs->topLevelItem(0)->text(1), QString("已撤销"));
  }

  // "开始处理" runs what the preview showed; once a panel, the scope or a file changed,
  // the button says the preview is stale and starts nothing.
  void stalePreviewStartsNothing() {
    struct Case {
      const char* what;
      std::function<void(MainWindow&, const QStringList&)> change;
      bool activate;  // noticed when the preview comes back to the front
    };
    const QList<Case> cases = {
        {"panel",
         [](MainWindow& w, const QStringList&) {
           w.ensure_panel("TControlForm_th")->findChild<QLineEdit*>("Edit_th2")->setText("国");
         },
         false},
        {"scope", [](MainWindow& w, const QStringList&) { w.scope_box()->select_mode(2); }, true},
        {"file", [](MainWindow&, const QStringList& f) { write_file(f[0], "one x more\n"); },
         false},
    };
    for (const Case& c : cases) {
      MainWindow w;
      w.show();
      const QStringList files = set_up(w);
      QSignalSpy shown(&w, &MainWindow::previewShown);
      w.findChild<QAbstractButton*>("SpeedButton_preview1")->click();
      QVERIFY(shown.wait(20000));
      lq::gui::PreviewDialog* preview = w.preview_dialog();
      auto* start = preview->findChild<QPushButton*>("Button_preview_start1");
      QCOMPARE(start->text(), QString("开始处理"));
      c.change(w, files);
      const QByteArray first = read_file(files[0]);
      if (c.activate) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(preview, &activate);
        QVERIFY2(!start->isEnabled(), c.what);
      } else {
        start->click();
      }
      QVERIFY2(!w.running(), c.what);
      QCOMPARE(start->text(), QString("开始处理 (预览已过期)"));
      QVERIFY2(!start->isEnabled(), c.what);
      QVERIFY2(preview->isVisible(), c.what);
      QCOMPARE(read_file(files[0]), first);  // nothing written
      QCOMPARE(read_file(files[1]), QByteArray("x\r\n"));
      preview->close();
    }
  }

  // A preview that is still current runs its own recipe and files, not the window's list.
  void currentPreviewRunsItsOwnFiles() {
    MainWindow w;
    const QStringList files = set_up(w);
    QSignalSpy shown(&w, &MainWindow::previewShown);
    w.preview_run();
    QVERIFY(shown.wait(20000));
    const QString later = file("p4.txt", "x\n");
    w.add_files({later});  // not previewed: stays as it is
    QSignalSpy done(&w, &MainWindow::runFinished);
    w.preview_dialog()->findChild<QPushButton*>("Button_preview_start1")->click();
    QVERIFY(done.wait(20000));
    QCOMPARE(read_file(files[1]), QByteArray("\xD6\xD0\r\n"));
    QCOMPARE(read_file(later), QByteArray("x\n"));
    w.findChild<QAction*>("N_undo_run1")->trigger();  // leaves no run to undo for the rest
    QCOMPARE(read_file(files[1]), QByteArray("x\r\n"));
  }

  void undoKeepsFilesChangedSinceAndAsksFirst() {
    MainWindow w;
    const QStringList files = set_up(w);
    QSignalSpy done(&w, &MainWindow::runFinished);
    w.findChild<QAction*>("N_start1")->trigger();
    QVERIFY(done.wait(20000));
    QCOMPARE(read_file(files[1]), QByteArray("\xD6\xD0\r\n"));
    write_file(files[1], "mine\n");

    // "No" to the question changes nothing.
    answer_ = false;
    boxes_.clear();
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(boxes_.size(), 1);
    QCOMPARE(read_file(files[0]), QByteArray("one \xD6\xD0\r\ntwo\r\n"));

    answer_ = true;
    boxes_.clear();
    w.findChild<QAction*>("N_runs1")->trigger();
    w.runs_dialog()->findChild<QPushButton*>("Button_runs_undo1")->click();
    QCOMPARE(boxes_.size(), 2);
    QVERIFY2(boxes_[1].contains("又被改动过"), qPrintable(boxes_[1]));
    QVERIFY2(boxes_[1].contains("p2.txt"), qPrintable(boxes_[1]));
    QCOMPARE(read_file(files[0]), QByteArray("one x\ntwo\n"));
    QCOMPARE(read_file(files[1]), QByteArray("mine\n"));
  }

  // The options dialog shows the journal's limits and stores a change; 0 runs keeps none.
  void optionsSetTheJournalLimits() {
    MainWindow w;
    QTimer::singleShot(0, &w, [&w] {
      auto* d = w.findChild<lq::gui::Tform_option*>();
      QVERIFY(d);
      lq::gui::JournalPage* page = d->journal_page();
      QCOMPARE(page->SpinEdit_journal_runs1()->value(), 20);
      QCOMPARE(page->SpinEdit_journal_mb1()->value(), 1024);
      page->SpinEdit_journal_runs1()->setValue(0);
      d->accept();
    });
    w.open_options();
    QVERIFY(read_file(home_.filePath("sys1.ini")).contains("[journal]\r\nruns=0\r\n"));
    const QStringList files = set_up(w);
    QSignalSpy done(&w, &MainWindow::runFinished);
    w.findChild<QAction*>("N_start1")->trigger();
    QVERIFY(done.wait(20000));
    QCOMPARE(read_file(files[1]), QByteArray("\xD6\xD0\r\n"));
    boxes_.clear();
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(boxes_, QStringList{"没有可以撤销的处理."});
  }
};

QTEST_MAIN(TestBatchPreview)
#include "tst_batch_preview.moc"
