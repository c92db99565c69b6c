// The options page "处理记录": how many runs and how much space the journal that undo
// works from may keep.
#pragma once

#include <QWidget>

#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"

class QSpinBox;

namespace lq::gui {

class JournalPage : public QWidget {
  Q_OBJECT

 public:
  explicit JournalPage(QWidget* parent = nullptr);

  QSpinBox* SpinEdit_journal_runs1() const { return runs_; }
  QSpinBox* SpinEdit_journal_mb1() const { return mb_; }

  void show_limits(const SysSettings& settings);
  // Writes the two limits into "sys1.ini" when they differ from what it gives now (so a
  // file that never set them keeps taking the defaults).
  void store(IniFile& ini) const;

 private:
  QSpinBox* runs_ = nullptr;
  QSpinBox* mb_ = nullptr;
};

}  // namespace lq::gui
