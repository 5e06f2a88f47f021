#include "image/IconFile.h"

#include <cstring>
#include <span>

namespace image {

namespace {

// The layouts as stored: 2-byte packing in resources, 16-byte entries in files.
constexpr size_t kHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kFileEntrySize = 16;

std::span<const unsigned char> ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type)
{
    HRSRC found = ::FindResourceW(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const unsigned char*>(data), ::SizeofResource(module, found)};
}

void PutLittleEndian32(unsigned char* at, size_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

std::vector<unsigned char> IconFileBytes(HMODULE module, WORD groupId)
{
    const std::span<const unsigned char> group = ResourceBytes(module, MAKEINTRESOURCEW(groupId), RT_GROUP_ICON);
    if (group.size() < kHeaderSize)
        return {};
    const size_t count = group[4] | (group[5] << 8);
    if (count == 0 || group.size() < kHeaderSize + count * kGroupEntrySize)
        return {};

    std::vector<unsigned char> file(group.begin(), group.begin() + kHeaderSize);
    file.resize(kHeaderSize + count * kFileEntrySize);
    size_t offset = file.size();
    std::vector<std::span<const unsigned char>> images;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* entry = group.data() + kHeaderSize + i * kGroupEntrySize;
        const WORD imageId = static_cast<WORD>(entry[12] | (entry[13] << 8));
        const std::span<const unsigned char> image = ResourceBytes(module, MAKEINTRESOURCEW(imageId), RT_ICON);
        if (image.empty())
            return {};
        unsigned char* out = file.data() + kHeaderSize + i * kFileEntrySize;
        std::memcpy(out, entry, 8); // width, height, colours, reserved, planes, bit count
        PutLittleEndian32(out + 8, image.size());
        PutLittleEndian32(out + 12, offset);
        offset += image.size();
        images.push_back(image);
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return file;
}

} // namespace image
