// src/framework/Accessibility.h
// What screen readers learn beyond what the controls tell by themselves:
// dynamic annotations through oleacc (a description, a live setting, a
// control left out), and the event that a live region changed. Each is
// best effort: where the system lacks it, the control reads as it would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct IAccPropServices;

namespace fw {

// COM on this thread for the object's life, as oleacc's services need it.
class CComApartment {
public:
    CComApartment() noexcept;
    ~CComApartment();
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool m_initialised = false;
};

class CAccessibility {
public:
    // Asks for the system's annotation service only at the first
    // annotation, which needs COM on this thread (CComApartment) by then.
    CAccessibility() noexcept = default;
    // Clears every annotation made, which the system would keep otherwise:
    // the dialogs call Clear in WM_DESTROY, while the windows still exist.
    ~CAccessibility();
    void Clear() noexcept;
    CAccessibility(const CAccessibility&) = delete;
    CAccessibility& operator=(const CAccessibility&) = delete;

    void SetDescription(HWND control, const std::wstring& text) noexcept;
    // A reader tells the control's changes when it is idle (polite), as
    // Windows 8 and later let it.
    void MarkLive(HWND control) noexcept;
    // Left out of what a reader reads: an icon that only repeats the text.
    void HideFromReaders(HWND control) noexcept;
    // The control's text changed: a reader that follows live regions says so.
    static void AnnounceChange(HWND control) noexcept;

private:
    IAccPropServices* Services() noexcept;
    void SetNumber(HWND control, const GUID& property, LONG value) noexcept;
    void Annotated(HWND control);

    IAccPropServices* m_services = nullptr;
    std::vector<HWND> m_annotated;
};

}  // namespace fw
