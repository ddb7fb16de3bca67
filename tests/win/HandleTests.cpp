// The owners of Win32 handles: every handle is given back exactly once, by
// the function of its kind, and a selection or COM scope leaves the DC or
// the thread as it found it.
#include "platform/win32/Win32Handles.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace cv::test {

namespace {

std::vector<int> gClosed;

struct TCountingTraits {
    using THandle = int;
    static int Empty() { return 0; }
    static bool Valid(int handle) { return handle != 0; }
    static void Close(int handle) { gClosed.push_back(handle); }
};

using TCounted = TUniqueHandle<TCountingTraits>;

TEST(Handles, EachHandleIsClosedOnceWhateverHappensToItsOwner) {
    struct TCase {
        const char* Name;
        std::function<void()> Run;
        std::vector<int> Closed;
    };
    const TCase cases[] = {
        {"the owner's end closes it", [] { const TCounted a(1); }, {1}},
        {"an empty owner closes nothing", [] { const TCounted a; }, {}},
        {"a moved-from owner is empty",
         [] {
             TCounted a(1);
             const TCounted b(std::move(a));
             EXPECT_FALSE(a);
             EXPECT_EQ(b.Get(), 1);
         },
         {1}},
        {"assigning over an owner closes its old handle first",
         [] {
             TCounted a(1);
             TCounted b(2);
             b = std::move(a);
             EXPECT_EQ(gClosed, std::vector<int>{2});
             EXPECT_FALSE(a);
         },
         {2, 1}},
        {"an owner assigned to itself keeps its handle",
         [] {
             TCounted a(1);
             TCounted& same = a;
             a = std::move(same);
             EXPECT_EQ(a.Get(), 1);
         },
         {1}},
        {"a reset closes the old handle at once",
         [] {
             TCounted a(1);
             a.Reset(2);
             EXPECT_EQ(gClosed, std::vector<int>{1});
         },
         {1, 2}},
        {"a reset to the handle held keeps it open", [] { TCounted(1).Reset(1); }, {1}},
        {"a released handle is the caller's",
         [] {
             TCounted a(1);
             EXPECT_EQ(a.Release(), 1);
             EXPECT_FALSE(a);
         },
         {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        gClosed.clear();
        c.Run();
        EXPECT_EQ(gClosed, c.Closed);
    }
}

// Makes a handle, hands it to an owner, moves the owner on and lets the
// second owner end: the handle must be alive until then and gone after.
template <typename Owner>
void ExpectOwned(typename Owner::THandle handle, const std::function<bool(typename Owner::THandle)>& alive) {
    ASSERT_TRUE(alive(handle));
    Owner first(handle);
    {
        const Owner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(alive(handle));
    }
    EXPECT_FALSE(alive(handle));
}

bool GdiAlive(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

TEST(Handles, EachKindIsGivenBackByItsOwnFunction) {
    struct TCase {
        const char* Name;
        std::function<void()> Check;
    };
    const TCase cases[] = {
        {"kernel object",
         [] {
             ExpectOwned<TKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr), [](HANDLE h) {
                 DWORD flags = 0;
                 return GetHandleInformation(h, &flags) != 0;
             });
         }},
        {"icon",
         [] {
             ExpectOwned<TIcon>(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)), [](HICON h) {
                 ICONINFO info = {};
                 const bool alive = GetIconInfo(h, &info) != 0;
                 const TGdiObject<HBITMAP> color(info.hbmColor);
                 const TGdiObject<HBITMAP> mask(info.hbmMask);
                 return alive;
             });
         }},
        {"bitmap", [] { ExpectOwned<TGdiObject<HBITMAP>>(CreateBitmap(4, 4, 1, 32, nullptr), GdiAlive); }},
        {"pen", [] { ExpectOwned<TGdiObject<HPEN>>(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)), GdiAlive); }},
        {"memory DC", [] { ExpectOwned<TMemoryDC>(CreateCompatibleDC(nullptr), GdiAlive); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Check();
    }
}

TEST(Handles, FailedOpensAreEmptyOwners) {
    WIN32_FIND_DATAW data;
    const TFindHandle nothingFound(FindFirstFileW(L"C:\\cv-no-such-folder\\*", &data));
    const TKernelHandle noFile(
        CreateFileW(L"C:\\cv-no-such-folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const TKernelHandle noEvent(OpenEventW(SYNCHRONIZE, FALSE, L"cv-no-such-event"));
    // INVALID_HANDLE_VALUE is also the current process's pseudo-handle.
    EXPECT_EQ(noFile.Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(nothingFound);
    EXPECT_FALSE(noFile);
    EXPECT_FALSE(noEvent);
}

TEST(Handles, ASelectionPutsBackWhatWasThereFirst) {
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    const TGdiObject<HBITMAP> first(CreateBitmap(4, 4, 1, 32, nullptr));
    const TGdiObject<HBITMAP> second(CreateBitmap(4, 4, 1, 32, nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        const TSelectedObject selected(dc.Get(), first.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), first.Get());
        selected.Select(second.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), second.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
}

// Whether a COM scope on a thread whose COM the test set up first leaves it
// as it was: probed by initialising the multithreaded model afterwards.
TEST(Handles, AComScopeLeavesTheThreadsComAsItFoundIt) {
    struct TCase {
        const char* Name;
        int Before; // -1 none, else the model the thread has already
        HRESULT Probe;
    };
    const TCase cases[] = {
        {"no COM before: none after", -1, S_OK},
        {"single-threaded before: still there", COINIT_APARTMENTTHREADED, RPC_E_CHANGED_MODE},
        {"multithreaded before: not torn down", COINIT_MULTITHREADED, S_FALSE},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HRESULT probe = E_FAIL;
        std::thread([&] {
            if (c.Before >= 0) {
                CoInitializeEx(nullptr, static_cast<DWORD>(c.Before));
            }
            { const TComScope com; }
            probe = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(probe)) {
                CoUninitialize();
            }
            if (c.Before >= 0) {
                CoUninitialize();
            }
        }).join();
        EXPECT_EQ(probe, c.Probe);
    }
}

} // namespace

} // namespace cv::test
