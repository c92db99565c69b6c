#include "core/settings/window_geometry.h"

#include "core/textsvc/file_services.h"

namespace lq {

namespace {

// Coordinates beyond these fit no screen; a size of 0 would hide the window.
constexpr int kMaxCoord = 32767;

int read_in_range(const IniFile& ini, std::string_view section, std::string_view key, int current,
                  int lo, int hi) {
  const int v = ini.read_integer(section, key, current);
  return v < lo || v > hi ? current : v;
}

}  // namespace

std::string position_file_name(std::string_view exe_path) {
  std::string_view name = exe_path.substr(exe_path.rfind('/') + 1);
  // A leading dot is part of the name, not an extension.
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  if (name.empty()) name = "lexoquill";
  return std::string(name) + ".ini";
}

std::string position_file_path() {
  return app_path() + position_file_name(program_path());
}

std::string window_section(std::string_view class_name) {
  return std::string(class_name) + " Position";
}

std::string control_section(std::string_view class_name, std::string_view control_name) {
  return std::string(class_name) + "." + std::string(control_name) + " Position";
}

WindowState read_window_state(const IniFile& ini, std::string_view class_name) {
  const int v = ini.read_integer(window_section(class_name), "WindowState", 0);
  return v == 1 ? WindowState::kMinimized : v == 2 ? WindowState::kMaximized : WindowState::kNormal;
}

Bounds read_window_bounds(const IniFile& ini, std::string_view class_name, const Bounds& current) {
  const std::string s = window_section(class_name);
  Bounds b;
  b.left = read_in_range(ini, s, "Left", current.left, -kMaxCoord, kMaxCoord);
  b.top = read_in_range(ini, s, "Top", current.top, -kMaxCoord, kMaxCoord);
  b.width = read_in_range(ini, s, "Width", current.width, 1, kMaxCoord);
  b.height = read_in_range(ini, s, "Height", current.height, 1, kMaxCoord);
  return b;
}

void write_window(IniFile& ini, std::string_view class_name, WindowState state,
                  const Bounds& bounds, bool app_minimized) {
  const std::string s = window_section(class_name);
  ini.write_integer(s, "WindowState", static_cast<int>(state));
  if (state != WindowState::kMaximized) {
    ini.write_integer(s, "Left", bounds.left);
    ini.write_integer(s, "Top", bounds.top);
    ini.write_integer(s, "Width", bounds.width);
    ini.write_integer(s, "Height", bounds.height);
  }
  if (app_minimized) ini.write_integer(s, "WindowState", 1);
}

int read_area_size(const IniFile& ini, std::string_view class_name, std::string_view control_name,
                   Align align, int current) {
  const std::string s = control_section(class_name, control_name);
  switch (align) {
    case Align::kLeft:
    case Align::kRight:
      return read_in_range(ini, s, "Width", current, 0, kMaxCoord);
    case Align::kTop:
    case Align::kBottom:
      return read_in_range(ini, s, "Height", current, 0, kMaxCoord);
    default:
      return current;
  }
}

void write_area(IniFile& ini, std::string_view class_name, std::string_view control_name,
                const Bounds& bounds) {
  const std::string s = control_section(class_name, control_name);
  ini.write_integer(s, "Left", bounds.left);
  ini.write_integer(s, "Top", bounds.top);
  ini.write_integer(s, "Width", bounds.width);
  ini.write_integer(s, "Height", bounds.height);
}

}  // namespace lq
