// TQOZPosition: keeps a window's position, size and state, and the sizes of the areas its
// splitters resize, in the position file (window_geometry.h). The window restores them
// when it has been built (window_built) and saves them when it is closed and when it is
// destroyed (window_destroying); a named layout can load or save the same values from or
// to a file of its own. Any window can carry one:
//   (new TQOZPosition(this, "Tform_mod_out"))->window_built();
//
// The splitters of a window, in creation order, are its QSplitter handles (each resizes
// the neighbour that does not stretch), its caption-bar panels (each resizes itself) and
// any widget with the property "splitter_align" set to "top", "bottom", "left" or "right"
// (it resizes the widget beside it on that side in its parent's layout). An area is
// stored under its objectName, or under its "position_name" property when it has one.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "core/settings/ini_file.h"
#include "core/settings/window_geometry.h"

class QWidget;

namespace lq::gui {

class TQOZPosition : public QObject {
  Q_OBJECT

 public:
  struct Area {
    QWidget* control = nullptr;
    Align align = Align::kNone;
    QString name;
  };

  // class_name names the window's sections ("TForm1"). The position file is read now.
  TQOZPosition(QWidget* window, const QString& class_name,
               const std::string& position_file = position_file_path());

  const std::string& file_name() const { return position_.file_name(); }

  void restore_window(QWidget* window);
  void save_window(QWidget* window);
  void restore_size(const Area& area);
  void save_size(const Area& area);

  // A blank name means the position file, anything else a file in the program's
  // directory. save_positions throws RunError when the file cannot be written.
  void load_positions(const std::string& file_name);
  void save_positions(const std::string& file_name);

  // The areas the window's splitters resize, in the window's creation order; hidden or
  // disabled areas are left out.
  std::vector<Area> splitter_targets() const;

  // The window has been built: restore its place, size and state from the position file,
  // and the sizes of its areas when it is first shown.
  void window_built();
  // The window is going away: save everything, ignoring errors. Nothing is saved for a
  // window that was never shown, as its geometry was never real.
  void window_destroying();

 signals:
  // The window is shown for the first time.
  void firstShown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void load_from(IniFile& ini);
  void save_to(IniFile& ini);

  QPointer<QWidget> window_;
  QString class_name_;
  IniFile position_;
  IniFile* ini_ = &position_;
  bool shown_ = false;
  bool areas_pending_ = false;
};

}  // namespace lq::gui
