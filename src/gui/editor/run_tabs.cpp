#include "gui/editor/run_tabs.h"

#include <QMessageBox>
#include <QPushButton>

#include "core/batch/journal_format.h"
#include "core/batch/write_back.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/tab_control.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

UnsavedQuestionHook& hook() {
  static UnsavedQuestionHook h;
  return h;
}

std::string name_part(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the list entry names the page's file: the same path, or another path (a link, a
// different spelling) to the same file.
bool names_file(const std::string& entry, const std::string& path) {
  if (entry == path) return true;
  if (name_part(entry) != name_part(path)) return false;  // spares a look at every entry
  const auto a = file_stamp(entry), b = file_stamp(path);
  return a && b && a->dev == b->dev && a->ino == b->ino;
}

std::vector<FilePage*> unsaved_pages(DocumentTabs& tabs, const std::vector<std::string>& entries) {
  std::vector<FilePage*> edited;
  for (FilePage* page : tabs.pages())
    if (page->modified && !page->file_path.empty()) edited.push_back(page);
  std::vector<FilePage*> found;
  for (FilePage* page : edited) {
    for (const std::string& entry : entries) {
      if (names_file(entry, page->file_path)) {
        found.push_back(page);
        break;
      }
    }
  }
  return found;
}

QString question_text(const std::vector<FilePage*>& pages) {
  constexpr size_t kShown = 15;
  QString list;
  for (size_t k = 0; k < pages.size() && k < kShown; ++k)
    list += QStringLiteral("  ") + path_to_q(pages[k]->file_path) + QLatin1Char('\n');
  if (pages.size() > kShown)
    list += QString::fromUtf8("  ... 还有 %1 个\n").arg(pages.size() - kShown);
  return QString::fromUtf8(
             "下列文件在编辑器里有未保存的修改, 处理要读取并改写它们:\n%1\n"
             "保存后处理: 先保存这些标签页, 再处理.\n"
             "不保存: 处理使用磁盘上的文件; 标签页保留它的内容, 并标为磁盘上已改动.")
      .arg(list);
}

}  // namespace

void set_unsaved_question_hook(UnsavedQuestionHook h) {
  hook() = std::move(h);
}

UnsavedAnswer ask_unsaved_tabs(const QString& text, QWidget* owner) {
  if (hook()) return hook()(text);
  QMessageBox box(QMessageBox::Question, kInfoCaption, text, QMessageBox::NoButton, owner);
  box.setObjectName("msg_box_unsaved1");
  box.setWindowModality(Qt::ApplicationModal);
  QPushButton* save = box.addButton(QString::fromUtf8("保存后处理"), QMessageBox::AcceptRole);
  save->setObjectName("Button_save_first1");
  QPushButton* keep = box.addButton(QString::fromUtf8("不保存"), QMessageBox::DestructiveRole);
  keep->setObjectName("Button_dont_save1");
  QPushButton* cancel = box.addButton(QString::fromUtf8("取消"), QMessageBox::RejectRole);
  cancel->setObjectName("Button_cancel1");
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return UnsavedAnswer::SaveFirst;
  if (box.clickedButton() == keep) return UnsavedAnswer::DontSave;
  return UnsavedAnswer::Cancel;
}

bool tabs_before_run(DocumentTabs& tabs, const std::vector<std::string>& entries, QWidget* owner) {
  const std::vector<FilePage*> pages = unsaved_pages(tabs, entries);
  if (pages.empty()) return true;
  switch (ask_unsaved_tabs(question_text(pages), owner)) {
    case UnsavedAnswer::SaveFirst:
      for (FilePage* page : pages)
        if (!tabs.save_page(page)) return false;  // the user has been told why
      return true;
    case UnsavedAnswer::DontSave:
      return true;
    case UnsavedAnswer::Cancel:
      break;
  }
  return false;
}

bool tabs_before_run(DocumentTabs& tabs, const JournalRun& run, QWidget* owner) {
  std::vector<std::string> paths;
  for (const JournalFile& f : run.files) paths.push_back(f.path);
  return tabs_before_run(tabs, paths, owner);
}

void tabs_after_run(DocumentTabs& tabs) {
  for (FilePage* page : tabs.pages()) {
    if (page->file_path.empty() || !page->file_stamp_seen) continue;
    const std::optional<FileStamp> now = file_stamp(page->file_path);
    if (now == page->file_stamp_seen) continue;
    page->file_stamp_seen = now;
    if (page->modified || !now || !tabs.reload_page(page)) {
      page->changed_on_disk = true;
      tabs.show_state(page);
    }
  }
}

}  // namespace lq::gui
