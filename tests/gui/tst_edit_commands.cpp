// The main window's editing commands as a user reaches them: menus, keys, the quick-find
// box, bookmarks, the clipboard forms, the character-code display and the tools.
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/encoding/code_page.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/edit_commands.h"
#include "gui/editor/form_find.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/support/gbk_bytes.h"
#include "gui/tools/java_escape_dialog.h"
#include "gui/widgets/color_widgets.h"

using lq::EditPos;
using lq::gui::EditorView;
using lq::gui::MainWindow;
using lq::test::gbk;

namespace {

// The exact bytes the program put on the clipboard.
std::string clipboard_bytes() {
  const QMimeData* d = QGuiApplication::clipboard()->mimeData();
  if (!d) return {};
  const QByteArray b = d->data(lq::gui::SystemEditorClipboard::kMimeType);
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

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

void write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A shown main window with one new document holding text.
struct Win {
  MainWindow w;
  explicit Win(const std::string& text = {}) {
    w.resize(900, 700);
    w.show();
    w.document_tabs()->new_document();
    ed()->model().set_all_text(text);
    QApplication::setActiveWindow(&w);
    ed()->setFocus();
  }
  EditorView* ed() { return w.document_tabs()->active_editor(); }
  lq::EditorModel& m() { return ed()->model(); }
  lq::gui::EditCommands& c() { return *w.edit_commands(); }
  void trigger(const char* name) {
    QAction* a = w.findChild<QAction*>(name);
    QVERIFY2(a, name);
    a->trigger();
  }
  void select(EditPos a, EditPos e) {
    m().set_sel_anchor(a);
    m().set_sel_end(e);
  }
};

QStringList captions(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QString("-") : a->text());
  return out;
}

}  // namespace

class TestEditCommands : public QObject {
  Q_OBJECT

  QTemporaryDir home_;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write(p, bytes);
    return p;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
  }

  void menusHoldTheCommandsInOrder() {
    Win win;
    QCOMPARE(captions(win.w.findChild<QMenu*>("N_edit1")),
             QStringList({"保存", "复制 [Ctrl+C]", "粘贴 [Ctrl+V]", "剪切 [Ctrl+X]", "删除", "-",
                          "自动折行[切换]"}));
    QMenu* popup = win.w.findChild<QMenu*>("PopupMenu_edit1");
    QCOMPARE(captions(popup),
             QStringList({"复制", "粘贴", "删除", "-", "撤消", "重做", "-", "全选    Ctrl+A", "-",
                          "粘贴 - 网页兼容", "粘贴 - 功能性", "粘贴 - win8/unicode 兼容"}));
    QCOMPARE(win.ed()->context_menu(), popup);
    QCOMPARE(captions(win.w.findChild<QMenu*>("N_mark1")),
             QStringList({"加入书签", "加入书签[含行号]", "-", "书签...", "-", "管理"}));
    QCOMPARE(win.w.findChild<QAction*>("N_find_quick1")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_F));
  }

  void documentCommandsReachTheTabsFromAnywhereInTheWindow() {
    MainWindow w;
    w.show();
    QApplication::setActiveWindow(&w);
    auto* tabs = w.document_tabs();
    tabs->close_active();  // the empty document the window starts with
    QVERIFY(tabs->PageControl1()->all_pages().empty());
    w.findChild<QAction*>("N_new1")->trigger();
    w.findChild<QAction*>("N_new1")->trigger();
    const auto pages = tabs->PageControl1()->all_pages();
    QCOMPARE(pages.size(), size_t(2));
    // The keys work with the focus in the file list too.
    auto* list = w.findChild<QListWidget*>("ListBox1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->PageControl1()->ActivePage(), pages[0]);
    w.findChild<QAction*>("N_prevpage1")->trigger();
    QCOMPARE(tabs->PageControl1()->ActivePage(), pages[1]);
    int asked = 0;
    QTemporaryDir dir;
    tabs->set_save_dialog(
        [&](QWidget*) { return dir.filePath(QString("s%1.txt").arg(++asked)).toStdString(); });
    w.findChild<QAction*>("N_saveall1")->trigger();
    QCOMPARE(asked, 2);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(tabs->PageControl1()->all_pages().size(), size_t(1));
    QVERIFY(!tabs->active_page());
    w.findChild<QAction*>("N_close1")->trigger();  // nothing active: nothing closes
    QCOMPARE(tabs->PageControl1()->all_pages().size(), size_t(1));
  }

  void commandsDoNothingWithoutAnActivePage() {
    Win win("abc");
    win.w.document_tabs()->close_active();
    QVERIFY(!win.w.document_tabs()->active_page());
    const char* names[] = {"N_copy1", "N_paste1",    "N_cut1",         "N_delete1",
                           "N_wrap1", "N_p_delete1", "N_copy_web1",    "N_date1",
                           "N_save1", "N_addmark1",  "N_copy_unicode", "N_paste_unicode"};
    for (const char* n : names) win.trigger(n);
    win.c().set_find_text("abc");
    win.c().find_next();
  }

  void copyAsWebAndAsCodeGiveTheirBytes() {
    Win win("\t  a b");
    win.m().select_all();
    win.trigger("N_copy_web1");
    const std::string web =
        "\xA1\xA1\xA1"
        "a b\r\n";
    COMPARE_BYTES(clipboard_bytes(), web);
    win.m().set_all_text(web);
    win.m().select_all();
    win.trigger("N_copy_code1");
    COMPARE_BYTES(clipboard_bytes(), std::string("   a b\r\n"));
  }

  void editMenuCutAndDeleteRecordNoUndoThePopupDeleteDoes() {
    Win win("abcdef");
    win.select({2, 0}, {4, 0});
    win.trigger("N_cut1");
    COMPARE_BYTES(win.m().get_row(0), std::string("adef"));
    COMPARE_BYTES(clipboard_bytes(), std::string("bc"));
    QCOMPARE(win.m().undo_list().size(), size_t(0));
    win.select({1, 0}, {2, 0});
    win.trigger("N_p_delete1");
    COMPARE_BYTES(win.m().get_row(0), std::string("def"));
    QCOMPARE(win.m().undo_list().size(), size_t(1));
    win.trigger("N_p_undo1");
    COMPARE_BYTES(win.m().get_row(0), std::string("adef"));
  }

  void currentDateIsInsertedWithoutMovingTheCaretOrMarkingTheTab() {
    Win win("ab");
    win.m().set_caret_col(2);
    win.trigger("N_date1");
    const std::string row = win.m().get_row(0);
    QVERIFY(row.size() > 6);
    QCOMPARE(row.front(), 'a');
    QCOMPARE(row.back(), 'b');
    QCOMPARE(win.m().caret_col(), 2);
    QCOMPARE(win.w.document_tabs()->active_page()->caption(), QString::fromUtf8("新文档"));
  }

  void quickFindWalksTheMatchesAndKeepsItsHistory() {
    QFile::remove(lq::gui::TForm_find::history_path().c_str());
    Boxes boxes;
    Win win("xxabcxxABC\r\nabc");
    win.trigger("N_find_quick1");
    lq::gui::TForm_find* box = win.c().quick_find();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowTitle(), QString::fromUtf8("快速查找框"));
    box->find1()->setEditText("abc");
    auto* ok = box->findChild<QPushButton*>("Button_ok1");
    ok->click();
    QCOMPARE(win.m().sel_anchor(), (EditPos{3, 0}));
    QCOMPARE(win.m().caret_abs_col(), 6);
    // F3 in the main window goes on from the caret.
    QTest::keyClick(win.ed(), Qt::Key_F3);
    QCOMPARE(win.m().sel_anchor(), (EditPos{8, 0}));
    QTest::keyClick(win.ed(), Qt::Key_F3);
    QCOMPARE(win.m().sel_anchor(), (EditPos{1, 1}));
    QCOMPARE(win.m().top_line(), 1);
    QVERIFY(boxes.texts.isEmpty());
    QTest::keyClick(win.ed(), Qt::Key_F3);
    QCOMPARE(boxes.texts, QStringList{"没找到。"});

    box->find1()->setEditText("x");
    ok->click();
    box->find1()->setEditText("abc");
    ok->click();
    QCOMPARE(box->history(), (lq::LineList{"abc", "x"}));
    box->reject();
    QFile f(lq::gui::TForm_find::history_path().c_str());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("abc\r\nx\r\n"));
    // Shown again, it reads the file.
    win.trigger("N_find_quick1");
    QCOMPARE(box->find1()->count(), 2);
  }

  void quickFindTextsGoToTheLanguageFileWhenTheProgramEnds() {
    const QString language = home_.filePath("language.txt");
    QFile::remove(language);
    {
      Win win;
      win.trigger("N_find_quick1");
      win.c().quick_find()->reject();
      QVERIFY(!QFile::exists(language));
    }
    QFile f(language);
    QVERIFY(f.open(QIODevice::ReadOnly));
    // Every part of the box has tag 0, so the last one, "取消", is what the file keeps.
    QVERIFY(QString::fromUtf8(lq::code_page().to_utf8(f.readAll().toStdString()))
                .endsWith("0=取消\r\n"));
  }

  void wrapToggleSwitchesTheActiveEditor() {
    Win win(std::string(300, 'x'));
    win.trigger("N_wrap1");
    QVERIFY(win.m().auto_line());
    QVERIFY(win.m().row_count() > 1);
    win.trigger("N_wrap1");
    QVERIFY(!win.m().auto_line());
    QCOMPARE(win.m().row_count(), 1);
  }

  void numberedBookmarksReturnToFileAndRow() {
    QString text;
    for (int i = 0; i < 50; ++i) text += QString("row %1\n").arg(i);
    const QString first = file("first.txt", text.toUtf8());
    const QString second = file("second.txt", "other\n");
    MainWindow w;
    w.show();
    QApplication::setActiveWindow(&w);
    auto* tabs = w.document_tabs();
    QVERIFY(tabs->open_in_tab(first.toStdString()));
    EditorView* ed1 = tabs->active_editor();
    ed1->model().set_top_line(7);
    ed1->setFocus();
    QTest::keyClick(ed1, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(tabs->open_in_tab(second.toStdString()));
    ed1->model().set_top_line(0);
    tabs->active_editor()->setFocus();
    QTest::keyClick(tabs->active_editor(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(tabs->active_editor(), ed1);
    QCOMPARE(ed1->model().top_line(), 7);
    // An unset digit does nothing.
    QTest::keyClick(ed1, Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(tabs->active_editor(), ed1);
  }

  void persistentBookmarksListEveryAdditionAndOpenTheFile() {
    QFile::remove(home_.filePath("bookmark1.txt"));
    const QString path = file("marked.txt", "m\n");
    MainWindow w;
    auto* tabs = w.document_tabs();
    QVERIFY(tabs->open_in_tab(path.toStdString()));
    w.findChild<QAction*>("N_addmark1")->trigger();
    w.findChild<QAction*>("N_addmark1")->trigger();
    QMenu* mark = w.findChild<QMenu*>("N_mark1");
    emit mark->aboutToShow();
    QMenu* list = w.findChild<QMenu*>("N_marks1");
    QCOMPARE(captions(list), QStringList({path, path}));
    tabs->close_active();
    list->actions()[0]->trigger();
    list->actions()[1]->trigger();
    QCOMPARE(w.file_list(), std::vector<std::string>{path.toStdString()});
    QVERIFY(tabs->active_page());
    QCOMPARE(tabs->active_page()->file_path, path.toStdString());
  }

  void codeDisplayShowsTheByteBeforeTheCaret_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("shown");
    QTest::newRow("after A") << 2 << "A D= 65,H=41";
    QTest::newRow("after TAB") << 3 << "\t D=  9,H= 9";
    QTest::newRow("at column 1 the first byte") << 1 << "A D= 65,H=41";
  }
  void codeDisplayShowsTheByteBeforeTheCaret() {
    QFETCH(int, col);
    QFETCH(QString, shown);
    Win win("A\tB");
    auto* code2 = win.w.findChild<QLineEdit*>("Edit_code2");
    win.m().set_caret_col(col);
    QTest::keyClick(win.ed(), Qt::Key_Shift);
    QCOMPARE(code2->text(), shown);
  }

  void codeDisplayOfADoubleByteCharacterShowsItsSecondByte() {
    Win win(gbk("中"));
    auto* code1 = win.w.findChild<QLineEdit*>("Edit_code1");
    auto* code2 = win.w.findChild<QLineEdit*>("Edit_code2");
    win.m().set_caret_col(3);
    QTest::keyClick(win.ed(), Qt::Key_Shift);
    QVERIFY(code2->text().endsWith(" D=208,H=D0"));
    // Past the line's end Edit_code1 empties and Edit_code2 keeps its text.
    win.m().set_caret_col(9);
    QTest::keyClick(win.ed(), Qt::Key_Shift);
    QVERIFY(code1->text().isEmpty());
    QVERIFY(code2->text().endsWith(" D=208,H=D0"));
    // Typing into Edit_code1 shows what was typed.
    code1->setText("a");
    QCOMPARE(code2->text(), QString("a D= 97,H=61"));
  }

  void unicodeCopyAndPaste() {
    Win win(gbk("中文x"));
    win.select({1, 0}, {5, 0});
    win.trigger("N_copy_unicode");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("中文"));
    COMPARE_BYTES(clipboard_bytes(), gbk("中文"));

    win.m().set_all_text("ab");
    win.m().set_caret_col(4);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u0E01汉"));
    win.trigger("N_paste_unicode");
    // Padded to the caret; a character GBK lacks becomes "?"; the caret stays.
    COMPARE_BYTES(win.m().get_row(0), "ab ?" + gbk("汉"));
    QCOMPARE(win.m().caret_col(), 4);

    QGuiApplication::clipboard()->clear();
    win.trigger("N_paste_unicode");
    QCOMPARE(win.m().undo_list().size(), size_t(1));
  }

  void javaEscapes_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("letter") << "A"
                            << "\\u0041";
    QTest::newRow("double-byte character") << QString::fromUtf8("中") << "\\u00D6\\u00D0";
    QTest::newRow("empty") << ""
                           << "";
  }
  void javaEscapes() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    lq::gui::Tex_form_java form;
    QCOMPARE(form.windowTitle(), QString::fromUtf8("java字符字节化"));
    form.Edit2()->setText("old");
    form.Edit1()->setText(input);
    form.findChild<QPushButton*>("Button1")->click();
    QCOMPARE(form.Edit2()->text(), output);
    QVERIFY(form.Edit2()->isReadOnly());
  }

  void lengthToolCutsLinesAndCannotBeUndone() {
    Win win(gbk("abcdefg\r\n\r\n中文字符"));
    win.m().record_undo();
    auto* len = win.w.findChild<lq::gui::ColorUpDown*>("Edit_max2");
    len->setPosition(3);
    win.w.findChild<QAbstractButton*>("SpeedButton5")->click();
    COMPARE_BYTES(win.m().get_all_text(), gbk("abc\r\ndef\r\ng\r\n中文字\r\n符\r\n"));
    QVERIFY(win.m().undo_list().empty());
    QVERIFY(win.m().redo_list().empty());
    // The text no longer matches what was loaded or saved.
    QCOMPARE(win.w.document_tabs()->active_page()->caption(), QString::fromUtf8("新文档*"));
  }

  void startRecordsAnUndoStepOnTheActiveEditor() {
    Boxes boxes;
    Win win("before");
    win.w.add_files({file("run.txt", "x\n")});
    win.w.document_tabs()->new_document();
    win.m().set_all_text("edited");
    const size_t before = win.m().undo_list().size();
    QSignalSpy done(&win.w, &MainWindow::runFinished);
    win.trigger("N_start1");
    QVERIFY(done.wait(20000));
    QCOMPARE(win.m().undo_list().size(), before + 1);
    COMPARE_BYTES(win.m().undo_list()[before].text(), std::string("edited\r\n"));
  }

  void clickingAFileListEntryOpensIt() {
    const QString path = file("listed.txt", "listed\n");
    MainWindow w;
    w.show();
    w.add_files({path});
    w.document_tabs()->close_active();
    QVERIFY(!w.document_tabs()->active_page());
    auto* list = w.findChild<QListWidget*>("ListBox1");
    const QRect r = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QVERIFY(w.document_tabs()->active_page());
    QCOMPARE(w.document_tabs()->active_page()->file_path, path.toStdString());
  }
};

QTEST_MAIN(TestEditCommands)
#include "tst_edit_commands.moc"
