// Recipes from the window: what "保存方案..." writes, lexoquill-batch --recipe runs the
// same; what "打开方案..." reads sets the scope box and the one enabled panel.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/support/window_test_helpers.h"

using lq::gui::MainWindow;
using lq::gui::TControlForm_;
using lq::test::read_file;
using lq::test::write_file;

class TestRecipes : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QStringList boxes_;

  QString file(const QString& name, const QByteArray& bytes) {
    const QString p = home_.filePath(name);
    write_file(p, bytes);
    return p;
  }

  static bool run(MainWindow& w) { return lq::test::start_and_wait(w); }

  static int batch(const QStringList& args) {
    QProcess p;
    p.start(LQ_BATCH_EXE, args);
    if (!p.waitForFinished(20000)) return -1;
    return p.exitCode();
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::gui::set_msg_box_hook([this](const QString&, const QString& t, bool) {
      boxes_ << t;
      return false;
    });
  }
  void init() { boxes_.clear(); }

  // Setups whose values need care in the file: Chinese text, outer blanks, a line break
  // in a script, the choice of the shared [20]/[21] panel, an up-down.
  void savedInWindowRunsTheSameInBatch_data() {
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QStringList>("controls");  // name=value pairs typed into the panel
    QTest::addColumn<int>("scope");
    QTest::addColumn<QStringList>("scopeValues");
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("replace between markers")
        << "TControlForm_th" << QStringList{"Edit_th1=b", "Edit_th2= 中 "} << 5
        << QStringList{"Edit_qjhj1=[", "Edit_qjhj4=]"} << QByteArray("a[b]b\nB[bB]\n");
    QTest::newRow("prefix on first bytes")
        << "TControlForm_LAdd" << QStringList{"Edit_leftadd1=前缀 "} << 2
        << QStringList{"Edit_fw_qj1=2"} << QByteArray("abcd\n\xD6\xD0x\n");
    QTest::newRow("script")
        << "TControlForm_script"
        << QStringList{"txtScript={\n  line.text = th(line.text, \"a\", \"b\");\n}"} << 1
        << QStringList{} << QByteArray("Aa\nxa\n");
    QTest::newRow("traditional choice")
        << "TControlForm_ft2gb" << QStringList{"RadioButton_gb2ft=1"} << 1 << QStringList{}
        << QByteArray("\xB9\xFA\n");
    QTest::newRow("blank runs") << "TControlForm_blank_line" << QStringList{"Edit_blank_line1=2"}
                                << 1 << QStringList{} << QByteArray("a\n\n\n\n\nb\n");
  }

  void savedInWindowRunsTheSameInBatch() {
    QFETCH(QString, cls);
    QFETCH(QStringList, controls);
    QFETCH(int, scope);
    QFETCH(QStringList, scopeValues);
    QFETCH(QByteArray, input);
    MainWindow w;
    w.ensure_panel("TControlForm_ucase");  // present but not enabled: not in the recipe
    TControlForm_* p = w.ensure_panel(cls.toStdString());
    for (const QString& c : controls) {
      const QString name = c.section('=', 0, 0), value = c.section('=', 1);
      QWidget* ctl = p->findChild<QWidget*>(name);
      if (auto* e = qobject_cast<QLineEdit*>(ctl)) e->setText(value);
      if (auto* m = qobject_cast<QPlainTextEdit*>(ctl)) m->setPlainText(value);
      if (auto* b = qobject_cast<QAbstractButton*>(ctl)) b->click();
    }
    p->chkEnable()->click();
    for (const QString& s : scopeValues)
      w.scope_box()->set_value(s.section('=', 0, 0), s.section('=', 1));
    w.scope_box()->select_mode(scope);

    const QString recipe = home_.filePath(cls + ".ini");
    w.set_recipe_dialog([&](QWidget*, bool save) {
      Q_ASSERT(save);
      return recipe;
    });
    w.findChild<QAction*>("N_save_recipe1")->trigger();
    QVERIFY(QFile::exists(recipe));

    const QString by_window = file(cls + "-gui.txt", input);
    const QString by_batch = file(cls + "-cli.txt", input);
    w.add_files({by_window});
    QVERIFY(run(w));
    QCOMPARE(batch({"--recipe", recipe, by_batch}), 0);
    QCOMPARE(read_file(by_batch), read_file(by_window));
    QVERIFY(read_file(by_window) != input);
  }

  // Opening sets the scope, brings up the panel with the values and enables only it.
  void openSetsScopeAndPanel() {
    const QString recipe = file("open.ini",
                                "[scope]\nRadioButton_fw_qj1=1\nEdit_fw_qj1=3\n"
                                "[operation]\nop=TControlForm_th\nEdit_th1=旧\n"
                                "Edit_th2=\" 新\\r\\n\"\nCheckBox_th_r2=1\n");
    MainWindow w;
    auto* lc = w.ensure_panel("TControlForm_lcase");
    lc->chkEnable()->click();
    w.set_recipe_dialog([&](QWidget*, bool save) { return save ? QString() : recipe; });
    w.findChild<QAction*>("N_open_recipe1")->trigger();
    QVERIFY(boxes_.isEmpty());
    QCOMPARE(w.scope_box()->selected_mode(), 2);
    QCOMPARE(w.scope_box()->value("Edit_fw_qj1"), QString("3"));
    TControlForm_* th = w.ensure_panel("TControlForm_th");
    QCOMPARE(th->findChild<QLineEdit*>("Edit_th1")->text(), QString("旧"));
    QCOMPARE(th->findChild<QLineEdit*>("Edit_th2")->text(), QString(" 新\r\n"));
    QVERIFY(th->findChild<QCheckBox*>("CheckBox_th_r2")->isChecked());
    QVERIFY(th->is_enabled());
    QVERIFY(!lc->is_enabled());

    // A recipe that cannot be read changes nothing and says why.
    const QString bad = file("bad.ini", "[operation]\nop=TControlForm_nothing\n");
    QVERIFY(!w.open_recipe(bad));
    QCOMPARE(boxes_.size(), 1);
    QVERIFY(boxes_[0].contains("TControlForm_nothing"));
    QVERIFY(th->is_enabled());
    QCOMPARE(w.scope_box()->selected_mode(), 2);
  }
};

QTEST_MAIN(TestRecipes)
#include "tst_recipes.moc"
