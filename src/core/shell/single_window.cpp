#include "core/shell/single_window.h"

#include "core/shell/shared_values.h"

namespace lq {

bool announce_single_window(std::int32_t self) {
  // A value that exists already (this or another process holds it) answers 0 here and is
  // simply written below.
  shared_mem::create_share_handle(shared_mem::kOneForm);
  shared_mem::create_share_handle(shared_mem::kMainForm);
  return shared_mem::set_share_handle(shared_mem::kOneForm, 1) &&
         shared_mem::set_share_handle(shared_mem::kMainForm, self);
}

void withdraw_single_window(std::int32_t self) {
  if (shared_mem::get_share_handle(shared_mem::kMainForm) != self) return;
  shared_mem::set_share_handle(shared_mem::kOneForm, 0);
  shared_mem::set_share_handle(shared_mem::kMainForm, 0);
}

}  // namespace lq
