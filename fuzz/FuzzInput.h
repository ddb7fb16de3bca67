// Splits a fuzzer's bytes into a few texts, so one input can drive calls
// that take several arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cv::fuzz {

// The input cut at each 0xFF byte (which UTF-8 never holds).
inline std::vector<std::string> Parts(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    return parts;
}

// Stops the run loudly when an invariant breaks.
inline void Check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

} // namespace cv::fuzz
