#pragma once
// Filling the shortcut list from the catalogue folders, and starting the
// program behind an entry.

#include "catalogue/ProgramLauncher.h"
#include "grouplist/GroupedListControl.h"

#include <string>

namespace catalogue {

// Where the time of a load goes; for measuring, not needed to load.
struct LoadStats {
    double iconMs = 0; // asking the shell for icons and drawing them
    int groups = 0;
    int entries = 0;
};

// Empties the list and adds one collapsed group per catalogue folder under
// root, named "folder [n]" with n its shortcut files, holding one entry per
// shortcut: " name", the program's icon, the program path as signature.
// dcWindow gives the device the icons are drawn for.
void LoadCatalogue(grouplist::GroupedListControl& list, const std::wstring& root, HWND dcWindow,
                   LoadStats* stats = nullptr);

// Starts the program of the list's selected entry, if it has a path. Nobody
// is told when it cannot start; the result is for callers that care.
bool LaunchSelectedEntry(grouplist::GroupedListControl& list, ProgramLauncher& launcher);

} // namespace catalogue
