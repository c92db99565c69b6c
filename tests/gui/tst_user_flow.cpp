// One session as a new user has it: a directory of GBK files, a scope, a replace, the
// result in the editor with an undo, a find with a jump to its match, and the same work
// saved as a recipe and run again by lexoquill-batch.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/encoding/code_page.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/run_tabs.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::MainWindow;
using lq::gui::TControlForm_;
using lq::test::read_file;

namespace {

QByteArray gbk(const char* utf8) {
  return QByteArray::fromStdString(lq::code_page().from_utf8(utf8));
}

void write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

bool run(MainWindow& w) {
  return lq::test::start_and_wait(w);
}

QByteArray editor_text(MainWindow& w) {
  lq::gui::EditorView* ed = w.document_tabs()->active_editor();
  return ed ? QByteArray::fromStdString(ed->model().get_all_text()) : "<no editor>";
}

}  // namespace

class TestUserFlow : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QStringList boxes_;

 private slots:
  void initTestCase() {
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::test::write_lines_with_crlf(home_.path());
    lq::gui::set_msg_box_hook([this](const QString&, const QString& t, bool) {
      boxes_ << t;
      return false;
    });
    // The editor tab carries the mark of an edit (taken back by undo) when the find runs.
    lq::gui::set_unsaved_question_hook(
        [](const QString&) { return lq::gui::UnsavedAnswer::DontSave; });
  }

  void directoryReplaceEditFindAndRecipe() {
    const QString dir = home_.filePath("报告");
    const QByteArray report = gbk("旧公司名 年度总结\n第二行：旧公司名\n");
    const QByteArray clients = gbk("客户：旧公司名\r\n");
    write(dir + "/总结.txt", report);
    write(dir + "/子目录/客户.txt", clients);
    write(dir + "/图片.png", "not text");
    const QString summary = dir + "/总结.txt", client = dir + "/子目录/客户.txt";

    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // The directory with its subdirectories, filtered by the extension list.
    w.add_directory(dir, true);
    QStringList listed;
    for (const std::string& f : w.file_list()) listed << QString::fromStdString(f);
    listed.sort();
    QCOMPARE(listed, QStringList({client, summary}));
    auto* list = w.findChild<QListWidget*>("ListBox1");
    QCOMPARE(list->count(), 2);

    // Replace on whole lines.
    w.scope_box()->select_mode(1);
    TControlForm_* th = w.ensure_panel("TControlForm_th");
    th->findChild<QLineEdit*>("Edit_th1")->setText("旧公司名");
    th->findChild<QLineEdit*>("Edit_th2")->setText("新公司");
    th->chkEnable()->click();
    QVERIFY(run(w));
    QCOMPARE(read_file(summary), gbk("新公司 年度总结\r\n第二行：新公司\r\n"));
    QCOMPARE(read_file(client), gbk("客户：新公司\r\n"));
    QVERIFY2(boxes_.filter(QRegularExpression("^完成\n\n改动 ")).size() == 1,
             qPrintable(boxes_.join("|")));

    // The result in the editor; typing and the context menu's undo.
    const int row = static_cast<int>(
        std::find(w.file_list().begin(), w.file_list().end(), summary.toStdString()) -
        w.file_list().begin());
    emit list->itemClicked(list->item(row));
    QCOMPARE(QString::fromStdString(w.document_tabs()->current_file()), summary);
    const QByteArray shown = gbk("新公司 年度总结\r\n第二行：新公司");
    QVERIFY2(editor_text(w).startsWith(shown), editor_text(w).toHex(' ').constData());
    lq::gui::EditorView* ed = w.document_tabs()->active_editor();
    ed->setFocus();
    QTest::keyClicks(ed, "x");
    QVERIFY(editor_text(w) != shown && !editor_text(w).startsWith(shown));
    auto* undo = w.findChild<QMenu*>("PopupMenu_edit1")->findChild<QAction*>("N_p_undo1");
    QVERIFY(undo);
    undo->trigger();
    QVERIFY2(editor_text(w).startsWith(shown), editor_text(w).toHex(' ').constData());

    // Find: enabling it unticks the replace; results list; a double click selects the match.
    TControlForm_* find = w.ensure_panel("TControlForm_find");
    find->findChild<QLineEdit*>("Edit_find1")->setText("新公司");
    find->chkEnable()->click();
    QVERIFY(!th->chkEnable()->isChecked());
    QVERIFY(run(w));
    QCOMPARE(read_file(summary),
             gbk("新公司 年度总结\r\n第二行：新公司\r\n"));  // find writes nothing new
    auto* results = w.findChild<QListWidget*>("ListBox_find1");
    QVERIFY(results->isVisible());
    QCOMPARE(results->count(), 3);
    int second_line = -1;
    for (int i = 0; i < results->count(); ++i)
      if (results->item(i)->text().startsWith("文件名=" + summary + ";行=1;")) second_line = i;
    QVERIFY(second_line >= 0);
    results->setCurrentRow(second_line);
    emit results->itemDoubleClicked(results->item(second_line));
    QCOMPARE(QString::fromStdString(w.document_tabs()->current_file()), summary);
    lq::EditorModel& m = w.document_tabs()->active_editor()->model();
    QCOMPARE(QByteArray::fromStdString(m.selected_text()), gbk("新公司"));
    QCOMPARE(m.current_index(), 1);

    // The replace as a recipe, run by lexoquill-batch on fresh copies.
    th->chkEnable()->click();
    const QString recipe = home_.filePath("公司名.ini");
    w.set_recipe_dialog([&](QWidget*, bool save) { return save ? recipe : QString(); });
    w.findChild<QAction*>("N_save_recipe1")->trigger();
    QVERIFY(QFile::exists(recipe));
    const QString copies = home_.filePath("副本");
    write(copies + "/总结.txt", report);
    write(copies + "/子目录/客户.txt", clients);
    QProcess batch;
    batch.start(LQ_BATCH_EXE, {"--recipe", recipe, "-r", copies});
    QVERIFY(batch.waitForFinished(20000));
    QCOMPARE(batch.exitCode(), 0);
    QCOMPARE(read_file(copies + "/总结.txt"), gbk("新公司 年度总结\r\n第二行：新公司\r\n"));
    QCOMPARE(read_file(copies + "/子目录/客户.txt"), gbk("客户：新公司\r\n"));
  }
};

QTEST_MAIN(TestUserFlow)
#include "tst_user_flow.moc"
