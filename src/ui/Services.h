// src/ui/Services.h
#pragma once

// True when a service whose key name contains one of the Vaultry server's
// service names is installed, running or not. False when the service manager
// cannot be asked.
bool HasCrewlinkServices();
