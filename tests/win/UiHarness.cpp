#include "UiHarness.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Graphics.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <fstream>

namespace cv::test {

HWND FocusOr(HWND window) {
    HWND focus = GetFocus();
    return focus != nullptr ? focus : window;
}

void PostKey(HWND window, WORD key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    if (key == VK_RETURN || key == VK_ESCAPE) {
        PostMessageW(window, WM_CHAR, key, static_cast<LPARAM>(1 | (scan << 16)));
    }
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

void PostChar(HWND window, wchar_t ch, bool alt) {
    PostMessageW(window, alt ? WM_SYSCHAR : WM_CHAR, ch, alt ? (1 | (1 << 29)) : 1);
}

void ClickTab(HWND tabControl, int index) {
    RECT r;
    SendMessageW(tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabControl, WM_LBUTTONUP, 0, at);
}

HWND FindTopWindow(const std::wstring& titleStart) {
    struct TSearch {
        const std::wstring* Start;
        HWND Found = nullptr;
    } search{&titleStart};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(data);
            wchar_t title[256] = {};
            GetWindowTextW(window, title, 256);
            if (IsWindowVisible(window) && std::wstring(title).rfind(*s.Start, 0) == 0) {
                s.Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void Pump(unsigned milliseconds) {
    const ULONGLONG start = GetTickCount64();
    do {
        TApplication::Instance().ProcessMessages();
        if (milliseconds > 0) {
            Sleep(5);
        }
    } while (GetTickCount64() - start < milliseconds);
}

std::string OverlappingRows(HWND list) {
    std::string overlapping;
    std::vector<RECT> places;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT place = {LVIR_BOUNDS, 0, 0, 0};
        if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&place))) {
            overlapping += "row " + std::to_string(i) + " has no place\n";
            continue;
        }
        for (const RECT& other : places) {
            RECT common;
            if (IntersectRect(&common, &place, &other)) {
                overlapping += "row " + std::to_string(i) + "\n";
                break;
            }
        }
        places.push_back(place);
    }
    return overlapping;
}

namespace {

TImage32 Grab(HDC source, int x, int y, int width, int height) {
    TImage32 image;
    image.Width = width;
    image.Height = height;
    TBitmap32 copy;
    copy.SetSize(width, height);
    BitBlt(copy.DC(), 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    image.Pixels.assign(copy.Pixels(), copy.Pixels() + static_cast<std::size_t>(width) * height);
    return image;
}

} // namespace

TImage32 CaptureWindow(HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(150);
    RECT r;
    GetWindowRect(window, &r);
    return Grab(TWindowDC().Get(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TImage32 GrabScreen(const RECT& area) {
    return Grab(TWindowDC().Get(), area.left, area.top, area.right - area.left, area.bottom - area.top);
}

TImage32 PrintClient(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    const TWindowDC screen;
    const TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    const TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), r.right, r.bottom));
    const TSelectedObject selected(memory.Get(), bitmap.Get());
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    return Grab(memory.Get(), 0, 0, r.right, r.bottom);
}

TImage32 SideBySide(const std::vector<TImage32>& images, int gap, std::uint32_t background) {
    TImage32 sheet;
    for (const TImage32& image : images) {
        sheet.Width += image.Width + gap;
        sheet.Height = std::max(sheet.Height, image.Height + 2 * gap);
    }
    sheet.Width += gap;
    sheet.Pixels.assign(static_cast<std::size_t>(sheet.Width) * sheet.Height, background);
    int left = gap;
    for (const TImage32& image : images) {
        for (int y = 0; y < image.Height; ++y) {
            for (int x = 0; x < image.Width; ++x) {
                sheet.Pixels[static_cast<std::size_t>(y + gap) * sheet.Width + left + x] = image.At(x, y);
            }
        }
        left += image.Width + gap;
    }
    return sheet;
}

namespace {

std::uint32_t Crc(const std::string& data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : data) {
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    Put32(out, Crc(body));
}

} // namespace

void SavePng(const TImage32& image, const std::string& path) {
    // Rows of RGB behind a filter byte of 0, in stored (uncompressed) deflate blocks.
    std::string raw;
    for (int y = 0; y < image.Height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t p = image.At(x, y);
            raw.push_back(static_cast<char>((p >> 16) & 0xFF));
            raw.push_back(static_cast<char>((p >> 8) & 0xFF));
            raw.push_back(static_cast<char>(p & 0xFF));
        }
    }
    std::string zlib = "\x78\x01";
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + length >= raw.size();
        zlib.push_back(last ? '\1' : '\0');
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib.append(raw, at, length);
        if (last) {
            break;
        }
    }
    Put32(zlib, (b << 16) | a);
    std::string header;
    Put32(header, static_cast<std::uint32_t>(image.Width));
    Put32(header, static_cast<std::uint32_t>(image.Height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", {});
    std::ofstream(path, std::ios::binary) << png;
}

std::string TestFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return toUtf8(path.substr(0, path.find_last_of(L'\\')));
}

std::string ScreenshotPath(const std::string& name) {
    // Beside the test program, whatever the current directory.
    const std::string folder = TestFolder() + "\\screenshots";
    CreateDirectoryW(toWide(folder).c_str(), nullptr);
    return folder + "\\" + name + ".png";
}

} // namespace cv::test
