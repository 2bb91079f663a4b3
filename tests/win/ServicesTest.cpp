// The service question's look-up against the real service manager.
#include "support/TestServices.h"
#include "ui/Services.h"

#include <gtest/gtest.h>


using testing_support::InstalledService;

TEST(CrewlinkServices, InstalledServicesAreFoundByKeyNameAndCase)
{
    EXPECT_FALSE(HasCrewlinkServices()) << "a fresh prefix has none";
    {
        InstalledService nearMiss(L"crewlinkservermonitor");
        ASSERT_TRUE(nearMiss.Installed());
        EXPECT_FALSE(HasCrewlinkServices()) << "other letter case does not count";
    }
    {
        InstalledService monitor(L"CrewlinkServerMonitor");
        ASSERT_TRUE(monitor.Installed());
        EXPECT_TRUE(HasCrewlinkServices()) << "installed, not running, counts";
    }
    {
        InstalledService longer(L"VelmoraCrewlinkMessagingServer2");
        ASSERT_TRUE(longer.Installed());
        EXPECT_TRUE(HasCrewlinkServices()) << "anywhere in the key name";
    }
    EXPECT_FALSE(HasCrewlinkServices());
}
