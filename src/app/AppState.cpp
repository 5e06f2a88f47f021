#include "app/AppState.h"

#include "app/DefaultItemPicture.h"
#include "base/PathNames.h"
#include "base/TextFile.h"
#include "image/PictureHelpers.h"

#include <windows.h>

namespace app {

std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // truncated: long path
    }
    // Started by its 8.3 name (Wine starts a program past MAX_PATH no other
    // way), it still works in its folders under their own names.
    std::wstring longPath = base::LongPathName(path);
    return longPath.empty() ? path : longPath;
}

std::wstring ProgramDirectory()
{
    return base::FolderOf(ProgramPath());
}

void SetPaths(AppState& state, const std::wstring& programDirectory)
{
    state.favoritesDir = programDirectory + L"\\Favorites";
    state.playlistPath = programDirectory + L"\\Favorites\\mp3.txt";
    state.configPath = programDirectory + L"\\Instal.ini";
}

bool MakeDefaultPictures(AppState& state)
{
    image::Picture picture = image::PictureFromBytes(DefaultItemPicture());
    if (!picture.bitmap)
        return false;
    state.defaultPictures[1] = image::GreyCopy(picture.bitmap.get());
    state.defaultPictures[0] = std::move(picture.bitmap);
    return static_cast<bool>(state.defaultPictures[1]);
}

} // namespace app
