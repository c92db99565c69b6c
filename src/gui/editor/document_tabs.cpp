#include "gui/editor/document_tabs.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "core/editor/editor_model.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

namespace {

const QString kInfo = QStringLiteral("Info");
const char* const kUntitled = "新文档";

std::string file_name_part(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_file(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string lower_ascii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

DocumentTabs::DocumentTabs(QWidget* parent) : QWidget(parent) {
  setObjectName("Panel_tabs1");
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  head_ = new TTabControlExHead(this);
  head_->setFixedHeight(23);
  head_->PageTitleWidth = 99;
  head_->TitleStartLeft = 0;
  head_->CaptionLeft = 20;
  head_->CaptionTop = 5;
  QFont hf(QStringLiteral("宋体"));
  hf.setPixelSize(12);
  head_->setFont(hf);
  page_control_ = new TTabControlEx(this);
  page_control_->Head = head_;
  head_->TabControl = page_control_;
  col->addWidget(head_);
  col->addWidget(page_control_, 1);
  connect(page_control_, &TTabControlEx::activePageChanged, this, &DocumentTabs::formatChanged);
  alternation_color_ = palette().color(QPalette::Button);
  editor_font_ = QFont(QStringLiteral("宋体"));
  editor_font_.setPixelSize(14);

  head_menu_ = new QMenu(head_);
  QAction* close = head_menu_->addAction(QString::fromUtf8("关闭当前页"));
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
  // The window's keys: Ctrl+F4 and Ctrl+Tab act wherever the focus is in it.
  close->setShortcutContext(Qt::WindowShortcut);
  addAction(close);
  connect(close, &QAction::triggered, this, &DocumentTabs::close_active);
  head_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(head_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { head_menu_->popup(head_->mapToGlobal(p)); });

  auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  next->setContext(Qt::WindowShortcut);
  connect(next, &QShortcut::activated, this, &DocumentTabs::next_page1);
  auto* prev = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  prev->setContext(Qt::WindowShortcut);
  connect(prev, &QShortcut::activated, this, &DocumentTabs::prev_page1);
  auto* prev2 = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
  prev2->setContext(Qt::WindowShortcut);
  connect(prev2, &QShortcut::activated, this, &DocumentTabs::prev_page1);

  save_dialog_ = [](QWidget* owner) { return path_from_q(QFileDialog::getSaveFileName(owner)); };
}

TFilePage1* DocumentTabs::active_page1() const {
  if (page_control_->pages1().empty()) return nullptr;
  return qobject_cast<TFilePage1*>(page_control_->ActivePage());
}

tqozedit1* DocumentTabs::active_editor() const {
  TFilePage1* page = active_page1();
  return page ? page->page_editor1 : nullptr;
}

TFilePage1* DocumentTabs::new_page1() {
  auto* page = new TFilePage1(page_control_);
  tqozedit1* ed = page->page_editor1;
  ed->setFont(editor_font_);
  ed->set_alternation_paint(alternation_);
  ed->set_alternation_paint_color(alternation_color_);
  if (editor_menu_) ed->set_context_menu(editor_menu_);
  connect(ed, qOverload<>(&tqozedit1::OnChange), this, &DocumentTabs::memo1Change);
  connect(ed, &tqozedit1::OnClick, this, &DocumentTabs::reload_check1);
  connect(ed, &tqozedit1::OnKeyDown, this, &DocumentTabs::editorKeyDown);
  connect(ed, &tqozedit1::formatChanged, this, [this, ed] {
    if (ed == active_editor()) emit formatChanged();
  });
  page_control_->SetActivePage(page);
  return page;
}

void DocumentTabs::new_document() {
  TFilePage1* page = new_page1();
  page->untitled_name1 = code_page().from_utf8(kUntitled);
  page->set_caption(QString::fromUtf8(kUntitled));
  page->page_editor1->setFocus();
}

TFilePage1* DocumentTabs::find_page1(const std::string& path) const {
  const std::string want = lower_ascii(path);
  for (QObject* o : page_control_->children()) {
    auto* page = qobject_cast<TFilePage1*>(o);
    if (page && !page->closing1() && lower_ascii(page->file_path1) == want) return page;
  }
  return nullptr;
}

bool DocumentTabs::open_in_tab1(const std::string& path) {
  current_file_ = path;
  const QString failed = from_utf8(msg::kCannotOpen.default_utf8);
  try {
    if (TFilePage1* page = find_page1(path)) {
      page_control_->SetActivePage(page);
    } else if (is_file(path)) {
      TFilePage1* page = new_page1();
      if (!page->page_editor1->load_file1(path)) {
        msg_box1(failed, false, this, kInfo);
        return false;
      }
      page->set_caption(path_to_q(file_name_part(path)));
      page->file_time_saved1 = file1::file_time1(path);
      page->file_path1 = path;
    }
    head_->update();
    return true;
  } catch (...) {
    msg_box1(failed, false, this, kInfo);
    return false;
  }
}

void DocumentTabs::save_page1(TFilePage1* page) {
  if (!page) return;
  try {
    if (!is_file(page->file_path1)) {
      const std::string chosen = save_dialog_ ? save_dialog_(this) : std::string();
      if (chosen.empty()) return;
      page->file_path1 = chosen;
    }
    page->page_editor1->model().save_file1(page->file_path1);
    page->set_caption(path_to_q(file_name_part(page->file_path1)));
    current_file_ = page->file_path1;
    page->file_time_saved1 = file1::file_time1(current_file_);
  } catch (...) {
    msg_box1(QStringLiteral("error!"), false, this, kInfo);
  }
}

void DocumentTabs::save_all() {
  for (QObject* o : page_control_->children())
    if (auto* page = qobject_cast<TFilePage1*>(o)) save_page1(page);
}

void DocumentTabs::close_active() {
  page_control_->close_page1(page_control_->ActivePage());
  head_->update();
}

void DocumentTabs::step_page(int delta) {
  const auto& pages = page_control_->refresh_pages1();
  if (pages.empty()) return;
  const auto it = std::find(pages.begin(), pages.end(), page_control_->ActivePage());
  const int n = static_cast<int>(pages.size());
  int i = it == pages.end() ? (delta > 0 ? -1 : 0) : static_cast<int>(it - pages.begin());
  i = ((i + delta) % n + n) % n;
  page_control_->SetActivePage(pages[static_cast<size_t>(i)]);
  if (auto* page = qobject_cast<TFilePage1*>(pages[static_cast<size_t>(i)]))
    page->page_editor1->setFocus();
}

void DocumentTabs::next_page1() {
  step_page(1);
}

void DocumentTabs::prev_page1() {
  step_page(-1);
}

void DocumentTabs::memo1Change() {
  TFilePage1* page = active_page1();
  if (!page) return;
  const QString trimmed = from_gbk(page->file_path1).trimmed();
  const std::string& base = trimmed.isEmpty() ? page->untitled_name1 : page->file_path1;
  const QString name =
      trimmed.isEmpty() ? from_gbk(file_name_part(base)) : path_to_q(file_name_part(base));
  page->set_caption(name + QLatin1Char('*'));
}

void DocumentTabs::reload_check1() {
  TFilePage1* page = active_page1();
  if (!page) return;
  current_file_ = page->file_path1;
  const double saved = page->file_time_saved1;
  const double now = file1::file_time1(current_file_);
  if (!current_file_.empty() && now != saved) {
    if (msg_box1(from_utf8(msg::kReloadChanged.default_utf8), true, window(), kInfo))
      page->page_editor1->load_file1(current_file_);
  }
  page->file_time_saved1 = now;
}

void DocumentTabs::convert_active1(const CodePage& target) {
  tqozedit1* ed = active_editor();
  if (!ed) return;
  const PageConversion found = ed->model().convert_page1(target);
  ed->update_scrollbars1();
  ed->update_text();
  if (found.ok()) return;
  // A long list would not fit the box: the first ones name the trouble well enough.
  constexpr size_t kShown = 30;
  auto list = [&](const std::vector<std::string>& items, auto shown) {
    QStringList parts;
    for (size_t i = 0; i < items.size() && i < kShown; ++i) parts << shown(items[i]);
    if (items.size() > kShown) parts << QStringLiteral("…");
    return parts.join(QLatin1Char(' '));
  };
  const QString to = QString::fromUtf8(target.name());
  const QString own = QString::fromUtf8(ed->model().page().name());
  QString text;
  if (!found.undecodable.empty()) {
    text = QString::fromUtf8("不能转换为 %1: 以下字节在 %2 中不是字符: %3")
               .arg(to, own, list(found.undecodable, [](const std::string& b) {
                      return QString::fromLatin1(QByteArray::fromStdString(b).toHex(' ').toUpper());
                    }));
  } else {
    text = QString::fromUtf8("不能转换为 %1: 以下字符在 %1 中没有: %2")
               .arg(to, list(found.missing,
                             [](const std::string& c) { return QString::fromStdString(c); }));
  }
  msg_box1(text, false, window(), kInfo);
}

void DocumentTabs::set_editor_menu(QMenu* menu) {
  editor_menu_ = menu;
  for (QObject* o : page_control_->children())
    if (auto* page = qobject_cast<TFilePage1*>(o)) page->page_editor1->set_context_menu(menu);
}

void DocumentTabs::set_alternation(bool on, const QColor& color) {
  alternation_ = on;
  alternation_color_ = color;
  for (QObject* o : page_control_->children()) {
    if (auto* page = qobject_cast<TFilePage1*>(o)) {
      page->page_editor1->set_alternation_paint(on);
      page->page_editor1->set_alternation_paint_color(color);
    }
  }
}

}  // namespace lq::gui
