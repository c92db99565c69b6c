#include "core/shell/handoff_message.h"

#include <algorithm>
#include <cstdint>

namespace lq {

namespace {

constexpr std::string_view kMagic = "LQH1";

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string header() {
  std::string h(kMagic);
  put_u32(h, 0);  // the copy-data word, always 0
  put_u32(h, static_cast<std::uint32_t>(kPathBufferSize));
  return h;
}

}  // namespace

std::string path_buffer(std::string_view path) {
  std::string buf(kPathBufferSize, '\0');
  buf.replace(0, std::min(path.size(), kMaxHandoffPath), path.substr(0, kMaxHandoffPath));
  return buf;
}

std::string encode_handoff(std::string_view path) {
  return header() + path_buffer(path);
}

bool handoff_prefix_ok(std::string_view received) {
  if (received.size() > kHandoffMessageSize) return false;
  static const std::string h = header();
  const std::size_t n = std::min(received.size(), h.size());
  return received.substr(0, n) == std::string_view(h).substr(0, n);
}

std::optional<std::string> decode_handoff(std::string_view message) {
  if (message.size() != kHandoffMessageSize || !handoff_prefix_ok(message)) return std::nullopt;
  const std::string_view buf = message.substr(kHandoffHeaderSize);
  const std::size_t end = buf.find('\0');
  if (end == std::string_view::npos) return std::nullopt;  // no terminating zero
  return std::string(buf.substr(0, end));
}

}  // namespace lq
