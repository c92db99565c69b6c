#include <QClipboard>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/encoding/code_page.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/msg_box.h"
#include "gui/support/gbk_bytes.h"

using lq::EditPos;
using lq::gui::DocumentTabs;
using lq::gui::EditorView;
using lq::gui::FilePage;
using lq::test::gbk;

namespace {

// An editor shown at a known size with the given rows.
struct Shown {
  EditorView ed;
  explicit Shown(const std::string& text, QSize size = QSize(400, 200)) {
    ed.set_scroll_bars(true, true);
    ed.resize(size);
    ed.show();
    ed.model().set_all_text(text);
    ed.setFocus();
  }
  lq::EditorModel& m() { return ed.model(); }
};

// Records every message box instead of showing it; answers with `yes`.
struct Boxes {
  QStringList texts;
  Boxes(bool yes = false) {
    lq::gui::set_msg_box_hook([this, yes](const QString&, const QString& t, bool) {
      texts << t;
      return yes;
    });
  }
  ~Boxes() { lq::gui::set_msg_box_hook({}); }
};

void write_file(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

}  // namespace

class TestEditor : public QObject {
  Q_OBJECT

 private slots:
  void typingPadsToTheCaret() {
    Shown s("");
    s.m().set_caret_col(5);
    QTest::keyClicks(&s.ed, "ab");
    COMPARE_BYTES(s.m().get_row(0), std::string("    ab"));
    QCOMPARE(s.m().caret_col(), 7);
  }

  void inputMethodCommitIsInsertedAsGbk() {
    Shown s("x");
    s.m().set_caret_col(2);
    QInputMethodEvent ev;
    ev.setCommitString(QString::fromUtf8("中文"));
    QApplication::sendEvent(&s.ed, &ev);
    COMPARE_BYTES(s.m().get_row(0), "x" + gbk("中文"));
    QCOMPARE(s.m().caret_col(), 6);
  }

  void deletionKeepsDoubleByteCharactersWhole_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("caret_after");
    QTest::newRow("backspace after the character") << int(Qt::Key_Backspace) << 4 << 2;
    QTest::newRow("delete before the character") << int(Qt::Key_Delete) << 2 << 2;
  }
  void deletionKeepsDoubleByteCharactersWhole() {
    QFETCH(int, key);
    QFETCH(int, col);
    QFETCH(int, caret_after);
    Shown s("a" + gbk("中") + "b");
    s.m().set_caret_col(col);
    QTest::keyClick(&s.ed, static_cast<Qt::Key>(key));
    COMPARE_BYTES(s.m().get_row(0), std::string("ab"));
    QCOMPARE(s.m().caret_col(), caret_after);
  }

  void backspaceAtLineStartJoinsLines() {
    Shown s("one\r\ntwo\r\nthree");
    s.m().set_caret_row(2);
    QTest::keyClick(&s.ed, Qt::Key_Backspace);
    QCOMPARE(s.m().row_count(), 2);
    COMPARE_BYTES(s.m().get_row(1), std::string("twothree"));
    QCOMPARE(s.m().current_index(), 1);
    QCOMPARE(s.m().caret_abs_col(), 4);
  }

  void shiftDownSelectsWholeRows() {
    Shown s("aaa\r\nbbb\r\nccc\r\nddd");
    QTest::keyClick(&s.ed, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&s.ed, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(s.m().sel_anchor(), (EditPos{1, 0}));
    QCOMPARE(s.m().sel_end(), (EditPos{1, 2}));
    COMPARE_BYTES(s.m().selected_text(), std::string("aaa\r\nbbb\r\n"));
    // A plain arrow collapses it.
    QTest::keyClick(&s.ed, Qt::Key_Right);
    QVERIFY(!s.m().has_selection());
  }

  void downScrollsOnceTheCaretReachesTheBottom() {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "row\r\n";
    Shown s(text);
    const int lh = s.ed.line_height();
    const int last_row = (s.ed.client_rect().height() - 20) / lh + 1;
    for (int i = 0; i < last_row; ++i) QTest::keyClick(&s.ed, Qt::Key_Down);
    QCOMPARE(s.m().caret_row(), last_row);
    QCOMPARE(s.m().top_line(), 0);
    QTest::keyClick(&s.ed, Qt::Key_Down);
    QTest::keyClick(&s.ed, Qt::Key_Down);
    QCOMPARE(s.m().caret_row(), last_row);
    QCOMPARE(s.m().top_line(), 2);
  }

  void tabIndentsASelection() {
    Shown s("abcd\r\nefgh\r\nijkl");
    s.m().set_sel_anchor(EditPos{3, 0});
    s.m().set_sel_end(EditPos{2, 2});
    QTest::keyClick(&s.ed, Qt::Key_Tab);
    COMPARE_BYTES(s.m().get_row(0), std::string("ab cd"));
    COMPARE_BYTES(s.m().get_row(1), std::string(" efgh"));
    COMPARE_BYTES(s.m().get_row(2), std::string(" ijkl"));
    QTest::keyClick(&s.ed, Qt::Key_Backtab, Qt::ShiftModifier);
    COMPARE_BYTES(s.m().get_all_text(), std::string("abcd\r\nefgh\r\nijkl\r\n"));
  }

  void doubleClickSelectsAWordAndTheReleaseKeepsIt() {
    Shown s("hello world");
    const QPoint at = s.ed.client_rect().topLeft() + QPoint(s.ed.px_width("hello wo"), 3);
    // The platform's order: press, release, double click, release.
    QTest::mousePress(&s.ed, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&s.ed, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, s.ed.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.ed, &dbl);
    QTest::mouseRelease(&s.ed, Qt::LeftButton, {}, at);
    COMPARE_BYTES(s.m().selected_text(), std::string("world"));
  }

  void mouseDragSelectsAndClickPastTheEndStopsAfterTheLastByte() {
    Shown s("abcdef\r\nxy");
    const QPoint o = s.ed.client_rect().topLeft();
    const int lh = s.ed.line_height();
    QTest::mousePress(&s.ed, Qt::LeftButton, {}, o + QPoint(s.ed.px_width("a") + 1, 2));
    QTest::mouseRelease(&s.ed, Qt::LeftButton, {}, o + QPoint(300, lh + 2));
    QCOMPARE(s.m().sel_end(), (EditPos{3, 1}));
    COMPARE_BYTES(s.m().selected_text(), std::string("bcdef\r\nxy"));
  }

  void clipboardKeepsBytesThatAreNotGbk() {
    const std::string odd = std::string("a\x80\xff", 3) + gbk("字");
    Shown s(odd);
    QTest::keyClick(&s.ed, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&s.ed, Qt::Key_C, Qt::ControlModifier);
    Shown t("");
    QTest::keyClick(&t.ed, Qt::Key_V, Qt::ControlModifier);
    COMPARE_BYTES(t.m().get_row(0), odd);
    // Text another program put there arrives converted to GBK.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("汉字"));
    Shown u("");
    QTest::keyClick(&u.ed, Qt::Key_V, Qt::ControlModifier);
    COMPARE_BYTES(u.m().get_row(0), gbk("汉字"));
  }

  void oddRowsCarryTheBand() {
    Shown s("\r\n\r\n\r\n\r\n");
    s.ed.set_alternation_paint(true);
    s.ed.set_alternation_paint_color(QColor(10, 200, 30));
    s.m().set_top_line(1);
    const QImage img = s.ed.grab().toImage();
    const QPoint o = s.ed.client_rect().topLeft() + QPoint(50, 2);
    const int lh = s.ed.line_height();
    // With the view scrolled by one row, screen row 0 shows row 1 (banded), row 1 shows row 2.
    QCOMPARE(img.pixelColor(o), QColor(10, 200, 30));
    QVERIFY(img.pixelColor(o + QPoint(0, lh)) != QColor(10, 200, 30));
  }

  void selectionHighlightsCharacterCellsOnly() {
    Shown s("abc\r\nwwwwww\r\nlast");
    s.ed.set_alternation_paint(false);
    s.m().set_sel_anchor(EditPos{2, 0});
    s.m().set_sel_end(EditPos{2, 2});
    const QImage img = s.ed.grab().toImage();
    const QColor hl = s.ed.palette().color(QPalette::Highlight);
    const QPoint o = s.ed.client_rect().topLeft();
    const int lh = s.ed.line_height();
    // Pixels on the bottom line of each cell, below the glyphs. A row inside the selection is
    // highlighted under its text, not beyond its end.
    QCOMPARE(img.pixelColor(o + QPoint(1, 2 * lh - 1)), hl);
    QVERIFY(img.pixelColor(o + QPoint(s.ed.px_width("wwwwww") + 5, 2 * lh - 1)) != hl);
    // The first row from its start column, the last row up to its end column.
    QVERIFY(img.pixelColor(o + QPoint(1, lh - 1)) != hl);
    QCOMPARE(img.pixelColor(o + QPoint(s.ed.px_width("a") + 1, lh - 1)), hl);
    QCOMPARE(img.pixelColor(o + QPoint(1, 3 * lh - 1)), hl);
    QVERIFY(img.pixelColor(o + QPoint(s.ed.px_width("l") + 2, 3 * lh - 1)) != hl);
  }

  // ---- Document tabs ----

  void tabRectanglesAndHits() {
    DocumentTabs tabs;
    tabs.resize(600, 300);
    tabs.show();
    for (int i = 0; i < 4; ++i) tabs.new_document();
    auto* head = tabs.TabHeader();
    const auto& pages = tabs.PageControl1()->all_pages();
    QCOMPARE(pages.size(), size_t(4));
    QCOMPARE(head->height(), 23);
    const QRect r = head->title_rect(pages[2]);
    QCOMPARE(r.topLeft(), QPoint(198, 0));
    QCOMPARE(r.bottomRight(), QPoint(296, 21));
    QCOMPARE(head->page_at({198, 0}).first, pages[2]);
    QCOMPARE(head->page_at({295, 20}).first, pages[2]);
    QCOMPARE(head->page_at({296, 5}).first, nullptr);
    QCOMPARE(head->page_at({250, 21}).first, nullptr);
    QCOMPARE(head->page_at({297, 5}).first, pages[3]);
    QTest::mouseClick(head, Qt::LeftButton, {}, QPoint(200, 10));
    QCOMPARE(tabs.PageControl1()->ActivePage(), pages[2]);
  }

  void modifiedMarkAndSaveThroughTheDialog() {
    QTemporaryDir dir;
    DocumentTabs tabs;
    tabs.resize(600, 300);
    tabs.show();
    tabs.new_document();
    FilePage* page = tabs.active_page();
    QCOMPARE(page->caption(), QString::fromUtf8("新文档"));
    QTest::keyClicks(page->page_editor, "hi");
    QCOMPARE(page->caption(), QString::fromUtf8("新文档*"));
    int asked = 0;
    tabs.set_save_dialog([&](QWidget*) {
      ++asked;
      return dir.filePath("a.txt").toStdString();
    });
    tabs.save_page(page);
    QCOMPARE(asked, 1);
    QCOMPARE(page->caption(), QString("a.txt"));
    QFile f(dir.filePath("a.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("hi\r\n"));
  }

  void saveAllAsksForEveryNewDocumentAndSaveErrorsNameFileAndReason() {
    QTemporaryDir dir;
    DocumentTabs tabs;
    tabs.new_document();
    tabs.new_document();
    int asked = 0;
    tabs.set_save_dialog(
        [&](QWidget*) { return dir.filePath(QString("n%1.txt").arg(++asked)).toStdString(); });
    tabs.save_all();
    QCOMPARE(asked, 2);
    QVERIFY(QFile::exists(dir.filePath("n2.txt")));

    Boxes boxes;
    tabs.set_save_dialog([&](QWidget*) { return dir.filePath("no/such/dir/x.txt").toStdString(); });
    tabs.new_document();
    QTest::keyClicks(tabs.active_editor(), "x");
    QVERIFY(!tabs.save_page(tabs.active_page()));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts[0].contains(dir.filePath("no/such/dir/x.txt")) &&
                 boxes.texts[0].contains(QString::fromLocal8Bit(std::strerror(ENOENT))),
             qPrintable(boxes.texts[0]));
    QCOMPARE(tabs.active_page()->caption(), QString::fromUtf8("新文档*"));
  }

  void openingTheSameFileAgainActivatesItsTab() {
    QTemporaryDir dir;
    write_file(dir.filePath("Doc.txt"), "one\r\n");
    DocumentTabs tabs;
    QVERIFY(tabs.open_in_tab(dir.filePath("Doc.txt").toStdString()));
    tabs.new_document();
    QVERIFY(tabs.open_in_tab(dir.filePath("DOC.TXT").toStdString()));
    QCOMPARE(tabs.PageControl1()->all_pages().size(), size_t(2));
    QCOMPARE(tabs.active_page()->caption(), QString("Doc.txt"));
    // Neither a tab nor a file: nothing opens, and that is no failure.
    QVERIFY(tabs.open_in_tab(dir.filePath("missing.txt").toStdString()));
    QCOMPARE(tabs.PageControl1()->all_pages().size(), size_t(2));
  }

  void closingTheActiveTabLeavesNoActivePage() {
    DocumentTabs tabs;
    tabs.show();
    for (int i = 0; i < 3; ++i) tabs.new_document();
    QApplication::setActiveWindow(&tabs);
    QTest::keyClick(tabs.active_editor(), Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(tabs.PageControl1()->all_pages().size(), size_t(2));
    QCOMPARE(tabs.active_page(), nullptr);
  }

  void ctrlTabCyclesThroughTheTabs() {
    DocumentTabs tabs;
    tabs.show();
    for (int i = 0; i < 3; ++i) tabs.new_document();
    const auto pages = tabs.PageControl1()->all_pages();
    QApplication::setActiveWindow(&tabs);
    tabs.active_editor()->setFocus();
    QTest::keyClick(tabs.active_editor(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs.PageControl1()->ActivePage(), pages[0]);
    QTest::keyClick(tabs.active_editor(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs.PageControl1()->ActivePage(), pages[2]);
  }

  void reloadIsOfferedOncePerChange() {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.txt");
    write_file(path, "old\r\n");
    DocumentTabs tabs;
    QVERIFY(tabs.open_in_tab(path.toStdString()));
    FilePage* page = tabs.active_page();
    // Another program writes the file within the same second: the change still counts.
    write_file(path, "changed\r\n");
    Boxes boxes(false);
    tabs.reload_check();
    tabs.reload_check();
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(boxes.texts[0], QString::fromUtf8("文件已经修改,是否重新装载?"));
    // Kept after No, and marked; Yes on the next change reloads and clears the marks.
    QCOMPARE(page->caption(), QString("r.txt!"));
    write_file(path, "again\r\n");
    Boxes yes(true);
    tabs.reload_check();
    COMPARE_BYTES(page->page_editor->model().get_all_text(), std::string("again\r\n"));
    QCOMPARE(page->caption(), QString("r.txt"));
  }

  // Saving over a file that changed on disk since it was opened asks first, even when the
  // change came within the same second.
  void savingOverAChangedFileAsksFirst() {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.txt");
    write_file(path, "mine\r\n");
    DocumentTabs tabs;
    QVERIFY(tabs.open_in_tab(path.toStdString()));
    FilePage* page = tabs.active_page();
    QTest::keyClicks(page->page_editor, "X");
    std::filesystem::remove(path.toStdString());  // replaced, as a batch run does
    write_file(path, "their\r\n");
    {
      Boxes no(false);
      QVERIFY(!tabs.save_page(page));
      QCOMPARE(no.texts.size(), 1);
      QVERIFY2(no.texts[0].contains(path), qPrintable(no.texts[0]));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("their\r\n"));
    f.close();
    QCOMPARE(page->caption(), QString("s.txt*"));
    Boxes yes(true);
    QVERIFY(tabs.save_page(page));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("Xmine\r\n"));
    // Saved: the next save has nothing to ask.
    QVERIFY(tabs.save_page(page));
    QCOMPARE(yes.texts.size(), 1);
  }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
