// Blowfish's fixed starting values, shared by the cipher and nothing else.
#pragma once

#include <cstdint>

namespace velt {

extern const std::uint32_t kBlowfishInitialP[18];
extern const std::uint32_t kBlowfishInitialS[4][256];

}  // namespace velt
