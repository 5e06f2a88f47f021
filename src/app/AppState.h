#pragma once
// The shell's one process-wide record. Touched only on the window thread.

#include "base/Dpi.h"
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
    std::wstring iconCachePath; // program directory + "\IconCache.dat"

    std::vector<std::wstring> playlist;
    std::wstring currentMusic; // full path of the current track; empty if none
    bool musicPlaying = false; // the play button shows "停止"

    // [0] the default item picture, [1] its grey copy; read when list rows paint.
    std::array<base::UniqueBitmap, 2> defaultPictures;

    // The shortcut list inside 图片框1; created with the main window.
    grouplist::GroupedListControl listControl;

    UINT taskbarCreatedMessage = 0;

    // Docking at the top edge of the screen.
    // Changed by Docking's functions only.
    bool dockHidden = false;
    bool dockSliding = false;
    // Called out of the strip by the key, not the mouse: it stays until the
    // mouse has been over it, or the key sends it back.
    bool dockHeld = false;

    std::array<int, 8> boxObjectIds{};
};

// The folder of the running executable, without a trailing backslash.
[[nodiscard]] std::wstring ProgramDirectory();
[[nodiscard]] std::wstring ProgramPath();

void SetPaths(AppState& state, const std::wstring& programDirectory);

// The default item picture's side in design pixels.
inline constexpr int kDefaultItemPictureSide = 40;

// The default item picture drawn pixelSize pixels square: at 40 it is the
// built-in BMP itself, at any other size the same design drawn afresh for
// that size (a scaled copy of the BMP would blur or block it). Empty for a
// size of 0 or less or when GDI refuses.
[[nodiscard]] base::UniqueBitmap MakeDefaultItemPicture(int pixelSize);

// Makes the default item picture and its grey twin for a DPI, in place of
// the pair made before; on failure the old pair stays. The lists read the
// pair through GroupedListControl::SetDefaultAvatars, which must be given
// the new one before anything paints.
[[nodiscard]] bool MakeDefaultPictures(AppState& state, int dpi = base::kDesignDpi);

} // namespace app
