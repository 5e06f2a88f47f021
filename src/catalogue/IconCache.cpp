#include "catalogue/IconCache.h"

#include "base/TextFile.h"

#include <windows.h>

#include <unordered_set>

namespace catalogue {

IconCache::IconCache(std::wstring file) : m_file(std::move(file)) {}

std::wstring IconCache::KeyOf(const std::wstring& path, int pixelSize)
{
    return KeyOf(std::to_wstring(pixelSize) + L'|' + path);
}

std::wstring IconCache::KeyOf(const std::wstring& file)
{
    std::wstring key = file;
    ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

void IconCache::Read()
{
    std::call_once(m_readOnce, [this] {
        base::ReadError error = base::ReadError::None;
        const std::optional<std::string> bytes = base::ReadFileBytes(m_file, kIconCacheMaxBytes, &error);
        std::optional<IconCacheContents> contents;
        if (bytes)
            contents = DecodeIconCache(*bytes);
        {
            const std::lock_guard hold(m_lock);
            // Whatever stands there and is not a cache of ours is replaced.
            m_changed = !contents && error != base::ReadError::Missing;
            if (contents) {
                // What was stored before the file was read is the newer.
                for (CachedPicture& record : contents->pictures)
                    m_pictures.try_emplace(KeyOf(record.path, record.pixelSize), std::move(record));
                for (CachedShortcut& record : contents->shortcuts)
                    m_shortcuts.try_emplace(KeyOf(record.file), std::move(record));
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

std::optional<std::wstring> IconCache::FindShortcut(const std::wstring& file, const ShortcutIdentity& identity) const
{
    const std::wstring key = KeyOf(file);
    const std::lock_guard hold(m_lock);
    const auto it = m_shortcuts.find(key);
    if (it == m_shortcuts.end() || !identity.stamp.known || it->second.identity != identity)
        return std::nullopt;
    return it->second.program;
}

void IconCache::StoreShortcut(CachedShortcut shortcut)
{
    if (shortcut.file.empty() || shortcut.program.empty() || !shortcut.identity.stamp.known)
        return;
    std::wstring key = KeyOf(shortcut.file);
    const std::lock_guard hold(m_lock);
    const auto it = m_shortcuts.find(key);
    if (it != m_shortcuts.end() && it->second.identity == shortcut.identity && it->second.program == shortcut.program)
        return;
    m_shortcuts.insert_or_assign(std::move(key), std::move(shortcut));
    m_changed = true;
}

bool IconCache::Save(int pixelSize, const CacheKeep* keep)
{
    if (!IsRead())
        return true;
    const std::lock_guard saving(m_saving);
    IconCacheContents contents;
    {
        std::unordered_set<std::wstring> keptPrograms;
        std::unordered_set<std::wstring> keptShortcuts;
        if (keep) {
            for (const std::wstring& path : keep->programs)
                keptPrograms.insert(KeyOf(path, pixelSize));
            for (const std::wstring& file : keep->shortcuts)
                keptShortcuts.insert(KeyOf(file));
        }
        const std::lock_guard hold(m_lock);
        for (auto it = m_pictures.begin(); it != m_pictures.end();) {
            if (it->second.pixelSize != pixelSize || (keep && !keptPrograms.contains(it->first))) {
                it = m_pictures.erase(it);
                m_changed = true;
                continue;
            }
            contents.pictures.push_back(it->second);
            ++it;
        }
        for (auto it = m_shortcuts.begin(); it != m_shortcuts.end();) {
            if (keep && !keptShortcuts.contains(it->first)) {
                it = m_shortcuts.erase(it);
                m_changed = true;
                continue;
            }
            contents.shortcuts.push_back(it->second);
            ++it;
        }
        if (!m_changed)
            return true;
        m_changed = false;
    }
    if (base::WriteFileAtomic(m_file, EncodeIconCache(contents)))
        return true;
    const std::lock_guard hold(m_lock);
    m_changed = true;
    return false;
}

} // namespace catalogue
