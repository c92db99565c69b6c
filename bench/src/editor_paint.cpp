// Paint time per frame of the editor widget on a large file, against the least a view can
// do for the same screen: decode the visible rows and draw their text with QPainter. Also
// the time from opening the file to its first painted screen, and a keystroke with the
// repaint it causes.
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/editor/editor_model.h"
#include "core/encoding/code_page.h"
#include "gui/editor/qoz_edit.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Processor time of this thread in milliseconds: painting runs on one thread, and on a
// shared machine its processor time varies far less than the wall time.
double thread_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// GBK text: lines of Latin and Chinese words, some long enough to pass the right edge.
void make_file(const std::string& path, size_t bytes) {
  const char* words[] = {"alpha",
                         "beta",
                         "\xD6\xD0\xCE\xC4",
                         "gamma",
                         "\xB2\xE2\xCA\xD4",
                         "delta\t",
                         "xyz",
                         "\xBA\xBA\xD7\xD6\xB1\xE0\xBC\xAD"};
  std::mt19937 rng(1);
  std::string buf;
  std::ofstream out(path, std::ios::binary);
  size_t written = 0;
  while (written < bytes) {
    buf.clear();
    while (buf.size() < (1 << 20)) {
      const int n = static_cast<int>(rng() % 40);
      for (int i = 0; i < n; ++i) {
        if (i) buf.push_back(' ');
        buf += words[rng() % 8];
      }
      buf += "\r\n";
    }
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    written += buf.size();
  }
}

// The reference view: the visible rows decoded and drawn, nothing else.
class PlainRows : public QWidget {
 public:
  PlainRows(const lq::EditorModel& m, int line_height) : m_(m), lh_(line_height) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  int top = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int ascent = QFontMetrics(font()).ascent();
    const int last = std::min(m_.row_count() - 1, top + height() / lh_);
    for (int i = top; i <= last; ++i) {
      std::string_view row = m_.row_view(i);
      row = row.substr(0, std::min<size_t>(row.size(), 400));
      p.drawText(0, (i - top) * lh_ + ascent, QString::fromStdString(lq::code_page().to_utf8(row)));
    }
  }

 private:
  const lq::EditorModel& m_;
  int lh_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  const std::string dir = argc > 2 ? argv[2] : "/tmp";
  const std::string path =
      dir + "/lq_paint_bench_" + std::to_string(QCoreApplication::applicationPid()) + ".txt";
  make_file(path, mb << 20);

  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(14);
  const QSize size(1000, 700);

  // Opening: load, then the first screen painted.
  lq::gui::EditorView ed;
  ed.setFont(font);
  ed.set_scroll_bars(true, true);
  ed.set_alternation_paint(true);
  ed.resize(size);
  // A frame is the widget painted into a pixmap of its size: what a repaint draws, without
  // depending on whether the offscreen window counts as exposed.
  QPixmap frame(size);
  auto t = Clock::now();
  if (!ed.load_file(path)) {
    std::fprintf(stderr, "load failed\n");
    return 1;
  }
  ed.render(&frame, QPoint(), QRegion(ed.client_rect()), QWidget::DrawWindowBackground);
  const double open_ms = ms_since(t);
  std::remove(path.c_str());
  lq::EditorModel& m = ed.model();

  PlainRows ref(m, ed.line_height());
  ref.setFont(font);
  ref.resize(ed.client_rect().size());
  QPixmap ref_frame(ref.size());

  std::mt19937 rng(7);
  const int frames = 200;
  std::vector<int> tops;
  for (int i = 0; i < frames; ++i) tops.push_back(static_cast<int>(rng() % m.row_count()));
  // Both views paint the same rows frame by frame, alternately, so that whatever else the
  // machine does falls on both alike.
  std::vector<double> ours, plain, selected;
  for (int round = 0; round < 2; ++round) {  // the first round warms the glyph caches
    ours.clear();
    plain.clear();
    for (int top : tops) {
      m.set_top_line(top);
      double t0 = thread_ms();
      ed.render(&frame, QPoint(), QRegion(ed.client_rect()), QWidget::DrawWindowBackground);
      ours.push_back(thread_ms() - t0);
      ref.top = top;
      t0 = thread_ms();
      ref.render(&ref_frame);
      plain.push_back(thread_ms() - t0);
    }
  }
  m.select_all();
  for (int top : tops) {
    m.set_top_line(top);
    const double t0 = thread_ms();
    ed.render(&frame, QPoint(), QRegion(ed.client_rect()), QWidget::DrawWindowBackground);
    selected.push_back(thread_ms() - t0);
  }
  m.collapse_selection();

  // A keystroke in the middle of the file and the repaint it causes.
  m.set_top_line(m.row_count() / 2);
  m.set_caret_row(3);
  m.set_caret_col(5);
  std::vector<double> keys;
  for (int i = 0; i < 100; ++i) {
    const double t0 = thread_ms();
    m.type_char(static_cast<unsigned char>('a' + i % 26), false);
    ed.render(&frame, QPoint(), QRegion(ed.client_rect()), QWidget::DrawWindowBackground);
    keys.push_back(thread_ms() - t0);
  }

  std::printf("file: %zu MB, %d rows, view %dx%d, %d rows on screen\n", mb, m.row_count(),
              size.width(), size.height(), ed.client_rect().height() / ed.line_height());
  std::printf("open to first screen: %.0f ms\n", open_ms);
  std::printf(
      "paint per frame (median processor time of %d frames): editor %.3f ms, plain rows %.3f "
      "ms, editor with everything selected %.3f ms\n",
      frames, median(ours), median(plain), median(selected));
  std::printf("keystroke with repaint: %.3f ms\n", median(keys));
  std::printf(
      "RESULT paint_ratio=%.2f paint_ms=%.3f ref_paint_ms=%.3f selected_paint_ms=%.3f "
      "key_paint_ms=%.3f open_ms=%.0f\n",
      median(ours) / median(plain), median(ours), median(plain), median(selected), median(keys),
      open_ms);
  return 0;
}
