// src/ui/Services.cpp
#include "ui/Services.h"

#include "framework/Handle.h"
#include "ui/ServiceRules.h"

#include <vector>

bool HasCrewlinkServices()
{
    const fw::UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return false;

    constexpr DWORD kTypes = SERVICE_WIN32 | SERVICE_DRIVER;
    // The first call only learns the size needed.
    ENUM_SERVICE_STATUSW one = {};
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    if (::EnumServicesStatusW(manager.get(), kTypes, SERVICE_STATE_ALL, &one, sizeof one, &needed, &count, &resume) ||
        ::GetLastError() != ERROR_MORE_DATA)
        return false;

    // Room to spare: services installed between the two calls.
    std::vector<BYTE> buffer(static_cast<size_t>(needed) + sizeof(ENUM_SERVICE_STATUSW));
    resume = 0;
    count = 0;
    ::EnumServicesStatusW(manager.get(), kTypes, SERVICE_STATE_ALL,
                          reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data()), static_cast<DWORD>(buffer.size()),
                          &needed, &count, &resume);
    const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUSW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (services[i].lpServiceName != nullptr && cleaner::IsCrewlinkServiceName(services[i].lpServiceName))
            return true;
    }
    return false;
}
