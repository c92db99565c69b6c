// The INI reader over arbitrary bytes: every read answers, and a value written is the
// value read back.
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string value = in.text(8);
  lq::IniFile ini = lq::IniFile::from_text(in.rest());
  for (const std::string& s : ini.read_sections())
    for (const std::string& k : ini.read_section(s)) ini.read_integer(s, k, 0);
  lq::read_sys_settings(ini);
  // Plain values (no blanks at the ends, no quotes or line breaks) come back as written.
  bool plain = !value.empty() && value.front() > ' ' && value.back() > ' ';
  for (char c : value) plain = plain && c != '"' && c != '\'' && c != '\r' && c != '\n';
  ini.write_string("Fz", "key", value);
  if (plain) FUZZ_CHECK(ini.read_string("Fz", "key") == value);
  lq::IniFile again = lq::IniFile::from_text(ini.to_text());
  if (plain) FUZZ_CHECK(again.read_string("fz", "KEY") == value);
  return 0;
}
