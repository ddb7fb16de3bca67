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

    void SetFormat(const TLocaleFormat& format) { FFormat = format; }

private:
    TLocaleFormat FFormat;
};

} // namespace cv
