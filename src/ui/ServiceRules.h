// src/ui/ServiceRules.h
// Which installed services belong to the Vaultry server. Portable.
#pragma once

#include <string_view>

namespace cleaner {

// True when the service key name contains "CrewlinkServerManager",
// "CrewlinkServerMonitor" or "CrewlinkMessagingServer" anywhere, in exactly
// that letter case. Display names are not looked at.
bool IsCrewlinkServiceName(std::wstring_view serviceKeyName) noexcept;

}  // namespace cleaner
