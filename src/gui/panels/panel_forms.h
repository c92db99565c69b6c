// Creates the widget of an operation panel: the class that lays out that operation's
// controls (the replace, find, MD5, template, choice and script panels have their own),
// built and showing the operation's current values.
#pragma once

#include <QWidget>

#include "core/operations/catalogue.h"

namespace lq::gui {

class TControlForm_;

TControlForm_* create_panel_form(const PanelClass& cls, Operation* op, QWidget* parent);

}  // namespace lq::gui
