// A vertical splitter whose handles are caption bars: each handle shows the label of the
// pane below it ("模板:", "输出:") and is dragged like any splitter handle.
#pragma once

#include <QSplitter>
#include <QSplitterHandle>
#include <QStringList>

namespace lq::gui {

class LabelSplitter : public QSplitter {
  Q_OBJECT
 public:
  // labels[i] is the caption of the handle above pane i + 1.
  LabelSplitter(const QStringList& labels, QWidget* parent = nullptr);

 protected:
  QSplitterHandle* createHandle() override;

 private:
  QStringList labels_;
};

class LabelSplitterHandle : public QSplitterHandle {
  Q_OBJECT
 public:
  LabelSplitterHandle(const QString& label, QSplitter* parent);
  const QString& label() const { return label_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString label_;
};

}  // namespace lq::gui
