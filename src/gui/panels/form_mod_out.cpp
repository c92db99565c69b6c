#include "gui/panels/form_mod_out.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QVBoxLayout>

#include "core/operations/template_expand.h"
#include "gui/editor/qoz_edit.h"
#include "gui/settings/qoz_position.h"
#include "gui/widgets/image_buttons.h"
#include "gui/widgets/label_splitter.h"

namespace lq::gui {
namespace {

QPointer<Tform_mod_out>& the_window() {
  static QPointer<Tform_mod_out> w;
  return w;
}

EditorView* make_memo(const char* name, const QString& accessible, QWidget* parent) {
  auto* m = new EditorView(parent);
  m->setObjectName(name);
  m->setAccessibleName(accessible);
  m->set_scroll_bars(true, true);
  return m;
}

}  // namespace

Tform_mod_out::Tform_mod_out(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("form_mod_out");
  setWindowTitle("模板功能/宏替换");
  setAttribute(Qt::WA_DeleteOnClose);
  // A tool window left open must not keep the program running once the main window closes.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(550, 421);

  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);

  auto* bar = new QWidget(this);
  bar->setObjectName("Panel1");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(4, 3, 4, 3);
  row->setSpacing(4);
  auto* run = new ImageButton(style()->standardIcon(QStyle::SP_MediaPlay), QString(),
                              "开始执行宏替换功能", bar);
  run->setObjectName("SpeedButton1");
  connect(run, &QToolButton::clicked, this, &Tform_mod_out::expand);
  auto* ex1 = new ImageButton(QIcon(), "例子1", "载入例子1", bar);
  ex1->setObjectName("SpeedButton2");
  connect(ex1, &QToolButton::clicked, this, &Tform_mod_out::load_example_one);
  auto* ex2 = new ImageButton(QIcon(), "例子2", "载入例子2", bar);
  ex2->setObjectName("SpeedButton3");
  connect(ex2, &QToolButton::clicked, this, &Tform_mod_out::load_example_two);
  auto* params = new QLabel("参数:", bar);
  params->setObjectName("Label1");
  row->addWidget(run);
  row->addWidget(ex1);
  row->addWidget(ex2);
  row->addSpacing(12);
  row->addWidget(params);
  row->addStretch(1);
  col->addWidget(bar);

  auto* split = new LabelSplitter({"模板:", "输出:"}, this);
  split->setObjectName("Splitter1");
  memo1_ = make_memo("memo1", "参数", split);
  memo2_ = make_memo("memo2", "模板", split);
  memo3_ = make_memo("memo3", "输出", split);
  params->setBuddy(memo1_);
  split->addWidget(memo1_);
  split->addWidget(memo2_);
  split->addWidget(memo3_);
  split->setSizes({110, 110, 150});
  col->addWidget(split, 1);
  // The window comes back where it was last closed.
  (new TQOZPosition(this, "Tform_mod_out"))->window_built();
}

Tform_mod_out::~Tform_mod_out() = default;

Tform_mod_out* Tform_mod_out::show_window() {
  if (!the_window()) the_window() = new Tform_mod_out;
  Tform_mod_out* w = the_window();
  if (w->isMinimized())
    w->showNormal();
  else
    w->show();
  w->raise();
  w->activateWindow();
  w->memo1_->setFocus();
  return w;
}

Tform_mod_out* Tform_mod_out::instance() {
  return the_window().data();
}

void Tform_mod_out::expand() {
  const std::string out =
      expand_template_text(memo1_->model().get_all_text(), memo2_->model().get_all_text());
  memo3_->model().set_all_text(out);
  memo3_->update();
  memo3_->refresh_scrollbars();
}

void Tform_mod_out::load_example(int n) {
  const TemplateExample ex = template_example(n);
  memo1_->model().set_all_text(ex.params);
  memo2_->model().set_all_text(ex.tmpl);
  for (EditorView* m : {memo1_, memo2_}) {
    m->update();
    m->refresh_scrollbars();
  }
}

void Tform_mod_out::load_example_one() {
  load_example(1);
}

void Tform_mod_out::load_example_two() {
  load_example(2);
}

}  // namespace lq::gui
