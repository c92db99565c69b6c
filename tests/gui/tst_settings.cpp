// The options dialog, the help windows, the window geometry and the operation layouts of
// the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "core/encoding/code_page.h"
#include "core/settings/ini_file.h"
#include "core/settings/shell_menu.h"
#include "core/settings/sys_settings.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/panels/control_form.h"
#include "gui/panels/form_mod_out.h"
#include "gui/settings/form_dsk.h"
#include "gui/settings/form_help.h"
#include "gui/settings/form_option.h"
#include "gui/settings/qoz_position.h"
#include "gui/settings/settings_bridge.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"

using namespace lq;
using namespace lq::gui;

namespace {

struct Boxes {
  QStringList texts;
  Boxes() {
    set_msg_box_hook([this](const QString&, const QString& t, bool) {
      texts << t;
      return false;
    });
  }
  ~Boxes() { set_msg_box_hook({}); }
};

QStringList panel_names(MainWindow& w) {
  QStringList out;
  for (TControlForm_* p : w.panels()) out << QString::fromStdString(p->class_name());
  return out;
}

// Runs what a user does in the next modal dialog of this type, once it is up.
template <typename Dialog>
void when_shown(QWidget* owner, std::function<void(Dialog*)> act) {
  QTimer::singleShot(0, owner, [owner, act] {
    auto* d = owner->findChild<Dialog*>();
    QVERIFY(d);
    QTRY_VERIFY(d->isVisible());
    act(d);
  });
}

QScrollBar* scope_scroll(MainWindow& w) {
  return w.scope_box()->scroll_box()->verticalScrollBar();
}

}  // namespace

class TestSettings : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QTemporaryDir data_;

  QString file(const QString& name) const { return home_.filePath(name); }
  QByteArray read(const QString& name) const {
    QFile f(file(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  void write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  QString shell_entry() const {
    return data_.filePath("applications/") + QString::fromUtf8(kShellMenuFileName);
  }

 private slots:
  void initTestCase() {
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
  }

  void init() {
    // Every case starts as a first run.
    QDir home(home_.path());
    for (const QString& f : home.entryList(QDir::Files | QDir::Hidden)) home.remove(f);
  }

  void firstStartUsesTheDefaults() {
    MainWindow w;
    QCOMPARE(w.sys_settings(), SysSettings{});
    QVERIFY(w.panels().empty());
    QVERIFY(QFile::exists(shell_entry()));
    QCOMPARE(w.document_tabs()->new_page()->page_editor->font().pointSize(), 11);
  }

  void optionsCancelKeepsSettingsButSavesTheExtensionList() {
    MainWindow w;
    Tform_option::set_font_dialog([](const QFont&, QWidget*) { return QFont("Monospace", 15); });
    when_shown<Tform_option>(&w, [](Tform_option* d) {
      QCOMPARE(d->windowTitle(), QString("高级设置"));
      d->CheckBox_case1()->setChecked(true);
      d->Memo_ext1()->setPlainText(".txt\n.md\n");
      d->choose_editor_font();
      d->reject();
    });
    w.open_options();
    Tform_option::set_font_dialog({});
    QCOMPARE(read("ext1.txt"), QByteArray(".txt\r\n.md\r\n"));
    QVERIFY(!IniFile(file("sys1.ini").toStdString())
                 .value_exists(sys_keys::kOps, sys_keys::kCaseSensitive));
    QVERIFY(!w.sys_settings().case_sensitive);
    // The confirmed font applies at once to new tabs, though nothing was stored.
    QCOMPARE(w.sys_settings().edit_font.size, 15);
    QCOMPARE(w.document_tabs()->new_page()->page_editor->font().pointSize(), 15);
    QVERIFY(!IniFile(file("sys1.ini").toStdString()).value_exists("edit", "font_size"));
  }

  void optionsOkWritesInOrderAndAppliesAtOnce() {
    MainWindow w;
    EditorView* open_editor = w.document_tabs()->new_page()->page_editor;
    QVERIFY(QFile::exists(shell_entry()));
    when_shown<Tform_option>(&w, [](Tform_option* d) {
      // The creation step wrote the built-in list, and the dialog shows it.
      QVERIFY(d->Memo_ext1()->toPlainText().startsWith(".txt\n.htm\n.html\n"));
      QVERIFY(d->CheckBox_rm1()->isChecked());
      d->CheckBox_case1()->setChecked(true);
      d->CheckBox_rm1()->setChecked(false);
      d->CheckBox_falternation_paint1()->setChecked(true);
      d->set_color(0x00336699);
      d->ComboBox_encoding1()->setCurrentText("UTF-8");
      d->ComboBox_eol1()->setCurrentText("LF");
      d->accept();
    });
    w.open_options();
    const std::string expected = code_page().from_utf8(
        "[操作]\r\n区分大小写=1\r\n右键菜单=0\r\n"
        "[edit]\r\nalternation_paint=1\r\nalternation_paint_color=3368601\r\n"
        "font_name=宋体\r\nfont_size=11\r\nfont_charset=0\r\n"
        "[form]\r\nfont_name=宋体\r\nfont_size=9\r\nfont_charset=0\r\n"
        "[file]\r\nencoding=utf-8\r\neol=lf\r\nbinary=0\r\n");
    QCOMPARE(read("sys1.ini"), QByteArray::fromStdString(expected));
    QVERIFY(w.sys_settings().case_sensitive);
    QCOMPARE(w.sys_settings().encoding, EncodingChoice::Utf8);
    QCOMPARE(w.sys_settings().eol, EolPolicy::Lf);
    QVERIFY(!QFile::exists(shell_entry()));  // removed at once, without a restart
    QCOMPARE(open_editor->alternation_paint_color(), QColor(0x99, 0x66, 0x33));
    QVERIFY(read("ext1.txt").startsWith(".txt\r\n.htm\r\n"));
  }

  void helpShowsTheFocusedControlsTextOrTheHelpFile() {
    Boxes boxes;
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // No help file: an error box, and no help window.
    w.show_help();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains(QString::fromUtf8("帮助文件.txt")));

    QFile::copy(QFINDTESTDATA("../../data/帮助文件.txt"), file("帮助文件.txt"));
    QString shown;
    when_shown<Tform_help>(&w, [&shown](Tform_help* h) {
      QCOMPARE(h->windowTitle(), QString("帮助"));
      shown = h->Memo1()->toPlainText();
      QTest::keyClick(h, Qt::Key_Escape);
    });
    w.show_help();
    QVERIFY(shown.startsWith("Lexoquill 用户帮助\n"));
    QVERIFY(shown.contains("[28] 脚本"));

    TControlForm_* find = w.ensure_panel("TControlForm_find");
    auto* query = find->findChild<QWidget*>("Edit_find1");
    QVERIFY(query);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    query->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), query);
    when_shown<Tform_help>(&w, [&shown](Tform_help* h) {
      shown = h->Memo1()->toPlainText();
      h->reject();
    });
    w.show_help();
    QCOMPARE(shown, QString("查找内容。\n可以用 and 在多个关键字当中查找。"));
    QCOMPARE(boxes.texts.size(), 1);
  }

  void layoutSavedThenChosenShowsTheSamePanels() {
    Boxes boxes;
    MainWindow w;
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ensure_panel("TControlForm_th");
    w.ensure_panel("TControlForm_LAdd");
    QVERIFY(scope_scroll(w)->maximum() > 20);
    scope_scroll(w)->setValue(20);

    when_shown<Tform_dsk>(&w, [](Tform_dsk* d) {
      d->Edit1()->setText("  work  ");
      d->accept();
    });
    w.ask_save_layout();
    QVERIFY(boxes.texts.isEmpty());
    const IniFile saved(file("work.dsk").toStdString());
    QCOMPARE(saved.read_string("com_list", "list"), "TControlForm_th;TControlForm_LAdd;");
    QVERIFY(saved.section_exists("TForm1 Position"));

    w.free_panels();
    w.ensure_panel("TControlForm_ucase");
    scope_scroll(w)->setValue(0);
    auto* box = w.findChild<QComboBox*>("ComboBox_view1");
    box->showPopup();  // the list is read on opening
    box->hidePopup();
    QCOMPARE(box->count(), 1);
    box->setCurrentIndex(0);
    w.layout_chosen();
    QCOMPARE(panel_names(w), QStringList({"TControlForm_th", "TControlForm_LAdd"}));
    QCOMPARE(scope_scroll(w)->value(), 20);

    // The step button goes round the list.
    write("b.dsk", "[com_list]\r\nlist=TControlForm_ucase;\r\n");
    w.fill_layout_list();
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
      w.findChild<QToolButton*>("SpeedButton10")->click();
      seen << box->currentText();
      QCOMPARE(panel_names(w).join(';'), box->currentText() == "b"
                                             ? QString("TControlForm_ucase")
                                             : QString("TControlForm_th;TControlForm_LAdd"));
    }
    QCOMPARE(seen[0] == seen[2], true);
    QVERIFY(seen[0] != seen[1]);
  }

  void layoutNamesThatCannotBeSaved() {
    Boxes boxes;
    MainWindow w;
    const struct {
      const char* typed;
      const char* message;
    } cases[] = {{"   ", "保存失败，文件名不能为空。"},
                 {"../outside", "保存失败，请输入有效的文件名。"},
                 {"no/such/dir", "保存失败，请输入有效的文件名。"}};
    for (const auto& c : cases) {
      boxes.texts.clear();
      when_shown<Tform_dsk>(&w, [&c](Tform_dsk* d) {
        d->Edit1()->setText(QString::fromUtf8(c.typed));
        d->accept();
      });
      w.ask_save_layout();
      QCOMPARE(boxes.texts, QStringList(QString::fromUtf8(c.message)));
    }
    QVERIFY(!QFile::exists(QDir(home_.path()).absoluteFilePath("../outside.dsk")));
  }

  void layoutManagerDeletesOnlyTheSelectedEntry() {
    write("one.dsk", "");
    write("two.dsk", "");
    MessageCatalogue cat;
    Tform_dsk d(cat);
    QCOMPARE(d.ListBox1()->count(), 2);
    d.delete_layout_clicked();  // nothing selected
    QCOMPARE(d.ListBox1()->count(), 2);
    QListWidgetItem* two = d.ListBox1()->findItems("two", Qt::MatchExactly).value(0);
    d.ListBox1()->setCurrentItem(two);
    emit d.ListBox1()->itemDoubleClicked(two);
    QCOMPARE(d.Edit1()->text(), QString("two"));
    d.delete_layout_clicked();
    QCOMPARE(d.ListBox1()->count(), 1);
    QVERIFY(!QFile::exists(file("two.dsk")));
    QVERIFY(QFile::exists(file("one.dsk")));
  }

  void lastRunsPanelsComeBackAndUnknownNamesAreReported() {
    {
      MainWindow w;
      w.show();
      w.ensure_panel("TControlForm_ucase");
      w.ensure_panel("TControlForm_th");
      w.close();
    }
    QCOMPARE(IniFile(file("sys1.ini").toStdString()).read_string("com_list", "list"),
             "TControlForm_ucase;TControlForm_th;");
    {
      MainWindow w;
      QCOMPARE(panel_names(w), QStringList({"TControlForm_ucase", "TControlForm_th"}));
    }

    Boxes boxes;
    write("sys1.ini", "[com_list]\r\nlist=TControlForm_th;TNoSuch;tcontrolform_ladd;\r\n");
    {
      MainWindow w;
      QCOMPARE(panel_names(w), QStringList({"TControlForm_th", "TControlForm_LAdd"}));
      QCOMPARE(boxes.texts.size(), 1);
      QVERIFY(boxes.texts[0].contains("TNoSuch"));
    }
    // A damaged list does not bury the user in boxes.
    boxes.texts.clear();
    QByteArray many = "[com_list]\r\nlist=";
    for (int i = 0; i < 200; ++i) many += "TBad" + QByteArray::number(i) + ";";
    write("sys1.ini", many + "TControlForm_del;\r\n");
    MainWindow w;
    QCOMPARE(panel_names(w), QStringList({"TControlForm_del"}));
    QCOMPARE(boxes.texts.size(), 5);
  }

  void geometryIsSavedAndMaximizedKeepsTheOldBounds() {
    const QString pos_file = QString::fromStdString(position_file_path());
    QVERIFY(pos_file.endsWith("/tst_settings.ini"));
    {
      MainWindow w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      w.move(30, 40);
      w.resize(900, 650);
      QTRY_COMPARE(w.size(), QSize(900, 650));
      w.window_positions()->save_positions("");
      w.setWindowState(Qt::WindowMaximized);
      QTRY_VERIFY(w.isMaximized());
    }  // saved again as the window goes
    const IniFile ini(pos_file.toStdString());
    QCOMPARE(ini.read_integer("TForm1 Position", "WindowState", -1), 2);
    QCOMPARE(ini.read_integer("TForm1 Position", "Width", -1), 900);
    QCOMPARE(ini.read_integer("TForm1 Position", "Height", -1), 650);
    // The find results are hidden: no section for them; the visible areas have theirs.
    QVERIFY(!ini.section_exists("TForm1.Panel_find1 Position"));
    for (const char* area : {"Panel1", "Panel23", "PanelCL"})
      QVERIFY2(ini.section_exists(std::string("TForm1.") + area + " Position"), area);

    MainWindow again;
    QVERIFY(again.isMaximized());
  }

  void areasTakeOnlyTheirOwnDimension() {
    write("tst_settings.ini",
          "[TForm1 Position]\r\nWindowState=0\r\nLeft=10\r\nTop=10\r\nWidth=1000\r\n"
          "Height=720\r\n"
          "[TForm1.Panel1 Position]\r\nLeft=0\r\nTop=0\r\nWidth=222\r\nHeight=5\r\n"
          "[TForm1.PanelCL Position]\r\nLeft=0\r\nTop=0\r\nWidth=5\r\nHeight=180\r\n");
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(1000, 720));
    auto* panel1 = w.findChild<QWidget*>("Panel1");
    auto* panel_cl = w.findChild<QWidget*>("PanelCL");
    QTRY_COMPARE(panel1->width(), 222);
    QVERIFY(panel1->height() > 100);
    QCOMPARE(panel_cl->height(), 180);
    QVERIFY(panel_cl->width() > 500);
  }

  // Start, change the options, save a layout, quit, start again: everything comes back.
  void aSessionComesBackAtTheNextStart() {
    {
      MainWindow w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      w.resize(950, 680);
      when_shown<Tform_option>(&w, [](Tform_option* d) {
        d->CheckBox_case1()->setChecked(true);
        d->CheckBox_falternation_paint1()->setChecked(false);
        d->Memo_ext1()->setPlainText(".txt\n.log");
        d->accept();
      });
      w.open_options();
      w.ensure_panel("TControlForm_find");
      w.ensure_panel("TControlForm_big5");
      when_shown<Tform_dsk>(&w, [](Tform_dsk* d) {
        d->Edit1()->setText("mine");
        d->accept();
      });
      w.ask_save_layout();
      w.findChild<QAction*>("N46")->trigger();  // 退出
    }
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.sys_settings().case_sensitive);
    QVERIFY(!w.sys_settings().alternation_paint);
    QCOMPARE(read("ext1.txt"), QByteArray(".txt\r\n.log\r\n"));
    QCOMPARE(panel_names(w), QStringList({"TControlForm_find", "TControlForm_big5"}));
    QCOMPARE(w.size(), QSize(950, 680));
    auto* box = w.findChild<QComboBox*>("ComboBox_view1");
    QCOMPARE(box->findText("mine"), 0);
  }

  void templateWindowKeepsItsPlace() {
    Tform_mod_out* t = Tform_mod_out::show_window();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    t->resize(640, 480);
    QTRY_COMPARE(t->size(), QSize(640, 480));
    QPointer<Tform_mod_out> gone = t;
    t->close();
    QTRY_VERIFY(gone.isNull());
    QCOMPARE(IniFile(position_file_path()).read_integer("Tform_mod_out Position", "Width", 0), 640);
    t = Tform_mod_out::show_window();
    QCOMPARE(t->size(), QSize(640, 480));
    t->close();
  }

  void garbageFilesStartWithDefaults() {
    Boxes boxes;
    QRandomGenerator rng(11);
    for (int round = 0; round < 6; ++round) {
      for (const char* name : {"sys1.ini", "tst_settings.ini", "g.dsk"}) {
        QByteArray bytes = round % 2 ? "[com_list]\r\nlist=" : "[TForm1 Position]\r\nWidth=";
        for (int i = 0; i < 3000; ++i) bytes += char(rng.bounded(256));
        write(name, bytes);
      }
      MainWindow w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(w.width() > 0 && w.width() <= 32767);
      auto* box = w.findChild<QComboBox*>("ComboBox_view1");
      box->setCurrentIndex(box->findText("g"));
      w.layout_chosen();
      w.close();
    }
    QVERIFY(boxes.texts.size() <= 6 * 5 * 3);
  }

  // LQ_GRAB_DIR=dir saves pictures of the options pages and the help window there.
  void pictures() {
    const QString dir = qEnvironmentVariable("LQ_GRAB_DIR");
    if (dir.isEmpty()) QSKIP("LQ_GRAB_DIR not set");
    MainWindow w;
    QFile::copy(QFINDTESTDATA("../../data/帮助文件.txt"), file("帮助文件.txt"));
    when_shown<Tform_option>(&w, [dir](Tform_option* d) {
      auto* pages = d->findChild<QTabWidget*>("PageControl1");
      for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QTest::qWait(50);
        d->grab().save(dir + QString("/options-%1.png").arg(i + 1));
      }
      d->reject();
    });
    w.open_options();
    when_shown<Tform_help>(&w, [dir](Tform_help* h) {
      QTest::qWait(50);
      h->grab().save(dir + "/help.png");
      h->reject();
    });
    w.show_help();
    when_shown<Tform_dsk>(&w, [dir](Tform_dsk* d) {
      QTest::qWait(50);
      d->grab().save(dir + "/layouts.png");
      d->reject();
    });
    w.ask_save_layout();
  }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
