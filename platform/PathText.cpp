#include "platform/PathText.h"

namespace cv {

bool IsPathDelimiter(char c) {
    return c == '\\' || c == '/';
}

namespace {

std::size_t NameStart(std::string_view path) {
    const auto at = path.find_last_of("\\/:");
    return at == std::string_view::npos ? 0 : at + 1;
}

} // namespace

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
    const std::string_view name = path.substr(NameStart(path));
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string IncludeTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsPathDelimiter(out.back())) {
        out += '\\';
    }
    return out;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (!out.empty() && IsPathDelimiter(out.back())) {
        out.pop_back();
    }
    return out;
}

} // namespace cv
