// The message a second start sends to the running window: the path it was given, in a
// 261-byte buffer (zero-filled, at most 260 path bytes, then at least one zero byte).
//
// On the wire: "LQH1", a 4-byte word that must be 0, a 4-byte length that must be 261 (both
// little-endian), then the buffer; 273 bytes in all. The receiver answers one byte, kAck,
// once it has handled the path. Anything else is dropped.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

inline constexpr std::size_t kPathBufferSize = 261;
inline constexpr std::size_t kMaxHandoffPath = kPathBufferSize - 1;
inline constexpr std::size_t kHandoffHeaderSize = 12;
inline constexpr std::size_t kHandoffMessageSize = kHandoffHeaderSize + kPathBufferSize;
inline constexpr char kHandoffAck = '\x06';

// The 261-byte buffer for path: its first 260 bytes, zeros after.
std::string path_buffer(std::string_view path);

// The whole message for path (cut to 260 bytes as the buffer is).
std::string encode_handoff(std::string_view path);

// The path of a complete message: the buffer's bytes up to its first zero byte. nullopt
// for anything that is not exactly one well-formed message.
std::optional<std::string> decode_handoff(std::string_view message);

// False as soon as the bytes received so far cannot begin a well-formed message (a wrong
// header, or more bytes than one message), so a receiver can drop the sender early.
bool handoff_prefix_ok(std::string_view received);

}  // namespace lq
