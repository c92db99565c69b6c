// The files a user's settings directory holds, as arbitrary bytes: settings, layouts and
// window positions (INI), and recipes. Reading answers with values or defaults, a recipe
// is loaded or refused with its own error, and the value notations of recipes and journal
// paths give back what they encoded.
#include <sys/mman.h>
#include <unistd.h>

#include "core/batch/journal_format.h"
#include "core/batch/recipe.h"
#include "core/settings/ini_file.h"
#include "core/settings/layout_store.h"
#include "core/settings/sys_settings.h"
#include "core/settings/window_geometry.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string value = in.text(16);
  const std::string bytes = in.rest();

  const lq::IniFile ini = lq::IniFile::from_text(bytes);
  lq::read_sys_settings(ini);
  FUZZ_CHECK(lq::read_scroll_position(ini, 7) >= 0);
  for (const std::string& name : lq::read_panel_list(ini))
    FUZZ_CHECK(!name.empty() && name.find(';') == std::string::npos);
  lq::read_window_state(ini, "TForm1");
  lq::read_window_bounds(ini, "TForm1", lq::Bounds{1, 2, 3, 4});
  for (lq::Align a : {lq::Align::kLeft, lq::Align::kBottom, lq::Align::kClient})
    lq::read_area_size(ini, "TForm1", "Panel1", a, 5);

  // A recipe file in memory, reached by its path under /proc: nothing is left on disk.
  static const int fd = memfd_create("lq-fuzz-recipe", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  FUZZ_CHECK(fd >= 0 && ftruncate(fd, 0) == 0 &&
             pwrite(fd, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()));
  lq::Recipe recipe;
  try {
    lq::load_recipe(recipe, path);
    lq::recipe_text(recipe);
  } catch (const lq::RecipeError&) {
  }

  FUZZ_CHECK(lq::decode_recipe_value(lq::encode_recipe_value(value)) == value);
  FUZZ_CHECK(lq::unescape_journal_path(lq::escape_journal_path(value)) == value);
  return 0;
}
