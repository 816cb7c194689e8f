// Sorting a list-view control by the numbers its cells start with.
#pragma once

#include <windows.h>

// Sorts the items of `listView` by the leading integer of their text in `column` (minor_text.h's
// ParseLeadingInteger), ascending or descending. The items' own application data (lParam) is
// the same after the sort as before. Runs on the thread that owns the control.
void SortListViewNumeric(HWND listView, int column, bool descending);
