// Every operation panel as a user meets it: found by class name, showing its defaults,
// and, once enabled, running its operation over a file with the expected bytes.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/operations/catalogue.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"
#include "gui/support/window_test_helpers.h"
#include "gui/widgets/image_buttons.h"

using lq::gui::MainWindow;
using lq::gui::TControlForm_;
using lq::test::read_file;
using lq::test::write_file;

namespace {

struct Box {
  QString caption, text;
};

// One row per panel class: the values its controls show at creation, what the test
// types or clicks before enabling it, the file before and after a run over the whole
// lines, and files the operation writes beside it (suffix -> content).
struct PanelCase {
  const char* cls;
  QMap<QString, QString> defaults;
  QMap<QString, QString> set;
  QByteArray in, out;
  QMap<QString, QByteArray> beside = {};
};

const QList<PanelCase>& cases() {
  static const QList<PanelCase> c = {
      {"TControlForm_LAdd",
       {{"Edit_leftadd1", ""}},
       {{"Edit_leftadd1", "> "}},
       "a\nb\n",
       "> a\r\n> b\r\n"},
      {"TControlForm_radd", {{"Edit_rightadd1", ""}}, {{"Edit_rightadd1", ";"}}, "a\n", "a;\r\n"},
      {"TControlForm_FillStr",
       {{"Edit_full1", "10"}},
       {},
       "abc\n\xD6\xD0\xCE\xC4\n",
       "abc       \r\n\xD6\xD0\xCE\xC4      \r\n"},
      {"TControlForm_th",
       {{"Edit_th1", ""}, {"Edit_th2", ""}, {"CheckBox_th_r1", "0"}, {"CheckBox_th_r2", "0"}},
       {{"Edit_th1", "ab"}, {"Edit_th2", "中"}},
       "aBcAB\n",
       "\xD6\xD0"
       "c\xD6\xD0\r\n"},
      {"TControlForm_saveas",
       {{"Edit_saveas1", ".new.txt"}},
       {},
       "a\n",
       "a\r\n",
       {{".new.txt", "a\r\n"}}},
      // A find changes no file, whatever line ends the settings ask for.
      {"TControlForm_find", {{"Edit_find1", ""}}, {{"Edit_find1", "b"}}, "abc\n", "abc\n"},
      {"TControlForm_big5", {}, {}, "\xD6\xD0\n", "\xA4\xA4\r\n"},
      {"TControlForm_big52", {}, {}, "\xA4\xA4\n", "\xD6\xD0\r\n"},
      {"TControlForm_lcase", {}, {}, "AbC\xD6\xD0\n", "abc\xD6\xD0\r\n"},
      {"TControlForm_ucase", {}, {}, "AbC\n", "ABC\r\n"},
      {"TControlForm_del_blank", {}, {}, "a\n\n \nb\n", "a\r\nb\r\n"},
      {"TControlForm_del", {}, {}, "abc\nd\n", "\r\n\r\n"},
      {"TControlForm_delwebtext", {}, {}, "a\xA1\xA1z\n", "a  z\r\n"},
      {"TControlForm_base64decode", {}, {}, "YWJj\n", "abc\r\n"},
      {"TControlForm_base64encode", {}, {}, "abc\n", "YWJj\r\n"},
      {"TControlForm_mtoone",
       {{"CheckBox_m_to_one1", "0"}, {"CheckBox_m_to_one2", "0"}, {"Edit_m_to_one1", "3"}},
       {},
       "abc\ndef\ng h\nij\n",
       "abcdef\r\ng hij\r\n"},
      {"TControlForm_mod_out", {}, {}, "abc\n", "abc\r\n"},
      {"TControlForm_as_num_add1",
       {{"Edit_add1", "1"}},
       {},
       "41\n 41 \n4a\n2147483647\n",
       "42\r\n42\r\n4a\r\n-2147483648\r\n"},
      {"TControlForm_as_num_dec", {{"Edit_dec1", "1"}}, {}, "0\n", "-1\r\n"},
      {"TControlForm_ft2gb",
       {{"RadioButton_ft2gb", "0"}, {"RadioButton_gb2ft", "0"}},
       {{"RadioButton_ft2gb", "1"}},
       "\x87\xF8\n",
       "\xB9\xFA\r\n"},
      {"TControlForm_del_r", {}, {}, "A\na\nb\n b\n", "A\r\nb\r\n"},
      {"TControlForm_row2col",
       {{"Edit_row_to_col1", " "}},
       {},
       "a b c\n1 2 3\n",
       "a 1 \r\nb 2 \r\nc 3 \r\n"},
      {"TControlForm_sp_file",
       {{"Edit_sp_file1", "10"}, {"Edit_sp_file2", "%d.txt"}, {"CheckBox_sp_file1", "0"}},
       {{"Edit_sp_file1", "2"}},
       "a\nb\nc\n",
       "a\r\nb\r\nc\r\n",
       {{".1.txt", "a\r\nb\r\n"}, {".2.txt", "c\r\n"}}},
      {"TControlForm_md5",
       {{"Edit_md51", ""}},
       {},
       "abc\n\n",
       "900150983cd24fb0d6963f7d28e17f72\r\nd41d8cd98f00b204e9800998ecf8427e\r\n"},
      {"TControlForm_utf",
       {{"RadioButton_Unicode2", "1"}, {"RadioButton_Unicode3", "0"}},
       {},
       "\xE4\xB8\xAD\n",
       "\xD6\xD0\r\n"},
      {"TControlForm_blank_line",
       {{"Edit_blank_line1", "1"}},
       {},
       "a\n\n\n\nb\n",
       "a\r\n\r\nb\r\n"},
      {"TControlForm_script",
       {{"txtScript", "{\n  line.text = \"aaa\";\n\n}"}},
       {},
       "x\ny\n",
       "aaa\r\naaa\r\n"},
  };
  return c;
}

// Sets a control as a user would: typing into a box, clicking a check box or a choice.
void set_control(TControlForm_* p, const QString& name, const QString& value) {
  QWidget* w = p->findChild<QWidget*>(name);
  QVERIFY2(w, qPrintable(name));
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(value);
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
    m->setPlainText(value);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (b->isChecked() != (value == "1")) b->click();
  }
}

QString shown_value(TControlForm_* p, const QString& name) {
  QWidget* w = p->findChild<QWidget*>(name);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? "1" : "0";
  return "<no control " + name + ">";
}

}  // namespace

class TestPanels : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QList<Box> boxes_;

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
    lq::gui::set_msg_box_hook([this](const QString& c, const QString& t, bool) {
      boxes_ << Box{c, t};
      return false;
    });
  }
  void init() { boxes_.clear(); }

  void everyPanelDefaultsAndRun_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < cases().size(); ++i) QTest::newRow(cases()[i].cls) << i;
  }

  void everyPanelDefaultsAndRun() {
    QFETCH(int, row);
    const PanelCase& c = cases()[row];
    MainWindow w;
    TControlForm_* p = w.ensure_panel(QString(c.cls).toLower().toStdString());
    QVERIFY(p);
    QCOMPARE(QString::fromStdString(p->class_name()), QString(c.cls));
    QVERIFY(!p->is_enabled());
    for (auto it = c.defaults.begin(); it != c.defaults.end(); ++it)
      QCOMPARE(shown_value(p, it.key()), it.value());
    for (auto it = c.set.begin(); it != c.set.end(); ++it) set_control(p, it.key(), it.value());
    p->chkEnable()->click();

    const QString path = file(QString("%1.txt").arg(c.cls), c.in);
    w.add_files({path});
    QVERIFY(run(w));
    QCOMPARE(read_file(path), c.out);
    for (auto it = c.beside.begin(); it != c.beside.end(); ++it)
      QCOMPARE(read_file(path + it.key()), it.value());
    if (QString(c.cls) == "TControlForm_find") {
      // A find run ends with its results instead of the completion box.
      QVERIFY(w.findChild<QWidget*>("Panel_find1")->isVisibleTo(&w));
      QCOMPARE(w.findChild<QListWidget*>("ListBox_find1")->count(), 1);
      QVERIFY(boxes_.isEmpty());
    } else {
      QTRY_COMPARE(boxes_.size(), 1);
      QVERIFY2(boxes_[0].text.startsWith("完成\n\n改动 "), qPrintable(boxes_[0].text));
    }
  }

  // The numbered caption: on the enable box itself ("启用  [9]..."), or beside a plain
  // "启用" in a radio-styled label whose circle is out of sight and which takes no focus.
  void captionsAsShown() {
    MainWindow w;
    w.show_all_panels();
    QCOMPARE(int(w.panels().size()), 27);
    for (TControlForm_* p : w.panels()) {
      const auto* cls = lq::PanelClassRegistry::instance().find(p->class_name());
      const QString caption = QString::fromStdString(cls->entries[0].caption);
      auto* label = p->findChild<QRadioButton*>("lblCaption");
      if (caption.startsWith("启用")) {
        QCOMPARE(p->chkEnable()->text(), caption);
        QVERIFY(!label);
      } else if (p->class_name() == "TControlForm_ft2gb") {
        // The two choices carry the numbers.
        QVERIFY(!label->isVisibleTo(p));
        QCOMPARE(p->findChild<QRadioButton*>("RadioButton_ft2gb")->text(),
                 QString("[20]繁体转换为简体"));
        QCOMPARE(p->findChild<QRadioButton*>("RadioButton_gb2ft")->text(),
                 QString("[21]简体转换为繁体"));
      } else {
        QCOMPARE(p->chkEnable()->text(), QString("启用"));
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QVERIFY(!label->isCheckable());
      }
      QCOMPARE(p->btnClose()->toolTip(), QString("隐藏此功能"));
    }
    QCOMPARE(w.panels()[8]->chkEnable()->text(), QString("启用  [9]全部转为小写"));
  }

  void panelTextsAndHints() {
    MainWindow w;
    w.show_all_panels();
    auto* th = w.ensure_panel("TControlForm_th");
    auto* more = th->findChild<QAbstractButton*>("SpeedButton4");
    QCOMPARE(more->text(), QString("多"));
    QCOMPARE(more->toolTip(), QString("同时替换多个字符串"));
    QCOMPARE(th->findChild<QCheckBox*>("CheckBox_th_r1")->text(), QString("使用通配符"));
    QCOMPARE(th->findChild<QCheckBox*>("CheckBox_th_r2")->text(), QString("使用正则表达式"));
    auto* help = w.ensure_panel("TControlForm_find")->findChild<QPlainTextEdit*>("find_help1");
    QVERIFY(help->isReadOnly());
    QCOMPARE(help->toPlainText().split('\n'),
             QStringList({"+查找功能中支持“与”操作，各词之间用 and 隔开", "例如  ", "1 and 2",
                          "所有含有\"1\" 和\"2\"的行将被查找出来"}));
    QVERIFY(help->styleSheet().contains("lime") && help->styleSheet().contains("black"));
    auto* ft = w.ensure_panel("TControlForm_ft2gb");
    QVERIFY(ft->findChild<QLabel*>("Label_note1")->text() ==
            "[注意:是这GBK字符集间的转换,与BIG5无关]");
    // The two choices clear each other.
    ft->findChild<QRadioButton*>("RadioButton_ft2gb")->click();
    ft->findChild<QRadioButton*>("RadioButton_gb2ft")->click();
    QVERIFY(!ft->findChild<QRadioButton*>("RadioButton_ft2gb")->isChecked());
    auto* md5 = w.ensure_panel("TControlForm_md5");
    QCOMPARE(md5->findChild<QAbstractButton*>("SpeedButton_md51")->text(),
             QString(">  取整个文件的md5编码"));
    QVERIFY(md5->findChild<QLineEdit*>("Edit_md51")->isReadOnly());
    QCOMPARE(
        w.ensure_panel("TControlForm_mod_out")->findChild<QAbstractButton*>("SpeedButton2")->text(),
        QString("模板功能/宏替换"));
    auto* utf = w.ensure_panel("TControlForm_utf");
    QCOMPARE(utf->findChild<QRadioButton*>("RadioButton_Unicode3")->text(),
             QString("普通字符转UTF8"));
    QCOMPARE(utf->findChild<QLabel*>("Label_note1")->text(),
             QString("注意不要连续转换两次,否则会清空中文字符."));
    auto* saveas = w.ensure_panel("TControlForm_saveas");
    QCOMPARE(saveas->findChild<QLineEdit*>("Edit_saveas1")->accessibleName(),
             QString("原文件名后加.."));
  }

  // [21] through the shared panel's second choice; with neither choice the text stays.
  void traditionalChoices() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_ft2gb");
    p->chkEnable()->click();
    const QString path = file("ft.txt", "\xB9\xFA\n");
    w.add_files({path});
    QVERIFY(run(w));
    QCOMPARE(read_file(path), QByteArray("\xB9\xFA\r\n"));
    p->findChild<QRadioButton*>("RadioButton_gb2ft")->click();
    QVERIFY(run(w));
    QCOMPARE(read_file(path), QByteArray("\x87\xF8\r\n"));
  }

  // The list below the two choices picks phrase conversion: 复杂 becomes 複雜, where the
  // classic table writes 復雜; a recipe reads the list's item.
  void traditionalPhraseChoice() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_ft2gb");
    auto* mode = p->findChild<QComboBox*>("ComboBox_ft2gb1");
    QVERIFY(mode);
    QCOMPARE(mode->count(), 4);
    QCOMPARE(mode->currentIndex(), 0);
    QCOMPARE(mode->itemText(0), QString("逐字 (经典)"));
    p->chkEnable()->click();
    p->findChild<QRadioButton*>("RadioButton_gb2ft")->click();
    const QByteArray fuza = QByteArray("\xB8\xB4\xD4\xD3\n");  // 复杂
    const QString path = file("ph.txt", fuza);
    w.add_files({path});
    QVERIFY(run(w));
    QCOMPARE(read_file(path), QByteArray("\x8F\xCD\xEB\x73\r\n"));  // 復雜
    write_file(path, fuza);
    mode->setCurrentIndex(1);
    QCOMPARE(p->values().text("ComboBox_ft2gb1"), std::string("1"));
    QVERIFY(run(w));
    QCOMPARE(read_file(path), QByteArray("\xD1\x7D\xEB\x73\r\n"));  // 複雜
    lq::ParamValues v = p->values();
    v.set("ComboBox_ft2gb1", "2");
    p->set_values(v);
    QCOMPARE(mode->currentIndex(), 2);
  }

  // A script that does not compile: one box per file, every file unchanged.
  void scriptCompileErrorPerFile() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_script");
    p->findChild<QPlainTextEdit*>("txtScript")->setPlainText("{ line.text = ; }");
    p->chkEnable()->click();
    QStringList files;
    for (int i = 0; i < 3; ++i) files << file(QString("s%1.txt").arg(i), "keep\n");
    w.add_files(files);
    QVERIFY(run(w));
    for (const QString& f : files) QCOMPARE(read_file(f), QByteArray("keep\r\n"));
    QTRY_COMPARE(boxes_.size(), 4);  // three compile errors, then "完成"
    QVERIFY2(boxes_.last().text.startsWith("完成\n\n改动 "), qPrintable(boxes_.last().text));
    for (int i = 0; i < 3; ++i) QVERIFY(!boxes_[i].text.isEmpty());
  }

  // Disabled, the script panel compiles nothing and shows nothing.
  void disabledScriptIsSilent() {
    MainWindow w;
    auto* p = w.ensure_panel("TControlForm_script");
    p->findChild<QPlainTextEdit*>("txtScript")->setPlainText("{ line.text = ; }");
    auto* lc = w.ensure_panel("TControlForm_ucase");
    lc->chkEnable()->click();
    const QString path = file("sd.txt", "a\n");
    w.add_files({path});
    QVERIFY(run(w));
    QCOMPARE(read_file(path), QByteArray("A\r\n"));
    QTRY_COMPARE(boxes_.size(), 1);
  }

  // With LQ_SCREENSHOT_DIR set, saves pictures of all panels stacked ("显示所有控件"), the
  // multi-replace window and the template window there.
  void screenshots() {
    const QString dir = qEnvironmentVariable("LQ_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("LQ_SCREENSHOT_DIR not set");
    QFont::insertSubstitutions("宋体", {"WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    MainWindow w;
    w.resize(1100, 760);
    w.show();
    w.findChild<QAction*>("N53")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget* body = w.findChild<QWidget*>("pnlControls_body");
    body->adjustSize();
    QTest::qWait(200);
    QVERIFY(body->grab().save(dir + "/screenshot-panels.png"));

    auto* th = w.ensure_panel("TControlForm_th");
    th->findChild<QAbstractButton*>("SpeedButton4")->click();
    QWidget* multi = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t->objectName() == "form_th") multi = t;
    QVERIFY(multi);
    QTest::qWait(200);
    QVERIFY(multi->grab().save(dir + "/screenshot-multi-replace.png"));
    multi->close();

    w.ensure_panel("TControlForm_mod_out")->findChild<QAbstractButton*>("SpeedButton2")->click();
    QWidget* tmpl = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t->objectName() == "form_mod_out") tmpl = t;
    QVERIFY(tmpl);
    tmpl->findChild<QAbstractButton*>("SpeedButton3")->click();
    tmpl->findChild<QAbstractButton*>("SpeedButton1")->click();
    QTest::qWait(200);
    QVERIFY(tmpl->grab().save(dir + "/screenshot-template.png"));
    tmpl->close();

    // The results of a find run under the editor, the match opened from one of them.
    MainWindow f;
    f.resize(1100, 760);
    f.show();
    auto* find = f.ensure_panel("TControlForm_find");
    find->findChild<QLineEdit*>("Edit_find1")->setText("公司");
    find->chkEnable()->click();
    auto gbk = [](const char* s) { return QByteArray::fromStdString(lq::gui::to_gbk(s)); };
    f.add_files({file("报告.txt", gbk("旧公司名称\n2024 年 公司 总结\n无关\n")),
                 file("客户.txt", gbk("公司A\n公司B\n"))});
    QVERIFY(run(f));
    auto* list = f.findChild<QListWidget*>("ListBox_find1");
    list->setCurrentRow(1);
    emit list->itemDoubleClicked(list->item(1));
    QTest::qWait(200);
    QVERIFY(f.grab().save(dir + "/screenshot-find.png"));
  }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
