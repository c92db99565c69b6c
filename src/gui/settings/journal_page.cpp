#include "gui/settings/journal_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/batch/journal_format.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

JournalPage::JournalPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet_journal1");
  auto* col = new QVBoxLayout(this);
  auto* note = new QLabel(
      "每次写入文件的处理都记录下来 (处理前的文件内容), 以便用菜单“操作”中的“撤销上次处理”"
      "整批撤销. 超过下面的限制时, 最早的记录被删除. 保留 0 次则不记录, 处理后不能撤销.",
      this);
  note->setObjectName("Label_journal1");
  note->setWordWrap(true);
  col->addWidget(note);
  auto* form = new QFormLayout;
  runs_ = new QSpinBox(this);
  runs_->setObjectName("SpinEdit_journal_runs1");
  runs_->setRange(0, 1000);
  runs_->setSuffix(" 次");
  runs_->setAccessibleName("保留最近的处理");
  form->addRow("保留最近的处理:", runs_);
  mb_ = new QSpinBox(this);
  mb_->setObjectName("SpinEdit_journal_mb1");
  mb_->setRange(0, 1024 * 1024);
  mb_->setSingleStep(100);
  mb_->setSuffix(" MB");
  mb_->setAccessibleName("最多占用");
  form->addRow("最多占用:", mb_);
  col->addLayout(form);
  auto* where = new QLabel("记录保存在: " + path_to_q(run_journal_dir()), this);
  where->setObjectName("Label_journal_dir1");
  where->setWordWrap(true);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  col->addWidget(where);
  col->addStretch(1);
}

void JournalPage::show_limits(const SysSettings& settings) {
  runs_->setValue(settings.journal_runs);
  mb_->setValue(settings.journal_mb);
}

void JournalPage::store(IniFile& ini) const {
  const SysSettings now = read_sys_settings(ini);
  if (runs_->value() != now.journal_runs)
    ini.write_integer(sys_keys::kJournal, sys_keys::kJournalRuns, runs_->value());
  if (mb_->value() != now.journal_mb)
    ini.write_integer(sys_keys::kJournal, sys_keys::kJournalMb, mb_->value());
}

}  // namespace lq::gui
