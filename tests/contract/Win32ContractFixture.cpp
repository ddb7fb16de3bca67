#include "contract/ContractEnv.h"

#include "platform/Registry.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <atomic>

namespace cv::test {

namespace {

std::atomic<int> gScratchCount{0};

std::string ModuleFolder() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return toUtf8(path.substr(0, path.find_last_of(L'\\')));
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    if (const TFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data)); find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path);
            } else {
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find.Get(), &data));
    }
    ::RemoveDirectoryW(folder.c_str());
}

class TWin32Env : public TContractEnv {
public:
    TWin32Env() {
        const std::string id =
            std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++gScratchCount);
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
        FFolder = toUtf8(temp) + "cvtest-" + id;
        ::CreateDirectoryW(toWide(FFolder).c_str(), nullptr);
        FKey = "Software\\ClearvaneTests\\" + id;
        TRegistry reg(FWin.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(FKey, true);
    }

    ~TWin32Env() override {
        RemoveTree(L"\\\\?\\" + toWide(FFolder)); // the long form reaches paths past 260 characters
        TRegistry reg(FWin.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.DeleteKey(FKey);
    }

    TPlatform& Platform() override { return FWin.Platform; }
    bool IsWine() const override {
        return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    }
    std::string ScratchFolder() override { return FFolder; }
    std::string ScratchKey() override { return FKey; }
    std::string HelperCommand(const std::string& words) override {
        return "\"" + ModuleFolder() + "\\cv_testhelper.exe\" " + words;
    }

private:
    TWin32Platform FWin;
    std::string FFolder;
    std::string FKey;
};

} // namespace

std::unique_ptr<TContractEnv> MakeContractEnv() {
    return std::make_unique<TWin32Env>();
}

std::string RealDataFolder() {
    std::string path = CLEARVANE_REALDATA;
    if (!path.empty() && path[0] == '/') {
        // Wine shows the Linux file system as drive Z:.
        for (char& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
        path = "Z:" + path;
    }
    const DWORD attributes = ::GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
               ? path
               : std::string();
}

} // namespace cv::test
