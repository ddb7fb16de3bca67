// What the details dialog shows of an entry, apart from any window: its
// facts, its links and when a link is opened, and its values as grid rows.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cv {

inline constexpr const char* kNotRecorded = "[Not recorded]";

// A fact as shown: the field, or "[Not recorded]" when it is empty or blank.
std::string FactText(const std::string& field);
// A link as shown and opened: the fact, with the doubled slashes of its
// path made single ("http://host//page" is "http://host/page"); the "//"
// after the scheme stays.
std::string LinkText(const std::string& field);
// Only a web address is opened: it begins with "http://" or "https://" in
// any letter case. Anything else (a program's name, say) never is.
bool IsWebAddress(const std::string& text);

using TGridRow = std::pair<std::string, std::string>;
// The grid's rows from the key's values (ReadRows): the last value first.
std::vector<TGridRow> GridRows(const std::vector<TGridRow>& values);
// The rows a save hands to WriteRows, in the grid's order. The grid's lone
// empty row of a key without values stands for nothing; an empty row stands
// for the default value only when the key had one.
std::vector<TGridRow> SavedRows(const std::vector<TGridRow>& rows, const std::vector<TGridRow>& loaded);

} // namespace cv
