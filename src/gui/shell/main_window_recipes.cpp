// Recipes in the window: "保存方案..." writes the scope box and the enabled panel with
// every control's value in the format lexoquill-batch reads with --recipe; "打开方案..."
// sets the scope box, brings up that panel with those values and enables it.
#include <QFileDialog>
#include <QMenu>

#include "core/batch/recipe.h"
#include "core/textsvc/file_services.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

const char* kRecipeFilter = "方案 (*.ini *.recipe);;所有文件 (*)";

}  // namespace

void MainWindow::build_recipe_actions(QMenu* op) {
  op->addSeparator();
  QAction* save = op->addAction("保存方案...");
  save->setObjectName("N_save_recipe1");
  connect(save, &QAction::triggered, this, &MainWindow::ask_save_recipe);
  QAction* open = op->addAction("打开方案...");
  open->setObjectName("N_open_recipe1");
  connect(open, &QAction::triggered, this, &MainWindow::ask_open_recipe);
  // Opening changes the panels, which a run must not see change.
  panel_actions_ << open;
}

bool MainWindow::save_recipe_to(const QString& path) {
  Recipe recipe;
  recipe.scope = scope_box_->snapshot();
  for (TControlForm_* p : panels()) {
    if (!p->is_enabled()) continue;
    recipe.op = PanelClassRegistry::instance().find(p->class_name());
    recipe.values = p->values();
    break;
  }
  try {
    write_file_atomically(path_from_q(path), recipe_text(recipe));
  } catch (const std::exception& e) {
    show_message_box(QString::fromLocal8Bit(e.what()), this);
    return false;
  }
  return true;
}

bool MainWindow::open_recipe(const QString& path) {
  if (running()) return false;  // a run reads the panels it was started with
  Recipe recipe;
  try {
    load_recipe(recipe, path_from_q(path));
  } catch (const RecipeError& e) {
    // Nothing is applied from a recipe that cannot be read whole.
    show_message_box(QString::fromLocal8Bit(e.what()), this);
    return false;
  }
  for (const auto& [name, value] : recipe.scope.unicode_values())
    scope_box_->set_value(QString::fromStdString(name), QString::fromStdString(value));
  TControlForm_* target = nullptr;
  if (recipe.op) {
    target = ensure_panel(recipe.op->class_name);
    if (!target) return false;
    target->set_values(recipe.values);
  }
  // Exactly the recipe's operation is enabled, as in lexoquill-batch.
  for (TControlForm_* p : panels()) p->set_enabled(p == target);
  collect_operations();
  return true;
}

void MainWindow::ask_save_recipe() {
  const QString path =
      recipe_dialog_ ? recipe_dialog_(this, true)
                     : QFileDialog::getSaveFileName(this, "保存方案", QString(), kRecipeFilter);
  if (!path.isEmpty()) save_recipe_to(path);
}

void MainWindow::ask_open_recipe() {
  const QString path =
      recipe_dialog_ ? recipe_dialog_(this, false)
                     : QFileDialog::getOpenFileName(this, "打开方案", QString(), kRecipeFilter);
  if (!path.isEmpty()) open_recipe(path);
}

}  // namespace lq::gui
