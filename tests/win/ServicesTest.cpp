// The service question's look-up against the real service manager.
#include "support/TestFiles.h"
#include "support/TestServices.h"
#include "ui/Services.h"

#include <gtest/gtest.h>


using testing_support::InstalledService;

TEST(CrewlinkServices, InstalledServicesAreFoundByKeyNameAndCase)
{
    if (!testing_support::MayResetThisProfile())
        GTEST_SKIP() << "installs test services: run-selftest.cmd /reset-this-profile, elevated, runs it";
    if (HasCrewlinkServices())
        GTEST_SKIP() << "Crewlink services are installed on this machine";
    {
        InstalledService nearMiss(L"crewlinkservermonitor");
        if (nearMiss.Refused())
            GTEST_SKIP() << "installing a test service needs an elevated run";
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
