// What a list frame does with its items: add one for a path, delete, and
// keep them in a section of a settings file. The file operator shows the
// shell's icons through the system image lists.
//
// Items the operator adds carry a copy of their path, which the operator
// owns and releases when it deletes them; an item the page gave its own
// data keeps it: the operator never frees what it did not make.
#pragma once

#include "app/IniFile.h"
#include "platform/Platform.h"
#include "toolkit/ComCtrls.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cv {

class TLVOperator {
public:
    TLVOperator(TListView& listView, const TPlatform& platform);
    virtual ~TLVOperator();
    TLVOperator(const TLVOperator&) = delete;
    TLVOperator& operator=(const TLVOperator&) = delete;

    virtual void LoadFromIni(TIniFile& ini, const std::string& section) = 0;
    virtual void SaveToIni(TIniFile& ini, const std::string& section) = 0;
    // The new item's index; -1 here, where no item is made.
    virtual int AddItem(const std::string& path);
    virtual void AddItems(const std::vector<std::string>& paths);
    virtual void DeleteItem(int index);
    virtual void DeleteSelected();

    // A missing file loads nothing.
    void LoadFromFile(const std::string& fileName, const std::string& section);
    void SaveToFile(const std::string& fileName, const std::string& section);

    TListView& ListView() const { return FListView; }

protected:
    // Attaches a copy of the path to the item, owned by the operator.
    void AttachPath(int index, const std::string& path);
    // The path attached by the operator, or empty.
    std::string AttachedPath(int index) const;
    const TPlatform& FPlatform;

private:
    TListView& FListView;
    std::map<std::uintptr_t, std::unique_ptr<std::string>> FPaths;
};

class TFileLVOperator : public TLVOperator {
public:
    TFileLVOperator(TListView& listView, const TPlatform& platform);
    ~TFileLVOperator() override;

    void LoadFromIni(TIniFile& ini, const std::string& section) override;
    void SaveToIni(TIniFile& ini, const std::string& section) override;
    // An item with the file's icon from the system image list; no caption.
    int AddItem(const std::string& path) override;

private:
    void AssignSystemImages();
    void FreeSystemImages();
    std::unique_ptr<TImageList> FSmallImages;
    std::unique_ptr<TImageList> FLargeImages;
};

} // namespace cv
