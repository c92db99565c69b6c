// What a screen reader sees of the editor: an editable multi-line text whose lines are the
// rows on screen, with the caret and the selection, as Qt's own text boxes offer it.
#pragma once

#include <QAccessibleWidget>
#include <QString>
#include <vector>

#include "core/editor/undo.h"

namespace lq::gui {

class EditorView;

class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit EditorAccessible(EditorView* editor);

  void* interface_cast(QAccessible::InterfaceType t) override;
  QAccessible::State state() const override;

  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  using QAccessibleWidget::text;

 private:
  // The rows decoded and joined by line feeds, and where each row starts in it. Built for
  // each question: the text may have changed in between, and nothing is kept while no
  // assistive technology asks.
  struct Document {
    QString text;
    std::vector<int> starts;
  };
  EditorView* editor() const;
  Document document() const;
  int offset_of(const Document& doc, EditPos p) const;
  EditPos pos_of(const Document& doc, int offset) const;
  // Start and end of the selection in reading order.
  std::pair<EditPos, EditPos> ordered_selection() const;
};

}  // namespace lq::gui
