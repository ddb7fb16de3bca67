// Helpers for the registry exports of real profiles that lie beside the
// project (never inside it).
#pragma once

#include "inventory/UninstallManager.h"

#include <string>
#include <vector>

namespace cv::test {

// The sections of a .reg file's text ("[key]" line with its value lines), in
// file order, each without its blank lines.
std::vector<std::string> RegSections(const std::string& fileBytes);

// Every field of an entry on one line, for comparing inventories.
std::string Describe(const TUninstallItem& item);

} // namespace cv::test
