// What a timeout means, everywhere in the program: milliseconds; 0 looks
// once without waiting; kWaitForever waits as long as it takes.
#pragma once

#include <cstdint>

namespace cv {

inline constexpr std::uint32_t kWaitForever = ~std::uint32_t{0};

} // namespace cv
