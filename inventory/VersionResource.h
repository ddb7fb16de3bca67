// Reading a file's version resource (the VS_VERSIONINFO tree that
// GetFileVersionInfo returns) the way VerQueryValue does, in portable code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

// The text under a path such as "\StringFileInfo\040904B0\CompanyName"
// (names match without regard to case); false when the path is not there.
bool VerQueryString(const std::vector<std::uint8_t>& resource, const std::string& path, std::string* text);
// The raw value under a path such as "\VarFileInfo\Translation".
bool VerQueryBinary(const std::vector<std::uint8_t>& resource, const std::string& path,
                    std::vector<std::uint8_t>* value);

// Builds a version resource with one string table, for tests and for a
// substitute shell that hands out version information.
std::vector<std::uint8_t>
BuildVersionResource(std::uint16_t language, std::uint16_t codePage,
                     const std::vector<std::pair<std::string, std::string>>& strings);

} // namespace cv
