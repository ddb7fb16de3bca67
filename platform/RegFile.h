// The registry editor's file format (.reg, "Windows Registry Editor Version
// 5.00", UTF-16LE with a byte order mark), written and merged over the raw
// registry. The substitute platform's registry editor runs on it, and tests
// use it to load exported registry data.
#pragma once

#include "platform/RegistryApi.h"

#include <string>
#include <vector>

namespace cv {

// Splits "HKEY_LOCAL_MACHINE\SOFTWARE\..." (or "HKLM\...") into its root and
// the path below it. False for an unknown root.
bool SplitRegistryKeyName(const std::string& keyName, HKey* root, std::string* path);
std::string RootKeyName(HKey root);

// The key with its whole subtree as the bytes of a .reg file; false when the
// key cannot be opened.
bool ExportRegFile(IRegistryApi& api, const std::string& keyName, std::string* bytes);

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
