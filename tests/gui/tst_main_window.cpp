#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "core/encoding/code_page.h"
#include "gui/panels/control_form.h"
#include "gui/shell/form_texts.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/tags.h"
#include "gui/widgets/image_buttons.h"

using lq::gui::MainWindow;
using lq::gui::TControlForm_;

namespace {

// Records every message box instead of showing it.
struct Boxes {
  QStringList captions, texts;
  Boxes() {
    lq::gui::set_msg_box_hook([this](const QString& c, const QString& t, bool) {
      captions << c;
      texts << t;
      return false;
    });
  }
  ~Boxes() { lq::gui::set_msg_box_hook({}); }
};

template <typename T = QWidget>
T* named(QWidget* root, const QString& name) {
  T* w = root->findChild<T*>(name);
  if (!w) qWarning() << "no widget" << name;
  return w;
}

QStringList panel_names(MainWindow& w) {
  QStringList out;
  for (TControlForm_* p : w.panels()) out << QString::fromStdString(p->class_name());
  return out;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  QTemporaryDir home_;

 private slots:
  void initTestCase() {
    // The program's own files live here during the tests.
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
  }

  void titleAndMenus() {
    MainWindow w;
    QCOMPARE(w.windowTitle(), QString("Lexoquill"));
    QStringList captions;
    for (QAction* a : w.menuBar()->actions()) captions << a->text().section('(', 0, 0);
    QCOMPARE(captions,
             QStringList({"文件", "编辑", "查看", "操作", "特殊工具", "高级设置", "书签", "帮助"}));
    auto* start = w.findChild<QAction*>("N_start1");
    QVERIFY(start);
    QCOMPARE(start->shortcut(), QKeySequence(Qt::Key_F9));
    QVERIFY(!w.findChild<QAction*>("N17")->isVisible());
  }

  void layoutAtStart() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const char* n :
         {"Panel_top1", "Panel_tool1", "SpeedButton_open1", "SpeedButton6", "SpeedButton1",
          "SpeedButton_stop1", "SpeedButton5", "Edit_max1", "Panel_news1", "Memo_gg1", "PanelCL",
          "btnMini", "GroupBox1", "ScrollBox_fw1", "pnlControls", "ListBox1", "Panel_sat1"})
      QVERIFY2(named(&w, n) && named(&w, n)->isVisible(), n);
    QCOMPARE(named(&w, "PanelCL")->height(), 240);
    QVERIFY(!named(&w, "Label_file1")->isVisible());
    QVERIFY(!named(&w, "ProgressBar_files1")->isVisible());
    QVERIFY(!named(&w, "Panel_find1")->isVisible());
    QVERIFY(!named(&w, "SpeedButton_stop1")->isEnabled());
    QCOMPARE(named<QToolButton>(&w, "SpeedButton6")->toolTip(), QString("更多的操作"));
    QCOMPARE(named<QToolButton>(&w, "SpeedButton_open1")->toolTip(),
             QString(" 打开要处理的文件\n    - - - -    \n [可一次选择多个文件]"));
    QCOMPARE(named<QToolButton>(&w, "SpeedButton5")->toolTip(), QString("限制每一行的长度"));
  }

  void miniButtonAndStatusBar() {
    MainWindow w;
    w.show();
    auto* mini = named<QToolButton>(&w, "btnMini");
    mini->click();
    QCOMPARE(named(&w, "PanelCL")->height(), 1);
    mini->click();
    QCOMPARE(named(&w, "PanelCL")->height(), 300);  // not back to 240
    auto* sta = w.findChild<QAction*>("N_showsta1");
    QVERIFY(sta->isChecked());
    sta->trigger();
    QVERIFY(!w.statusBar()->isVisible());
    sta->trigger();
    QVERIFY(w.statusBar()->isVisible());
  }

  // Every control a user can reach has a name a screen reader can say.
  void everyControlHasAnAccessibleName() {
    MainWindow w;
    w.show();
    w.show_all_panels();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QStringList missing;
    for (QWidget* c : w.findChildren<QWidget*>()) {
      if (!c->isVisibleTo(&w)) continue;
      const bool control = c->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(c);
      if (!control || c->inherits("QScrollBar")) continue;
      QAccessibleInterface* ai = QAccessible::queryAccessibleInterface(c);
      if (!ai || ai->text(QAccessible::Name).trimmed().isEmpty())
        missing << QString("%1 (%2)").arg(c->objectName(), c->metaObject()->className());
      auto* b = qobject_cast<QToolButton*>(c);
      if (b && b->text().isEmpty() && b->toolTip().isEmpty())
        missing << "no tooltip: " + b->objectName();
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
  }

  void scopeByClickAndFocus_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("mode");
    const std::pair<const char*, int> rows[] = {
        {"Edit_fw_qj1", 2},   {"Edit_fw_qz1", 3},    {"Edit_fw_qz2", 3},    {"Edit_hy1", 4},
        {"Edit_qjhj1", 5},    {"Edit_qjhj4", 5},     {"edit_bh1", 6},       {"Edit_qj1", 7},
        {"Edit_qj4", 7},      {"Edit_fw_hj1", 8},    {"Edit_line1", 9},     {"Edit_line_m1", 10},
        {"Edit_line_m2", 10}, {"Edit_fw_len1", 11},  {"Edit_fw_b_sp1", 12}, {"Edit_fw_e_sp1", 12},
        {"Edit_fw_mg1", 13},  {"edit_fw_sp_r1", 14}, {"Edit_fw_sp_l1", 15}};
    for (const auto& [box, mode] : rows) QTest::newRow(box) << QString(box) << mode;
  }

  void scopeByClickAndFocus() {
    QFETCH(QString, box);
    QFETCH(int, mode);
    MainWindow w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* scope = w.scope_box();
    QCOMPARE(scope->selected_mode(), 1);
    named(scope, box)->setFocus(Qt::TabFocusReason);
    QCOMPARE(scope->selected_mode(), mode);
    // Exactly one button stays checked.
    int checked = 0;
    for (auto* rb : scope->findChildren<QRadioButton*>()) checked += rb->isChecked();
    QCOMPARE(checked, 1);
    // Clicking [1] clears the others; clicking it again keeps it checked.
    auto* all = named<QRadioButton>(scope, "RadioButton_fw_all1");
    QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(6, all->height() / 2));
    QCOMPARE(scope->selected_mode(), 1);
    QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(6, all->height() / 2));
    QCOMPARE(scope->selected_mode(), 1);
    QVERIFY(!scope->radio(mode)->isChecked());
  }

  void scopeCheckBoxDoesNotSelect() {
    MainWindow w;
    w.show();
    auto* box = named<QCheckBox>(w.scope_box(), "CheckBox_fw_qz3");
    box->setFocus();
    box->click();
    QCOMPARE(w.scope_box()->selected_mode(), 1);
    QVERIFY(box->isChecked());
  }

  void scopeDefaults() {
    MainWindow w;
    auto* s = w.scope_box();
    const std::pair<const char*, const char*> rows[] = {
        {"Edit_fw_qj1", "10"},   {"Edit_fw_qz1", "1"},   {"Edit_fw_qz2", ""},
        {"Edit_qjhj1", "1"},     {"Edit_qjhj3", "1"},    {"Edit_qj1", "1"},
        {"Edit_qj3", "1"},       {"Edit_fw_hj1", "1"},   {"Edit_line1", "1"},
        {"Edit_line_m1", "1"},   {"Edit_line_m2", "2"},  {"Edit_fw_len1", "1"},
        {"Edit_fw_b_sp1", "("},  {"Edit_fw_e_sp1", ")"}, {"Edit_fw_mg1", "1"},
        {"CheckBox_fw_qz3", "0"}};
    for (const auto& [name, value] : rows) QCOMPARE(s->value(name), QString(value));
    QCOMPARE(s->updown_position("UpDown_line_m2"), 2);
    QCOMPARE(s->updown_position("UpDown1"), 1);
    QCOMPARE(s->radio(2)->text(), QString("[2]每一行的前?个字符"));
  }

  void panelsShowAllAndEnableRule() {
    Boxes boxes;
    MainWindow w;
    w.show();
    auto* lcase = w.ensure_panel("TControlForm_lcase");
    QVERIFY(lcase);
    // Class names compare without regard to case: nothing new is created.
    QCOMPARE(w.ensure_panel("tcontrolform_LCASE"), lcase);
    lcase->findChild<QCheckBox*>("chkEnable")->click();
    w.show_all_panels();
    QStringList expected;
    expected << "TControlForm_lcase";
    for (const auto& n : lq::PanelClassRegistry::instance().class_names())
      if (n != "TControlForm_lcase") expected << QString::fromStdString(n);
    QCOMPARE(panel_names(w), expected);
    QCOMPARE(expected.size(), 27);
    QVERIFY(lcase->is_enabled());  // kept with its state

    auto* th = w.ensure_panel("TControlForm_th");
    th->findChild<QCheckBox*>("chkEnable")->click();
    QVERIFY(th->is_enabled());
    QVERIFY(!lcase->is_enabled());
    th->findChild<QCheckBox*>("chkEnable")->click();
    for (TControlForm_* p : w.panels()) QVERIFY(!p->is_enabled());

    QVERIFY(!w.ensure_panel("TControlForm_nothing"));
    QCOMPARE(boxes.texts,
             QStringList({"未找到 \"TControlForm_nothing\" 的定义,请确认是否已集成其他组件."}));

    // Hiding destroys the panel; bringing it back gives defaults.
    th->findChild<QLineEdit*>("Edit_th1")->setText("abc");
    QPointer<TControlForm_> gone = th;
    th->findChild<QToolButton*>("btnClose")->click();
    QTRY_VERIFY(gone.isNull());
    QVERIFY(!panel_names(w).contains("TControlForm_th"));
    auto* again = w.ensure_panel("TControlForm_th");
    QCOMPARE(again->findChild<QLineEdit*>("Edit_th1")->text(), QString());
    QCOMPARE(panel_names(w).last(), QString("TControlForm_th"));
  }

  void panelWidgetsFromDeclarations() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_sp_file");
    QCOMPARE(p->findChild<QLineEdit*>("Edit_sp_file1")->text(), QString("10"));
    QCOMPARE(p->findChild<QLineEdit*>("Edit_sp_file2")->text(), QString("%d.txt"));
    QVERIFY(!p->findChild<QCheckBox*>("CheckBox_sp_file1")->isChecked());
    QCOMPARE(p->findChild<QToolButton*>("btnClose")->toolTip(), QString("隐藏此功能"));
    auto* lc = w.ensure_panel("TControlForm_lcase");
    QCOMPARE(lc->chkEnable()->text(), QString("启用  [9]全部转为小写"));
    auto* utf = w.ensure_panel("TControlForm_utf");
    QVERIFY(utf->findChild<QRadioButton*>("RadioButton_Unicode2")->isChecked());
  }

  void fileListCommands() {
    MainWindow w;
    w.show();
    w.add_files({"/tmp/x/a.txt", "/tmp/x/a.txt"});
    QCOMPARE(w.file_list().size(), size_t(2));
    QCOMPARE(w.last_dir(), std::string("/tmp/x/"));
    auto* list = named<QListWidget>(&w, "ListBox1");
    QCOMPARE(list->count(), 2);

    // Deletion finds the first entry equal without regard to case.
    w.add_files({"/tmp/x/A.TXT"});
    w.add_files(
        {"/tmp/y/a-very-long-name-that-needs-to-scroll-sideways-in-the-list-box-"
         "because-it-is-wider-than-the-box.txt"});
    list->setCurrentRow(2);  // "/tmp/x/A.TXT"
    w.findChild<QAction*>("N30")->trigger();
    QCOMPARE(w.file_list().size(), size_t(3));
    QCOMPARE(w.file_list()[0], std::string("/tmp/x/a.txt"));
    QCOMPARE(w.file_list()[1], std::string("/tmp/x/A.TXT"));
    QCOMPARE(list->item(1)->text(), QString("/tmp/x/A.TXT"));
    QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);

    // Without a selection, delete does nothing.
    list->clearSelection();
    list->setCurrentItem(nullptr);
    w.findChild<QAction*>("N30")->trigger();
    QCOMPARE(w.file_list().size(), size_t(3));

    w.findChild<QAction*>("N10")->trigger();
    QVERIFY(w.file_list().empty());
    QCOMPARE(list->count(), 0);
  }

  // A directory's files come in a file manager's order, after what was listed before;
  // files added one by one keep the order they were given in.
  void fileListOrder() {
    QTemporaryDir dir;
    for (const char* name : {"f10.txt", "f2.txt", "F1.txt", "f0985.txt", "f0292.txt"}) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const auto at = [&](const char* name) { return dir.filePath(name); };
    MainWindow w;
    w.add_files({"/tmp/x/b10.txt", "/tmp/x/b9.txt"});
    w.add_directory(dir.path(), false);
    w.add_files({"/tmp/x/z.txt", "/tmp/x/a.txt"});
    const QStringList want{"/tmp/x/b10.txt", "/tmp/x/b9.txt", at("F1.txt"),
                           at("f2.txt"),     at("f10.txt"),   at("f0292.txt"),
                           at("f0985.txt"),  "/tmp/x/z.txt",  "/tmp/x/a.txt"};
    auto* list = named<QListWidget>(&w, "ListBox1");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    QCOMPARE(shown, want);
  }

  // The catalogue reaches controls and menu items by their Tag numbers, above 100 only.
  void catalogueByTags() {
    MainWindow w;
    lq::MessageCatalogue cat;
    const auto gbk = [](const char* utf8) { return lq::code_page().from_utf8(utf8); };
    cat.set_value("10300001", gbk("[1]整行"));
    cat.set_value("10100003.hint", gbk("运行"));
    cat.set_value("14000001", gbk("处理"));
    auto* dlg = new QLabel("x", &w);
    lq::gui::set_tag(dlg, 100);
    cat.set_value("100", "y");
    lq::gui::FormTexts form(&w);
    lq::catalogue_text::apply_form(form, cat);
    QCOMPARE(w.scope_box()->radio(1)->text(), QString("[1]整行"));
    QCOMPARE(named<QToolButton>(&w, "SpeedButton1")->toolTip(), QString("运行"));
    QCOMPARE(w.findChild<QMenu*>("N_op1")->title(), QString("处理"));
    QCOMPARE(dlg->text(), QString("x"));
  }

  // With LQ_SCREENSHOT=file.png, saves a picture of a window in use (for the README).
  void screenshot() {
    const QString out = qEnvironmentVariable("LQ_SCREENSHOT");
    if (out.isEmpty()) QSKIP("LQ_SCREENSHOT not set");
    QFont::insertSubstitutions("宋体", {"WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    MainWindow w;
    w.resize(1280, 770);
    w.show();
    for (const char* n : {"TControlForm_th", "TControlForm_LAdd", "TControlForm_ucase",
                          "TControlForm_find", "TControlForm_sp_file"})
      w.ensure_panel(n);
    w.panels()[0]->findChild<QLineEdit*>("Edit_th1")->setText("旧公司名");
    w.panels()[0]->findChild<QLineEdit*>("Edit_th2")->setText("新公司名");
    w.panels()[0]->chkEnable()->click();
    w.add_files({"/home/user/文档/报告/2024年度总结.txt", "/home/user/文档/报告/客户名单.txt",
                 "/home/user/文档/readme.txt", "/home/user/文档/notes/会议记录.txt"});
    w.scope_box()->select_mode(3);
    w.scope_box()->set_value("Edit_fw_qz2", ",");
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(300);
    QVERIFY(w.grab().save(out));
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
