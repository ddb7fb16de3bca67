#include "platform/win32/Win32Locale.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

namespace cv {

namespace {

// The first character of a locale setting; the fallback when the setting is
// missing or is no single-byte character the parsers can match.
char LocaleChar(LCTYPE type, char fallback) {
    wchar_t text[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 8) > 0 && text[0] != 0 && text[0] < 0x80) {
        return static_cast<char>(text[0]);
    }
    return fallback;
}

} // namespace

TLocaleFormat TWin32Locale::Format() const {
    TLocaleFormat format;
    format.DateSeparator = LocaleChar(LOCALE_SDATE, '/');
    format.TimeSeparator = LocaleChar(LOCALE_STIME, ':');
    format.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, ',');
    format.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
    switch (LocaleChar(LOCALE_IDATE, '0')) {
    case '1':
        format.DateOrder = TDateOrder::DMY;
        break;
    case '2':
        format.DateOrder = TDateOrder::YMD;
        break;
    default:
        format.DateOrder = TDateOrder::MDY;
        break;
    }
    return format;
}

int TWin32Locale::CompareText(const std::string& a, const std::string& b) const {
    const std::wstring x = toWide(a);
    const std::wstring y = toWide(b);
    return CompareStringW(LOCALE_USER_DEFAULT, 0, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                          static_cast<int>(y.size())) -
           CSTR_EQUAL;
}

TCivilTime TWin32Locale::LocalTimeOf(std::uint64_t utcFileTime) const {
    FILETIME utc{static_cast<DWORD>(utcFileTime), static_cast<DWORD>(utcFileTime >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    // The zone's rule for that day, not today's: a time switched off in
    // winter reads in winter time.
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return CivilTimeOf(utcFileTime);
    }
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

} // namespace cv
