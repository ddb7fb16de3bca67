// A small program the Windows tests start: it waits, leaves a marker file,
// deletes a registry key, starts a copy of itself and ends with a chosen exit
// code, as uninstallers do.
//   cv_testhelper sleep MS | exit CODE | touch PATH | self FOLDER | delkey HKCU|HKLM KEY | spawn MS PATH
// (any order). "self" leaves FOLDER\<its own file name>.ran, so a test sees
// which copy of it ran; "spawn" starts a detached copy that sleeps MS and
// then touches PATH.
#include "../../platform/win32/Win32Handles.h"

#include <windows.h>

#include <cstdlib>
#include <string>

int wmain(int argc, wchar_t** argv) {
    int code = 0;
    for (int i = 1; i < argc; ++i) {
        const std::wstring word = argv[i];
        if (word == L"sleep" && i + 1 < argc) {
            ::Sleep(static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10)));
        } else if (word == L"exit" && i + 1 < argc) {
            code = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
        } else if (word == L"touch" && i + 1 < argc) {
            const cv::TKernelHandle file(
                ::CreateFileW(argv[++i], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        } else if (word == L"self" && i + 1 < argc) {
            wchar_t self[32768];
            const std::wstring path(self, ::GetModuleFileNameW(nullptr, self, 32768));
            const std::wstring marker =
                std::wstring(argv[++i]) + L"\\" + path.substr(path.find_last_of(L'\\') + 1);
            const cv::TKernelHandle file(::CreateFileW((marker + L".ran").c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_ALWAYS, 0, nullptr));
        } else if (word == L"delkey" && i + 2 < argc) {
            const HKEY root = std::wstring(argv[i + 1]) == L"HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
            ::RegDeleteTreeW(root, argv[i + 2]);
            ::RegDeleteKeyW(root, argv[i + 2]);
            i += 2;
        } else if (word == L"spawn" && i + 2 < argc) {
            wchar_t self[32768];
            ::GetModuleFileNameW(nullptr, self, 32768);
            std::wstring line =
                L"\"" + std::wstring(self) + L"\" sleep " + argv[i + 1] + L" touch \"" + argv[i + 2] + L"\"";
            i += 2;
            STARTUPINFOW startup = {};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info = {};
            ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             nullptr, &startup, &info);
            const cv::TKernelHandle thread(info.hThread);
            const cv::TKernelHandle process(info.hProcess);
        }
    }
    return code;
}
