// Every window as a new user meets it: keys that reach exactly one command, menu entries
// that do something, controls a screen reader can name, captions that fit their controls.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTemporaryDir>
#include <QtTest>

#include "core/textsvc/message_catalogue.h"
#include "gui/editor/edit_commands.h"
#include "gui/editor/form_find.h"
#include "gui/panels/form_mod_out.h"
#include "gui/panels/form_th.h"
#include "gui/settings/form_dsk.h"
#include "gui/settings/form_help.h"
#include "gui/settings/form_option.h"
#include "gui/shell/about_box.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/preview_dialog.h"
#include "gui/shell/runs_dialog.h"
#include "gui/shell/select_path_dialog.h"
#include "gui/tools/java_escape_dialog.h"

using lq::gui::MainWindow;

namespace {

struct Binding {
  QKeySequence key;
  Qt::ShortcutContext context;
  QWidget* owner;  // the widget whose focus a widget-bound key needs
  QString name;
};

QString describe(const QObject* o, const QString& text) {
  return QString("%1 \"%2\"").arg(o->objectName(), text);
}

// Every key the window binds: its actions' shortcuts (menus, tool buttons, widgets) and its
// QShortcut objects.
QList<Binding> bindings(QWidget* window) {
  QList<Binding> out;
  QSet<QAction*> seen;
  auto add_action = [&](QAction* a, QWidget* owner) {
    if (seen.contains(a)) return;
    seen.insert(a);
    for (const QKeySequence& k : a->shortcuts())
      out << Binding{k, a->shortcutContext(), owner, describe(a, a->text())};
  };
  for (QAction* a : window->findChildren<QAction*>()) {
    const QList<QObject*> ws = a->associatedObjects();
    QWidget* owner = ws.isEmpty() ? nullptr : qobject_cast<QWidget*>(ws.first());
    add_action(a, owner);
  }
  for (QWidget* w : window->findChildren<QWidget*>())
    for (QAction* a : w->actions()) add_action(a, w);
  for (QShortcut* s : window->findChildren<QShortcut*>())
    for (const QKeySequence& k : s->keys())
      out << Binding{k, s->context(), qobject_cast<QWidget*>(s->parent()), describe(s, "")};
  return out;
}

bool window_wide(const Binding& b) {
  return b.context == Qt::WindowShortcut || b.context == Qt::ApplicationShortcut;
}

// Calls a protected member through a pointer to it, the one way C++ allows.
int receiver_count(const QObject* o, const char* signal) {
  struct Peek : QObject {
    static auto ptr() { return &Peek::receivers; }
  };
  return (o->*Peek::ptr())(signal);
}

// Captions wider or taller than their control show cut off.
QStringList clipped_captions(QWidget* root) {
  QStringList out;
  for (QWidget* c : root->findChildren<QWidget*>()) {
    if (!c->isVisibleTo(root)) continue;
    QString text;
    if (auto* l = qobject_cast<QLabel*>(c)) {
      if (l->wordWrap() || !l->pixmap().isNull()) continue;
      text = l->text();
    } else if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c) ||
               qobject_cast<QPushButton*>(c)) {
      text = static_cast<QAbstractButton*>(c)->text();
    } else {
      continue;
    }
    if (text.trimmed().isEmpty()) continue;
    QSize need = c->minimumSizeHint().expandedTo(c->sizeHint());
    // A push button's hint has a style minimum width; its caption needs only its own.
    if (qobject_cast<QPushButton*>(c))
      need.setWidth(c->fontMetrics().horizontalAdvance(QString(text).remove('&')) + 6);
    if (c->width() + 1 < need.width() || c->height() + 1 < need.height())
      out << QString("%1 \"%2\" %3x%4 < %5x%6")
                 .arg(c->objectName(), text)
                 .arg(c->width())
                 .arg(c->height())
                 .arg(need.width())
                 .arg(need.height());
  }
  return out;
}

// Controls the keyboard or mouse reaches that a screen reader cannot name.
QStringList unnamed_controls(QWidget* root) {
  QStringList out;
  for (QWidget* c : root->findChildren<QWidget*>()) {
    if (!c->isVisibleTo(root)) continue;
    const bool control = c->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(c);
    if (!control || c->inherits("QScrollBar")) continue;
    // A scroll area's viewport is named by the area itself.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(c->parentWidget());
        area && c == area->viewport())
      continue;
    // A spin box's typing field is part of the spin box, which a screen reader names.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(c->parentWidget());
        spin && c->inherits("QLineEdit"))
      c = spin;
    QAccessibleInterface* ai = QAccessible::queryAccessibleInterface(c);
    if (!ai || ai->text(QAccessible::Name).trimmed().isEmpty())
      out << QString("%1 (%2)").arg(c->objectName(), c->metaObject()->className());
  }
  return out;
}

void show_and_wait(QWidget* w) {
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w));
}

}  // namespace

class TestWindowAudit : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  lq::MessageCatalogue catalogue_;

 private slots:
  void initTestCase() {
    qputenv("LEXOQUILL_HOME", home_.path().toUtf8());
    lq::gui::set_msg_box_hook([](const QString&, const QString&, bool) { return false; });
  }

  // Qt fires neither of two commands bound to one key in one window; and a window-wide key
  // that the editor or the window's own key handling uses would never reach them.
  void everyKeyReachesOneCommand() {
    MainWindow w;
    w.show_all_panels();
    const QList<Binding> all = bindings(&w);
    QVERIFY(all.size() >= 8);
    QStringList clashes;
    for (int i = 0; i < all.size(); ++i)
      for (int j = i + 1; j < all.size(); ++j) {
        const Binding &a = all[i], &b = all[j];
        if (a.key != b.key) continue;
        if (window_wide(a) || window_wide(b) || a.owner == b.owner)
          clashes << a.key.toString() + ": " + a.name + " / " + b.name;
      }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));

    QList<QKeySequence> kept = {
        Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_V,
        Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
        Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_L, Qt::Key_F3,
        Qt::Key_Tab,          Qt::Key_Return,       Qt::Key_Escape};
    for (int d = 0; d <= 9; ++d) {
      kept << QKeySequence(Qt::CTRL | (Qt::Key_0 + d));
      kept << QKeySequence(Qt::CTRL | Qt::SHIFT | (Qt::Key_0 + d));
    }
    QStringList taken;
    for (const Binding& b : all)
      if (window_wide(b) && kept.contains(b.key)) taken << b.key.toString() + ": " + b.name;
    QVERIFY2(taken.isEmpty(), qPrintable(taken.join("; ")));
  }

  // Each entry and each Alt letter appears once in its menu, and every entry does something
  // when chosen; the entries that are there without an action are the known ones.
  void menuEntriesAreUniqueAndAct() {
    MainWindow w;
    const QStringList idle = {"N20", "N17", "N_addmark2", "N_markman1"};
    QStringList twice, dead;
    QList<QMenu*> menus;
    for (QAction* top : w.menuBar()->actions())
      if (top->menu()) menus << top->menu();
    for (int i = 0; i < menus.size(); ++i) {
      QMenu* m = menus[i];
      emit m->aboutToShow();  // menus that fill themselves when opened
      QSet<QString> captions;
      QSet<QKeySequence> letters;  // Alt+letter only cycles between entries that share it
      for (QAction* a : m->actions()) {
        if (a->isSeparator()) continue;
        if (a->menu()) {
          menus << a->menu();
          continue;
        }
        const QString caption = a->text().remove('&');
        if (captions.contains(caption)) twice << m->title() + " / " + caption;
        if (const QKeySequence letter = QKeySequence::mnemonic(a->text()); !letter.isEmpty()) {
          if (letters.contains(letter)) twice << m->title() + " / " + a->text();
          letters.insert(letter);
        }
        captions.insert(caption);
        if (idle.contains(a->objectName())) continue;
        // Each menu showing the entry listens to it itself.
        int menus_showing = 0;
        for (QObject* o : a->associatedObjects())
          menus_showing += qobject_cast<QMenu*>(o) != nullptr;
        if (receiver_count(a, SIGNAL(triggered(bool))) + receiver_count(a, SIGNAL(toggled(bool))) <=
            menus_showing)
          dead << m->title() + " / " + caption;
      }
    }
    QVERIFY(menus.size() >= 8);
    QVERIFY2(twice.isEmpty(), qPrintable(twice.join(", ")));
    QVERIFY2(dead.isEmpty(), qPrintable(dead.join(", ")));
  }

  // The main window at its first size, with every panel up, and each further window.
  void everyWindowNamesItsControlsAndFitsItsCaptions() {
    MainWindow w;
    show_and_wait(&w);  // showing brings back the last run's panels, so these come after
    w.show_all_panels();
    QTest::qWait(50);
    QStringList problems = unnamed_controls(&w) + clipped_captions(&w);
    // LQ_AUDIT_DIR=dir keeps a picture of every window looked at.
    const QString pictures = qEnvironmentVariable("LQ_AUDIT_DIR");
    auto picture = [&](QWidget* win, const QString& suffix) {
      if (!pictures.isEmpty())
        win->grab().save(pictures + "/" + win->objectName() + suffix + ".png");
    };
    picture(&w, "");

    lq::gui::Tform_option options(catalogue_, {}, {});
    lq::gui::Tform_help help(catalogue_);
    std::string long_text;  // more than the window shows, both ways
    for (int i = 0; i < 60; ++i) long_text += std::string(120, 'a' + i % 26) + "\n";
    help.set_text(long_text);
    lq::gui::Tform_dsk layouts(catalogue_);
    lq::gui::Tex_form_java java;
    lq::gui::AboutBox about;
    lq::gui::SelectPathDialog select_path;
    lq::gui::PreviewDialog preview({});
    lq::gui::RunsDialog runs;
    w.edit_commands()->show_quick_find();
    QList<QWidget*> windows = {&options, &help,    &layouts,     &java,
                               &about,   &preview, &select_path, &runs};
    windows << w.edit_commands()->quick_find();
    windows << lq::gui::Tform_th::open_new();
    windows << lq::gui::Tform_mod_out::show_window();
    for (QWidget* win : windows) {
      QVERIFY(win);
      show_and_wait(win);
      auto* tabs = win->findChild<QTabWidget*>();
      for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
        if (tabs) tabs->setCurrentIndex(page);
        picture(win, tabs ? QString("-%1").arg(page + 1) : QString());
        for (const QString& p : unnamed_controls(win) + clipped_captions(win))
          problems << win->objectName() + ": " + p;
      }
    }
    // Text beyond the help window's edges can be scrolled to.
    auto* memo = help.findChild<QAbstractScrollArea*>();
    QVERIFY(memo->verticalScrollBar()->isVisible() && memo->horizontalScrollBar()->isVisible());
    QVERIFY(memo->verticalScrollBar()->maximum() > 0);
    for (QWidget* win : {static_cast<QWidget*>(lq::gui::Tform_th::tracked()),
                         static_cast<QWidget*>(lq::gui::Tform_mod_out::instance())})
      if (win) win->close();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
  }
};

QTEST_MAIN(TestWindowAudit)
#include "tst_window_audit.moc"
