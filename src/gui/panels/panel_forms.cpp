#include "gui/panels/panel_forms.h"

#include <functional>
#include <map>
#include <string>

#include "core/textsvc/str_helpers.h"
#include "gui/panels/control_form_choice.h"
#include "gui/panels/control_form_find.h"
#include "gui/panels/control_form_md5.h"
#include "gui/panels/control_form_mod_out.h"
#include "gui/panels/control_form_th.h"

namespace lq::gui {
namespace {

template <typename T>
TControlForm_* make(const PanelClass& cls, Operation* op, QWidget* parent) {
  return new T(cls, op, parent);
}

using Maker = TControlForm_* (*)(const PanelClass&, Operation*, QWidget*);

const std::map<std::string, Maker>& makers() {
  static const std::map<std::string, Maker> m = {
      {"TControlForm_th", &make<TControlForm_th>},
      {"TControlForm_find", &make<TControlForm_find>},
      {"TControlForm_md5", &make<TControlForm_md5>},
      {"TControlForm_mod_out", &make<TControlForm_mod_out>},
      {"TControlForm_ft2gb", &make<TControlForm_ft2gb>},
      {"TControlForm_utf", &make<TControlForm_utf>},
  };
  return m;
}

}  // namespace

TControlForm_* create_panel_form(const PanelClass& cls, Operation* op, QWidget* parent) {
  TControlForm_* form = nullptr;
  for (const auto& [name, maker] : makers())
    if (same_text(name, cls.class_name)) form = maker(cls, op, parent);
  if (!form) form = new TControlForm_(cls, op, parent);
  form->build();
  return form;
}

}  // namespace lq::gui
