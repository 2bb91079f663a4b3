#include "ui/ServiceRules.h"

#include <gtest/gtest.h>

TEST(ServiceNames, AnyOfTheThreeNamesAnywhereInExactCase)
{
    for (const wchar_t* name : {L"CrewlinkServerManager", L"CrewlinkServerMonitor", L"CrewlinkMessagingServer",
                                L"VelmoraCrewlinkServerManager2", L"x.CrewlinkMessagingServer"})
        EXPECT_TRUE(cleaner::IsCrewlinkServiceName(name));
    for (const wchar_t* name : {L"crewlinkservermanager", L"CREWLINKSERVERMONITOR", L"CrewlinkServer",
                                L"Crewlink Server Manager", L"CrewlinkMessaging", L""})
        EXPECT_FALSE(cleaner::IsCrewlinkServiceName(name));
}
