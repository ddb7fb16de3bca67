#include "platform/substitute/SubstituteLocale.h"

#include "platform/TextCase.h"

namespace cv {

int TSubstituteLocale::CompareText(const std::string& a, const std::string& b) const {
    if (const int folded = CompareRegistryNames(a, b); folded != 0) {
        return folded;
    }
    const int bytes = a.compare(b);
    return bytes < 0 ? 1 : bytes > 0 ? -1 : 0;
}

TCivilTime TSubstituteLocale::LocalTimeOf(std::uint64_t utcFileTime) const {
    constexpr std::int64_t kTicksPerMinute = 600'000'000;
    const std::int64_t shift = std::int64_t{FUtcOffset} * kTicksPerMinute;
    if (shift < 0 && utcFileTime < static_cast<std::uint64_t>(-shift)) {
        return CivilTimeOf(0); // before the calendar starts
    }
    return CivilTimeOf(utcFileTime + static_cast<std::uint64_t>(shift));
}

} // namespace cv
