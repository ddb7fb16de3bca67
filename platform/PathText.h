// Windows path text: "\" and "/" separate folders, "C:" names a drive.
#pragma once

#include <string>
#include <string_view>

namespace cv {

bool IsPathDelimiter(char c);
// Everything up to and including the last separator or drive colon.
std::string ExtractFilePath(std::string_view path);
// Everything after the last separator or drive colon.
std::string ExtractFileName(std::string_view path);
// From the last dot of the file name on ("" when there is none).
std::string ExtractFileExt(std::string_view path);
std::string IncludeTrailingBackslash(std::string_view path);
std::string ExcludeTrailingBackslash(std::string_view path);

} // namespace cv
