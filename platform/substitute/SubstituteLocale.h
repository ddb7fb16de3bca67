// A locale for host tests: United States formats until a test sets others.
#pragma once

#include "platform/Locale.h"

namespace cv {

class TSubstituteLocale : public ILocale {
public:
    TLocaleFormat Format() const override { return FFormat; }
    // Letters compare without case first; texts that differ only in case put
    // the small letters first, as Windows' own comparison does.
    int CompareText(const std::string& a, const std::string& b) const override;
    // UTC moved by the zone's offset; one offset the whole year round.
    TCivilTime LocalTimeOf(std::uint64_t utcFileTime) const override;

    void SetFormat(const TLocaleFormat& format) { FFormat = format; }
    // Minutes the local clock is ahead of UTC (negative behind it).
    void SetUtcOffset(int minutes) { FUtcOffset = minutes; }

private:
    TLocaleFormat FFormat;
    int FUtcOffset = 0;
};

} // namespace cv
