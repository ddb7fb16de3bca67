// Icons and version resources on the real shell: the program's own icons in
// the system image lists, a real executable's icon and version strings.
#include "contract/ContractEnv.h"

#include "inventory/FileInfo.h"
#include "inventory/UninstallManager.h"
#include "inventory/VersionResource.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Graphics.h"

#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <gtest/gtest.h>

namespace cv::test {

namespace {

struct TRgb {
    int R, G, B;
};

// Draws image index of a system list onto white and reads one pixel back.
TRgb PixelOf(std::uintptr_t list, int index, int x, int y) {
    const auto images = reinterpret_cast<HIMAGELIST>(list);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    TBitmap32 canvas;
    canvas.SetSize(width, height);
    RECT all = {0, 0, width, height};
    FillRect(canvas.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(images, index, canvas.DC(), 0, 0, ILD_NORMAL);
    GdiFlush();
    const std::uint32_t p = canvas.At(x, y);
    const TRgb pixel{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                     static_cast<int>(p & 0xFF)};
    return pixel;
}

bool Near(TRgb a, TRgb b) {
    return std::abs(a.R - b.R) + std::abs(a.G - b.G) + std::abs(a.B - b.B) < 90;
}

std::string HelperPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return toUtf8(path.substr(0, path.find_last_of(L'\\'))) + "\\cv_testhelper.exe";
}

const TRgb kRed{215, 40, 40};
const TRgb kGreen{46, 160, 67};

TEST(IconsOnWine, OwnIconsJoinBothSystemListsUnderOneIndex) {
    TWin32Platform win;
    TFileInfoManager info(win.Platform);
    TUninstallManager manager(win.Platform, info);
    ASSERT_GE(manager.InstallIconIndex, 0);
    ASSERT_GE(manager.RubbishIconIndex, 0);
    EXPECT_NE(manager.InstallIconIndex, manager.RubbishIconIndex);
    int width = 0, height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(manager.LargeImages), &width, &height);
    EXPECT_EQ(width, 32);
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(manager.SmallImages), &width, &height);
    EXPECT_EQ(width, 16);
    // The red cross and the green tick sit where they were drawn, in both sizes.
    EXPECT_TRUE(Near(PixelOf(manager.LargeImages, manager.RubbishIconIndex, 23, 21), kRed));
    EXPECT_TRUE(Near(PixelOf(manager.SmallImages, manager.RubbishIconIndex, 11, 10), kRed));
    EXPECT_TRUE(Near(PixelOf(manager.LargeImages, manager.InstallIconIndex, 25, 27), kGreen));
    EXPECT_TRUE(Near(PixelOf(manager.SmallImages, manager.InstallIconIndex, 12, 13), kGreen));
    EXPECT_FALSE(Near(PixelOf(manager.LargeImages, manager.InstallIconIndex, 23, 21), kRed));
}

TEST(IconsOnWine, FilesTheShellMeetsLaterNeverTakeOurIndexes) {
    TWin32Platform win;
    TFileInfoManager info(win.Platform);
    TUninstallManager manager(win.Platform, info);
    // Programs this process has not asked the shell about yet.
    for (const char* file : {"C:\\windows\\system32\\winemine.exe", "C:\\windows\\system32\\clock.exe",
                             "C:\\windows\\system32\\write.exe"}) {
        SCOPED_TRACE(file);
        const int index = info.GetIconIndex(file);
        EXPECT_NE(index, manager.InstallIconIndex);
        EXPECT_NE(index, manager.RubbishIconIndex);
    }
    // And our pictures are still ours.
    EXPECT_TRUE(Near(PixelOf(manager.LargeImages, manager.RubbishIconIndex, 23, 21), kRed));
    EXPECT_TRUE(Near(PixelOf(manager.LargeImages, manager.InstallIconIndex, 25, 27), kGreen));
}

TEST(IconsOnWine, ARealExecutableShowsItsOwnIcon) {
    TWin32Platform win;
    TFileInfoManager info(win.Platform);
    const int index = info.GetIconIndex(HelperPath());
    ASSERT_GT(index, 0);
    EXPECT_TRUE(Near(PixelOf(info.LargeImages, index, 25, 27), kGreen));
    EXPECT_EQ(info.GetIconIndex("C:\\no such folder\\missing.exe"), 0);
}

TEST(IconsOnWine, VersionStringsOfARealExecutable) {
    TWin32Platform win;
    const TFileVersionInfo version = TFileInfo(win.Platform, HelperPath()).GetVersionInfo();
    EXPECT_EQ(version.CompanyName, "Moxtel Test Tools");
    EXPECT_EQ(version.FileDescription, "Clearvane test helper");
    EXPECT_EQ(version.FileVersion, "1.2.3.4");
    EXPECT_EQ(version.LegalCopyRight, "Copyright 2026 Moxtel");
    EXPECT_EQ(version.ProductVersion, "1.2");
    EXPECT_EQ(version.Comments, "");
    EXPECT_FALSE(version.TypeName.empty());
    std::string text;
    EXPECT_TRUE(VerQueryString(win.Shell.FileVersionInfo(HelperPath()),
                               "\\StringFileInfo\\040904B0\\ProductName", &text));
    EXPECT_EQ(text, "Clearvane tests");
    const TFileVersionInfo none = TFileInfo(win.Platform, "C:\\missing.exe").GetVersionInfo();
    EXPECT_EQ(none.CompanyName + none.FileVersion, "");
}

} // namespace

} // namespace cv::test
