// Small platform chores several parts of the program share, and finding the
// program a command line starts. None of them keeps state.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

// The file itself when it exists, else the program the shell associates with
// it, else empty.
std::string LocateExecutable(const TPlatform& platform, const std::string& fileName);

// The program at the start of a command line. A quoted program is the
// quoted text. Otherwise the path may hold blanks, so the line is cut before
// its first blank, then before its second, and so on, each cut tried with
// quotes removed and doubled backslashes made single: a cut naming an
// existing file as written wins first, then a bare program name in the
// system or Windows folder, then the first cut the shell finds a program
// for (a missing ".exe", the search path, a document's program). Ten tries
// at most; empty when none resolves.
struct TProgramInLine {
    std::string Program;
    std::size_t End = 0; // where the program's part of the line ends
};
TProgramInLine FindProgramInLine(const TPlatform& platform, const std::string& commandLine);
std::string ExtractExecutable(const TPlatform& platform, const std::string& commandLine);
// The paths the line's program may be, read as FindProgramInLine reads it
// but without looking at the disk: the quoted text, or each cut before a
// blank (ten at most), cleaned.
std::vector<std::string> ProgramCandidates(const std::string& commandLine);

// The program's own folder, the system folder and the Windows folder, each
// ending in one backslash.
std::string GetAppDir(const TPlatform& platform);
std::string GetSystemDir(const TPlatform& platform);
std::string GetWindowsDir(const TPlatform& platform);

// The file a shortcut of that name is: the name's extension, from its last
// dot, gives way to ".lnk".
std::string ShortcutFileName(const std::string& name);
// Writes folder\ShortcutFileName(name) pointing at the target, started in
// the target's folder; false when the shell could not.
bool CreateShortcut(const TPlatform& platform, const std::string& name, const std::string& target,
                    const std::string& arguments, const std::string& folder);
// The target stored in a .lnk file; empty when it is none.
std::string ResolveShortcut(const TPlatform& platform, const std::string& linkPath);

// Starts the command line; with wait, returns when it and every process it
// started have ended, window messages handled meanwhile. Failures are silent.
void RunAndWait(const TPlatform& platform, const std::string& commandLine, bool wait);
void ShellOpen(const TPlatform& platform, const std::string& target);
void ShowFileProperties(const TPlatform& platform, const std::string& path);
// The shell's system image list of 32x32 (large) or 16x16 icons. It belongs
// to the shell: nobody destroys it.
std::uintptr_t GetSystemImageList(const TPlatform& platform, bool large);

// The largest file of the folder matching the mask, as folder\name: a file
// wins only when strictly larger than the best so far, so empty files never
// win and the first of equal sizes stays. Empty when nothing matched or the
// folder is missing. Lists the folder by its path and never changes the
// current directory, which other threads rely on.
std::string FindLargestFile(const TPlatform& platform, const std::string& folder, const std::string& mask);

} // namespace cv
