#include "platform/win32/Win32Shell.h"

#include "platform/Processes.h"
#include "platform/RegFile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
// windows.h first
#include <commctrl.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace cv {

namespace {

template <typename T> class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() {
        if (FPtr != nullptr) {
            FPtr->Release();
        }
    }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    T* operator->() const { return FPtr; }
    T** Out() { return &FPtr; }
    void** OutVoid() { return reinterpret_cast<void**>(&FPtr); }
    explicit operator bool() const { return FPtr != nullptr; }

private:
    T* FPtr = nullptr;
};

std::string WindowsFolder(UINT (*get)(LPWSTR, UINT)) {
    std::wstring buffer(MAX_PATH, L'\0');
    UINT got = get(buffer.data(), static_cast<UINT>(buffer.size()));
    if (got >= buffer.size()) {
        buffer.assign(got + 1, L'\0');
        got = get(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    buffer.resize(got < buffer.size() ? got : 0);
    return toUtf8(buffer);
}

UINT WindowsDirectoryW(LPWSTR out, UINT size) {
    return ::GetWindowsDirectoryW(out, size);
}
UINT SystemDirectoryW(LPWSTR out, UINT size) {
    return ::GetSystemDirectoryW(out, size);
}

} // namespace

std::string TWin32Shell::GetSpecialFolderPath(int csidl) {
    const KNOWNFOLDERID* id = nullptr;
    if (csidl == kCsidlStartup) {
        id = &FOLDERID_Startup;
    } else if (csidl == kCsidlCommonStartup) {
        id = &FOLDERID_CommonStartup;
    }
    std::string result;
    if (id != nullptr) {
        PWSTR path = nullptr;
        // The path even while the folder does not exist: callers check for it themselves.
        if (SUCCEEDED(::SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path))) {
            result = toUtf8(path);
        }
        ::CoTaskMemFree(path);
    } else {
        wchar_t path[MAX_PATH] = {}; // this older call knows no longer paths
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) {
            result = toUtf8(path);
        }
    }
    while (result.size() > 3 && (result.back() == '\\' || result.back() == '/')) {
        result.pop_back();
    }
    return result;
}

std::string TWin32Shell::WindowsDirectory() {
    return WindowsFolder(WindowsDirectoryW);
}

std::string TWin32Shell::ExpandEnvironment(const std::string& text) {
    const std::wstring wide = toWide(text);
    std::wstring buffer(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD got =
            ::ExpandEnvironmentStringsW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) {
            return text;
        }
        if (got <= buffer.size()) {
            buffer.resize(got - 1); // the count takes in the closing NUL
            return toUtf8(buffer);
        }
        buffer.assign(got, L'\0');
    }
}

std::string TWin32Shell::SystemDirectory() {
    return WindowsFolder(SystemDirectoryW);
}

TSystemImageLists TWin32Shell::GetSystemImageLists() {
    const TComScope com;
    TSystemImageLists lists;
    for (bool large : {true, false}) {
        SHFILEINFOW info = {};
        const UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON | (large ? 0 : SHGFI_SMALLICON);
        const auto handle = ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, flags);
        const TIcon discarded(info.hIcon);
        (large ? lists.Large : lists.Small) = static_cast<std::uintptr_t>(handle);
    }
    return lists;
}

bool TWin32Shell::ShellFileInfo(const std::string& path, std::uint32_t flags, TShellFileInfo* info) {
    *info = TShellFileInfo();
    const TComScope com; // the icon worker looks icons up here
    SHFILEINFOW raw = {};
    if (path.empty() || ::SHGetFileInfoW(ApiPath(path).c_str(), 0, &raw, sizeof raw, flags) == 0) {
        return false;
    }
    info->Icon = reinterpret_cast<std::uintptr_t>(raw.hIcon);
    info->IconIndex = raw.iIcon;
    info->Attributes = raw.dwAttributes;
    info->DisplayName = toUtf8(raw.szDisplayName);
    info->TypeName = toUtf8(raw.szTypeName);
    return true;
}

void TWin32Shell::DestroyIcon(std::uintptr_t icon) {
    if (icon != 0) {
        ::DestroyIcon(reinterpret_cast<HICON>(icon));
    }
}

std::string TWin32Shell::ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got < path.size()) {
            path.resize(got);
            return toUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

namespace {

// IImageList, which the import libraries leave out.
constexpr GUID kImageListIid = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

} // namespace

int TWin32Shell::AddResourceIcon(const std::string& resourceName) {
    // The shell gives one index for all of its image lists (16, 32, 48 and
    // 256 pixels) and appends to all of them at once; an icon added to only
    // some would put them out of step, and the shell's next icon would take
    // our index in the others.
    const TComScope com;
    std::vector<HIMAGELIST> lists;
    const TSystemImageLists known = GetSystemImageLists();
    lists.push_back(reinterpret_cast<HIMAGELIST>(known.Large));
    lists.push_back(reinterpret_cast<HIMAGELIST>(known.Small));
    for (int kind = SHIL_LARGE; kind <= SHIL_LAST; ++kind) {
        void* list = nullptr;
        if (SUCCEEDED(::SHGetImageList(kind, kImageListIid, &list)) && list != nullptr &&
            std::find(lists.begin(), lists.end(), static_cast<HIMAGELIST>(list)) == lists.end()) {
            lists.push_back(static_cast<HIMAGELIST>(list));
        }
    }
    const std::wstring name = toWide(resourceName);
    int index = -1;
    for (HIMAGELIST list : lists) {
        int width = 0;
        int height = 0;
        if (list == nullptr || !::ImageList_GetIconSize(list, &width, &height)) {
            continue;
        }
        const TIcon icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name.c_str(),
                                                         IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
        if (!icon) {
            return -1;
        }
        const int added = ::ImageList_ReplaceIcon(list, -1, icon.Get());
        if (list == reinterpret_cast<HIMAGELIST>(known.Large)) {
            index = added;
        }
    }
    return index;
}

std::string TWin32Shell::AssociatedProgram(const std::string& file) {
    if (file.empty()) {
        return {};
    }
    const TComScope com; // the icon worker's bad-entry scan asks this too
    // The call fills at most MAX_PATH characters by its own contract.
    wchar_t result[MAX_PATH + 1] = {};
    const auto rc = reinterpret_cast<INT_PTR>(::FindExecutableW(toWide(file).c_str(), L"", result));
    return rc > 32 ? toUtf8(result) : std::string();
}

void TWin32Shell::Open(const std::string& target) {
    ::ShellExecuteW(nullptr, L"open", toWide(target).c_str(), L"", L"", SW_SHOW);
}

void TWin32Shell::ShowProperties(const std::string& path) {
    const std::wstring file = toWide(path);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"properties";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    ::ShellExecuteExW(&info);
    const TKernelHandle process(info.hProcess); // null unless a process was started
}

bool TWin32Shell::RunAsAdministrator(const std::string& program, const std::string& parameters) {
    const std::wstring file = toWide(program);
    const std::wstring arguments = toWide(parameters);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    const bool started = ::ShellExecuteExW(&info) != FALSE;
    const TKernelHandle process(info.hProcess);
    return started;
}

bool TWin32Shell::IsAdministrator() {
    return ::IsUserAnAdmin() != FALSE;
}

bool TWin32Shell::CreateShortcut(const std::string& linkPath, const std::string& target,
                                 const std::string& arguments, const std::string& workingDirectory) {
    const TComScope com;
    TComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.OutVoid()))) {
        return false;
    }
    link->SetArguments(toWide(arguments).c_str());
    link->SetPath(toWide(target).c_str());
    link->SetWorkingDirectory(toWide(workingDirectory).c_str());
    TComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) {
        return false;
    }
    return SUCCEEDED(file->Save(toWide(linkPath).c_str(), TRUE));
}

std::string TWin32Shell::ResolveShortcut(const std::string& linkPath) {
    const TComScope com;
    TComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.OutVoid()))) {
        return {};
    }
    TComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) {
        return {};
    }
    const std::wstring full = toWide(linkPath);
    if (FAILED(file->Load(full.c_str(), STGM_READ))) {
        return {};
    }
    std::wstring target(32768, L'\0'); // the longest path Windows has
    WIN32_FIND_DATAW data = {};
    if (FAILED(link->GetPath(target.data(), static_cast<int>(target.size()), &data, SLGP_UNCPRIORITY))) {
        return {};
    }
    target.resize(wcslen(target.c_str()));
    return toUtf8(target);
}

std::vector<std::uint8_t> TWin32Shell::FileVersionInfo(const std::string& path) {
    const std::wstring file = toWide(path);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) {
        return {};
    }
    std::vector<std::uint8_t> data(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) {
        return {};
    }
    return data;
}

bool TWin32Shell::RunRegedit(const std::wstring& arguments, bool* needsElevation) {
    std::wstring commandLine = L"\"" + toWide(WindowsDirectory()) + L"\\regedit.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    *needsElevation = false;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        // The registry editor asks for an administrator's full rights, which
        // a run with the user's own rights cannot give it without a prompt.
        *needsElevation = ::GetLastError() == kStartElevationRequired;
        return false;
    }
    const TKernelHandle thread(process.hThread);
    const TKernelHandle running(process.hProcess);
    const bool ended = ::WaitForSingleObject(running.Get(), 120000) == WAIT_OBJECT_0;
    DWORD code = 1;
    ::GetExitCodeProcess(running.Get(), &code);
    return ended && code == 0;
}

bool TWin32Shell::RegeditExport(const std::string& keyName, const std::string& file) {
    // Written beside the target first, so a failed export leaves an older file whole. The editor exits 0 for
    // a key it cannot find, so only the file tells.
    const std::wstring target = ApiPath(file);
    const std::wstring fresh = ApiPath(file + ".new");
    ::DeleteFileW(fresh.c_str());
    bool needsElevation = false;
    const bool ran =
        RunRegedit(L"/e \"" + toWide(file + ".new") + L"\" \"" + toWide(keyName) + L"\"", &needsElevation);
    if (!ran && !needsElevation) {
        ::DeleteFileW(fresh.c_str());
        return false;
    }
    if (!ran) {
        // The program's own writer of the editor's format, with the user's rights.
        TWin32Registry registry;
        TWin32FileSystem files;
        std::string bytes;
        if (!ExportRegFile(registry, keyName, &bytes) || !files.WriteFile(file + ".new", bytes)) {
            ::DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (::GetFileAttributesW(fresh.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ::DeleteFileW(fresh.c_str());
        return false;
    }
    return ::MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
}

bool TWin32Shell::RegeditImport(const std::string& file) {
    bool needsElevation = false;
    if (RunRegedit(L"/s \"" + toWide(file) + L"\"", &needsElevation)) {
        return true;
    }
    if (!needsElevation) {
        return false;
    }
    // The program's own reader, with the user's rights: the user's key is
    // theirs to change, the machine's refuses what it refuses.
    TWin32Registry registry;
    TWin32FileSystem files;
    std::string bytes;
    return files.ReadFile(file, &bytes) && ImportRegFile(registry, bytes);
}

} // namespace cv
