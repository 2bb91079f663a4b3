// src/ui/ServiceRules.cpp
#include "ui/ServiceRules.h"

namespace cleaner {

bool IsCrewlinkServiceName(std::wstring_view serviceKeyName) noexcept
{
    for (std::wstring_view part : {L"CrewlinkServerManager", L"CrewlinkServerMonitor", L"CrewlinkMessagingServer"}) {
        if (serviceKeyName.find(part) != std::wstring_view::npos)
            return true;
    }
    return false;
}

}  // namespace cleaner
