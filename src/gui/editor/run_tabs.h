// The document tabs around a batch run, a preview or the undo of a run, which rewrite files
// that may be open in tabs. Before: tabs with unsaved edits of files the run will read are
// named in a question (save first, don't save, cancel). After: a tab whose file was
// rewritten reloads when it held no edits (caret and scroll position kept) and is marked as
// changed on disk when it did, so its edits are neither lost nor saved over the run's result
// without asking.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace lq {
struct JournalRun;
}

namespace lq::gui {

class DocumentTabs;

enum class UnsavedAnswer { SaveFirst, DontSave, Cancel };

// Asks what to do about tabs with unsaved edits: a box with the buttons "保存后处理",
// "不保存" and "取消" (object names msg_box_unsaved, Button_save_first1, Button_dont_save1,
// Button_cancel1). Closing the box counts as cancel.
UnsavedAnswer ask_unsaved_tabs(const QString& text, QWidget* owner);

// Replaces the question, for automated runs: the hook receives its text and gives the
// answer. An empty function restores the real box.
using UnsavedQuestionHook = std::function<UnsavedAnswer(const QString& text)>;
void set_unsaved_question_hook(UnsavedQuestionHook hook);

// Before a run over `entries`: answers whether it may start. Tabs of those files with
// unsaved edits are named in the question; "保存后处理" saves them (a save that fails or is
// declined stops the run), "不保存" lets the run use the files on disk.
bool tabs_before_run(DocumentTabs& tabs, const std::vector<std::string>& entries, QWidget* owner);
// The same before undoing a run: its files are the ones it wrote.
bool tabs_before_run(DocumentTabs& tabs, const JournalRun& run, QWidget* owner);

// After the run (whatever its end): every tab whose file on disk changed since the tab last
// saw it reloads when it has no unsaved edits, and is marked changed on disk otherwise.
void tabs_after_run(DocumentTabs& tabs);

}  // namespace lq::gui
