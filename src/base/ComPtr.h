#pragma once
// A move-only owner of one COM interface reference.

#include <unknwn.h>

#include <utility>

namespace base {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_ptr, nullptr));
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already holds.
    [[nodiscard]] static ComPtr Attach(T* ptr) noexcept
    {
        ComPtr result;
        result.m_ptr = ptr;
        return result;
    }

    [[nodiscard]] T* get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }

    void reset(T* ptr = nullptr) noexcept
    {
        if (T* old = std::exchange(m_ptr, ptr))
            old->Release();
    }
    // For functions that return a new reference through T**.
    T** put() noexcept
    {
        reset();
        return &m_ptr;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    template <typename U>
    [[nodiscard]] ComPtr<U> query(REFIID iid) const noexcept
    {
        ComPtr<U> result;
        if (m_ptr)
            m_ptr->QueryInterface(iid, result.put_void());
        return result;
    }

private:
    T* m_ptr = nullptr;
};

// CoInitializeEx / CoUninitialize for one thread.
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : m_result(::CoInitializeEx(nullptr, model))
    {
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    [[nodiscard]] bool ok() const noexcept { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};

} // namespace base
