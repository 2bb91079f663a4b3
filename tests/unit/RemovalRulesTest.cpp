// Which directory entries are links, when file ids disagree, and the pauses
// before retries.
#include "clean/RemovalRules.h"

#include <gtest/gtest.h>

using cleaner::ClassifyEntry;
using cleaner::EntryKind;

namespace {

constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kReparse = 0x400;
constexpr std::uint32_t kReadOnly = 0x1;

}  // namespace

TEST(RemovalRules, OnlyNameSurrogatesAndTagZeroMakeADirectoryALink)
{
    struct Case {
        std::uint32_t attributes;
        std::uint32_t tag;
        EntryKind kind;
    } const cases[] = {
        {kDirectory, 0, EntryKind::Folder},
        {kDirectory | kReadOnly, 0, EntryKind::Folder},
        {kDirectory | kReparse, 0xA0000003, EntryKind::Link},     // mount point, junction
        {kDirectory | kReparse, 0xA000000C, EntryKind::Link},     // symbolic link
        {kDirectory | kReparse, 0xA0000027, EntryKind::Link},     // WCI link
        {kDirectory | kReparse, 0, EntryKind::Link},              // Wine's Unix directory link
        {kDirectory | kReparse, 0x9000001A, EntryKind::Folder},   // OneDrive cloud folder
        {kDirectory | kReparse, 0x9000F01A, EntryKind::Folder},   // cloud, another provider
        {kDirectory | kReparse, 0x80000013, EntryKind::Folder},   // deduplication
        {kDirectory | kReparse, 0x80000017, EntryKind::Folder},   // WOF
        {kDirectory | kReparse, 0x90001018, EntryKind::Folder},   // projected (WCI)
        {kDirectory, 0xA000000C, EntryKind::Folder},              // a tag without the attribute counts for nothing
        {kReparse, 0xA000000C, EntryKind::File},                  // a file symbolic link goes as itself
        {kReparse, 0x9000001A, EntryKind::File},                  // a cloud placeholder file
        {0, 0, EntryKind::File},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyEntry(c.attributes, c.tag), c.kind) << std::hex << c.attributes << " tag " << c.tag;
}

TEST(RemovalRules, FileIdsDisagreeOnlyWhenBothAreKnown)
{
    EXPECT_FALSE(cleaner::FileIdsDiffer(42, 42));
    EXPECT_TRUE(cleaner::FileIdsDiffer(42, 43));
    EXPECT_TRUE(cleaner::FileIdsDiffer(-1, 1));
    EXPECT_FALSE(cleaner::FileIdsDiffer(0, 43));
    EXPECT_FALSE(cleaner::FileIdsDiffer(42, 0));
    EXPECT_FALSE(cleaner::FileIdsDiffer(0, 0));
}

TEST(RemovalRules, RetriesGrowAndShareOneBudget)
{
    EXPECT_TRUE(cleaner::IsMomentOfUse(32));
    EXPECT_TRUE(cleaner::IsMomentOfUse(33));
    EXPECT_FALSE(cleaner::IsMomentOfUse(5));  // access denied is no moment of use
    EXPECT_TRUE(cleaner::IsPendingEntries(145));
    EXPECT_FALSE(cleaner::IsPendingEntries(32));

    cleaner::CRetryBudget budget;
    unsigned total = 0, last = 0, pauses = 0;
    while (const auto pause = budget.NextPause()) {
        ASSERT_GT(*pause, 0u);
        if (total + *pause < cleaner::CRetryBudget::kBudgetMs)
            EXPECT_GT(*pause, last) << "each pause longer than the last, but the one the budget cuts short";
        last = *pause;
        total += *pause;
        ASSERT_LT(++pauses, 100u);
    }
    EXPECT_EQ(total, cleaner::CRetryBudget::kBudgetMs);
    EXPECT_EQ(budget.SpentMs(), total);
    EXPECT_GE(pauses, 5u) << "a moment of use gets several tries";
    EXPECT_FALSE(budget.NextPause());
}
