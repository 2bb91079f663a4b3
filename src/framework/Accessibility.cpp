// src/framework/Accessibility.cpp
// The GUIDs are spelled out here, so that no import library has to carry them.
#include "framework/Accessibility.h"

#include <oleacc.h>

#include <algorithm>

namespace fw {
namespace {

constexpr GUID kAccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kDescriptionProperty = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr GUID kStateProperty = {0xa8d4d5b0, 0x0a21, 0x42d0, {0xa5, 0xc0, 0x51, 0x4e, 0x98, 0x4f, 0x45, 0x7b}};
// UI Automation's LiveSetting, which the system maps from this annotation.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8

}  // namespace

CComApartment::CComApartment() noexcept
    : m_initialised(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
{
}

CComApartment::~CComApartment()
{
    if (m_initialised)
        ::CoUninitialize();
}

IAccPropServices* CAccessibility::Services() noexcept
{
    if (m_services == nullptr) {
        void* services = nullptr;
        if (SUCCEEDED(::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                         kAccPropServicesInterface, &services)))
            m_services = static_cast<IAccPropServices*>(services);
    }
    return m_services;
}

CAccessibility::~CAccessibility()
{
    Clear();
    if (m_services != nullptr)
        m_services->Release();
}

void CAccessibility::Clear() noexcept
{
    if (m_services != nullptr) {
        for (HWND control : m_annotated) {
            MSAAPROPID properties[] = {kDescriptionProperty, kStateProperty, kLiveSettingProperty};
            m_services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                                       static_cast<int>(std::size(properties)));
        }
    }
    m_annotated.clear();
}

void CAccessibility::Annotated(HWND control)
{
    if (std::find(m_annotated.begin(), m_annotated.end(), control) == m_annotated.end())
        m_annotated.push_back(control);
}

void CAccessibility::SetDescription(HWND control, const std::wstring& text) noexcept
{
    if (control == nullptr || Services() == nullptr)
        return;
    try {
        if (SUCCEEDED(m_services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                 kDescriptionProperty, text.c_str())))
            Annotated(control);
    } catch (...) {
    }
}

void CAccessibility::SetNumber(HWND control, const GUID& property, LONG value) noexcept
{
    if (control == nullptr || Services() == nullptr)
        return;
    VARIANT number = {};
    number.vt = VT_I4;
    number.lVal = value;
    try {
        if (SUCCEEDED(m_services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                              number)))
            Annotated(control);
    } catch (...) {
    }
}

void CAccessibility::MarkLive(HWND control) noexcept { SetNumber(control, kLiveSettingProperty, kPolite); }

void CAccessibility::HideFromReaders(HWND control) noexcept
{
    SetNumber(control, kStateProperty, STATE_SYSTEM_INVISIBLE);
}

void CAccessibility::AnnounceChange(HWND control) noexcept
{
    if (control != nullptr)
        ::NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace fw
