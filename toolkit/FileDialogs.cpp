#include "toolkit/FileDialogs.h"

#include "platform/win32/Win32Text.h"
#include "toolkit/Application.h"

#include <commdlg.h>

namespace cv {

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
    const BOOL chosen = Saving() ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        return false;
    }
    FileName = toUtf8(buffer.c_str());
    return true;
}

} // namespace cv
