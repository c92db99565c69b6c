#include "gui/editor/document_tabs.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QShortcut>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "core/batch/write_back.h"
#include "core/editor/editor_model.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

namespace {

const char* const kUntitled = "新文档";

std::string file_name_part(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_file(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// A system message (file names are file-system bytes, UTF-8 here) for a message box.
QString system_text(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString s = utf8(QByteArray::fromStdString(bytes));
  return utf8.hasError() ? from_gbk(bytes) : s;
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
  connect(next, &QShortcut::activated, this, &DocumentTabs::next_page);
  auto* prev = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  prev->setContext(Qt::WindowShortcut);
  connect(prev, &QShortcut::activated, this, &DocumentTabs::prev_page);
  auto* prev2 = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
  prev2->setContext(Qt::WindowShortcut);
  connect(prev2, &QShortcut::activated, this, &DocumentTabs::prev_page);

  save_dialog_ = [](QWidget* owner) { return path_from_q(QFileDialog::getSaveFileName(owner)); };
}

FilePage* DocumentTabs::active_page() const {
  if (page_control_->all_pages().empty()) return nullptr;
  return qobject_cast<FilePage*>(page_control_->ActivePage());
}

EditorView* DocumentTabs::active_editor() const {
  FilePage* page = active_page();
  return page ? page->page_editor : nullptr;
}

FilePage* DocumentTabs::new_page() {
  auto* page = new FilePage(page_control_);
  EditorView* ed = page->page_editor;
  ed->setFont(editor_font_);
  ed->set_alternation_paint(alternation_);
  ed->set_alternation_paint_color(alternation_color_);
  ed->model().set_undo_limits(undo_limits_);
  if (editor_menu_) ed->set_context_menu(editor_menu_);
  connect(ed, qOverload<>(&EditorView::OnChange), this, [this, page] { mark_modified(page); });
  connect(ed, &EditorView::OnClick, this, &DocumentTabs::reload_check);
  connect(ed, &EditorView::OnKeyDown, this, &DocumentTabs::editorKeyDown);
  connect(ed, &EditorView::formatChanged, this, [this, ed] {
    if (ed == active_editor()) emit formatChanged();
  });
  page_control_->SetActivePage(page);
  return page;
}

void DocumentTabs::new_document() {
  FilePage* page = new_page();
  page->untitled_name = code_page().from_utf8(kUntitled);
  page->set_caption(QString::fromUtf8(kUntitled));
  page->page_editor->setFocus();
}

FilePage* DocumentTabs::find_page(const std::string& path) const {
  const std::string want = lower_ascii(path);
  for (QObject* o : page_control_->children()) {
    auto* page = qobject_cast<FilePage*>(o);
    if (page && !page->is_closing() && lower_ascii(page->file_path) == want) return page;
  }
  return nullptr;
}

bool DocumentTabs::open_in_tab(const std::string& path) {
  current_file_ = path;
  const QString failed = from_utf8(msg::kCannotOpen.default_utf8);
  try {
    if (FilePage* page = find_page(path)) {
      page_control_->SetActivePage(page);
    } else if (is_file(path)) {
      FilePage* page = new_page();
      if (!page->page_editor->load_file(path)) {
        msg_box(failed, false, this, kInfoCaption);
        return false;
      }
      page->file_stamp_saved = page->file_stamp_seen = file_stamp(path);
      page->file_path = path;
      show_state(page);
    }
    head_->update();
    return true;
  } catch (...) {
    msg_box(failed, false, this, kInfoCaption);
    return false;
  }
}

bool DocumentTabs::save_page(FilePage* page) {
  if (!page) return false;
  std::string path = page->file_path;
  try {
    if (!is_file(path)) {
      const std::string chosen = save_dialog_ ? save_dialog_(this) : std::string();
      if (chosen.empty()) return false;
      page->file_path = path = chosen;
    } else if (page->file_stamp_saved && file_stamp(path) != page->file_stamp_saved) {
      // Another program or a batch run wrote the file after this text was read.
      const QString ask = QString::fromUtf8(
                              "文件 \"%1\" 在此标签页打开或保存之后已在磁盘上被改动.\n"
                              "用此标签页的内容覆盖它吗? 磁盘上的那些改动将会丢失.")
                              .arg(path_to_q(path));
      if (!msg_box(ask, true, window(), kInfoCaption)) return false;
    }
    page->page_editor->model().save_file(path);
  } catch (const std::exception& e) {
    msg_box(QString::fromUtf8("未能保存文件.\n%1").arg(system_text(e.what())), false, this,
            kInfoCaption);
    return false;
  } catch (...) {
    msg_box(QString::fromUtf8("未能保存文件 \"%1\".").arg(path_to_q(path)), false, this,
            kInfoCaption);
    return false;
  }
  current_file_ = path;
  page->file_stamp_saved = page->file_stamp_seen = file_stamp(path);
  page->modified = page->changed_on_disk = false;
  show_state(page);
  return true;
}

bool DocumentTabs::reload_page(FilePage* page) {
  if (!page) return false;
  EditorView* ed = page->page_editor;
  EditorModel& m = ed->model();
  // Loading puts the view at the top; the user keeps reading where they were.
  const int top = m.top_line(), h = m.h_offset();
  if (!is_file(page->file_path)) return false;
  m.record_undo();
  if (!ed->load_file(page->file_path)) return false;
  m.set_top_line(std::min(top, std::max(0, m.row_count() - 1)));
  m.set_h_offset(h);
  ed->refresh_scrollbars();
  ed->update_text();
  page->file_stamp_saved = page->file_stamp_seen = file_stamp(page->file_path);
  page->modified = page->changed_on_disk = false;
  show_state(page);
  return true;
}

void DocumentTabs::show_state(FilePage* page) {
  if (!page) return;
  const QString trimmed = from_gbk(page->file_path).trimmed();
  const std::string& base = trimmed.isEmpty() ? page->untitled_name : page->file_path;
  QString name =
      trimmed.isEmpty() ? from_gbk(file_name_part(base)) : path_to_q(file_name_part(base));
  QString hint;
  if (page->modified) name += QLatin1Char('*');
  if (page->changed_on_disk) {
    name += QLatin1Char('!');
    hint = QString::fromUtf8(
               "%1\n磁盘上的文件已被改动; 此标签页保留着它自己的内容, "
               "保存时会先询问是否覆盖.")
               .arg(path_to_q(page->file_path));
  }
  page->set_caption(name);
  page->set_hint(hint);
  head_->update();
}

std::vector<FilePage*> DocumentTabs::pages() const {
  std::vector<FilePage*> out;
  for (QObject* o : page_control_->children())
    if (auto* page = qobject_cast<FilePage*>(o); page && !page->is_closing()) out.push_back(page);
  return out;
}

void DocumentTabs::save_all() {
  for (QObject* o : page_control_->children())
    if (auto* page = qobject_cast<FilePage*>(o)) save_page(page);
}

void DocumentTabs::close_active() {
  page_control_->close_page(page_control_->ActivePage());
  head_->update();
}

void DocumentTabs::step_page(int delta) {
  const auto& pages = page_control_->refresh_pages();
  if (pages.empty()) return;
  const auto it = std::find(pages.begin(), pages.end(), page_control_->ActivePage());
  const int n = static_cast<int>(pages.size());
  int i = it == pages.end() ? (delta > 0 ? -1 : 0) : static_cast<int>(it - pages.begin());
  i = ((i + delta) % n + n) % n;
  page_control_->SetActivePage(pages[static_cast<size_t>(i)]);
  if (auto* page = qobject_cast<FilePage*>(pages[static_cast<size_t>(i)]))
    page->page_editor->setFocus();
}

void DocumentTabs::next_page() {
  step_page(1);
}

void DocumentTabs::prev_page() {
  step_page(-1);
}

void DocumentTabs::editor_changed() {
  mark_modified(active_page());
}

void DocumentTabs::mark_modified(FilePage* page) {
  if (!page) return;
  page->modified = true;
  show_state(page);
}

void DocumentTabs::reload_check() {
  FilePage* page = active_page();
  if (!page) return;
  current_file_ = page->file_path;
  if (current_file_.empty()) return;
  const std::optional<FileStamp> now = file_stamp(current_file_);
  if (now == page->file_stamp_seen) return;
  // Asked once per change of the file: what was seen is remembered whatever the answer.
  page->file_stamp_seen = now;
  if (msg_box(from_utf8(msg::kReloadChanged.default_utf8), true, window(), kInfoCaption)) {
    reload_page(page);
  } else {
    page->changed_on_disk = true;
    show_state(page);
  }
}

void DocumentTabs::convert_active(const CodePage& target) {
  EditorView* ed = active_editor();
  if (!ed) return;
  const PageConversion found = ed->model().convert_page(target);
  ed->refresh_scrollbars();
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
  msg_box(text, false, window(), kInfoCaption);
}

void DocumentTabs::set_editor_menu(QMenu* menu) {
  editor_menu_ = menu;
  for (QObject* o : page_control_->children())
    if (auto* page = qobject_cast<FilePage*>(o)) page->page_editor->set_context_menu(menu);
}

void DocumentTabs::set_undo_limits(const UndoLimits& limits) {
  undo_limits_ = limits;
  for (FilePage* page : pages()) page->page_editor->model().set_undo_limits(limits);
}

void DocumentTabs::set_alternation(bool on, const QColor& color) {
  alternation_ = on;
  alternation_color_ = color;
  for (QObject* o : page_control_->children()) {
    if (auto* page = qobject_cast<FilePage*>(o)) {
      page->page_editor->set_alternation_paint(on);
      page->page_editor->set_alternation_paint_color(color);
    }
  }
}

}  // namespace lq::gui
