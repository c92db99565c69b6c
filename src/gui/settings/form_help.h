// Tform_help, "帮助": a read-only text shown modally; Escape closes it.
#pragma once

#include <QDialog>
#include <string>

#include "core/textsvc/message_catalogue.h"

class QPlainTextEdit;

namespace lq::gui {

class Tform_help : public QDialog {
  Q_OBJECT

 public:
  explicit Tform_help(const MessageCatalogue& catalogue, QWidget* parent = nullptr);

  QPlainTextEdit* Memo1() const { return memo_; }

  // The text as GBK bytes, line breaks as they are.
  void set_text(const std::string& gbk);
  // The file's bytes as GBK text. Throws RunError when it cannot be read; the text shown
  // stays as it was.
  void load_file(const std::string& path);

 private:
  QPlainTextEdit* memo_;
};

}  // namespace lq::gui
