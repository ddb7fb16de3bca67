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

} // namespace cv
