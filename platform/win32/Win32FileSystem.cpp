#include "platform/win32/Win32FileSystem.h"

#include "platform/PathText.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>

namespace cv {

namespace {

// Calls a Win32 function that fills a buffer and answers the length it needs.
template <typename F> std::wstring Grow(F fill) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) {
            return {};
        }
        if (got < buffer.size()) {
            buffer.resize(got);
            return buffer;
        }
        buffer.assign(got + 1, L'\0');
    }
}

std::wstring FullWide(const std::wstring& path) {
    return Grow(
        [&](wchar_t* out, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, out, nullptr); });
}

DWORD Attributes(const std::string& path) {
    return ::GetFileAttributesW(ApiPath(path).c_str());
}

} // namespace

std::wstring ApiPath(const std::string& path) {
    const std::wstring wide = toWide(path);
    if (wide.size() < 240) {
        return wide;
    }
    const std::wstring full = FullWide(wide);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
        return L"\\\\?\\" + full;
    }
    return wide;
}

bool TWin32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32FileSystem::DirectoryExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TPathState TWin32FileSystem::PathState(const std::string& path) {
    if (path.empty()) {
        return TPathState::Unknown;
    }
    const DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TPathState::Folder : TPathState::File;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TPathState::Missing
                                                                          : TPathState::Unknown;
}

TVolumeKind TWin32FileSystem::VolumeKind(const std::string& volume) {
    if (volume.size() > 2 && IsPathDelimiter(volume[0]) && IsPathDelimiter(volume[1])) {
        return TVolumeKind::Network;
    }
    if (volume.size() != 2 || volume[1] != ':' || !std::isalpha(static_cast<unsigned char>(volume[0]))) {
        return TVolumeKind::Unknown;
    }
    const std::wstring drive = toWide(volume);
    switch (::GetDriveTypeW((drive + L"\\").c_str())) {
    case DRIVE_FIXED:
    case DRIVE_RAMDISK:
        break;
    case DRIVE_REMOTE:
        return TVolumeKind::Network;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
        return TVolumeKind::Removable;
    case DRIVE_NO_ROOT_DIR:
        return TVolumeKind::Absent;
    default:
        return TVolumeKind::Unknown;
    }
    // A drive made by subst reports the type of the drive it stands for;
    // its device is a path of the object manager's "\??\" instead of a disk.
    std::wstring target(32768, L'\0'); // the longest path a subst can stand for
    if (::QueryDosDeviceW(drive.c_str(), target.data(), static_cast<DWORD>(target.size())) == 0) {
        return TVolumeKind::Unknown;
    }
    return target.compare(0, 4, L"\\??\\") == 0 ? TVolumeKind::Substituted : TVolumeKind::Local;
}

std::vector<TFoundFile> TWin32FileSystem::FindFiles(const std::string& folder, const std::string& mask) {
    std::vector<TFoundFile> found;
    WIN32_FIND_DATAW data;
    const std::string pattern = (folder.empty() ? std::string() : IncludeTrailingBackslash(folder)) + mask;
    const TFindHandle find(::FindFirstFileW(ApiPath(pattern).c_str(), &data));
    if (!find) {
        return found;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        found.push_back({toUtf8(name), data.dwFileAttributes,
                         (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while (::FindNextFileW(find.Get(), &data));
    return found;
}

std::uint32_t TWin32FileSystem::GetAttributes(const std::string& path) {
    return ::GetFileAttributesW(ApiPath(path).c_str());
}

bool TWin32FileSystem::ReadFile(const std::string& path, std::string* contents) {
    const TKernelHandle file(::CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        data.append(buffer, got);
    }
    *contents = std::move(data);
    return true;
}

bool TWin32FileSystem::WriteFile(const std::string& path, const std::string& contents) {
    const TKernelHandle file(::CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), contents.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return ::FlushFileBuffers(file.Get()) != 0;
}

bool TWin32FileSystem::RemoveFile(const std::string& path) {
    return ::DeleteFileW(ApiPath(path).c_str()) != 0;
}

bool TWin32FileSystem::MovePath(const std::string& from, const std::string& to, bool replace) {
    DWORD flags = MOVEFILE_COPY_ALLOWED;
    if (replace) {
        flags |= MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    }
    return ::MoveFileExW(ApiPath(from).c_str(), ApiPath(to).c_str(), flags) != 0;
}

bool TWin32FileSystem::MakeDirectory(const std::string& path) {
    return ::CreateDirectoryW(ApiPath(path).c_str(), nullptr) != 0;
}

bool TWin32FileSystem::RemoveEmptyDirectory(const std::string& path) {
    return ::RemoveDirectoryW(ApiPath(path).c_str()) != 0;
}

std::string TWin32FileSystem::CurrentDirectory() {
    return toUtf8(Grow([](wchar_t* out, DWORD size) { return ::GetCurrentDirectoryW(size, out); }));
}

bool TWin32FileSystem::ChangeDirectory(const std::string& path) {
    return ::SetCurrentDirectoryW(toWide(path).c_str()) != 0;
}

namespace {

// GetShortPathName or GetLongPathName, without the long-path prefix.
template <class F> std::string PathForm(const std::string& path, F convert) {
    const std::wstring wide = ApiPath(path);
    std::wstring form = Grow([&](wchar_t* out, DWORD size) { return convert(wide.c_str(), out, size); });
    if (form.compare(0, 4, L"\\\\?\\") == 0) {
        form.erase(0, 4);
    }
    return toUtf8(form);
}

} // namespace

std::string TWin32FileSystem::ShortPathName(const std::string& path) {
    return PathForm(path, ::GetShortPathNameW);
}

std::string TWin32FileSystem::LongPathName(const std::string& path) {
    return PathForm(path, ::GetLongPathNameW);
}

bool TWin32FileSystem::MoveToRecycleBin(const std::string& path) {
    // The shell's delete with undo: into the Recycle Bin, without a question
    // or a progress window; where there is no Recycle Bin (a network share)
    // the shell warns that the file would be gone for good, and the user may
    // say no. The list of names ends in two NULs.
    std::wstring from = toWide(FullPathName(path));
    from.append(2, L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_SILENT | FOF_NOERRORUI;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           ::GetFileAttributesW(ApiPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::string TWin32FileSystem::FullPathName(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    return toUtf8(FullWide(toWide(path)));
}

} // namespace cv
