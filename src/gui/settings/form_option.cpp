#include "gui/settings/form_option.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <exception>

#include "core/textsvc/file_services.h"
#include "gui/settings/journal_page.h"
#include "gui/settings/settings_bridge.h"
#include "gui/shell/form_texts.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

namespace {

Tform_option::FontDialog& font_dialog() {
  static Tform_option::FontDialog d;
  return d;
}
Tform_option::ColorDialog& color_dialog() {
  static Tform_option::ColorDialog d;
  return d;
}

std::optional<QFont> ask_font(const QFont& start, QWidget* owner) {
  if (font_dialog()) return font_dialog()(start, owner);
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, start, owner, "字体");
  return ok ? std::optional<QFont>(f) : std::nullopt;
}

std::optional<QColor> ask_color(const QColor& start, QWidget* owner) {
  if (color_dialog()) return color_dialog()(start, owner);
  const QColor c = QColorDialog::getColor(start, owner, "颜色");
  return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
}

const char* const kExplanation =
    "高级设置说明\n"
    "\n"
    "[1]“默认处理的文件”\n"
    "在要操作的文件“加入一个目录”时，系统将自动加入指定目录下这些后缀\n"
    "名的文件，而不是加入所有的文件。\n"
    "[2]“区分大小写”\n"
    "在操作中是否区分大小写。（默认为区分）";

QString lines_to_text(const LineList& lines) {
  QStringList out;
  for (const std::string& l : lines) out << from_gbk(l);
  return out.join('\n');
}

}  // namespace

ClickPanel::ClickPanel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setLineWidth(1);
  setAlignment(Qt::AlignCenter);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  setMinimumHeight(44);
  setAccessibleName(caption);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

void ClickPanel::keyPressEvent(QKeyEvent* e) {
  // Reachable from the keyboard like a button.
  if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    emit clicked();
    return;
  }
  QLabel::keyPressEvent(e);
}

void Tform_option::set_font_dialog(FontDialog dialog) {
  font_dialog() = std::move(dialog);
}
void Tform_option::set_color_dialog(ColorDialog dialog) {
  color_dialog() = std::move(dialog);
}

Tform_option::Tform_option(const MessageCatalogue& catalogue, const FontSpec& edit_font,
                           const FontSpec& form_font, QWidget* parent)
    : QDialog(parent), edit_font_(edit_font), form_font_(form_font) {
  setObjectName("Tform_option");
  setWindowTitle("高级设置");
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(10, 10, 10, 10);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->setAccessibleName("高级设置");
  pages_->addTab(build_common_page(), "常用");
  pages_->addTab(build_editor_page(edit_font), "编辑器设定");
  pages_->addTab(build_form_page(form_font), "窗体");
  journal_ = new JournalPage;
  pages_->addTab(journal_, "处理记录");
  col->addWidget(pages_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* ok = new QPushButton("确定", this);
  ok->setObjectName("Button_ok1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("取消", this);
  cancel->setObjectName("Button_cancel1");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  col->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(480, 430)));

  FormTexts texts(this);
  catalogue_text::apply_form(texts, catalogue);

  const std::string ext_path = ext_file_path();
  if (!file_exists(ext_path)) {
    try {
      save_ext_file(ext_path, builtin_ext_list());
    } catch (const std::exception&) {
      // Shown from the built-in list below; the next close tries to save again.
    }
  }
  ext_->setPlainText(lines_to_text(read_ext_file(ext_path).value_or(builtin_ext_list())));
}

QWidget* Tform_option::build_common_page() {
  auto* page = new QWidget;
  page->setObjectName("TabSheet1");
  auto* col = new QVBoxLayout(page);
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName("Memo1");
  memo->setReadOnly(true);
  memo->setPlainText(QString::fromUtf8(kExplanation));
  memo->setFrameShape(QFrame::NoFrame);
  memo->setBackgroundRole(QPalette::Window);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setFocusPolicy(Qt::NoFocus);
  memo->setAccessibleName("高级设置说明");
  // Room for all seven lines, whatever the font.
  const int line = memo->fontMetrics().lineSpacing();
  memo->setFixedHeight(line * 7 + 2 * static_cast<int>(memo->document()->documentMargin()) + 8);
  col->addWidget(memo);

  rm_ = new QCheckBox("加入文件管理器右键菜单中", page);
  rm_->setObjectName("CheckBox_rm1");
  col->addWidget(rm_);
  case_ = new QCheckBox("区分大小写", page);
  case_->setObjectName("CheckBox_case1");
  col->addWidget(case_);

  // How the batch reads and writes each file.
  auto* files = new QFormLayout;
  encoding_ = new QComboBox(page);
  encoding_->setObjectName("ComboBox_encoding1");
  encoding_->addItems({"自动", "GBK", "UTF-8"});
  encoding_->setToolTip(
      "自动: 带 UTF-8 标记 (BOM) 的文件按 UTF-8, 不是有效 UTF-8 的按 GBK,\n"
      "其余由字符集检测决定; 也可以指定所有文件都按 GBK 或 UTF-8 处理");
  files->addRow("字符编码(&E):", encoding_);
  eol_ = new QComboBox(page);
  eol_->setObjectName("ComboBox_eol1");
  eol_->addItems({"保持原样", "CR LF", "LF"});
  eol_->setToolTip("保持原样: 每一行写回时用它原来的行尾");
  files->addRow("行尾(&L):", eol_);
  col->addLayout(files);
  binary_ = new QCheckBox("处理二进制文件", page);
  binary_->setObjectName("CheckBox_binary1");
  binary_->setToolTip("不勾选时, 开头 8 KB 内含有 NUL 字节的文件不处理, 并在结果中列出");
  col->addWidget(binary_);

  auto* group = new QGroupBox("默认处理的文件[后缀名]", page);
  group->setObjectName("GroupBox1");
  auto* gcol = new QVBoxLayout(group);
  ext_ = new QPlainTextEdit(group);
  ext_->setObjectName("Memo_ext1");
  ext_->setAccessibleName("默认处理的文件[后缀名]");
  ext_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ext_->setLineWrapMode(QPlainTextEdit::NoWrap);
  ext_->setTabChangesFocus(true);
  gcol->addWidget(ext_);
  col->addWidget(group, 1);
  return page;
}

QWidget* Tform_option::build_editor_page(const FontSpec& edit_font) {
  auto* page = new QWidget;
  page->setObjectName("TabSheet2");
  auto* col = new QVBoxLayout(page);
  alternation_ = new QCheckBox("启用行间隔颜色", page);
  alternation_->setObjectName("CheckBox_falternation_paint1");
  col->addWidget(alternation_);
  color_panel_ = new ClickPanel("[选择间隔行颜色]", page);
  color_panel_->setObjectName("Panel_color1");
  connect(color_panel_, &ClickPanel::clicked, this, &Tform_option::choose_color);
  col->addWidget(color_panel_);
  col->addSpacing(8);
  edit_font_panel_ = new ClickPanel("[选择编辑器字体]", page);
  edit_font_panel_->setObjectName("Panel_edit_font");
  connect(edit_font_panel_, &ClickPanel::clicked, this, &Tform_option::choose_editor_font);
  col->addWidget(edit_font_panel_);
  col->addStretch(1);
  show_font(edit_font_panel_, edit_font, 11);
  set_color(color_);
  return page;
}

QWidget* Tform_option::build_form_page(const FontSpec& form_font) {
  auto* page = new QWidget;
  page->setObjectName("TabSheet3");
  auto* col = new QVBoxLayout(page);
  form_font_panel_ = new ClickPanel("[选择主窗体字体]", page);
  form_font_panel_->setObjectName("Panel_form_font");
  connect(form_font_panel_, &ClickPanel::clicked, this, &Tform_option::choose_window_font);
  col->addWidget(form_font_panel_);
  col->addStretch(1);
  show_font(form_font_panel_, form_font, 9);
  return page;
}

void Tform_option::show_font(ClickPanel* panel, const FontSpec& spec, int default_size) {
  panel->setFont(font_from_spec(spec, default_size));
  panel->setToolTip(QString("%1, %2").arg(from_gbk(spec.name)).arg(panel->font().pointSize()));
}

void Tform_option::set_color(std::int32_t stored) {
  color_ = stored;
  QPalette pal = color_panel_->palette();
  const QColor c = color_from_stored(stored);
  pal.setColor(QPalette::Window, c);
  // The caption stays readable on dark and light colours.
  pal.setColor(QPalette::WindowText, c.lightness() < 128 ? Qt::white : Qt::black);
  color_panel_->setPalette(pal);
}

LineList Tform_option::ext_lines() const {
  QStringList lines = ext_->toPlainText().split('\n');
  // A final line break ends the last line; it does not start another one.
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  LineList out;
  for (const QString& l : lines) out.push_back(to_gbk(l));
  return out;
}

void Tform_option::choose_color() {
  if (std::optional<QColor> c = ask_color(color_from_stored(color_), this))
    set_color(stored_from_color(*c));
}

void Tform_option::choose_editor_font() {
  if (std::optional<QFont> f = ask_font(edit_font_panel_->font(), this)) {
    edit_font_ = spec_from_font(*f, edit_font_);
    show_font(edit_font_panel_, edit_font_, 11);
    emit editFontChosen(edit_font_);
  }
}

void Tform_option::choose_window_font() {
  if (std::optional<QFont> f = ask_font(form_font_panel_->font(), this)) {
    form_font_ = spec_from_font(*f, form_font_);
    show_font(form_font_panel_, form_font_, 9);
    emit formFontChosen(form_font_);
  }
}

void Tform_option::done(int result) {
  try {
    save_ext_file(ext_file_path(), ext_lines());
  } catch (const std::exception&) {
    // The list stays as it was on disk; nothing else depends on this save.
  }
  QDialog::done(result);
}

}  // namespace lq::gui
