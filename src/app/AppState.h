#pragma once
// The shell's one process-wide record. Touched only on the window thread.

#include "base/Handles.h"
#include "grouplist/GroupedListControl.h"

#include <array>
#include <string>
#include <vector>

namespace app {

struct AppState {
    std::wstring configPath;   // program directory + "\Instal.ini"
    std::wstring favoritesDir; // program directory + "\Favorites"
    std::wstring playlistPath; // program directory + "\Favorites\mp3.txt"

    std::vector<std::wstring> playlist;
    std::wstring currentMusic; // full path of the current track; empty if none
    int musicPlaying = 0;

    // [0] the default item picture, [1] its grey copy; read when list rows paint.
    std::array<base::UniqueBitmap, 2> defaultPictures;

    // The shortcut list inside 图片框1; created with the main window.
    grouplist::GroupedListControl listControl;

    UINT taskbarCreatedMessage = 0;

    // Docking at the top edge of the screen.
    int dockHidden = 0;
    int dockSliding = 0;

    std::array<int, 8> boxObjectIds{};
};

// The folder of the running executable, without a trailing backslash.
[[nodiscard]] std::wstring ProgramDirectory();
[[nodiscard]] std::wstring ProgramPath();

void SetPaths(AppState& state, const std::wstring& programDirectory);

// Makes the default item picture and its grey twin.
[[nodiscard]] bool MakeDefaultPictures(AppState& state);

} // namespace app
