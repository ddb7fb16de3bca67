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

// Takes the input from the front, a byte or a run of bytes at a time, for
// targets that build structured data (values, trees) from it. Past the end
// every read gives zeros or nothing, so any input is a whole description.
class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}

    bool Empty() const { return FPos >= FSize; }
    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    std::uint32_t Word32() {
        std::uint32_t w = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            w |= static_cast<std::uint32_t>(Byte()) << shift;
        }
        return w;
    }
    // Up to count bytes, fewer at the end of the input.
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        const std::size_t n = count < FSize - FPos ? count : FSize - FPos;
        std::vector<std::uint8_t> bytes(FData + FPos, FData + FPos + n);
        FPos += n;
        return bytes;
    }
    std::string Text(std::size_t count) {
        const std::vector<std::uint8_t> bytes = Bytes(count);
        return std::string(bytes.begin(), bytes.end());
    }
    // A text whose length comes first, in one byte.
    std::string ShortText() { return Text(Byte()); }
    // What is left, for Parts.
    const std::uint8_t* RestData() const { return FData + FPos; }
    std::size_t RestSize() const { return FSize - FPos; }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// Stops the run loudly when an invariant breaks.
inline void Check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

} // namespace cv::fuzz
