// The document tabs: TTabControlEx holds the pages and knows the active one,
// TTabControlExHead draws the row of tabs and turns clicks into page changes,
// TTabControlExSheet is a page and FilePage a page that shows one document in a EditorView.
#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/batch/write_back.h"

class QMenu;

namespace lq::gui {

class TTabControlEx;
class EditorView;

class TTabControlExSheet : public QWidget {
  Q_OBJECT

 public:
  explicit TTabControlExSheet(TTabControlEx* control);
  ~TTabControlExSheet() override;

  QString caption() const { return caption_; }
  void set_caption(const QString& c);
  // What the tab's hint says; the caption when empty.
  QString hint() const { return hint_.isEmpty() ? caption_ : hint_; }
  void set_hint(const QString& h) { hint_ = h; }
  bool is_closing() const { return closing_; }
  void set_closing() { closing_ = true; }
  TTabControlEx* control() const { return control_; }

 private:
  friend class TTabControlEx;
  QPointer<TTabControlEx> control_;
  QString caption_;
  QString hint_;
  bool closing_ = false;
};

class FilePage : public TTabControlExSheet {
  Q_OBJECT

 public:
  explicit FilePage(TTabControlEx* control);

  EditorView* page_editor = nullptr;
  std::string file_path;
  std::string untitled_name;
  // The file as the text was loaded from it or saved to it: saving over a file that no
  // longer has this stamp asks first.
  std::optional<FileStamp> file_stamp_saved;
  // The file as the page last saw it on disk: a change from this is offered for reloading
  // once.
  std::optional<FileStamp> file_stamp_seen;
  bool modified = false;         // edits not saved yet
  bool changed_on_disk = false;  // the file on disk is no longer what the text came from
};

class TTabControlExHead : public QWidget {
  Q_OBJECT

 public:
  explicit TTabControlExHead(QWidget* parent = nullptr);

  TTabControlEx* TabControl = nullptr;
  QColor BkColor{Qt::black};
  QColor ActiveBkColor{Qt::black};
  int PageTitleWidth = 50;
  int TitleStartLeft = 0;
  int CaptionLeft = 0, CaptionTop = 0;

  // "left=", "top=", "right=", "bottom=" lines; read into the close-button rectangle.
  void set_close_button_rect_string(const QStringList& lines);

  QRect title_rect(const TTabControlExSheet* page) const;
  QRect close_rect(const TTabControlExSheet* page) const;
  // The page under the point, and whether the point is on its close button.
  std::pair<TTabControlExSheet*, bool> page_at(const QPoint& pt) const;
  // Shows the page as a click on its tab does.
  void activate_page(TTabControlExSheet* page);

 signals:
  void OnCloseButtonClick(TTabControlExSheet* page);
  void OnActivePageChange(TTabControlExSheet* page);
  void OnAfterActivePageChange(TTabControlExSheet* page);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  int first_tab1_ = 0;
  int close_l_ = 0, close_t_ = 0, close_r_ = 0, close_b_ = 0;
};

class TTabControlEx : public QWidget {
  Q_OBJECT

 public:
  explicit TTabControlEx(QWidget* parent = nullptr);
  ~TTabControlEx() override;

  TTabControlExHead* Head = nullptr;
  TTabControlExSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabControlExSheet* page);
  const std::vector<TTabControlExSheet*>& refresh_pages();
  const std::vector<TTabControlExSheet*>& all_pages() const { return pages_; }
  void close_page(TTabControlExSheet* page);
  void remove_page(TTabControlExSheet* page);

 signals:
  // ActivePage was set, or closed and left empty.
  void activePageChanged();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  friend class TTabControlExSheet;
  std::vector<TTabControlExSheet*> pages_;
  TTabControlExSheet* active_ = nullptr;
};

}  // namespace lq::gui
