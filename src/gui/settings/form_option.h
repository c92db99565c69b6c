// Tform_option, "高级设置": the options of "sys1.ini" and the default extension list
// "ext1.txt", on three pages ("常用", "编辑器设定", "窗体"). The dialog only holds the
// values; the main window fills it before showing and writes the settings on OK. The
// extension list is saved whenever the dialog closes, by OK or not.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/settings/sys_settings.h"
#include "core/textsvc/message_catalogue.h"

class QCheckBox;
class QPlainTextEdit;
class QTabWidget;

namespace lq::gui {

class JournalPage;

// A framed caption that acts as a button (Panel_color1, Panel_edit_font, ...).
class ClickPanel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickPanel(const QString& caption, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

class Tform_option : public QDialog {
  Q_OBJECT

 public:
  // The standard dialogs, replaceable for automated runs: they answer the choice, or
  // nothing when cancelled.
  using FontDialog = std::function<std::optional<QFont>(const QFont& start, QWidget* owner)>;
  using ColorDialog = std::function<std::optional<QColor>(const QColor& start, QWidget* owner)>;
  static void set_font_dialog(FontDialog dialog);
  static void set_color_dialog(ColorDialog dialog);

  // Writes the built-in extension list to "ext1.txt" when there is none, then shows it.
  Tform_option(const MessageCatalogue& catalogue, const FontSpec& edit_font,
               const FontSpec& form_font, QWidget* parent = nullptr);

  QCheckBox* CheckBox_case1() const { return case_; }
  QComboBox* ComboBox_encoding1() const { return encoding_; }
  QComboBox* ComboBox_eol1() const { return eol_; }
  QCheckBox* CheckBox_binary1() const { return binary_; }
  QCheckBox* CheckBox_rm1() const { return rm_; }
  QCheckBox* CheckBox_falternation_paint1() const { return alternation_; }
  QPlainTextEdit* Memo_ext1() const { return ext_; }
  JournalPage* journal_page() const { return journal_; }

  std::int32_t color() const { return color_; }
  void set_color(std::int32_t stored);

  // The extension list as typed, one entry per line.
  LineList ext_lines() const;

  void choose_color();
  void choose_editor_font();
  void choose_window_font();

  void done(int result) override;

 signals:
  // A font was confirmed in the font dialog: it applies at once.
  void editFontChosen(const FontSpec& font);
  void formFontChosen(const FontSpec& font);

 private:
  QWidget* build_common_page();
  QWidget* build_editor_page(const FontSpec& edit_font);
  QWidget* build_form_page(const FontSpec& form_font);
  void show_font(ClickPanel* panel, const FontSpec& spec, int default_size);

  QTabWidget* pages_ = nullptr;
  QCheckBox* case_ = nullptr;
  QComboBox* encoding_ = nullptr;
  QComboBox* eol_ = nullptr;
  QCheckBox* binary_ = nullptr;
  QCheckBox* rm_ = nullptr;
  QCheckBox* alternation_ = nullptr;
  QPlainTextEdit* ext_ = nullptr;
  JournalPage* journal_ = nullptr;
  ClickPanel* color_panel_ = nullptr;
  ClickPanel* edit_font_panel_ = nullptr;
  ClickPanel* form_font_panel_ = nullptr;
  std::int32_t color_ = kButtonFaceColor;
  FontSpec edit_font_;
  FontSpec form_font_;
};

}  // namespace lq::gui
