// tests/support/TestServices.h
// A real service installed in the prefix for a test's duration.
#pragma once

#include "framework/Handle.h"

namespace testing_support {

// A service installed for the test's duration; it is never started.
class InstalledService {
public:
    explicit InstalledService(const wchar_t* name)
    {
        fw::UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        // Display names must be unique too, so the key name serves as one.
        m_service.reset(::CreateServiceW(manager.get(), name, name, SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                         L"C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr, nullptr,
                                         nullptr));
        if (!m_service)
            m_error = manager ? ::GetLastError() : ERROR_ACCESS_DENIED;
    }
    ~InstalledService()
    {
        if (m_service)
            ::DeleteService(m_service.get());
    }
    bool Installed() const { return m_service.valid(); }
    // Not installed for want of the right: a standard user's run.
    bool Refused() const { return m_error == ERROR_ACCESS_DENIED; }

private:
    fw::UniqueService m_service;
    DWORD m_error = ERROR_SUCCESS;
};

}  // namespace testing_support
