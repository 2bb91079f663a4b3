// src/framework/Clipboard.cpp
#include "framework/Clipboard.h"

#include <cstring>

namespace fw {

bool CopyTextToClipboard(HWND owner, const std::wstring& text) noexcept
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        return false;
    if (void* target = ::GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        ::GlobalUnlock(memory);
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory once it took it.
    const bool copied = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!copied)
        ::GlobalFree(memory);
    ::CloseClipboard();
    return copied;
}

}  // namespace fw
