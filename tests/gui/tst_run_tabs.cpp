// Editor tabs around a batch run, a preview and the undo of a run: unsaved edits are never
// lost or silently saved over what the run wrote, and tabs without edits show the result.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/run_tabs.h"
#include "gui/editor/tab_control.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::DocumentTabs;
using lq::gui::FilePage;
using lq::gui::MainWindow;
using lq::gui::UnsavedAnswer;
using lq::test::read_file;
using lq::test::write_file;

class TestRunTabs : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QStringList boxes_;      // texts of the message boxes shown
  QStringList questions_;  // texts of the unsaved-tabs questions
  bool box_answer_ = true;
  UnsavedAnswer answer_ = UnsavedAnswer::Cancel;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write_file(p, bytes);
    return p;
  }

  // A window whose run puts "{" before every line of `files`.
  static void set_up(MainWindow& w, const QStringList& files) {
    w.add_files(files);
    auto* panel = w.ensure_panel("TControlForm_LAdd");
    panel->findChild<QLineEdit*>("Edit_leftadd1")->setText("{");
    if (!panel->chkEnable()->isChecked()) panel->chkEnable()->click();
  }

  static FilePage* open(MainWindow& w, const QString& path) {
    DocumentTabs* tabs = w.document_tabs();
    if (!tabs->open_in_tab(path.toStdString())) return nullptr;
    return tabs->find_page(path.toStdString());
  }

  static std::string text_of(FilePage* page) { return page->page_editor->model().get_all_text(); }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::gui::set_msg_box_hook([this](const QString&, const QString& t, bool) {
      boxes_ << t;
      return box_answer_;
    });
    lq::gui::set_unsaved_question_hook([this](const QString& t) {
      questions_ << t;
      return answer_;
    });
  }
  void init() {
    boxes_.clear();
    questions_.clear();
    box_answer_ = true;
  }
  void cleanupTestCase() {
    lq::gui::set_msg_box_hook({});
    lq::gui::set_unsaved_question_hook({});
  }

  void cancelLeavesFileAndTabAlone() {
    MainWindow w;
    const QString a = file("c1.txt", "one\n"), b = file("c2.txt", "two\n");
    set_up(w, {a, b});
    FilePage* page = open(w, a);
    QVERIFY(page);
    QTest::keyClicks(page->page_editor, "X");
    answer_ = UnsavedAnswer::Cancel;
    QVERIFY(!lq::test::start_and_wait(w));
    QCOMPARE(questions_.size(), 1);
    QVERIFY2(questions_[0].contains(a), qPrintable(questions_[0]));
    QVERIFY(!questions_[0].contains(b));  // only tabs with edits are named
    QCOMPARE(read_file(a), QByteArray("one\n"));
    QCOMPARE(read_file(b), QByteArray("two\n"));
    QCOMPARE(text_of(page), std::string("Xone\r\n"));
  }

  void saveFirstRunsOverTheSavedTextAndShowsTheResult() {
    MainWindow w;
    const QString a = file("s1.txt", "one\n");
    set_up(w, {a});
    FilePage* page = open(w, a);
    QTest::keyClicks(page->page_editor, "X");
    answer_ = UnsavedAnswer::SaveFirst;
    QVERIFY(lq::test::start_and_wait(w));
    QCOMPARE(questions_.size(), 1);
    QCOMPARE(read_file(a), QByteArray("{Xone\n"));
    // The tab had nothing unsaved once saved, so it shows what the run wrote.
    QCOMPARE(text_of(page), std::string("{Xone\r\n"));
    QCOMPARE(page->caption(), QString("s1.txt"));
  }

  void dontSaveKeepsTheEditsAndSavingAsksBeforeOverwriting() {
    MainWindow w;
    const QString a = file("d1.txt", "one\n");
    set_up(w, {a});
    FilePage* page = open(w, a);
    QTest::keyClicks(page->page_editor, "X");
    answer_ = UnsavedAnswer::DontSave;
    QVERIFY(lq::test::start_and_wait(w));
    QCOMPARE(read_file(a), QByteArray("{one\n"));  // the run used the file on disk
    QCOMPARE(text_of(page), std::string("Xone\r\n"));
    QVERIFY(page->changed_on_disk);
    QCOMPARE(page->caption(), QString("d1.txt*!"));

    // Saving asks first; declining keeps what the run wrote.
    boxes_.clear();
    box_answer_ = false;
    QVERIFY(!w.document_tabs()->save_page(page));
    QCOMPARE(boxes_.size(), 1);
    QVERIFY2(boxes_[0].contains(a) && boxes_[0].contains("覆盖"), qPrintable(boxes_[0]));
    QCOMPARE(read_file(a), QByteArray("{one\n"));
    box_answer_ = true;
    QVERIFY(w.document_tabs()->save_page(page));
    QCOMPARE(read_file(a), QByteArray("Xone\n"));
    QCOMPARE(page->caption(), QString("d1.txt"));
  }

  void unmodifiedTabsReloadKeepingCaretAndScroll() {
    MainWindow w;
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "line " + QByteArray::number(i) + "\n";
    const QString a = file("u1.txt", text);
    set_up(w, {a});
    FilePage* page = open(w, a);
    lq::EditorModel& m = page->page_editor->model();
    m.set_top_line(120);
    m.set_caret_row(3);
    m.set_caret_col(4);
    QVERIFY(lq::test::start_and_wait(w));
    QVERIFY(questions_.isEmpty());  // nothing unsaved: nothing to ask
    QCOMPARE(m.get_row(123), std::string("{line 123"));
    QCOMPARE(m.top_line(), 120);
    QCOMPARE(m.caret_row(), 3);
    QCOMPARE(m.caret_col(), 4);
    QVERIFY(!page->modified && !page->changed_on_disk);
    // The text before the run is one undo away.
    m.undo_step();
    QCOMPARE(m.get_row(123), std::string("line 123"));
  }

  void previewAndUndoOfARunAskToo() {
    MainWindow w;
    const QString a = file("p1.txt", "one\n");
    set_up(w, {a});
    FilePage* page = open(w, a);
    QTest::keyClicks(page->page_editor, "X");
    answer_ = UnsavedAnswer::Cancel;
    w.findChild<QAbstractButton*>("SpeedButton_preview1")->click();
    QVERIFY(!w.running());
    QCOMPARE(questions_.size(), 1);

    // A run while the tab has nothing unsaved, then an undo of it with new edits in the
    // tab: asked again; after "不保存" the file is restored and the tab keeps its edits.
    page->page_editor->model().undo_step();
    QVERIFY(w.document_tabs()->save_page(page));
    QVERIFY(lq::test::start_and_wait(w));
    QCOMPARE(text_of(page), std::string("{one\r\n"));
    page->page_editor->model().set_caret_col(1);
    QTest::keyClicks(page->page_editor, "Y");
    questions_.clear();
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(questions_.size(), 1);
    QCOMPARE(read_file(a), QByteArray("{one\n"));  // not undone
    answer_ = UnsavedAnswer::DontSave;
    w.findChild<QAction*>("N_undo_run1")->trigger();
    QCOMPARE(read_file(a), QByteArray("one\n"));
    QCOMPARE(text_of(page), std::string("Y{one\r\n"));
    QVERIFY(page->changed_on_disk);
  }

  // The question is a real box that a user (or a test) can find and answer.
  void theQuestionBoxCanBeFoundAndAnswered() {
    lq::gui::set_unsaved_question_hook({});
    MainWindow w;
    w.show();
    const QString a = file("q1.txt", "one\n");
    set_up(w, {a});
    FilePage* page = open(w, a);
    QTest::keyClicks(page->page_editor, "X");
    QString seen;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || box->objectName() != "msg_box_unsaved1") return;
      seen = box->text();
      QCOMPARE(box->findChild<QPushButton*>("Button_save_first1")->text(), QString("保存后处理"));
      QCOMPARE(box->findChild<QPushButton*>("Button_dont_save1")->text(), QString("不保存"));
      box->findChild<QPushButton*>("Button_cancel1")->click();
    });
    w.findChild<QAction*>("N_start1")->trigger();
    lq::gui::set_unsaved_question_hook([this](const QString& t) {
      questions_ << t;
      return answer_;
    });
    QVERIFY2(seen.contains(a), qPrintable(seen));
    QVERIFY(!w.running());
    QCOMPARE(read_file(a), QByteArray("one\n"));
  }
};

QTEST_MAIN(TestRunTabs)
#include "tst_run_tabs.moc"
