// src/framework/TaskbarProgress.cpp
#include "framework/TaskbarProgress.h"

#include <shobjidl.h>

namespace fw {
namespace {
constexpr GUID kTaskbarListClass = {0x56fdf344, 0xfd6d, 0x11d0, {0x95, 0x8a, 0x00, 0x60, 0x97, 0xc9, 0xa0, 0x90}};
constexpr GUID kTaskbarList3Interface = {0xea1afb91, 0x9e28, 0x4b86, {0x90, 0xe9, 0x9e, 0x9f, 0x8a, 0x5e, 0xef, 0xaf}};
}  // namespace

bool CTaskbarProgress::Connect() noexcept
{
    if (m_taskbar != nullptr)
        return true;
    void* taskbar = nullptr;
    if (FAILED(::CoCreateInstance(kTaskbarListClass, nullptr, CLSCTX_INPROC_SERVER, kTaskbarList3Interface, &taskbar)))
        return false;
    m_taskbar = static_cast<ITaskbarList3*>(taskbar);
    if (FAILED(m_taskbar->HrInit())) {
        m_taskbar->Release();
        m_taskbar = nullptr;
    }
    return m_taskbar != nullptr;
}

CTaskbarProgress::~CTaskbarProgress()
{
    if (m_taskbar != nullptr)
        m_taskbar->Release();
}

UINT CTaskbarProgress::ButtonCreatedMessage() noexcept { return ::RegisterWindowMessageW(L"TaskbarButtonCreated"); }

void CTaskbarProgress::ShowBusy(HWND window) noexcept
{
    if (Connect())
        m_taskbar->SetProgressState(window, TBPF_INDETERMINATE);
}

void CTaskbarProgress::Clear(HWND window) noexcept
{
    if (m_taskbar != nullptr)
        m_taskbar->SetProgressState(window, TBPF_NOPROGRESS);
}

}  // namespace fw
