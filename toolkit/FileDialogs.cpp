#include "toolkit/FileDialogs.h"

#include "platform/Errors.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Application.h"

#include <commdlg.h>

#include <string>

namespace cv {

namespace {

using TFileDialogCall = BOOL(WINAPI*)(OPENFILENAMEW*);

// The common dialogs' library costs the process several megabytes (it
// brings the printing libraries with it), so it is loaded the first time a
// file is chosen (on the user-interface thread), not at start, and kept. It is named by its full path in
// the system folder, so no other folder can offer one of that name.
TFileDialogCall FileDialogCall(bool saving) {
    static HMODULE library = nullptr; // asked for again after a failure
    if (library == nullptr) {
        wchar_t system[MAX_PATH];
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            library = LoadLibraryW((std::wstring(system) + L"\\comdlg32.dll").c_str());
        }
    }
    const char* name = saving ? "GetSaveFileNameW" : "GetOpenFileNameW";
    if (library == nullptr) {
        throw EClearvaneError("The file dialog cannot be shown: the system's comdlg32.dll did not load.");
    }
    const auto call =
        reinterpret_cast<TFileDialogCall>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    if (call == nullptr) {
        throw EClearvaneError(FormatText("The file dialog cannot be shown: comdlg32.dll has no %s.", name));
    }
    return call;
}

} // namespace

std::wstring FilterList(const std::string& filter) {
    std::wstring list = toWide(filter);
    for (wchar_t& c : list) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

bool TOpenDialog::Execute(HWND owner) {
    TModalInfo info;
    info.ClassName = ClassName();
    info.Caption = Title;
    info.Texts = {Filter};
    info.Value = FileName;
    if (auto answer = TApplication::Instance().AskResponder(info)) {
        if (*answer == 1) {
            FileName = info.Value;
        }
        return *answer == 1;
    }
    const TFileDialogCall call = FileDialogCall(Saving());
    std::wstring buffer = toWide(FileName);
    buffer.resize(32768, L'\0');
    const std::wstring filter = FilterList(Filter);
    const std::wstring title = toWide(Title);
    const std::wstring ext = toWide(DefaultExt);
    const std::wstring dir = toWide(InitialDir);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner != nullptr ? owner : GetActiveWindow();
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = Title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : ext.c_str();
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : dir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    ofn.FlagsEx = OFN_EX_NOPLACESBAR;
    if (Saving()) {
        if (static_cast<const TSaveDialog*>(this)->OverwritePrompt) {
            ofn.Flags |= OFN_OVERWRITEPROMPT;
        }
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
    }
    if (!call(&ofn)) {
        return false;
    }
    FileName = toUtf8(buffer.c_str());
    return true;
}

} // namespace cv
