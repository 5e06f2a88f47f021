#include "app/AppState.h"

#include "app/DefaultItemPicture.h"
#include "base/Dib32.h"
#include "base/PathNames.h"
#include "base/TextFile.h"
#include "image/PictureHelpers.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

struct Shade {
    double r;
    double g;
    double b;
};

bool InsideRoundedSquare(double u, double v, double radius)
{
    const double dx = std::max({radius - u, 0.0, u - (1 - radius)});
    const double dy = std::max({radius - v, 0.0, v - (1 - radius)});
    return dx * dx + dy * dy <= radius * radius;
}

// The default item picture at a point of the unit square: a small window
// with a title bar and three text lines, on a light rounded tile. The same
// design res/make-art.py drew the BMP from.
Shade DefaultItemShade(double u, double v)
{
    if (!InsideRoundedSquare(u, v, 0.16))
        return {1.0, 1.0, 1.0};
    constexpr double left = 0.20;
    constexpr double right = 0.80;
    constexpr double top = 0.24;
    constexpr double bottom = 0.76;
    if (left <= u && u <= right && top <= v && v <= bottom) {
        if (std::min({u - left, right - u, v - top, bottom - v}) < 0.035)
            return {0.33, 0.45, 0.60}; // frame
        if (v < top + 0.14)
            return {0.45, 0.62, 0.82}; // title bar
        const auto line = [&](double end, double from, double to) {
            return 0.29 <= u && u <= end && from <= v && v <= to;
        };
        if (line(0.52, 0.46, 0.50) || line(0.70, 0.56, 0.60) || line(0.62, 0.66, 0.70))
            return {0.70, 0.78, 0.86};
        return {1.0, 1.0, 1.0};
    }
    return {0.86 - 0.10 * v, 0.91 - 0.08 * v, 0.96 - 0.05 * v};
}

// A channel from 0..1 to a byte, halves to even as the art script rounds.
DWORD Channel(double value)
{
    return static_cast<DWORD>(std::clamp(std::nearbyint(value * 255), 0.0, 255.0));
}

// The design drawn for a size, sampled as the art script sampled it.
base::UniqueBitmap DrawDefaultItemPicture(int pixelSize)
{
    base::Dib32 dib = base::CreateDib32(pixelSize, pixelSize);
    if (!dib.pixels)
        return {};
    // Each pixel the mean of 4 x 4 samples: smooth edges at every size.
    constexpr int samples = 4;
    const double side = pixelSize;
    for (int y = 0; y < pixelSize; ++y) {
        for (int x = 0; x < pixelSize; ++x) {
            Shade sum{0, 0, 0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Shade s = DefaultItemShade((x + (sx + 0.5) / samples) / side,
                                                     (y + (sy + 0.5) / samples) / side);
                    sum.r += s.r;
                    sum.g += s.g;
                    sum.b += s.b;
                }
            }
            constexpr double count = samples * samples;
            dib.pixels[static_cast<size_t>(y) * pixelSize + x] =
                Channel(sum.r / count) << 16 | Channel(sum.g / count) << 8 | Channel(sum.b / count);
        }
    }
    ::GdiFlush();
    return std::move(dib.bitmap);
}

} // namespace

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
    state.iconCachePath = programDirectory + L"\\IconCache.dat";
}

base::UniqueBitmap MakeDefaultItemPicture(int pixelSize)
{
    if (pixelSize == kDefaultItemPictureSide)
        return std::move(image::PictureFromBytes(DefaultItemPicture()).bitmap);
    return DrawDefaultItemPicture(pixelSize);
}

bool MakeDefaultPictures(AppState& state, int dpi)
{
    base::UniqueBitmap picture = MakeDefaultItemPicture(base::Scaled(kDefaultItemPictureSide, dpi));
    base::UniqueBitmap grey = picture ? image::GreyCopy(picture.get()) : base::UniqueBitmap{};
    if (!picture || !grey)
        return false;
    state.defaultPictures[0] = std::move(picture);
    state.defaultPictures[1] = std::move(grey);
    return true;
}

} // namespace app
