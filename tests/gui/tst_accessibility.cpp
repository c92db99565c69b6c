// What assistive technology and a keyboard-only user get from the main window: roles,
// names, the editor's text, the document tabs, announced run outcomes and Tab order.
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/widgets/accessible_factory.h"
#include "gui/widgets/color_widgets.h"
#include "support/gbk_bytes.h"
#include "support/window_test_helpers.h"

using lq::gui::MainWindow;

namespace {

QAccessibleInterface* iface_of(QObject* o) {
  QAccessibleInterface* i = o ? QAccessible::queryAccessibleInterface(o) : nullptr;
  if (!i) qWarning() << "no accessible interface for" << o;
  return i;
}

QString name_of(QObject* o) {
  QAccessibleInterface* i = iface_of(o);
  return i ? i->text(QAccessible::Name) : QString("<none>");
}

// Every event sent to assistive technology, while an object of this type lives.
struct Events {
  static inline QList<QPair<QObject*, QAccessible::Event>> seen;
  Events() {
    seen.clear();
    lq::gui::set_accessible_event_hook([](QAccessibleEvent& e) {
      seen.append({e.object(), e.type()});
    });
  }
  ~Events() { lq::gui::set_accessible_event_hook({}); }
  static bool has(QObject* o, QAccessible::Event type) { return seen.contains({o, type}); }
};

}  // namespace

class TestAccessibility : public QObject {
  Q_OBJECT

  QTemporaryDir home_;

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::gui::set_msg_box_hook([](const QString&, const QString&, bool) { return false; });
  }

  void tabStripIsAPageTabListOfNamedTabs() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* head = w.findChild<lq::gui::TTabControlExHead*>("TabHeader");
    QVERIFY(head);
    w.findChild<QAction*>("N_new1")->trigger();
    w.findChild<QAction*>("N_new1")->trigger();
    QAccessibleInterface* list = iface_of(head);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::PageTabList);
    QVERIFY(!list->text(QAccessible::Name).isEmpty());
    const auto& pages = head->TabControl->all_pages();
    const int n = static_cast<int>(pages.size());
    QVERIFY(n >= 2);
    QCOMPARE(list->childCount(), n);
    for (int i = 0; i < n; ++i) {
      QAccessibleInterface* tab = list->child(i);
      QVERIFY(tab);
      QCOMPARE(tab->role(), QAccessible::PageTab);
      QCOMPARE(tab->text(QAccessible::Name), pages[static_cast<size_t>(i)]->caption());
      QVERIFY(!tab->text(QAccessible::Name).isEmpty());
      QCOMPARE(tab->parent(), list);
      QCOMPARE(list->indexOfChild(tab), i);
      QCOMPARE(tab->state().selected,
               pages[static_cast<size_t>(i)] == head->TabControl->ActivePage());
    }
    // Pressing a tab shows its page, as a click does.
    QAccessibleInterface* first = list->child(0);
    QVERIFY(first->actionInterface());
    first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(head->TabControl->ActivePage(), pages[0]);
    QVERIFY(first->state().selected);
    QVERIFY(!list->child(1)->state().selected);
    // A closed page leaves the list.
    head->TabControl->close_page(pages[1]);
    QCOMPARE(list->childCount(), n - 1);
  }

  void scopeModesAreRadioButtonsNamedByTheirCaptions() {
    MainWindow w;
    lq::gui::ScopeBox* scope = w.scope_box();
    for (int mode = 1; mode <= 15; ++mode) {
      QRadioButton* rb = scope->radio(mode);
      QVERIFY(rb);
      QAccessibleInterface* i = iface_of(rb);
      QCOMPARE(i->role(), QAccessible::RadioButton);
      QCOMPARE(i->text(QAccessible::Name), rb->text());
      QCOMPARE(i->state().checked, mode == scope->selected_mode());
    }
  }

  void namesAreTheCaptionsPeopleRead() {
    MainWindow w;
    w.ensure_panel("TControlForm_th");
    // A box is named by the caption in front of it, never by its control name.
    QCOMPARE(name_of(w.findChild<QLineEdit*>("Edit_fw_qj1")), QString("[2]每一行的前?个字符"));
    QCOMPARE(name_of(w.findChild<QLineEdit*>("Edit_fw_qz2")), QString("个.."));
    QCOMPARE(iface_of(w.findChild<QLineEdit*>("Edit_fw_qz2"))->text(QAccessible::Description),
             QString("[3]每一行的第..个..字符串之前"));
    // A panel's numbered caption is its title, not a button.
    QAccessibleInterface* title = iface_of(w.findChild<QWidget*>("lblCaption"));
    QVERIFY(title);
    QCOMPARE(title->role(), QAccessible::StaticText);
    QVERIFY(title->text(QAccessible::Name).startsWith("[4]"));
    QStringList internal;
    for (QWidget* c : w.findChildren<QWidget*>()) {
      QAccessibleInterface* i = QAccessible::queryAccessibleInterface(c);
      const QString n = i ? i->text(QAccessible::Name) : QString();
      if (n.contains(QRegularExpression("(Edit|CheckBox|UpDown|RadioButton)_")))
        internal << c->objectName() + ": " + n;
    }
    QVERIFY2(internal.isEmpty(), qPrintable(internal.join(", ")));
  }

  void upDownsAreSpinBoxesWithNamedArrows() {
    MainWindow w;
    auto* ud = w.findChild<lq::gui::ColorUpDown*>("UpDown_line1");
    QVERIFY(ud);
    QAccessibleInterface* i = iface_of(ud);
    QCOMPARE(i->role(), QAccessible::SpinBox);
    QCOMPARE(i->text(QAccessible::Name), QString("[9]第?行"));
    QVERIFY(i->valueInterface());
    QCOMPARE(i->valueInterface()->currentValue().toInt(), ud->position());
    QCOMPARE(i->valueInterface()->minimumValue().toInt(), ud->minimum());
    QCOMPARE(i->valueInterface()->maximumValue().toInt(), ud->maximum());
    i->valueInterface()->setCurrentValue(ud->position() + 1);
    QCOMPARE(ud->buddy()->text(), QString::number(ud->position()));
    QStringList arrows;
    for (QToolButton* b : ud->findChildren<QToolButton*>()) arrows << name_of(b);
    QCOMPARE(arrows, QStringList({"增加", "减少"}));
    // A panel's up-down has no name of its own; it takes its box's.
    lq::gui::TControlForm_* panel = w.ensure_panel("TControlForm_sp_file");
    QVERIFY(panel);
    for (auto* pud : panel->findChildren<lq::gui::ColorUpDown*>())
      QCOMPARE(name_of(pud), name_of(pud->buddy()));
  }

  void editorOffersItsText() {
    lq::gui::EditorView e;
    e.resize(400, 200);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.model().set_all_text(lq::test::gbk("abc\r\n中文行\r\nxyz"));
    e.setFocus();
    QAccessibleInterface* i = iface_of(&e);
    QCOMPARE(i->role(), QAccessible::EditableText);
    QAccessibleTextInterface* t = i->textInterface();
    QVERIFY(t);
    QVERIFY(i->state().multiLine && i->state().editable);
    QCOMPARE(t->characterCount(), 11);
    QCOMPARE(t->text(0, 11), QString("abc\n中文行\nxyz"));
    QCOMPARE(t->cursorPosition(), 0);
    QCOMPARE(t->selectionCount(), 0);

    QTest::keyClick(&e, Qt::Key_Down);
    QTest::keyClick(&e, Qt::Key_Home);
    QCOMPARE(t->cursorPosition(), 4);
    int start = -1, end = -1;
    QCOMPARE(
        t->textAtOffset(t->cursorPosition(), QAccessible::LineBoundary, &start, &end).trimmed(),
        QString("中文行"));
    QCOMPARE(start, 4);

    // A double-byte character counts once, and the selection reads back as shown.
    QTest::keyClick(&e, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(t->cursorPosition(), 7);
    QCOMPARE(t->selectionCount(), 1);
    t->selection(0, &start, &end);
    QCOMPARE(start, 4);
    QCOMPARE(end, 7);
    QCOMPARE(t->text(start, end), QString("中文行"));

    // Setting a selection from outside selects those characters.
    t->setSelection(0, 5, 7);
    QCOMPARE(QString::fromStdString(lq::code_page().to_utf8(e.model().selected_text())),
             QString("文行"));
    QVERIFY(!t->characterRect(4).isEmpty());
    QCOMPARE(t->offsetAtPoint(t->characterRect(5).center()), 5);
  }

  void editorAnnouncesTheCaret() {
    lq::gui::EditorView e;
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.model().set_all_text("one\r\ntwo");
    e.setFocus();
    Events events;
    QTest::keyClick(&e, Qt::Key_Down);
    QVERIFY(Events::has(&e, QAccessible::TextCaretMoved));
  }

  void stoppedRunStaysInTheStatusBarAndIsAnnounced() {
    MainWindow w;
    QStringList files;
    for (int i = 0; i < 50; ++i) {
      const QString p = home_.filePath(QString("s%1.txt").arg(i));
      lq::test::write_file(p, QByteArray(2000, 'a') + "\n");
      files << p;
    }
    w.add_files(files);
    lq::gui::TControlForm_* p = w.ensure_panel("TControlForm_ucase");
    if (!p->chkEnable()->isChecked()) p->chkEnable()->click();
    connect(&w, &MainWindow::progressShown, &w,
            [&w](int) { w.findChild<QAction*>("N_stop1")->trigger(); });
    Events events;
    QVERIFY(lq::test::start_and_wait(w));
    auto* outcome = w.findChild<QLabel*>("Label_outcome1");
    QVERIFY(outcome);
    QVERIFY(outcome->isVisibleTo(&w));
    QVERIFY2(outcome->text().startsWith("已停止: 处理了 "), qPrintable(outcome->text()));
    QCOMPARE(name_of(outcome), outcome->text());
    QVERIFY(Events::has(outcome, QAccessible::NameChanged));
    QVERIFY(Events::has(outcome, QAccessible::Alert));
    // Nothing takes it away before the next run.
    QTest::qWait(50);
    QVERIFY(outcome->isVisibleTo(&w));
  }

  void finishedRunIsAnnouncedToo() {
    MainWindow w;
    const QString f = home_.filePath("done.txt");
    lq::test::write_file(f, "abc\n");
    w.add_files({f});
    lq::gui::TControlForm_* p = w.ensure_panel("TControlForm_ucase");
    if (!p->chkEnable()->isChecked()) p->chkEnable()->click();
    Events events;
    QVERIFY(lq::test::start_and_wait(w));
    auto* outcome = w.findChild<QLabel*>("Label_outcome1");
    QVERIFY2(outcome->text().contains("改动 1 个文件"), qPrintable(outcome->text()));
    QVERIFY(Events::has(outcome, QAccessible::Alert));
  }

  void tabReachesEveryKindOfControl() {
    MainWindow w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    lq::gui::TControlForm_* panel = w.ensure_panel("TControlForm_th");
    QVERIFY(panel);
    // The editor keeps Tab for its text, as Qt's own text editors do; the walk goes
    // round the rest of the window.
    auto* head = w.findChild<lq::gui::TTabControlExHead*>("TabHeader");
    while (!head->TabControl->all_pages().empty())
      head->TabControl->close_page(head->TabControl->all_pages().front());
    QWidget* start = w.findChild<QWidget*>("ListBox1");
    start->setFocus(Qt::TabFocusReason);
    QSet<QWidget*> reached;
    for (int i = 0; i < 500 && QApplication::focusWidget(); ++i) {
      reached.insert(QApplication::focusWidget());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList missed;
    for (const char* n :
         {"ListBox1", "Edit_max1", "Edit_fw_qj1", "Edit_line1", "CheckBox_fw_qz3", "Memo_gg1"}) {
      QWidget* c = w.findChild<QWidget*>(n);
      if (!c || !reached.contains(c)) missed << n;
    }
    if (!reached.contains(panel->chkEnable())) missed << "panel 启用";
    for (QWidget* c : panel->findChildren<QLineEdit*>())
      if (c->isVisibleTo(&w) && !reached.contains(c)) missed << c->objectName();
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(", ")));
  }

  // The scope modes are one choice: Tab stops on the chosen mode and on no other. A
  // mode's box chooses the mode when it gets the focus, so Shift+Tab from the box goes
  // back to its own, now chosen, button.
  void tabStopsOnTheChosenScopeMode() {
    MainWindow w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* box = w.findChild<QWidget*>("Edit_line1");
    auto* mode = w.findChild<QRadioButton*>("RadioButton_line1");
    QVERIFY(box && mode);
    box->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(mode->isChecked());
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), mode);
    // Not chosen: the previous mode's button is passed by.
    QTest::keyClick(mode, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(QApplication::focusWidget() != w.findChild<QRadioButton*>("RadioButton_fw_hj1"));
  }

  void altQSwitchesThePanelWithTheFocus() {
    MainWindow w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    lq::gui::TControlForm_* panel = w.ensure_panel("TControlForm_th");
    QVERIFY(panel);
    auto* edit = panel->findChild<QLineEdit*>("Edit_th1");
    QVERIFY(edit);
    edit->setFocus();
    const bool before = panel->chkEnable()->isChecked();
    QTest::keyClick(edit, Qt::Key_Q, Qt::AltModifier);
    QCOMPARE(panel->chkEnable()->isChecked(), !before);
    QTest::keyClick(edit, Qt::Key_Q, Qt::AltModifier);
    QCOMPARE(panel->chkEnable()->isChecked(), before);
  }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
