#include "core/shell/single_window.h"

#include "core/shell/shared_values.h"

namespace lq {

bool announce_single_window1(std::int32_t self) {
  // A value that exists already (this or another process holds it) answers 0 here and is
  // simply written below.
  mem1::create_share_handle1(mem1::kOneForm);
  mem1::create_share_handle1(mem1::kMainForm);
  return mem1::set_share_handle1(mem1::kOneForm, 1) &&
         mem1::set_share_handle1(mem1::kMainForm, self);
}

void withdraw_single_window1(std::int32_t self) {
  if (mem1::get_share_handle1(mem1::kMainForm) != self) return;
  mem1::set_share_handle1(mem1::kOneForm, 0);
  mem1::set_share_handle1(mem1::kMainForm, 0);
}

}  // namespace lq
