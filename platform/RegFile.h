// The registry editor's file format (.reg, "Windows Registry Editor Version
// 5.00", UTF-16LE with a byte order mark), written and merged over the raw
// registry. The substitute platform's registry editor runs on it, and tests
// use it to load exported registry data.
#pragma once

#include "platform/Registry.h"

#include <string>
#include <vector>

namespace cv {

// Splits "HKEY_LOCAL_MACHINE\SOFTWARE\..." (or "HKLM\...") into its root and
// the path below it. False for an unknown root.
bool SplitRegistryKeyName(const std::string& keyName, HKey* root, std::string* path);
std::string RootKeyName(HKey root);

// The key with its whole subtree as the bytes of a .reg file; false when
// any key or value of it cannot be read. A registry link under the key is
// left out, and so is a value whose name holds a NUL (the format can hold
// neither); *whole, when asked for, says whether anything was left out.
bool ExportRegFile(IRegistryApi& api, const std::string& keyName, std::string* bytes, bool* whole = nullptr);

// A file's contents: its sections in order, each with the values listed
// under it. Lines that cannot be read are counted, not kept.
struct TRegFileValue {
    std::string Name;
    bool Remove = false; // "name"=-
    TRegRawValue Data;
};
struct TRegFileSection {
    std::string Written; // between the brackets, a removal's "-" included
    HKey Root = 0;       // 0 for a root the file format does not know
    std::string Path;
    bool Remove = false; // [-key]
    std::vector<TRegFileValue> Values;
};
struct TRegFileContents {
    std::vector<TRegFileSection> Sections;
    int BadLines = 0;
    bool UnclosedSection = false;
    bool RemovesValues = false;
};
// False when the bytes are not a registry file.
bool ParseRegFile(const std::string& bytes, TRegFileContents* contents);
// Creates the section's key and sets its values (or deletes the key, for a
// removal); false when anything of it could not be applied.
bool ApplyRegFileSection(IRegistryApi& api, const TRegFileSection& section);

// A file holding the one value under the key (named as the editor names it).
std::string RegFileOfValue(const std::string& keyName, const std::string& name, std::uint32_t type,
                           const std::vector<std::uint8_t>& data);

// Merges a .reg file as the registry editor's silent import does: keys are
// created, listed values set, "-" values and "[-key]" sections deleted, and
// everything else left as it was. False when the file is not a registry file
// or a line could not be applied; the lines before it stay applied.
bool ImportRegFile(IRegistryApi& api, const std::string& bytes);

// A registry file without a key, as the editor writes it.
std::string EmptyRegFile();

// The keys the file's sections name, in order, each as written between the
// brackets (a removal keeps its "-"), and whether a line deletes a value
// ("name"=-); false when the file is not a registry file or a section line
// is not closed.
bool RegFileSections(const std::string& bytes, std::vector<std::string>* sections, bool* removesValues);

} // namespace cv
