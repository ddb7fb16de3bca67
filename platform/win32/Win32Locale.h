// The user's locale as the list's column sorting needs it.
#pragma once

#include "listview/ColumnSort.h"

namespace cv {

// Separators and date order of the user's locale, and its case-sensitive
// text comparison.
TSortFormat UserSortFormat();

} // namespace cv
