#include "catalogue/IconCache.h"

#include "base/TextFile.h"

#include <windows.h>

#include <unordered_set>

namespace catalogue {

IconCache::IconCache(std::wstring file) : m_file(std::move(file)) {}

std::wstring IconCache::KeyOf(const std::wstring& path, int pixelSize)
{
    std::wstring key = std::to_wstring(pixelSize) + L'|' + path;
    ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

void IconCache::Read()
{
    std::call_once(m_readOnce, [this] {
        base::ReadError error = base::ReadError::None;
        const std::optional<std::string> bytes = base::ReadFileBytes(m_file, kIconCacheMaxBytes, &error);
        std::optional<std::vector<CachedPicture>> records;
        if (bytes)
            records = DecodeIconCache(*bytes);
        {
            const std::lock_guard hold(m_lock);
            // Whatever stands there and is not a cache of ours is replaced.
            m_changed = !records && error != base::ReadError::Missing;
            if (records) {
                // A picture stored before the file was read is the newer one.
                for (CachedPicture& record : *records)
                    m_pictures.try_emplace(KeyOf(record.path, record.pixelSize), std::move(record));
            }
        }
        m_read.store(true, std::memory_order_release);
    });
}

std::optional<CachedPicture> IconCache::Find(const std::wstring& path, int pixelSize) const
{
    const std::wstring key = KeyOf(path, pixelSize);
    const std::lock_guard hold(m_lock);
    const auto it = m_pictures.find(key);
    if (it == m_pictures.end())
        return std::nullopt;
    return it->second;
}

void IconCache::Store(const std::wstring& path, int pixelSize, const FileStamp& stamp, PictureBytes picture,
                      bool missing)
{
    if (!picture || path.empty() || pixelSize <= 0)
        return;
    std::wstring key = KeyOf(path, pixelSize);
    const std::lock_guard hold(m_lock);
    const auto it = m_pictures.find(key);
    if (it != m_pictures.end() && it->second.stamp == stamp && it->second.missing == missing &&
        *it->second.picture == *picture)
        return;
    m_pictures.insert_or_assign(std::move(key), CachedPicture{path, pixelSize, stamp, missing, std::move(picture)});
    m_changed = true;
}

bool IconCache::Save(int pixelSize, const std::vector<std::wstring>* keep)
{
    if (!IsRead())
        return true;
    const std::lock_guard saving(m_saving);
    std::vector<CachedPicture> records;
    {
        std::unordered_set<std::wstring> kept;
        if (keep) {
            for (const std::wstring& path : *keep)
                kept.insert(KeyOf(path, pixelSize));
        }
        const std::lock_guard hold(m_lock);
        for (auto it = m_pictures.begin(); it != m_pictures.end();) {
            if (it->second.pixelSize != pixelSize || (keep && !kept.contains(it->first))) {
                it = m_pictures.erase(it);
                m_changed = true;
                continue;
            }
            records.push_back(it->second);
            ++it;
        }
        if (!m_changed)
            return true;
        m_changed = false;
    }
    if (base::WriteFileAtomic(m_file, EncodeIconCache(records)))
        return true;
    const std::lock_guard hold(m_lock);
    m_changed = true;
    return false;
}

} // namespace catalogue
