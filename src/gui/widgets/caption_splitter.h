// A panel with a caption bar; dragging the bar up or down resizes the panel itself at the
// expense of the neighbour above it, like a splitter that carries a title.
#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace lq::gui {

class CaptionSplitter : public QWidget {
  Q_OBJECT
 public:
  explicit CaptionSplitter(const QString& caption, QWidget* parent = nullptr);

  // The widget shown under the caption bar.
  void setBody(QWidget* body);
  QWidget* captionBar() const { return bar_; }
  // Extra widgets on the right of the caption bar (for example a close button).
  void addBarWidget(QWidget* w);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* bar_;
  QLabel* caption_;
  QVBoxLayout* layout_;
  int drag_y_ = -1;
  int start_h_ = 0;
};

}  // namespace lq::gui
