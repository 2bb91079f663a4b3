#include "app/ProductStart.h"
#include "app/ReportLines.h"
#include "clean/CleaningRules.h"
#include "clean/RunProgress.h"
#include "ui/NumberGrouping.h"
#include "ui/SettingsRules.h"

#include <gtest/gtest.h>

using cleaner::KeepOptions;
using cleaner::RunMode;

namespace {
KeepOptions Keep(bool registry, bool sn, bool vaultry, bool qrx) { return KeepOptions{registry, sn, vaultry, qrx}; }

constexpr RunMode kInteractive{false, false, false};
constexpr RunMode kSilent{true, false, false};
constexpr RunMode kFirstReRegistrationRun{false, true, true};
constexpr RunMode kSecondReRegistrationRun{false, true, false};
}  // namespace

TEST(KeepOptionRule, OnlyTheTextOneIsSet)
{
    EXPECT_TRUE(cleaner::OneMeansOn(L"1"));
    for (const wchar_t* value : {L"", L"0", L"2", L"10", L"01", L"true", L"yes", L" 1", L"1 ", L"\u0661"})
        EXPECT_FALSE(cleaner::OneMeansOn(value)) << "value '" << std::wstring(value).size() << "'";
}

TEST(KeepOptionRule, ZeroMeansOffIsOnForEverythingButZero)
{
    EXPECT_FALSE(cleaner::ZeroMeansOff(L"0"));
    for (const wchar_t* value : {L"", L"1", L"00", L"yes", L" 0", L"0 ", L"false"})
        EXPECT_TRUE(cleaner::ZeroMeansOff(value));
}

TEST(KeepOptionRule, MissingKeepKeysDefaultToSet)
{
    for (const auto& key : {cleaner::kKeepRegistry, cleaner::kKeepSnFindOutMore, cleaner::kKeepVaultry, cleaner::kKeepQrx}) {
        EXPECT_FALSE(key.zeroMeansOff);
        EXPECT_TRUE(cleaner::IsOn(key, key.defaultValue));
    }
}

TEST(StageTable, WhichRunsTouchTheRegistry)
{
    const KeepOptions keepAll = Keep(true, true, true, true);
    const KeepOptions keepNone = Keep(false, false, false, false);

    EXPECT_FALSE(cleaner::CleansRegistry(kInteractive, keepAll));
    EXPECT_TRUE(cleaner::CleansRegistry(kInteractive, keepNone));
    EXPECT_TRUE(cleaner::CleansRegistry(kInteractive, Keep(false, true, true, true)));

    EXPECT_TRUE(cleaner::CleansRegistry(kSilent, keepAll));
    EXPECT_TRUE(cleaner::CleansRegistry(kSilent, keepNone));

    EXPECT_TRUE(cleaner::CleansRegistry(kFirstReRegistrationRun, keepAll));
    EXPECT_FALSE(cleaner::CleansRegistry(kSecondReRegistrationRun, keepNone));
    EXPECT_FALSE(cleaner::CleansRegistry(kSecondReRegistrationRun, keepAll));
    // The registry pass flag only means something in re-registration mode.
    EXPECT_FALSE(cleaner::CleansRegistry(RunMode{false, false, true}, keepAll));
}

TEST(StageTable, OnlyInteractiveRunsShowResultsAndOnlySilentOnesNoProgress)
{
    EXPECT_TRUE(cleaner::IsInteractive(kInteractive));
    EXPECT_FALSE(cleaner::IsInteractive(kSilent));
    EXPECT_FALSE(cleaner::IsInteractive(kFirstReRegistrationRun));
    EXPECT_FALSE(cleaner::IsInteractive(kSecondReRegistrationRun));
    EXPECT_TRUE(cleaner::ShowsProgress(kInteractive));
    EXPECT_FALSE(cleaner::ShowsProgress(kSilent));
    EXPECT_TRUE(cleaner::ShowsProgress(kFirstReRegistrationRun));
    // A product argument wins over the silent switch: a person waits.
    EXPECT_TRUE(cleaner::ShowsProgress(cleaner::RunMode{true, true, true}));
}

// The count is grouped as the user's locale says.
TEST(ProgressCount, LocaleGroupingBecomesTheFormatsNumber)
{
    EXPECT_EQ(cleaner::NumberGrouping(L"3;0"), 3u);
    EXPECT_EQ(cleaner::NumberGrouping(L"3;2;0"), 32u);
    EXPECT_EQ(cleaner::NumberGrouping(L"3"), 30u);
    EXPECT_EQ(cleaner::NumberGrouping(L"0;0"), 0u);
    for (const wchar_t* odd : {L"", L";", L"3;", L"x", L"33;0", L"3;;0", L"9;9;9;9;9;9;9;9;9;9;9"})
        EXPECT_EQ(cleaner::NumberGrouping(odd), 0u) << "'" << std::wstring(odd).size() << "'";
}

TEST(FolderSteps, DocumentFoldersOnlyWithoutKeepQrx)
{
    EXPECT_TRUE(cleaner::CleansDocumentFolders(Keep(true, true, true, false)));
    EXPECT_FALSE(cleaner::CleansDocumentFolders(Keep(false, false, false, true)));
}

TEST(RegistryTables, PerUserTree)
{
    EXPECT_EQ(cleaner::PerUserTreeAction(Keep(false, false, true, true)), cleaner::PerUserAction::DeleteWholeTree);
    EXPECT_EQ(cleaner::PerUserTreeAction(Keep(false, true, false, false)), cleaner::PerUserAction::ThinOutTree);
}

TEST(RegistryTables, MachineTreeFourCombinations)
{
    const auto none = cleaner::MachineTreeAction(Keep(false, false, false, false));
    EXPECT_TRUE(none.deleteWholeTree);

    const auto vaultry = cleaner::MachineTreeAction(Keep(false, false, true, false));
    EXPECT_FALSE(vaultry.deleteWholeTree);
    EXPECT_TRUE(vaultry.keepVaultry);
    EXPECT_FALSE(vaultry.keepQrx);

    const auto qrx = cleaner::MachineTreeAction(Keep(false, false, false, true));
    EXPECT_FALSE(qrx.deleteWholeTree);
    EXPECT_FALSE(qrx.keepVaultry);
    EXPECT_TRUE(qrx.keepQrx);

    const auto both = cleaner::MachineTreeAction(Keep(false, false, true, true));
    EXPECT_FALSE(both.deleteWholeTree);
    EXPECT_TRUE(both.keepVaultry);
    EXPECT_TRUE(both.keepQrx);
}

TEST(ReportLines, KeepTheirLayoutWhateverTheFieldsHold)
{
    cleaner::StayedFolder stayed;
    stayed.folder = L"C:\\Users\\jo\\AppData\\Local\\Velmora";
    stayed.entry = stayed.folder + L"\\cache\\in-use.db";
    stayed.code = 32;
    stayed.reason = L"The process cannot access the file\tbecause\r\nit is in use.\r\n";
    EXPECT_EQ(cleaner::StayedLine(stayed), L"stayed\tC:\\Users\\jo\\AppData\\Local\\Velmora\t"
                                           L"C:\\Users\\jo\\AppData\\Local\\Velmora\\cache\\in-use.db\t32\t"
                                           L"The process cannot access the file because  it is in use.\t\t\r\n");
    EXPECT_EQ(cleaner::DetailLine(stayed),
              L"\t\tcache\\in-use.db: The process cannot access the file because  it is in use.");

    // Holders come last, so that scripts reading the earlier fields go on.
    stayed.holders = {{L"Lumetra Indexer", 4242}, {L"", 17}};
    EXPECT_EQ(cleaner::StayedLine(stayed), L"stayed\tC:\\Users\\jo\\AppData\\Local\\Velmora\t"
                                           L"C:\\Users\\jo\\AppData\\Local\\Velmora\\cache\\in-use.db\t32\t"
                                           L"The process cannot access the file because  it is in use.\t"
                                           L"Lumetra Indexer (4242), ? (17)\t\r\n");
    EXPECT_EQ(cleaner::DetailLine(stayed), L"\t\tcache\\in-use.db: The process cannot access the file because  it "
                                           L"is in use, held by Lumetra Indexer (4242), ? (17).");
    stayed.entry = stayed.folder;
    stayed.holders = {{L"tab\tname", 1}};
    EXPECT_EQ(cleaner::DetailLine(stayed),
              L"\t\tthe folder itself: The process cannot access the file because  it is in use, held by tab name (1).");

    // New fields only ever come at the end.
    cleaner::RunSummary summary;
    EXPECT_EQ(cleaner::SummaryLine(summary), L"end\tremoved=0\tstayed=0\tregistry=untouched\tproduct=none\texit=0\t"
                                             L"product-code=0\tended=normally\tmode=clean\r\n");
    summary = {5, 1, cleaner::RegistryState::Cleaned, cleaner::ProductStart::NotStarted, 3, 740,
               cleaner::RunEnding::Normally};
    EXPECT_EQ(cleaner::SummaryLine(summary), L"end\tremoved=5\tstayed=1\tregistry=cleaned\tproduct=not-started\t"
                                             L"exit=3\tproduct-code=740\tended=normally\tmode=clean\r\n");
    summary.registry = cleaner::RegistryState::Stayed;
    summary.product = cleaner::ProductStart::Started;
    summary.productCode = 0xC0000005;  // the product crashed
    summary.ending = cleaner::RunEnding::Session;
    EXPECT_EQ(cleaner::SummaryLine(summary), L"end\tremoved=5\tstayed=1\tregistry=stayed\tproduct=started\t"
                                             L"exit=3\tproduct-code=3221225477\tended=session\tmode=clean\r\n");
    summary.ending = cleaner::RunEnding::Closed;
    summary.mode = cleaner::RunKind::List;
    const std::wstring closed = cleaner::SummaryLine(summary);
    EXPECT_EQ(closed.substr(closed.rfind(L"\tended=")), L"\tended=closed\tmode=list\r\n");
    EXPECT_EQ(cleaner::ProductLine(L"C:\\Builds\\17\\Plandrel.exe", 740,
                                   cleaner::ProductStartReason(740, L"The requested operation requires elevation.\r\n")),
              L"product\tC:\\Builds\\17\\Plandrel.exe\t740\tthe product asks to be run as administrator\r\n");
    EXPECT_EQ(cleaner::ProductLine(L"C:\\x\\Plandrel.exe", 193, cleaner::ProductStartReason(193, L"Not a valid\tapp.\r\n")),
              L"product\tC:\\x\\Plandrel.exe\t193\tNot a valid app.\r\n");
    // A listing's lines and the dialog's text, numbers as the user writes them.
    using Kind = cleaner::ListedEntry::Kind;
    cleaner::ListedEntry folder(Kind::Folder, L"C:\\Users\\jo\\AppData\\Local\\Velmora");
    folder.counts = {1234, 5, 1};
    cleaner::ListedEntry kept(Kind::Kept, L"C:\\Users\\jo\\Documents\\Lumetra");
    kept.note = L"KeepQRX";
    cleaner::ListedEntry key(Kind::Key, L"HKEY_CURRENT_USER\\Software\\Velmora\\Plandrel");
    key.keys = 3;
    key.values = 1;
    cleaner::ListedEntry unlisted(Kind::Unlisted, L"C:\\Users\\jo\\Velmora\\deep");
    unlisted.note = L"Nested more than 256 levels deep.";
    EXPECT_EQ(cleaner::ListingLine(unlisted), L"unlisted\tC:\\Users\\jo\\Velmora\\deep\t0\tNested more than 256 levels deep.\r\n");
    const auto grouped = [](unsigned long long n) { return n == 1234 ? L"1.234" : std::to_wstring(n); };
    const std::wstring text = cleaner::ListingText({folder, kept, key, unlisted}, false, grouped);
    EXPECT_EQ(text.substr(0, text.find(L"\n\n")),
              L"Nothing was removed. A cleaning run would remove 1.234 files and 5 folders (1 byte) in 1 profile folder, "
              L"and 3 registry keys with 1 value. 1 folder is kept by a keep option. 1 part could not be listed to the "
              L"end.");
    EXPECT_NE(text.find(L"\tC:\\Users\\jo\\AppData\\Local\\Velmora\n\t\t1.234 files, 5 folders, 1 byte\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\n\t\tkept: KeepQRX\n"), std::wstring::npos);
    EXPECT_NE(cleaner::ListingText({}, true, grouped).find(L"leave the registry alone (KeepRegistry)."), std::wstring::npos);

    // A system message's inserts are filled with what it speaks of.
    EXPECT_EQ(cleaner::FillInserts(L"Bad EXE format for %1.", L"C:\\x\\Plandrel.exe"), L"Bad EXE format for C:\\x\\Plandrel.exe.");
    EXPECT_EQ(cleaner::FillInserts(L"%1 and %12, 100% sure", L"it"), L"it and it, 100% sure");
    // And what the developer dialog says of a product that did not start.
    EXPECT_EQ(cleaner::NotStartedText(L"Plandrel.exe", 2, L"File not found.\r\n"),
              L"Plandrel.exe did not start: File not found.");
    EXPECT_EQ(cleaner::NotStartedText(L"PLANDREL.EXE", 0, L""), L"PLANDREL.EXE did not start: its path holds a double quote.");

    // A registry tree that stayed: the same layout, a key for the entry,
    // and the advice as the last field.
    cleaner::StayedFolder tree;
    tree.folder = L"HKEY_LOCAL_MACHINE\\Software\\Velmora";
    tree.entry = tree.folder;
    tree.code = 5;
    tree.reason = L"Access is denied.\r\n";
    tree.isKey = true;
    tree.advice = L"the machine's entries need the cleaner run as administrator";
    EXPECT_EQ(cleaner::StayedLine(tree), L"stayed\tHKEY_LOCAL_MACHINE\\Software\\Velmora\tHKEY_LOCAL_MACHINE\\Software\\"
                                         L"Velmora\t5\tAccess is denied.\t\tthe machine's entries need the cleaner run as "
                                         L"administrator\r\n");
    EXPECT_EQ(cleaner::DetailLine(tree), L"\t\tthe key itself: Access is denied; the machine's entries need the "
                                         L"cleaner run as administrator.");
    tree.entry += L"\\Plandrel\\17.0";
    tree.advice.clear();
    EXPECT_EQ(cleaner::DetailLine(tree), L"\t\tPlandrel\\17.0: Access is denied.");
}
