// The dialogs driven in process as a user would: click, check, read state
// and text, drop files, place the pointer. Needs a display (Xvfb).
#include "app/CleanerApp.h"
#include "app/ResultDialogs.h"
#include "framework/Accessibility.h"
#include "res/resource.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"
#include "support/UiScript.h"
#include "ui/CleanDlg.h"
#include "ui/NumberFormat.h"
#include "ui/ProgressWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

using namespace testing_support;

namespace {

const std::wstring kCaption = L"Velmora Registry Cleaner";

// The main dialog with the service question answered by the test.
class TestCleanDlg : public CCleanDlg {
public:
    using CCleanDlg::CCleanDlg;
    bool servicesInstalled = false;
    int servicesAsked = 0;
    bool elevated = false;

protected:
    bool HasCrewlinkServices() override
    {
        ++servicesAsked;
        return servicesInstalled;
    }
    bool RunsElevated() override { return elevated; }
};

class CleanDialog : public ::testing::Test {
protected:
    CCleanerApp app;
    TempFolder folder;

    void SetUp() override { app.m_settingsPath = folder / L"Settings.ini"; }

    std::string Settings() const { return ReadTextFile(app.m_settingsPath); }
    void WriteSettings(const std::string& body) const { WriteTextFile(app.m_settingsPath, "[Settings]\r\n" + body); }

    // A step that waits for the main dialog and runs the check on it.
    static UiScript::Step OnDialog(std::function<void(HWND)> check)
    {
        return testing_support::OnDialog(kCaption, IDC_WARNING_TEXT, std::move(check));
    }
};

}  // namespace

TEST_F(CleanDialog, WithoutSettingsAllBoxesAreCheckedAndTheLowerOnesDisabled)
{
    UiScript script;
    script.Then(OnDialog([](HWND d) {
              for (int id : {IDC_KEEP_REGISTRY, IDC_KEEP_SN_FINDOUTMORE, IDC_KEEP_VAULTRY, IDC_KEEP_QRX})
                  EXPECT_EQ(CheckState(d, id), BST_CHECKED) << id;
              EXPECT_TRUE(IsEnabled(d, IDC_KEEP_REGISTRY));
              for (int id : {IDC_KEEP_SN_FINDOUTMORE, IDC_KEEP_VAULTRY, IDC_KEEP_QRX})
                  EXPECT_FALSE(IsEnabled(d, id)) << id;
              EXPECT_EQ(ControlText(d, IDOK), L"Clean");
              EXPECT_EQ(ControlText(d, IDCANCEL), L"Cancel");
              EXPECT_EQ(ControlText(d, IDC_WARNING_TEXT),
                        L"Attention!\n\nThis program deletes all Velmora entries from the registry, all Velmora cache "
                        L"folders, preference and setting files from \"Document and Settings\".\nPlease make sure "
                        L"you do not have important data in these locations.");
              EXPECT_NE(::SendMessageW(::GetDlgItem(d, IDC_CLEAN_ICON), STM_GETICON, 0, 0), 0);
              EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(d, IDC_WARNING_TEXT), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
              EXPECT_FALSE(::GetWindowLongW(d, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
              EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDOK));
              PostClick(d, IDCANCEL);
          }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(Exists(app.m_settingsPath)) << "Cancel writes nothing";
}

TEST_F(CleanDialog, BoxesComeFromTheSettingsFileAndToggleKeepsCheckStates)
{
    WriteSettings("KeepRegistry=1\r\nKeepSNFindOutMore=0\r\nKeepVaultry=yes\r\nKeepQRX=1\r\n");
    UiScript script;
    script
        .Then(OnDialog([](HWND d) {
            EXPECT_EQ(CheckState(d, IDC_KEEP_REGISTRY), BST_CHECKED);
            EXPECT_EQ(CheckState(d, IDC_KEEP_SN_FINDOUTMORE), BST_UNCHECKED);
            EXPECT_EQ(CheckState(d, IDC_KEEP_VAULTRY), BST_UNCHECKED);
            EXPECT_EQ(CheckState(d, IDC_KEEP_QRX), BST_CHECKED);
            PostClick(d, IDC_KEEP_REGISTRY);
        }))
        .Wait(2)
        .Then(OnDialog([](HWND d) {
            EXPECT_EQ(CheckState(d, IDC_KEEP_REGISTRY), BST_UNCHECKED);
            for (int id : {IDC_KEEP_SN_FINDOUTMORE, IDC_KEEP_VAULTRY, IDC_KEEP_QRX})
                EXPECT_TRUE(IsEnabled(d, id)) << id;
            EXPECT_EQ(CheckState(d, IDC_KEEP_SN_FINDOUTMORE), BST_UNCHECKED);
            EXPECT_EQ(CheckState(d, IDC_KEEP_QRX), BST_CHECKED);
            PostClick(d, IDC_KEEP_QRX);
            PostClick(d, IDC_KEEP_REGISTRY);
        }))
        .Wait(2)
        .Then(OnDialog([](HWND d) {
            EXPECT_FALSE(IsEnabled(d, IDC_KEEP_QRX));
            EXPECT_EQ(CheckState(d, IDC_KEEP_QRX), BST_UNCHECKED) << "a disabled box keeps its state";
            PostClick(d, IDCANCEL);
        }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
}

TEST_F(CleanDialog, CleanWritesExactlyTheFourKeysInOrder)
{
    WriteTextFile(app.m_settingsPath, "[Settings]\r\nSpecialMenu=1\r\n");
    UiScript script;
    script.Then(OnDialog([](HWND d) {
              PostClick(d, IDC_KEEP_REGISTRY);  // unticked: the others are enabled
              PostClick(d, IDC_KEEP_VAULTRY);
              PostClick(d, IDOK);
          }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.servicesAsked, 1) << "Vaultry unticked: the services are asked about";
    EXPECT_EQ(Settings(),
              "[Settings]\r\nSpecialMenu=1\r\nKeepRegistry=0\r\nKeepSNFindOutMore=1\r\nKeepVaultry=0\r\nKeepQRX=1\r\n");
    EXPECT_TRUE(app.m_productExePath.empty());
    EXPECT_FALSE(app.m_reRegister);
}

TEST_F(CleanDialog, NoToTheServicesQuestionKeepsTheDialogOpenAndWritesNothing)
{
    std::wstring question;
    std::wstring caption;
    UiScript script;
    script
        .Then(OnDialog([](HWND d) {
            PostClick(d, IDC_KEEP_VAULTRY);  // unticked while disabled
            PostClick(d, IDOK);
        }))
        .Then([&] {
            HWND box = FindMessageBox();
            if (box == nullptr)
                return false;
            question = ControlText(box, 0xFFFF);
            caption = WindowText(box);
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(box, IDNO)) << "No is the default";
            PostClick(box, IDNO);
            return true;
        })
        .Wait(3)
        .Then(OnDialog([&](HWND d) {
            EXPECT_FALSE(Exists(app.m_settingsPath));
            EXPECT_EQ(CheckState(d, IDC_KEEP_VAULTRY), BST_UNCHECKED);
            PostClick(d, IDOK);  // asked again
        }))
        .Then([] {
            HWND box = FindMessageBox();
            if (box == nullptr)
                return false;
            PostClick(box, IDYES);
            return true;
        });
    // The real service manager: one service under one of the three names,
    // and a near miss in other letter case that alone would not count.
    if (!MayResetThisProfile())
        GTEST_SKIP() << "installs test services: run-selftest.cmd /reset-this-profile, elevated, runs it";
    InstalledService nearMiss(L"crewlinkserverMANAGER");
    InstalledService monitor(L"CrewlinkServerMonitor");
    if (monitor.Refused())
        GTEST_SKIP() << "installing a test service needs an elevated run";
    ASSERT_TRUE(monitor.Installed());
    CCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(question, L"Vaultry services exist. Are you sure to clear Vaultry information from registry?");
    EXPECT_EQ(caption, std::wstring(app.GetAppName()));
    EXPECT_EQ(caption, L"win_dialog_tests");
    EXPECT_EQ(Settings(), "[Settings]\r\nKeepRegistry=1\r\nKeepSNFindOutMore=1\r\nKeepVaultry=0\r\nKeepQRX=1\r\n");
}

TEST_F(CleanDialog, DroppedFilesOnlyTheFirstCountsAndARejectionShowsOnce)
{
    int boxes = 0;
    std::wstring message;
    HWND seenBox = nullptr;
    const std::wstring product = L"C:\\Builds\\17.0\\PLANDREL.EXE";
    UiScript script;
    script
        .Then(OnDialog([](HWND d) {
            PostClick(d, IDC_KEEP_REGISTRY);  // a change that a drop must not store
            HDROP drop = MakeDrop({L"C:\\Builds\\notes.txt", L"C:\\Builds\\Plandrel.exe", L"C:\\x\\Plandrel.exe"});
            ::SendMessageW(::GetDlgItem(d, IDC_WARNING_TEXT), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        }))
        .Then([&] {
            // Watch for message boxes for a while; answer each one.
            static int ticks = 0;
            if (HWND box = FindMessageBox()) {
                if (box != seenBox) {
                    ++boxes;
                    seenBox = box;
                    message = ControlText(box, 0xFFFF);
                    PostClick(box, IDOK);
                }
            }
            return ++ticks > 20;
        })
        .Then(OnDialog([&](HWND d) {
            HDROP drop = MakeDrop({product});
            ::SendMessageW(::GetDlgItem(d, IDC_WARNING_TEXT), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(message, L"The dropped file must be an Plandrel.exe file!");
    EXPECT_EQ(app.m_productExePath, product);
    EXPECT_TRUE(app.m_reRegister);
    EXPECT_FALSE(Exists(app.m_settingsPath)) << "an accepted drop stores nothing";
    EXPECT_EQ(dialog.servicesAsked, 0);
}

// Run elevated, the dialog takes drops from any program of the session: the
// person confirms one, No being the default.
TEST_F(CleanDialog, ADropOnAnElevatedCleanerIsConfirmedByThePerson)
{
    const std::wstring product = L"C:\\Users\\jo\\Downloads\\Plandrel.exe";
    const auto drop = [&](HWND d) {
        ::SendMessageW(::GetDlgItem(d, IDC_WARNING_TEXT), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({product})), 0);
    };
    std::vector<std::wstring> questions;
    const auto answer = [&](int button) -> UiScript::Step {
        return [&, button] {
            HWND box = FindMessageBox();
            if (box == nullptr)
                return false;
            questions.push_back(ControlText(box, 0xFFFF));
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(box, IDNO)) << "No is the default";
            PostClick(box, button);
            return true;
        };
    };
    UiScript script;
    script.Then(OnDialog(drop)).Then(answer(IDNO)).Wait(3).Then(OnDialog([&](HWND d) {
        EXPECT_FALSE(app.m_reRegister) << "No: the drop is let go";
        drop(d);
    }));
    script.Then(answer(IDYES));
    TestCleanDlg dialog(app);
    dialog.elevated = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], L"Clean the profile, both Velmora registry trees included (the user's and the machine's), "
                            L"and start this file as administrator?\n\n" + product);
    EXPECT_TRUE(app.m_reRegister);
    EXPECT_EQ(app.m_productExePath, product);
}

// Tab and the arrows repeat through every control as they should; only
// Enter, Space and Escape held as the dialog opened are held back.
TEST_F(CleanDialog, AHeldTabPassesEveryControl)
{
    WriteSettings("KeepRegistry=0\r\n");
    std::vector<int> focus;
    UiScript script;
    for (int i = 0; i < 6; ++i) {
        script.Then(OnDialog([&](HWND) { PostHeldKey(::GetFocus(), VK_TAB); })).Wait(2).Then([&] {
            focus.push_back(::GetDlgCtrlID(::GetFocus()));
            return true;
        });
    }
    script.Then(OnDialog([](HWND d) { PostClick(d, IDCANCEL); }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(focus, (std::vector<int>{IDCANCEL, IDC_KEEP_REGISTRY, IDC_KEEP_SN_FINDOUTMORE, IDC_KEEP_VAULTRY, IDC_KEEP_QRX,
                                       IDOK}));
}

TEST_F(CleanDialog, ADropAndCleanInTheSameTickEndByClean)
{
    UiScript script;
    script.Then(OnDialog([](HWND d) {
        HDROP drop = MakeDrop({L"C:\\P\\Plandrel.exe"});
        ::SendMessageW(::GetDlgItem(d, IDC_WARNING_TEXT), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        ::SendMessageW(::GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    }));
    TestCleanDlg dialog(app);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(app.m_reRegister);
    EXPECT_TRUE(app.m_productExePath.empty());
    EXPECT_EQ(Settings(), "[Settings]\r\nKeepRegistry=1\r\nKeepSNFindOutMore=1\r\nKeepVaultry=1\r\nKeepQRX=1\r\n");
}

// Wine 10 posts a drop to the dialog rather than to the warning text under
// the point: it counts only where it landed on the text.
TEST_F(CleanDialog, ADropPostedToTheDialogCountsOnlyOnTheWarningText)
{
    const auto clientCentre = [](HWND d, int id) {
        POINT point = ControlCentre(d, id);
        ::ScreenToClient(d, &point);
        return point;
    };
    TestCleanDlg dialog(app);
    bool offTargetCounted = true;
    UiScript script;
    script
        .Then(OnDialog([&](HWND d) {
            ::SendMessageW(d, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\A\\Plandrel.exe"},
                                                                            clientCentre(d, IDC_KEEP_QRX))), 0);
            // Handled while it was sent: a drop that counted is pending now.
            offTargetCounted = dialog.m_dropTarget.m_fileDropped != 0;
        }))
        .Then(OnDialog([&](HWND d) {
            ::SendMessageW(d, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\B\\Plandrel.exe"},
                                                                            clientCentre(d, IDC_WARNING_TEXT))), 0);
        }));
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(offTargetCounted);
    EXPECT_EQ(app.m_productExePath, L"C:\\B\\Plandrel.exe");
    EXPECT_TRUE(app.m_reRegister);
}

TEST_F(CleanDialog, OpensWithCleanUnderThePointer)
{
    ASSERT_TRUE(::SetCursorPos(400, 300));
    POINT centre = {};
    POINT cursor = {};
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        centre = ControlCentre(d, IDOK);
        ::GetCursorPos(&cursor);
        PostClick(d, IDCANCEL);
    }));
    TestCleanDlg dialog(app);
    dialog.DoModal();
    EXPECT_NEAR(centre.x, cursor.x, 1);
    EXPECT_NEAR(centre.y, cursor.y, 1);
}

// Up and Down move between the four boxes and never onto the warning text
// or its icon, where no focus would show.
TEST_F(CleanDialog, ArrowKeysStayAmongTheBoxes)
{
    WriteSettings("KeepRegistry=0\r\n");
    bool stayed = false;
    UiScript script;
    script.Then(OnDialog([&](HWND d) {
        stayed = ArrowsStayAmong(d, {IDC_KEEP_REGISTRY, IDC_KEEP_SN_FINDOUTMORE, IDC_KEEP_VAULTRY, IDC_KEEP_QRX}) &&
                 ArrowsStayAmong(d, {IDOK, IDCANCEL});
        PostClick(d, IDCANCEL);
    }));
    TestCleanDlg dialog(app);
    dialog.DoModal();
    EXPECT_TRUE(stayed);
}

namespace {

// Enter down as a dialog opens, as the keyboard would have it.
class HeldEnter : public CCleanerApp {
public:
    bool held = true;
    bool IsKeyDown(int key) const noexcept override { return held && key == VK_RETURN; }
};

}  // namespace

// An Enter held down since before the result opened (the one that started
// the run, still down; a stuck key) does not close it unseen; once let go, a
// fresh press does. Nor does the second click of a double-click that
// landed on OK as it opened, or a click that began before it.
TEST(ResultDialogs, AKeyHeldOrAClickBegunFromBeforeDoesNotCloseTheResult)
{
    HeldEnter app;
    UiScript script;
    script.Then(OnDialog(kCaption, IDOK, [&](HWND) {
        for (int i = 0; i < 3; ++i)
            PostHeldKey(::GetFocus(), VK_RETURN);
    }));
    script.Wait(8).Then([&] {
        if (FindThreadDialog(kCaption, IDOK) == nullptr) {
            script.errors += L"closed by the held key; ";
            return true;
        }
        app.held = false;
        ::PostMessageW(::GetFocus(), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
        PostKey(::GetFocus(), VK_RETURN);
        return true;
    });
    CSuccessDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(script.errors, L"");
    EXPECT_TRUE(script.Finished()) << "the fresh press closed it";

    // Every click below lands within the double-click time of the opening,
    // until it is made shorter than the time since.
    const UINT doubleClick = ::GetDoubleClickTime();
    ::SetDoubleClickTime(60000);
    const auto click = [](HWND d) {
        HWND ok = ::GetDlgItem(d, IDOK);
        ::PostMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageW(ok, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    };
    UiScript clicks;
    clicks.Then(OnDialog(kCaption, IDOK, click)).Wait(8).Then([&] {
        HWND d = FindThreadDialog(kCaption, IDOK);
        if (d == nullptr) {
            clicks.errors += L"closed by the early click; ";
            return true;
        }
        ::SetDoubleClickTime(1);
        click(d);
        return true;
    });
    CSuccessDlg clicked;
    EXPECT_EQ(clicked.DoModal(), IDOK);
    ::SetDoubleClickTime(doubleClick);
    EXPECT_EQ(clicks.errors, L"");
    EXPECT_TRUE(clicks.Finished()) << "a later click closed it";
}

TEST(ResultDialogs, SuccessDialogSaysSoWithOkUnderThePointer)
{
    CCleanerApp app;
    ASSERT_TRUE(::SetCursorPos(640, 500));
    POINT centre = {};
    std::wstring text;
    UiScript script;
    script.Then(OnDialog(kCaption, IDOK, [&](HWND d) {
        text = ControlText(d, IDC_RESULT_TEXT);
        centre = ControlCentre(d, IDOK);
        PostClick(d, IDOK);
    }));
    CSuccessDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(text, L"Cleaned successfully.");
    EXPECT_NEAR(centre.x, 640, 1);
    EXPECT_NEAR(centre.y, 500, 1);
}

TEST(ResultDialogs, FailureDialogShowsEveryFolderOfALongReport)
{
    CCleanerApp app;
    for (int i = 0; i < 30; ++i) {
        app.m_failureReport += L"\tC:\\users\\root\\AppData\\Local\\Velmora\\folder" + std::to_wstring(i) + L"\n";
        app.m_failureDetails.push_back(L"\t\tcache\\in-use.db: Sharing violation, held by Lumetra (" +
                                       std::to_wstring(100 + i) + L").");
    }
    const std::wstring message = app.FailureText();
    // Each folder's line as it stands, its detail line right under it.
    EXPECT_NE(message.find(L"\tC:\\users\\root\\AppData\\Local\\Velmora\\folder7\n"
                           L"\t\tcache\\in-use.db: Sharing violation, held by Lumetra (107).\n"
                           L"\tC:\\users\\root\\AppData\\Local\\Velmora\\folder8\n"),
              std::wstring::npos);
    EXPECT_EQ(message.substr(0, 50), L"Finished unsuccessfully. Cleaning not complete.\n\nS");
    EXPECT_EQ(message.find(L"Some folders, files cannot be deleted from:\n\n\tC:\\users"), 49u);

    ASSERT_TRUE(::SetCursorPos(0, 0));  // a corner: the dialog stays on the screen
    std::wstring shown;
    LRESULT lines = 0;
    LONG style = 0;
    RECT rect = {};
    LRESULT icon = 0;
    UiScript script;
    script.Then(OnDialog(kCaption, IDC_RESULT_ICON, [&](HWND d) {
        HWND text = ::GetDlgItem(d, IDC_RESULT_TEXT);
        shown = ControlText(d, IDC_RESULT_TEXT);
        lines = ::SendMessageW(text, EM_GETLINECOUNT, 0, 0);
        style = ::GetWindowLongW(text, GWL_STYLE);
        icon = ::SendMessageW(::GetDlgItem(d, IDC_RESULT_ICON), STM_GETICON, 0, 0);
        ::GetWindowRect(d, &rect);
        PostClick(d, IDOK);
    }));
    CFailureDlg dialog;
    dialog.m_message = message;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, ToControlLineBreaks(message));
    EXPECT_GE(lines, 64) << "every report line is a line of the control";
    EXPECT_TRUE(style & WS_VSCROLL) << "a long report scrolls";
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_NE(icon, 0);
    EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(rect.top, ::GetSystemMetrics(SM_YVIRTUALSCREEN));
}

namespace {

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void SetClipboardText(const std::wstring& text)
{
    if (!::OpenClipboard(nullptr))
        return;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

}  // namespace

// A keyboard user reaches the report with Tab, moves the caret through it
// line by line (a screen reader follows the caret), selects with Shift, and
// copies the selection, or else the whole text, with Ctrl+C, as a message
// box allows.
TEST(ResultDialogs, TheFailureListIsReachedByTabReadByTheCaretAndCopied)
{
    std::wstring message = L"Finished unsuccessfully. Cleaning not complete.\n\nSome folders, files cannot be deleted from:\n\n";
    for (int i = 0; i < 30; ++i)
        message += L"\tC:\\users\\jo\\folder" + std::to_wstring(i) + L"\n\t\tin-use.db: Access is denied.\n";
    const std::wstring whole = ToControlLineBreaks(message);
    HWND list = nullptr;
    bool tabReachesIt = false;
    DWORD selectionStart = 1, selectionEnd = 0;
    DWORD caret = 0, caretEnd = 0;
    LRESULT thirdLine = -1;
    LRESULT firstLine = -1;
    const auto shift = [](bool down) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    };
    std::vector<std::wstring> copied;
    UiScript script;
    script.Then(OnDialog(kCaption, IDC_RESULT_ICON, [&](HWND d) {
        list = ::GetDlgItem(d, IDC_RESULT_TEXT);
        tabReachesIt = ::GetNextDlgTabItem(d, ::GetDlgItem(d, IDOK), FALSE) == list;
        // Ctrl+C with OK focused, as the dialog opens.
        SetClipboardText(L"before");
        PostKey(::GetFocus(), 'C', true);
    }));
    script.Wait(4).Then([&] {
        copied.push_back(ClipboardText());
        HWND d = ::GetParent(list);
        ::SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        ::SendMessageW(list, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                       reinterpret_cast<LPARAM>(&selectionEnd));
        PostKey(list, VK_DOWN);
        PostKey(list, VK_DOWN);
        return true;
    });
    script.Wait(4).Then([&] {
        ::SendMessageW(list, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), reinterpret_cast<LPARAM>(&caretEnd));
        thirdLine = ::SendMessageW(list, EM_LINEINDEX, 2, 0);
        shift(true);
        PostKey(list, VK_END);
        return true;
    });
    script.Wait(4).Then([&] {
        shift(false);
        SetClipboardText(L"before");
        PostKey(list, 'C', true);
        return true;
    });
    script.Wait(4).Then([&] {
        copied.push_back(ClipboardText());
        SetClipboardText(L"before");
        PostKey(list, VK_END, true);  // Ctrl+End: the caret to the end, the view with it
        PostKey(list, 'C', true);
        return true;
    });
    script.Wait(4).Then([&] {
        copied.push_back(ClipboardText());
        firstLine = ::SendMessageW(list, EM_GETFIRSTVISIBLELINE, 0, 0);
        PostKey(list, VK_RETURN);
        return true;
    });
    script.Wait(8).Then([&] {
        if (HWND d = FindThreadDialog(kCaption, IDC_RESULT_ICON)) {
            script.errors += L"Enter in the report did not close the dialog; ";
            PostClick(d, IDOK);
        }
        return true;
    });
    CFailureDlg dialog;
    dialog.m_message = message;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(tabReachesIt) << "a tab stop after OK";
    EXPECT_EQ(selectionStart, selectionEnd) << "tabbing in selects nothing";
    EXPECT_EQ(static_cast<LRESULT>(caret), thirdLine) << "Down twice moves the caret to the third line";
    EXPECT_EQ(caret, caretEnd);
    EXPECT_GT(firstLine, 0) << "the view follows the caret to the end";
    EXPECT_EQ(copied, (std::vector<std::wstring>{whole, L"Some folders, files cannot be deleted from:", whole}))
        << "the whole text from OK, the selection, the whole text without one";
    EXPECT_EQ(script.errors, L"");
}

// What a screen reader hears the report and the progress bar called: the
// hidden labels before them, never the folder path beside the bar.
TEST(ResultDialogs, TheReportAndTheProgressBarHaveTheirNames)
{
    const fw::CComApartment com;
    std::wstring reportName;
    UiScript script;
    script.Then(OnDialog(kCaption, IDC_RESULT_ICON, [&](HWND d) {
        reportName = AccessibleName(::GetDlgItem(d, IDC_RESULT_TEXT));
        PostClick(d, IDOK);
    }));
    CFailureDlg dialog;
    dialog.m_message = L"Finished unsuccessfully.";
    dialog.DoModal();
    EXPECT_EQ(reportName, L"Folders and files that could not be deleted");

    CProgressWindow progress;
    ASSERT_TRUE(progress.Start());
    progress.RemovingFolder(L"C:\\users\\jo\\AppData\\Local\\Velmora");
    EXPECT_EQ(AccessibleName(progress.GetDlgItem(IDC_PROGRESS_BAR)), L"Progress");
}

TEST(ResultDialogs, LineBreaksForTheTextControl)
{
    EXPECT_EQ(ToControlLineBreaks(L"a\nb\n"), L"a\r\nb\r\n");
    EXPECT_EQ(ToControlLineBreaks(L"a\r\nb"), L"a\r\nb");
    EXPECT_EQ(ToControlLineBreaks(L"\n\n\tx\n"), L"\r\n\r\n\tx\r\n");
}

TEST(DialogFailures, AnExceptionInAHandlerEndsTheDialogAndTheRunFails)
{
    class ThrowingDlg : public fw::CDialog {
    public:
        ThrowingDlg() : CDialog(IDD_SUCCESS_DIALOG) {}

    protected:
        void OnOK() override { throw std::runtime_error("in a handler"); }
    };
    CCleanerApp app;
    EXPECT_EQ(cleaner::ExitCodeFor(app.Outcome()), cleaner::kExitSuccess);
    UiScript script;
    script.Then(OnDialog(kCaption, IDOK, [](HWND d) {
        PostClick(d, IDOK);
    }));
    ThrowingDlg dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(cleaner::ExitCodeFor(app.Outcome()), cleaner::kExitStepFailed);
}

namespace {

// Plays the engine at the test's own pace: ticks the window until the
// condition holds, with a deadline for a slow machine.
template <class Condition>
bool TickUntil(CProgressWindow& window, Condition condition, DWORD timeoutMs = 30000)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        window.Tick();
        ::Sleep(5);
    }
    return true;
}

ULONGLONG ThreadCpuMs()
{
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ms = [](const FILETIME& t) { return ((ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
}

}  // namespace

// Shown only after half a second of work, it names the folder, counts in
// the user's format, takes no key or close, and once the work is done the
// result opens active and in front while the window goes.
TEST(ProgressWindow, ShowsTheWorkTakesNoKeysAndHandsOverToTheResult)
{
    ASSERT_TRUE(::SetCursorPos(640, 500));
    const std::wstring folder = L"C:\\Users\\jo\\AppData\\Local\\Velmora";
    CProgressWindow window;
    const DWORD started = ::GetTickCount();
    ASSERT_TRUE(window.Start());
    const HWND progress = window.GetSafeHwnd();
    window.RemovingFolder(folder);
    DWORD shownAfter = 0;
    ASSERT_TRUE(TickUntil(window, [&] {
        shownAfter = ::GetTickCount() - started;
        return ::IsWindowVisible(progress) != FALSE;
    }));
    EXPECT_GE(shownAfter, CProgressWindow::kShowAfterMs) << "shown before half a second of work";
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_ACTION), L"Removing:");
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_DETAIL), folder);
    RECT rect = {};
    ::GetWindowRect(progress, &rect);
    EXPECT_NEAR((rect.left + rect.right) / 2, 640, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, 500, 1);
    // Nothing removed yet (a registration wait after a clean profile) still reads as a number.
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_COUNT), L"0 files and folders removed so far");

    for (int i = 0; i < 12345; ++i)
        window.EntryRemoved();
    const std::wstring count = cleaner::CNumberFormat().Format(12345) + L" files and folders removed so far";
    EXPECT_TRUE(TickUntil(window, [&] { return ControlText(progress, IDC_PROGRESS_COUNT) == count; }))
        << Narrow(ControlText(progress, IDC_PROGRESS_COUNT));
    // Where the test command set the user's format (a period for groups of
    // three), the text it must show.
    const std::wstring expected = Environment(L"CLEANER_EXPECTED_COUNT");
    if (!expected.empty()) {
        EXPECT_EQ(ControlText(progress, IDC_PROGRESS_COUNT), expected + L" files and folders removed so far");
    }

    // Enter and Escape as a dialog loop turns them into commands, the keys
    // themselves, and Alt+F4 as the system menu's close.
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::PostMessageW(progress, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::PostMessageW(progress, WM_CLOSE, 0, 0);
    window.Pump();
    EXPECT_TRUE(::IsWindowVisible(progress));
    EXPECT_FALSE(window.Quitting());

    // A click on it in the last moment must not reach the result.
    ::PostMessageW(progress, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::PostMessageW(progress, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    window.Done();
    MSG queued;
    EXPECT_FALSE(::PeekMessageW(&queued, progress, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));

    bool active = false;
    bool gone = false;
    UiScript script;
    const DWORD shown = ::GetTickCount();
    script.Then([&] {
        HWND d = FindThreadDialog(kCaption, IDOK);
        if (d == nullptr)
            return false;
        // The window goes by itself once the result is active.
        gone = !::IsWindow(progress);
        if (!gone && ::GetTickCount() - shown < 30000)
            return false;
        active = ::GetActiveWindow() == d && ::GetForegroundWindow() == d;
        PostClick(d, IDOK);
        return true;
    });
    CSuccessDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(active);
}

// A quit message during the run is taken once; after it nothing pumps, no
// pause spins, and the window goes at the end.
TEST(ProgressWindow, AQuitMessageIsTakenOnceAndNothingSpinsAfterIt)
{
    CProgressWindow window;
    ASSERT_TRUE(window.Start());
    ::PostQuitMessage(3);
    window.Pump();
    EXPECT_TRUE(window.Quitting());
    MSG queued;
    EXPECT_FALSE(::PeekMessageW(&queued, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "posted again";
    // Input waiting would wake a message wait at once, again and again.
    ::PostMessageW(window.GetSafeHwnd(), WM_NULL, 0, 0);
    const ULONGLONG before = ThreadCpuMs();
    window.Pause(1000);
    EXPECT_LT(ThreadCpuMs() - before, 500u) << "the pause spun";
    const HWND progress = window.GetSafeHwnd();
    window.Done();
    EXPECT_FALSE(::IsWindow(progress));
}
