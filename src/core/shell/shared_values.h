// Named 4-byte values shared by the running copies of the program ("quorbeam_one_form",
// "quorbeam_mainform"). A value exists while some process holds it: the one that created
// it keeps its handle until it ends, and the value vanishes with it, crash or not. Each
// value is a small file in the private runtime directory; holding it means holding a
// shared lock on that file. Reads and writes are single 4-byte copies, without a lock.
#pragma once

#include <cstdint>
#include <string_view>

namespace lq::shared_mem {

inline constexpr const char* kOneForm = "quorbeam_one_form";
inline constexpr const char* kMainForm = "quorbeam_mainform";

// Creates the named value (0) and answers its handle, which the caller keeps open. 0 when
// the value already exists (held by some process) or cannot be created.
int create_share_handle(std::string_view name);

// Writes the value. When no process holds a value of that name: shows
// "error:[shared_mem.set_share_handle]?先要调用[create_share_handle]" followed by the name
// and answers false. Other failures answer false without a message.
bool set_share_handle(std::string_view name, std::int32_t value);

// The value; 0 when no process holds a value of that name.
std::int32_t get_share_handle(std::string_view name);

// Lets go of a handle from create_share_handle; the value vanishes when it was the last
// holder. The program's own callers keep their handles until they end.
void close_share_handle(int handle);

}  // namespace lq::shared_mem
