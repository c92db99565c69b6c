// What the window tests share: reading and writing their fixture files, and a run from
// the Start action to its end.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QFile>
#include <QSignalSpy>
#include <QString>
#include <QtTest>

#include "gui/shell/main_window.h"

namespace lq::test {

// A file's bytes, or "<missing>" so that a file that is not there never equals an empty one.
inline QByteArray read_file(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll();
}

inline void write_file(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
  QCOMPARE(f.write(bytes), bytes.size());
}

// Settings in `home` that make every run write each line with CR LF, for tests about what
// operations and windows do rather than about keeping line ends.
inline void write_lines_with_crlf(const QString& home) {
  write_file(home + "/sys1.ini", "[file]\r\neol=crlf\r\n");
}

// Starts the run and waits for its end; false when it did not start or did not end.
inline bool start_and_wait(lq::gui::MainWindow& w) {
  QSignalSpy done(&w, &lq::gui::MainWindow::runFinished);
  w.findChild<QAction*>("N_start1")->trigger();
  if (!w.running()) return false;
  return done.wait(20000);
}

}  // namespace lq::test
