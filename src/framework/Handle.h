// src/framework/Handle.h
// One move-only owner for every kind of handle the program opens. Each kind
// is a traits struct (its empty value and its close call) and an alias.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace fw {

template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : m_value(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const noexcept { return m_value; }
    bool valid() const noexcept { return m_value != Traits::Empty(); }
    explicit operator bool() const noexcept { return valid(); }

    Type release() noexcept { return std::exchange(m_value, Traits::Empty()); }

    // Closing keeps the caller's last error, so a failure code read after a
    // scope ends is still the one of the call that failed.
    void reset(Type value = Traits::Empty()) noexcept
    {
        const Type old = std::exchange(m_value, value);
        if (old != Traits::Empty()) {
            const DWORD lastError = ::GetLastError();
            Traits::Close(old);
            ::SetLastError(lastError);
        }
    }

    // For out-parameters: closes the current value first.
    Type* put() noexcept
    {
        reset();
        return &m_value;
    }

private:
    Type m_value = Traits::Empty();
};

struct KeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};

struct FindTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};

// CreateFileW fails with INVALID_HANDLE_VALUE, not null.
struct FileTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

// Process, thread and token handles fail with null.
struct KernelTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

struct ServiceTraits {
    using Type = SC_HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};

struct BrushTraits {
    using Type = HBRUSH;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};

struct DropTraits {
    using Type = HDROP;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DragFinish(h); }
};

struct LocalTraits {
    using Type = HLOCAL;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::LocalFree(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};

// Icons made for one size (LoadIconWithScaleDown); shared ones (LoadIcon)
// are never destroyed.
struct IconTraits {
    using Type = HICON;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
using UniqueService = UniqueHandle<ServiceTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueDrop = UniqueHandle<DropTraits>;
using UniqueLocal = UniqueHandle<LocalTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;

}  // namespace fw
