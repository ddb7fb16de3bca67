// The system's open and save file dialogs. A filter is written as pairs of
// "description|pattern" separated by "|"; the places bar is left out. With a
// modal responder installed (tests) the responder answers instead: it sees
// the file name in Value and may change it.
#pragma once

#include <windows.h>

#include <string>

namespace cv {

class TOpenDialog {
public:
    virtual ~TOpenDialog() = default;
    std::string Title;
    std::string Filter;
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;
    // True when the user chose a file; FileName then holds it.
    bool Execute(HWND owner = nullptr);

protected:
    virtual bool Saving() const { return false; }
    virtual const char* ClassName() const { return "TOpenDialog"; }
};

class TSaveDialog : public TOpenDialog {
public:
    bool OverwritePrompt = true;

protected:
    bool Saving() const override { return true; }
    const char* ClassName() const override { return "TSaveDialog"; }
};

// "a|b|c|d" as the system's list of NUL-separated strings ending in two NULs.
std::wstring FilterList(const std::string& filter);

} // namespace cv
