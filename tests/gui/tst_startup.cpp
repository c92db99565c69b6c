// Start-up of the main window and the hand-off between running copies, with the real
// program started as the second copy. Every test runs in a private runtime directory and
// program directory, so it never meets another test run or the user's own window.
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QMenu>
#include <QProcess>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "core/shell/handoff_client.h"
#include "core/shell/handoff_message.h"
#include "core/shell/instance_lock.h"
#include "core/shell/shared_values.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/blank_window.h"
#include "gui/shell/hint_timing.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"

using lq::gui::MainWindow;

namespace {

QString active_caption(MainWindow& w) {
  lq::gui::FilePage* page = w.document_tabs()->active_page();
  return page ? page->caption() : QString();
}

size_t tab_count(MainWindow& w) {
  return w.document_tabs()->PageControl1()->all_pages().size();
}

std::string make_file(const QString& path, const QByteArray& bytes = "text\r\n") {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
  return QFile::encodeName(path).toStdString();
}

}  // namespace

class TestStartup : public QObject {
  Q_OBJECT

  QTemporaryDir runtime_, home_, files_;

  // Starts the real program with args; it ends by itself (after a hand-off, or after
  // saving a picture of its own window to grab when it opened one).
  int run_second(const QStringList& args, const QString& grab) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LEXOQUILL_GRAB", grab);
    p.setProcessEnvironment(env);
    p.start(LQ_GUI_EXE, args);
    // The event loop runs meanwhile: this process is the window that receives.
    if (!p.waitForStarted()) return -1;
    QDeadlineTimer limit(20000);
    while (p.state() != QProcess::NotRunning && !limit.hasExpired()) QTest::qWait(20);
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished();
      return -2;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  QString grab_path(const char* name) { return files_.filePath(QString(name) + ".png"); }

 private slots:
  void initTestCase() {
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    qunsetenv("LEXOQUILL_NO_HANDOFF");
    // This process is the running copy that the program's later starts find.
    QVERIFY(!lq::instance_exists("lexoquill"));
    lq::gui::set_msg_box_hook([](const QString& c, const QString& t, bool) {
      qWarning() << "message box" << c << t;
      return false;
    });
  }

  void startsWithFileDirectoryOrNothing() {
    {
      MainWindow w;
      QCOMPARE(tab_count(w), size_t(1));
      QCOMPARE(active_caption(w), QString("新文档"));
      QVERIFY(w.file_list().empty());
    }
    const std::string file = make_file(files_.filePath("start/one file.txt"));
    {
      MainWindow w({file});
      QCOMPARE(w.file_list(), std::vector<std::string>{file});
      QCOMPARE(w.last_dir(), QFile::encodeName(files_.filePath("start/")).toStdString());
      QCOMPARE(tab_count(w), size_t(1));
      QCOMPARE(active_caption(w), QString("one file.txt"));
    }
    // A directory: its files and those of its subdirectories that the extension list
    // keeps; the first one opens.
    const QString dir = files_.filePath("tree");
    const std::string a = make_file(dir + "/a.txt");
    const std::string b = make_file(dir + "/sub/b.cpp");
    make_file(dir + "/sub/skip.bin");
    {
      MainWindow w({QFile::encodeName(dir).toStdString()});
      std::vector<std::string> got = w.file_list();
      std::sort(got.begin(), got.end());
      QCOMPARE(got, (std::vector<std::string>{a, b}));
      QCOMPARE(w.last_dir(), QFile::encodeName(dir).toStdString());
      QCOMPARE(tab_count(w), size_t(1));
      QVERIFY(active_caption(w) == "a.txt" || active_caption(w) == "b.cpp");
    }
    // Several selected files at once; a name that does not exist opens nothing.
    {
      MainWindow w({file, a, "/no/such/file.txt"});
      QCOMPARE(w.file_list(), (std::vector<std::string>{file, a}));
      QCOMPARE(tab_count(w), size_t(2));
    }
  }

  void hintsShowAtOnceAndStayLong() {
    lq::gui::install_hint_timing();
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
    MainWindow w;
    w.show();
    auto* button = w.findChild<QToolButton*>("c_one_form1");
    QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button, &hint);
    QCOMPARE(button->toolTipDuration(), lq::gui::kHintShownMs);
  }

  void singleWindowModeAnnouncesThisWindow() {
    MainWindow w;
    auto* button = w.findChild<QToolButton*>("c_one_form1");
    QVERIFY(button && button->isCheckable() && !button->isChecked());
    QCOMPARE(button->toolTip(), QString("从文件管理器右键菜单或命令行打开的文件均显示在此窗口中"));
    button->click();
    QCOMPARE(lq::shared_mem::get_share_handle(lq::shared_mem::kOneForm), 1);
    QCOMPARE(qint64(lq::shared_mem::get_share_handle(lq::shared_mem::kMainForm)),
             QCoreApplication::applicationPid());
    button->click();
    QCOMPARE(lq::shared_mem::get_share_handle(lq::shared_mem::kOneForm), 0);
    QCOMPARE(lq::shared_mem::get_share_handle(lq::shared_mem::kMainForm), 0);
  }

  void secondStartHandsItsFileOver() {
    MainWindow w;
    w.show();
    w.findChild<QToolButton*>("c_one_form1")->click();
    const std::string spaced = make_file(files_.filePath("My Files/a b.txt"));
    QCOMPARE(run_second({QString::fromStdString(spaced)}, grab_path("spaced")), 0);
    QCOMPARE(w.file_list(), std::vector<std::string>{spaced});
    QCOMPARE(active_caption(w), QString("a b.txt"));
    QVERIFY(!QFile::exists(grab_path("spaced")));  // no second window

    // No argument: an empty entry, no tab.
    const size_t tabs = tab_count(w);
    QCOMPARE(run_second({}, grab_path("empty")), 0);
    QCOMPARE(w.file_list(), (std::vector<std::string>{spaced, ""}));
    QCOMPARE(tab_count(w), tabs);
    QCOMPARE(active_caption(w), QString("a b.txt"));
    QVERIFY(!QFile::exists(grab_path("empty")));

    // Several files from a desktop selection arrive one after another.
    const std::string one = make_file(files_.filePath("sel/1.txt"));
    const std::string two = make_file(files_.filePath("sel/2.txt"));
    QCOMPARE(
        run_second({QString::fromStdString(one), QString::fromStdString(two)}, grab_path("two")),
        0);
    QCOMPARE(w.file_list(), (std::vector<std::string>{spaced, "", one, two}));
    QCOMPARE(active_caption(w), QString("2.txt"));
  }

  // A path longer than the message carries is never cut to another name: the second copy
  // keeps it and opens its own window.
  void longPathOpensItsOwnWindow() {
    MainWindow w;
    w.show();
    w.findChild<QToolButton*>("c_one_form1")->click();
    QString long_path = files_.filePath("long");
    while (QFile::encodeName(long_path).size() < 290) long_path += "/" + QString(40, 'd');
    const std::string path = make_file(long_path + "/f.txt");
    QVERIFY(path.size() > 300);
    QCOMPARE(run_second({QString::fromStdString(path)}, grab_path("long")), 0);
    QVERIFY(w.file_list().empty());
    QVERIFY(QFile::exists(grab_path("long")));
  }

  void modeOffOrBlankWindowOpensAnotherWindow() {
    MainWindow w;
    w.show();
    const std::string file = make_file(files_.filePath("off.txt"));
    QCOMPARE(run_second({QString::fromStdString(file)}, grab_path("off")), 0);
    QVERIFY(QFile::exists(grab_path("off")));

    // "新建空白窗口" starts a copy that opens its own window although the mode is on.
    w.findChild<QToolButton*>("c_one_form1")->click();
    QVERIFY(w.findChild<QAction*>("N_newwin1"));
    qputenv("LEXOQUILL_GRAB", grab_path("blank").toUtf8());
    QVERIFY(lq::gui::start_blank_window(LQ_GUI_EXE));
    qunsetenv("LEXOQUILL_GRAB");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(grab_path("blank")), 20000);
    QVERIFY(w.file_list().empty());
  }

  // Whatever arrives on the socket, the window keeps running and takes nothing from it;
  // the next real hand-off still works.
  void hostileMessagesAreDropped() {
    MainWindow w;
    w.show();
    w.findChild<QToolButton*>("c_one_form1")->click();
    const QString sock = QString::fromStdString(
        lq::handoff_socket_path(static_cast<int>(QCoreApplication::applicationPid())));
    const QByteArray good = QByteArray::fromStdString(lq::encode_handoff("/tmp/x.txt"));
    QByteArray no_zero = good;
    no_zero.replace(lq::kHandoffHeaderSize, lq::kPathBufferSize,
                    QByteArray(lq::kPathBufferSize, 'A'));
    const QByteArray attacks[] = {
        QByteArray("hello"), good + QByteArray(100, 'x'), QByteArray(1 << 20, '\xFF'), no_zero,
        good.left(100),
    };
    for (const QByteArray& bytes : attacks) {
      QLocalSocket s;
      s.connectToServer(sock);
      QVERIFY(s.waitForConnected(2000));
      s.write(bytes);
      s.flush();
      // Refused connections are closed without the confirmation byte.
      QTRY_VERIFY(s.state() == QLocalSocket::UnconnectedState || s.bytesAvailable() > 0 ||
                  bytes.size() == 100);
      QVERIFY(!s.readAll().contains(lq::kHandoffAck));
      s.abort();
    }
    QTest::qWait(100);
    QVERIFY(w.file_list().empty());
    const std::string file = make_file(files_.filePath("after.txt"));
    QCOMPARE(run_second({QString::fromStdString(file)}, grab_path("after")), 0);
    QCOMPARE(w.file_list(), std::vector<std::string>{file});
  }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
