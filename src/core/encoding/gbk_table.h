// The GBK double-byte characters as a directly indexed table (generated data).
#pragma once

#include <cstdint>

namespace lq {

inline constexpr int kGbkFirstLead = 0x81;
inline constexpr int kGbkLeads = 126;  // 0x81-0xFE
inline constexpr int kGbkFirstTrail = 0x40;
inline constexpr int kGbkTrails = 191;  // 0x40-0xFE

// The UTF-16 unit of every lead/trail pair, 0 where the pair is not a GBK character. Every
// GBK character lies in the Basic Multilingual Plane.
extern const std::uint16_t kGbkToUnicode[kGbkLeads * kGbkTrails];

}  // namespace lq
