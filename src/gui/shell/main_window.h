// The main window TForm1: tool bar, the processing area PanelCL (scope box beside the
// stack of operation panels), the file list, the editor area with the find results under
// it, and the status bar that shows the progress of a run.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/operations/operation_chain.h"
#include "core/operations/panel_stack.h"
#include "core/run/run_context.h"
#include "core/textsvc/message_catalogue.h"
#include "gui/shell/main_window_settings.h"

class QAction;
class QLayout;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;
class QScrollArea;
class QVBoxLayout;

namespace lq {
struct RunRequest;
struct RunResult;
struct OperationSnapshot;
class RunJournal;
}  // namespace lq

namespace lq::gui {

class CaptionSplitter;
class ColorEdit;
class ColorListBox;
class ColorUpDown;
class DocumentTabs;
class EditCommands;
class HandoffServer;
class ImageButton;
class ScopeBox;
class TControlForm_;
class SelectPathDialog;
class RunController;
class TQOZPosition;
class PreviewDialog;
class RunsDialog;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // startup_paths: what the command line names (startup_paths_from_args), opened as the window is
  // created.
  explicit MainWindow(const std::vector<std::string>& startup_paths = {},
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  // The file list as the next run sees it.
  const std::vector<std::string>& file_list() const { return file_list_; }
  const std::string& last_dir() const { return last_dir_; }
  const RunContext& run_context() const { return run_context_; }
  const FindResults& find_results() const { return find_results_; }
  ScopeBox* scope_box() const { return scope_box_; }
  DocumentTabs* document_tabs() const { return doc_tabs_; }
  EditCommands* edit_commands() const { return edit_commands_.get(); }
  bool running() const { return run_ != nullptr; }

  // File list commands.
  void add_files(const QStringList& paths);  // the part of "open files" after the dialog
  void add_directory(const QString& typed, bool recurse);  // the part after the dialog
  void refresh_lists();
  void open_in_tab(const std::string& path);

  // Operation panels.
  void collect_operations();
  TControlForm_* ensure_panel(const std::string& class_name);
  void show_all_panels();
  std::vector<TControlForm_*> panels() const;
  const OperationChain& operation_chain() const { return operation_chain_; }

  // Start (F9): the two input checks, then the run on a worker thread.
  void start_processing();
  void stop_run();
  void show_find_results();
  void max_line_len_tool();

  // Find results (main_window_find.cpp) and the jump to a match (main_window_go_to_match.cpp).
  void view_find_results_toggled();
  void toggle_find_results();
  void open_find_result();
  void copy_find_results();    // "复制"
  void clear_find_results();   // "清空"
  void delete_find_results();  // "删除"
  void go_to_match(const std::string& path, int line, int column);
  // Recipes (main_window_recipes.cpp): the scope and the enabled panel with their values.
  // Both answer false after showing why they could not.
  bool save_recipe_to(const QString& path);
  bool open_recipe(const QString& path);
  using RecipeDialog = std::function<QString(QWidget* owner, bool save)>;
  void set_recipe_dialog(RecipeDialog dialog) { recipe_dialog_ = std::move(dialog); }
  // Start-up, single-window mode and the hand-off (main_window_startup.cpp).
  void single_window_toggled(bool down);
  void receive_file(const std::string& path);

  // Settings, window geometry, operation layouts, options and help
  // (main_window_settings.cpp, main_window_layouts.cpp). A blank layout name means
  // "sys1.ini".
  void load_settings();
  const SysSettings& sys_settings() const;
  TQOZPosition* window_positions() const;
  void save_layout(const std::string& file_name);
  void apply_layout(const std::string& file_name);
  void free_panels();
  void load_panel_list(const std::string& file_name);
  void fill_layout_list();
  void layout_chosen();
  void next_layout();
  void ask_save_layout();
  void open_options();
  void show_help();
  void show_editor_notes();

 signals:
  // A run has ended (finished, stopped or aborted by an error), before its closing box.
  void runFinished();
  // The preview of a run is on show; a run of the journal was undone.
  void previewShown();
  void runUndone();
  // The progress bar now shows percent.
  void progressShown(int percent);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void build_menus();
  void build_tool_bar(QWidget* top);
  void build_news(QWidget* top);
  void build_status_bar();
  QWidget* build_processing_area();
  QWidget* build_lower_area();
  void load_news();
  void install_services();

  // What a run and the length tool need of the editor tabs.
  bool has_active_editor() const;
  void record_undo_active_editor();
  void limit_active_editor_lines(int n);

  void add_files_dialog();
  void add_folder_dialog() { add_directory_dialog(false); }
  void add_folder_tree_dialog() { add_directory_dialog(true); }
  void add_directory_dialog(bool recurse);
  void clear_file_list();
  void remove_selected_file();
  void show_open_menu();
  void toggle_work_area();
  void toggle_status_bar();
  void about_box();

  void build_find_panel(QWidget* parent, QVBoxLayout* col);
  void build_find_actions(QMenu* view, QLayout* tool_row);
  void build_recipe_actions(QMenu* op);
  void set_find_panel_visible(bool on);
  void ask_save_recipe();
  void ask_open_recipe();

  void panel_enable_toggled(TControlForm_* panel, bool checked);
  void close_panel(TControlForm_* panel);
  void set_running(bool on);
  // The outcome of a run stays in the status bar until the next run and is read out.
  void show_outcome(const QString& text);
  void run_progress(int file_index, int file_count, int percent, const QString& name);
  void run_ended();
  // The run as the window stands now: false (after showing why, unless quiet) when the
  // input checks refuse it.
  bool prepare_run(RunRequest& request, std::shared_ptr<const OperationSnapshot>& operations,
                   const std::vector<std::string>* only, bool quiet);
  void launch_run(RunRequest request, std::shared_ptr<const OperationSnapshot> operations,
                  bool preview);

  std::vector<std::string> file_list_;
  std::string last_dir_;
  RunContext run_context_;
  FindResults find_results_;
  OperationChain operation_chain_;
  PanelStack panel_stack_;
  MessageCatalogue catalogue_;
  QFont panel_font_;
  bool case_sensitive_ = false;

  QWidget* panel_top_ = nullptr;
  QWidget* panel_tool_ = nullptr;
  QWidget* panel_news_ = nullptr;
  QPlainTextEdit* memo_gg_ = nullptr;
  ImageButton* btn_open_ = nullptr;
  ImageButton* btn_more_ = nullptr;
  ImageButton* btn_start_ = nullptr;
  ImageButton* btn_stop_ = nullptr;
  ImageButton* btn_max_len_ = nullptr;
  ColorEdit* edit_max1_ = nullptr;
  ColorUpDown* edit_max2_ = nullptr;
  QWidget* panel_cl_ = nullptr;
  QWidget* btn_mini_ = nullptr;
  ScopeBox* scope_box_ = nullptr;
  QScrollArea* pnl_controls_ = nullptr;
  QWidget* pnl_controls_body_ = nullptr;
  QVBoxLayout* pnl_controls_layout_ = nullptr;
  ColorListBox* list_box1_ = nullptr;
  QWidget* editor_area_ = nullptr;
  DocumentTabs* doc_tabs_ = nullptr;
  CaptionSplitter* panel_find_ = nullptr;
  ColorListBox* list_box_find_ = nullptr;
  QLabel* label_file_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* label_outcome_ = nullptr;
  QMenu* popup_open_ = nullptr;
  QAction* act_start_ = nullptr;
  QAction* act_stop_ = nullptr;
  QAction* act_status_ = nullptr;
  QList<QAction*> file_actions_;
  QList<QAction*> panel_actions_;
  bool close_after_run_ = false;
  SelectPathDialog* select_path_ = nullptr;
  std::unique_ptr<RunController> run_;
  QWidget* splitter_find_ = nullptr;
  ImageButton* btn_view_find_ = nullptr;
  QAction* act_find_ = nullptr;
  QMenu* popup_find_ = nullptr;
  RecipeDialog recipe_dialog_;

  // Settings, geometry and layouts: building, showing and closing.
  void build_settings_ui();
  void restore_layout_on_show();
  void save_layout_on_close();
  void save_position_on_destroy();
  std::unique_ptr<MainWindowSettings> settings_;

  // Preview, journal and undo of whole runs (main_window_journal.cpp).
 public:
  void preview_run();
  void undo_last_run();
  void undo_journal_run(const std::string& id);
  void show_runs();
  PreviewDialog* preview_dialog() const;
  RunsDialog* runs_dialog() const;

 private:
  void start_run(bool preview, const std::vector<std::string>* only);
  // "开始处理" of the preview: exactly what it showed, over the files still checked.
  void start_previewed_run();
  bool preview_is_current();
  void install_journal_actions(QMenu* op);
  ImageButton* make_preview_button(QWidget* parent);
  void set_journal_actions_enabled(bool on);
  void attach_journal(RunRequest& request, const OperationSnapshot& operations);
  void show_preview(const RunResult& result, const std::vector<std::string>& inputs);
  std::unique_ptr<RunJournal> journal_;
  bool preview_running_ = false;
  // What the preview on show was made from; shared_ptr, as the type is private to the
  // preview's source.
  struct PreviewBasis;
  std::shared_ptr<PreviewBasis> preview_basis_;
  QPointer<PreviewDialog> preview_;
  QPointer<RunsDialog> runs_;
  ImageButton* btn_preview_ = nullptr;
  QAction* act_preview_ = nullptr;
  QAction* act_undo_run_ = nullptr;
  QAction* act_runs_ = nullptr;

  // The editing commands; declared last so they go first, while the catalogue still exists.
  void install_edit_commands();
  std::unique_ptr<EditCommands> edit_commands_;

  void form_create_tail(const std::vector<std::string>& startup_paths);
  void open_command_line(const std::string& arg);
  void build_startup_controls();
  void form_destroy();
  QToolButton* c_one_form1_ = nullptr;
  HandoffServer* handoff_ = nullptr;
};

}  // namespace lq::gui
