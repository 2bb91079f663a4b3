// The developer settings dialog driven in process, writing the real registry.
#include "app/CleanerApp.h"
#include "app/ProductStart.h"
#include "framework/Handle.h"
#include "res/resource.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "support/UiScript.h"
#include "ui/SetRegistryDlg.h"
#include "ui/VersionKeyRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace testing_support;

namespace {

const std::wstring kCaption = L"Set Velmora Registry";
const std::wstring kProduct = L"Software\\Velmora\\Plandrel";
const std::wstring kVersion = kProduct + L"\\Plandrel 12.0.0 INT R1";
const std::wstring kUploader = L"Software\\Velmora\\QuilloUploader\\Advanced";
const int kBoxes[] = {IDC_SPECIAL_MENU,  IDC_SAVE_XML_TEMPLATE,        IDC_SHOW_ALL_INFOBOXES, IDC_ENABLE_OPERATION_PROFILES,
                      IDC_TPL,           IDC_DEVELOPER_OBJECT_PORTAL, IDC_ENABLE_QUILLO_PRO};

// Every value below a key, as "subkey|name" -> "type:data".
std::map<std::wstring, std::wstring> ValuesBelow(const std::wstring& path)
{
    std::map<std::wstring, std::wstring> values;
    for (const std::wstring& key : KeysBelow(HKEY_CURRENT_USER, path)) {
        fw::UniqueKey handle;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
            continue;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameLength = 256;
            BYTE data[1024];
            DWORD dataLength = sizeof data;
            DWORD type = 0;
            if (::RegEnumValueW(handle.get(), index, name, &nameLength, nullptr, &type, data, &dataLength) !=
                ERROR_SUCCESS)
                break;
            std::wstring shown;
            if (type == REG_DWORD && dataLength == 4)
                shown = L"dword:" + std::to_wstring(*reinterpret_cast<DWORD*>(data));
            else if (type == REG_SZ)
                shown = L"sz:" + std::wstring(reinterpret_cast<wchar_t*>(data), dataLength / 2);
            else
                shown = L"other";
            values[key.substr(path.size()) + L"|" + name] = shown;
        }
    }
    return values;
}

std::wstring Sz(const std::wstring& text) { return L"sz:" + text + std::wstring(1, L'\0'); }

// What each box writes under the version key.
std::map<std::wstring, std::wstring> Expected(int box)
{
    switch (box) {
    case IDC_SPECIAL_MENU: return {{L"|Special Menu", L"dword:1"}};
    case IDC_SAVE_XML_TEMPLATE: return {{L"|Tpl Convert", L"dword:1"}};
    case IDC_SHOW_ALL_INFOBOXES: return {{L"\\Dialog Manager Custom Data|AllInfoBoxTabPagesVisible", Sz(L"01")}};
    case IDC_ENABLE_OPERATION_PROFILES: return {{L"\\Thermalux|EnableOperationProfile", L"dword:1"}};
    case IDC_TPL: return {{L"\\Plandrel|startEditionCanReadFullFiles", L"dword:1"}};
    case IDC_DEVELOPER_OBJECT_PORTAL:
        return {{L"\\" + std::wstring(cleaner::kPublisherDomain) + L"|ServiceURL", Sz(cleaner::kDevelopmentServiceUrl)}};
    case IDC_ENABLE_QUILLO_PRO: return {{L"\\Publisher\\Advanced|QuilloProEnable", L"dword:1"}};
    default: return {};
    }
}

// The colour a text control is drawn in: what the dialog's answer to the
// control colour message puts into a device context.
COLORREF DrawnTextColor(HWND dialog, int id)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    const COLORREF color = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return color;
}

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDarkRed = RGB(0x7F, 0, 0);

class DeveloperDialog : public ::testing::Test {
protected:
    CCleanerApp app;
    TempFolder folder;

    void SetUp() override
    {
        app.m_settingsPath = folder / L"Settings.ini";
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Velmora");
    }
    void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Velmora"); }

    static UiScript::Step OnDialog(std::function<void(HWND)> check)
    {
        return testing_support::OnDialog(kCaption, IDC_STATUS_LINE, std::move(check));
    }
    struct Presses {
        std::vector<std::wstring> statuses;
        std::vector<COLORREF> colours;
    };

    // Runs the dialog: checks exactly these boxes and presses Set, then once
    // more after each of the steps given; notes the status line and its
    // colour after every press, then presses Exit.
    static Presses PressSet(CSetRegistryDlg& dialog, std::initializer_list<int> checked,
                            std::vector<std::function<void()>> betweenPresses = {})
    {
        Presses presses;
        const auto note = [&](HWND d) {
            presses.statuses.push_back(ControlText(d, IDC_STATUS_LINE));
            presses.colours.push_back(DrawnTextColor(d, IDC_STATUS_LINE));
        };
        UiScript script;
        script.Then(OnDialog([&](HWND d) {
            SetBoxes(d, checked);
            PostClick(d, IDOK);
        }));
        for (const std::function<void()>& step : betweenPresses) {
            script.Wait(2).Then(OnDialog([&](HWND d) {
                note(d);
                step();
                PostClick(d, IDOK);
            }));
        }
        script.Wait(2).Then(OnDialog([&](HWND d) {
            note(d);
            PostClick(d, IDCANCEL);
        }));
        dialog.DoModal();
        return presses;
    }

    static void SetBoxes(HWND d, std::initializer_list<int> checked)
    {
        for (int box : kBoxes) {
            const bool on = std::find(checked.begin(), checked.end(), box) != checked.end();
            ::SendMessageW(::GetDlgItem(d, box), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
};

}  // namespace

TEST_F(DeveloperDialog, AfterASuccessfulRunEverythingIsUsableAndBoxesHaveTheirDefaults)
{
    std::vector<int> states;
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        for (int box : kBoxes) {
            states.push_back(CheckState(d, box));
            EXPECT_TRUE(IsEnabled(d, box));
        }
        EXPECT_EQ(ControlText(d, IDC_REGISTRY_CLEANED), L"PL Registry Cleaned.");
        EXPECT_EQ(ControlText(d, IDC_ENTRIES_CREATED), L"New Registry Entries Created.");
        EXPECT_EQ(ControlText(d, IDC_STATUS_LINE), L"");
        EXPECT_TRUE(IsEnabled(d, IDOK));
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDOK));
        EXPECT_EQ(DrawnTextColor(d, IDC_REGISTRY_CLEANED), kBlack);
        PostClick(d, IDCANCEL);
    }));
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(states, (std::vector<int>{1, 0, 1, 0, 0, 1, 1}));
    EXPECT_FALSE(Exists(app.m_settingsPath)) << "Exit writes nothing";
}

TEST_F(DeveloperDialog, OddSettingsValuesFollowEachKeysRule)
{
    WriteTextFile(app.m_settingsPath, "[Settings]\r\nSpecialMenu=yes\r\nSaveXmlTemplate=1\r\nShowAllInfoboxes=\r\n"
                                      "EnableOperationProfiles=10\r\nReadFULLTemplateInSE=1\r\n"
                                      "UseDeveloperObjectPortal=yes\r\nEnableQuilloPro=0\r\n");
    std::vector<int> states;
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        for (int box : kBoxes)
            states.push_back(CheckState(d, box));
        PostClick(d, IDCANCEL);
    }));
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    dialog.DoModal();
    EXPECT_EQ(states, (std::vector<int>{0, 1, 0, 0, 1, 1, 0}));
}

TEST_F(DeveloperDialog, AfterAFailedRunOnlyExitCanBeUsed)
{
    WriteTextFile(app.m_settingsPath, "[Settings]\r\nSaveXmlTemplate=1\r\n");
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        EXPECT_EQ(ControlText(d, IDC_REGISTRY_CLEANED), L"Cleaning not complete.");
        EXPECT_EQ(ControlText(d, IDC_ENTRIES_CREATED), L"");
        for (int id : kBoxes)
            EXPECT_FALSE(IsEnabled(d, id));
        EXPECT_FALSE(IsEnabled(d, IDC_KEYS_GROUP));
        EXPECT_FALSE(IsEnabled(d, IDOK));
        EXPECT_TRUE(IsEnabled(d, IDCANCEL));
        EXPECT_EQ(CheckState(d, IDC_SAVE_XML_TEMPLATE), BST_CHECKED) << "stored settings still shown";
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDCANCEL));
        EXPECT_EQ(DrawnTextColor(d, IDC_REGISTRY_CLEANED), kDarkRed);
        // Enter presses the default button, which must be Exit now.
        PostKey(::GetFocus(), VK_RETURN);
    }));
    // Still open: Enter found nothing to press.
    script.Wait(8).Then(OnDialog([&](HWND d) {
        script.errors += L"Enter did not close the dialog; ";
        PostClick(d, IDCANCEL);
    }));
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = FALSE;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(script.errors, L"");
}

// Up and Down move between the boxes and never onto the texts around them,
// where no focus would show.
TEST_F(DeveloperDialog, ArrowKeysStayAmongTheBoxes)
{
    UiScript script;
    bool stayed = false;
    script.Then(OnDialog([&](HWND d) {
        stayed = ArrowsStayAmong(d, std::vector<int>(std::begin(kBoxes), std::end(kBoxes)));
        PostClick(d, IDCANCEL);
    }));
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    dialog.DoModal();
    EXPECT_TRUE(stayed);
}

// In a dark high contrast theme the fixed black and dark red would not be
// seen: the status lines take the theme's colours then.
TEST_F(DeveloperDialog, HighContrastStatusLinesDrawInTheThemesColours)
{
    const HighContrast contrast;
    CSetRegistryDlg dialog(app);
    // Wine keeps high contrast off whatever it is told: the dialog is then
    // told it is on, in the dark theme's colours all the same.
    if (!CColorStatic::SystemHighContrast())
        dialog.m_registryCleaned.highContrast = [] { return true; };
    COLORREF text = 0;
    COLORREF face = 0;
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        text = DrawnTextColor(d, IDC_REGISTRY_CLEANED);
        SaveScreenshot(d, L"developer-dialog-high-contrast");
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SendMessageW(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_REGISTRY_CLEANED)));
        face = ::GetBkColor(dc);
        ::DeleteDC(dc);
        PostClick(d, IDCANCEL);
    }));
    dialog.m_cleaningSucceeded = FALSE;
    dialog.DoModal();
    EXPECT_EQ(text, ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(face, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(text, face);
}

TEST_F(DeveloperDialog, EachBoxAloneWritesExactlyItsValues)
{
    for (int box : kBoxes) {
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Velmora");
        CreateKey(HKEY_CURRENT_USER, kVersion);
        CSetRegistryDlg dialog(app);
        dialog.m_cleaningSucceeded = TRUE;
        dialog.m_prefsPostfix = L"12.0.0 INT R1";
        const Presses presses = PressSet(dialog, {box});
        EXPECT_EQ(presses.statuses, std::vector<std::wstring>{L"PL Registry successfully set."}) << box;
        EXPECT_EQ(presses.colours, std::vector<COLORREF>{kBlack}) << box;
        EXPECT_EQ(ValuesBelow(kVersion), Expected(box)) << box;
        const auto uploader = ValuesBelow(kUploader);
        if (box == IDC_ENABLE_QUILLO_PRO)
            EXPECT_EQ(uploader, (std::map<std::wstring, std::wstring>{{L"|QuilloProEnable", L"dword:1"}}));
        else
            EXPECT_TRUE(uploader.empty()) << box;
    }
}

TEST_F(DeveloperDialog, AllBoxesTogetherAndPressedTwiceOnEveryMatchingVersionKey)
{
    WriteTextFile(app.m_settingsPath, "[Settings]\r\nKeepQRX=0\r\n");
    // Enumerated before the version keys: a name of the longest legal length.
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\" + std::wstring(255, L'A'));
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 10.0.0 INT R1");
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 10.0.0");
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\plandrel 10.0.0 INT");
    CreateKey(HKEY_CURRENT_USER, kProduct + L"-64\\Plandrel-64 10.0.0");
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    const Presses presses = PressSet(dialog,
                                     {IDC_SPECIAL_MENU, IDC_SAVE_XML_TEMPLATE, IDC_SHOW_ALL_INFOBOXES,
                                      IDC_ENABLE_OPERATION_PROFILES, IDC_TPL, IDC_DEVELOPER_OBJECT_PORTAL,
                                      IDC_ENABLE_QUILLO_PRO},
                                     {[] {}});
    EXPECT_EQ(presses.statuses,
              (std::vector<std::wstring>{L"PL Registry successfully set.", L"PL Registry successfully set."}));

    std::map<std::wstring, std::wstring> all;
    for (int box : kBoxes)
        for (const auto& value : Expected(box))
            all.insert(value);
    EXPECT_EQ(ValuesBelow(kProduct + L"\\Plandrel 10.0.0 INT R1"), all);
    EXPECT_EQ(ValuesBelow(kProduct + L"\\Plandrel 10.0.0"), all);
    EXPECT_TRUE(ValuesBelow(kProduct + L"\\plandrel 10.0.0 INT").empty()) << "other letter case is no version key";
    EXPECT_TRUE(ValuesBelow(kProduct + L"-64").empty()) << "the other build's key is not searched";
    EXPECT_EQ(ReadTextFile(app.m_settingsPath),
              "[Settings]\r\nKeepQRX=0\r\nSpecialMenu=1\r\nSaveXmlTemplate=1\r\nShowAllInfoboxes=1\r\n"
              "EnableOperationProfiles=1\r\nReadFULLTemplateInSE=1\r\nUseDeveloperObjectPortal=1\r\nEnableQuilloPro=1\r\n");
}

TEST_F(DeveloperDialog, SixtyFourBitBuildUsesItsOwnProductKey)
{
    CreateKey(HKEY_CURRENT_USER, kProduct + L"-64\\Plandrel-64 12.0.0 int r1");
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 12.0.0 INT R1");
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    dialog.m_prefsPostfix = L"12.0.0 INT R1";
    dialog.m_platformSuffix = L"64";
    EXPECT_EQ(PressSet(dialog, {IDC_SPECIAL_MENU}).statuses, std::vector<std::wstring>{L"PL Registry successfully set."});
    EXPECT_EQ(ValuesBelow(kProduct + L"-64\\Plandrel-64 12.0.0 int r1").size(), 1u);
    EXPECT_TRUE(ValuesBelow(kProduct + L"\\Plandrel 12.0.0 INT R1").empty());
}

// The product did not start: the line on its new entries says why. Boxes
// that cannot be stored (a cleaner kept where the user may not write) are
// told under Set's outcome.
TEST_F(DeveloperDialog, AProductThatDidNotStartAndBoxesThatCouldNotBeStoredAreTold)
{
    app.m_settingsPath = folder / L"no such folder\\Settings.ini";
    CreateKey(HKEY_CURRENT_USER, kVersion);
    std::wstring entries;
    COLORREF entriesColour = kBlack;
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    dialog.m_prefsPostfix = L"12.0.0 INT R1";
    dialog.m_productNotStarted = cleaner::NotStartedText(L"Plandrel.exe", 740, L"");
    const Presses presses = PressSet(dialog, {IDC_SPECIAL_MENU}, {[&] {
                                         HWND d = FindThreadDialog(kCaption, IDC_STATUS_LINE);
                                         entries = ControlText(d, IDC_ENTRIES_CREATED);
                                         entriesColour = DrawnTextColor(d, IDC_ENTRIES_CREATED);
                                     }});
    EXPECT_EQ(entries, L"Plandrel.exe did not start: it asks for administrator rights; run the cleaner as administrator.");
    EXPECT_EQ(entriesColour, kDarkRed);
    const std::wstring unsaved = L"PL Registry successfully set.\nThe boxes could not be saved in Settings.ini.";
    EXPECT_EQ(presses.statuses, (std::vector<std::wstring>{unsaved, unsaved}));
    EXPECT_EQ(presses.colours, (std::vector<COLORREF>{kDarkRed, kDarkRed}));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVersion, L"Special Menu")) << "the registry is written all the same";
}

TEST_F(DeveloperDialog, NothingFoundAndAFailedPressKeepDarkRed)
{
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    // No product key at all, then one without a version key, then one with.
    const Presses presses =
        PressSet(dialog, {IDC_SPECIAL_MENU},
                 {[] { CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 9.0"); },
                  [] { CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 10.0.0 X"); }});
    EXPECT_EQ(presses.statuses, (std::vector<std::wstring>{L"PL Registry entry not found.", L"PL Registry entry not found.",
                                                           L"PL Registry successfully set."}));
    EXPECT_EQ(presses.colours, (std::vector<COLORREF>{kDarkRed, kDarkRed, kDarkRed}))
        << "never set back to black";
}

TEST_F(DeveloperDialog, AVersionKeyThatCannotBeOpenedForWritingFailsThePress)
{
    // A registry link to a key that does not exist: it is listed, but
    // opening it fails.
    const std::wstring linkPath = kProduct + L"\\Plandrel 10.0.0 Broken";
    CreateKey(HKEY_CURRENT_USER, kProduct + L"\\Plandrel 10.0.0 Good");
    fw::UniqueKey link;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, linkPath.c_str(), 0, nullptr,
                                REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                                link.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring target = L"\\Registry\\Machine\\Software\\NoSuchKeyForCleanerTests";
    ASSERT_EQ(::RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                               reinterpret_cast<const BYTE*>(target.c_str()),
                               static_cast<DWORD>(target.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    link.reset();
    {
        fw::UniqueKey probe;
        ASSERT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, linkPath.c_str(), 0, KEY_WRITE, probe.put()), ERROR_SUCCESS);
    }

    // Remove the link itself, not its (missing) target.
    const auto removeLink = [&linkPath] {
        using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
        const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
        fw::UniqueKey opened;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, linkPath.c_str(), REG_OPTION_OPEN_LINK, DELETE, opened.put()) ==
            ERROR_SUCCESS)
            ntDeleteKey(opened.get());
    };

    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    const Presses presses = PressSet(dialog, {IDC_SPECIAL_MENU}, {[&] {
                                         EXPECT_EQ(ValuesBelow(kProduct + L"\\Plandrel 10.0.0 Good").size(), 1u)
                                             << "the other version keys still get theirs";
                                         removeLink();
                                     }});
    removeLink();
    EXPECT_EQ(presses.statuses,
              (std::vector<std::wstring>{L"PL Registry setting unsuccessful.", L"PL Registry successfully set."}));
    EXPECT_EQ(presses.colours, (std::vector<COLORREF>{kDarkRed, kDarkRed})) << "a failed press keeps dark red";
}

TEST_F(DeveloperDialog, AWriteThatFailsLeavesTheOtherRowsTriedAndSkipsTheUploader)
{
    // Below a volatile key no lasting subkey can be made: the rows that need
    // a new subkey fail. "Publisher\\Advanced" exists already, so the row
    // after the failing ones still writes.
    CreateKey(HKEY_CURRENT_USER, kProduct);
    for (const std::wstring& path : {kVersion, kVersion + L"\\Publisher", kVersion + L"\\Publisher\\Advanced"}) {
        fw::UniqueKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    {
        fw::UniqueKey volatileParent;
        ::RegOpenKeyExW(HKEY_CURRENT_USER, kVersion.c_str(), 0, KEY_ALL_ACCESS, volatileParent.put());
        fw::UniqueKey lasting;
        ASSERT_NE(::RegCreateKeyW(volatileParent.get(), L"Probe", lasting.put()), ERROR_SUCCESS)
            << "the registry refuses a lasting subkey below a volatile key";
    }
    CSetRegistryDlg dialog(app);
    dialog.m_cleaningSucceeded = TRUE;
    dialog.m_prefsPostfix = L"12.0.0 INT R1";
    const Presses presses = PressSet(dialog, {IDC_SPECIAL_MENU, IDC_SAVE_XML_TEMPLATE, IDC_SHOW_ALL_INFOBOXES,
                                              IDC_ENABLE_OPERATION_PROFILES, IDC_TPL, IDC_DEVELOPER_OBJECT_PORTAL,
                                              IDC_ENABLE_QUILLO_PRO});
    EXPECT_EQ(presses.statuses, std::vector<std::wstring>{L"PL Registry setting unsuccessful."});
    EXPECT_EQ(presses.colours, std::vector<COLORREF>{kDarkRed});
    EXPECT_EQ(ValuesBelow(kVersion), (std::map<std::wstring, std::wstring>{{L"|Special Menu", L"dword:1"},
                                                                          {L"|Tpl Convert", L"dword:1"},
                                                                          {L"\\Publisher\\Advanced|QuilloProEnable", L"dword:1"}}));
    EXPECT_TRUE(ValuesBelow(kUploader).empty()) << "the uploader needs every row before it to succeed";
}
