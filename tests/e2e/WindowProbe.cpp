// A small helper for the end to end scripts: finds the program's windows and
// reads what xdotool cannot (control texts and rectangles), and holds files
// open the way another program would. Positions are in screen pixels.
//
//   window_probe wait   CAPTION CONTROL-ID TIMEOUT-MS   exit 0 when such a dialog is shown
//   window_probe offset CAPTION CONTROL-ID               prints "dx dy": control centre minus pointer
//                                                        (control 0: the window itself)
//   window_probe centre CAPTION CONTROL-ID               prints "x y": the control's centre on the screen
//   window_probe text   CAPTION CONTROL-ID               prints the control's text (UTF-8, CR LF kept)
//   window_probe check  CAPTION CONTROL-ID               prints a check box's state (0 or 1)
//   window_probe rect   CAPTION                          prints "x y width height" of the dialog
//   window_probe lock   RELEASE PATH...                  holds the files open without sharing, says
//                                                        "locked", and lets go once file RELEASE exists
//   window_probe watch  MAIN-IDS RESULT-IDS TIMEOUT-MS    watches the program's windows from the moment
//                                                        its main dialog goes until its result shows:
//                                                        prints "progress=0|1 run_ms=N foreground=0|1"
//   window_probe window TITLE                            a window of another program, open until ended
//   window_probe quit   CAPTION CONTROL-ID               posts a quit message to the dialog's thread
//   window_probe never  CAPTION CONTROL-ID STOP          says "ready", polls until file STOP exists:
//                                                        exit 1 if such a dialog showed at any moment
//   window_probe pointer X Y TIMEOUT-MS                  tells the system the pointer is at X Y, exit 0
//                                                        once GetCursorPos reads that
//   window_probe zerokey add|remove HKCU|HKLM PATH       a subkey of PATH whose name holds a zero,
//                                                        which no Win32 call can open or delete
//   window_probe elevated                                exit 0 when programs of this user run elevated,
//                                                        as this one does
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    const wchar_t* caption;
    int controlId;
    int excludedId;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (!::IsWindowVisible(window) || std::wcscmp(text, search->caption) != 0)
        return TRUE;
    if (search->controlId != 0 && ::GetDlgItem(window, search->controlId) == nullptr)
        return TRUE;
    if (search->excludedId != 0 && ::GetDlgItem(window, search->excludedId) != nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A control id written as "1000!1003" means: has 1000, has no 1003.
HWND Find(const wchar_t* caption, const wchar_t* ids)
{
    Search search{caption, 0, 0, nullptr};
    search.controlId = static_cast<int>(std::wcstol(ids, nullptr, 10));
    if (const wchar_t* bang = std::wcschr(ids, L'!'))
        search.excludedId = static_cast<int>(std::wcstol(bang + 1, nullptr, 10));
    ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PrintUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

const wchar_t kCaption[] = L"Velmora Registry Cleaner";
const wchar_t kProgressCaption[] = L"Velmora Registry Cleaner at work";

// Polled often, in one process: whether the progress window showed at any
// moment of the run, how long the run took from the main dialog's going
// to the result's showing, and whether the result was then in front once
// the progress window had gone.
int Watch(const wchar_t* mainIds, const wchar_t* resultIds, DWORD timeout)
{
    const DWORD start = ::GetTickCount();
    std::printf("ready\n");
    std::fflush(stdout);
    DWORD runStart = 0;
    bool progress = false;
    HWND result = nullptr;
    while (::GetTickCount() - start < timeout) {
        if (runStart == 0 && Find(kCaption, mainIds) == nullptr)
            runStart = ::GetTickCount();
        progress = progress || Find(kProgressCaption, L"0") != nullptr;
        if (runStart != 0 && (result = Find(kCaption, resultIds)) != nullptr)
            break;
        ::Sleep(2);
    }
    if (result == nullptr)
        return 1;
    const DWORD runMs = ::GetTickCount() - runStart;
    // The progress window hands over to the result and goes by itself.
    while (Find(kProgressCaption, L"0") != nullptr && ::GetTickCount() - start < timeout)
        ::Sleep(10);
    const bool front = ::GetForegroundWindow() == result;
    std::printf("progress=%d run_ms=%lu foreground=%d\n", progress ? 1 : 0, runMs, front ? 1 : 0);
    return 0;
}

// Made and removed through the native calls, which take counted names.
int ZeroKey(const std::wstring& action, const std::wstring& rootName, const std::wstring& path)
{
    struct CountedName {
        USHORT length;
        USHORT maximumLength;
        PWSTR buffer;
    };
    struct Attributes {
        ULONG length;
        HANDLE root;
        CountedName* name;
        ULONG attributes;
        PVOID security;
        PVOID quality;
    };
    using CreateFn = LONG(WINAPI*)(PHANDLE, ACCESS_MASK, Attributes*, ULONG, CountedName*, ULONG, PULONG);
    using DeleteFn = LONG(WINAPI*)(HANDLE);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "NtCreateKey")));
    const auto remove = reinterpret_cast<DeleteFn>(reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "NtDeleteKey")));
    HKEY root = rootName == L"HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY parent = nullptr;
    if (!create || !remove ||
        ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &parent,
                          nullptr) != ERROR_SUCCESS)
        return 3;
    wchar_t text[] = L"Held\0By Zero";
    CountedName name = {sizeof text - sizeof(wchar_t), sizeof text, text};
    Attributes attributes = {sizeof attributes, parent, &name, 0x40 /* case-insensitive */, nullptr, nullptr};
    HANDLE key = nullptr;
    LONG status = create(&key, KEY_ALL_ACCESS | DELETE, &attributes, 0, nullptr, 0, nullptr);
    if (status >= 0 && action == L"remove")
        status = remove(key);
    if (key)
        ::CloseHandle(key);
    ::RegCloseKey(parent);
    return status >= 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wstring(argv[1]) == L"elevated") {
        HANDLE token = nullptr;
        TOKEN_ELEVATION elevation = {};
        DWORD size = 0;
        const bool elevated = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) &&
                              ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                              elevation.TokenIsElevated != 0;
        return elevated ? 0 : 1;
    }
    if (argc < 3)
        return 2;
    // Screen pixels, as xdotool and the screenshots count them: a program
    // that is not DPI-aware sees scaled ones on a high-DPI screen.
    ::SetProcessDPIAware();
    const std::wstring command = argv[1];
    if (command == L"lock") {
        std::vector<HANDLE> files;
        for (int i = 3; i < argc; ++i) {
            HANDLE file = ::CreateFileW(argv[i], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return 3;
            files.push_back(file);
        }
        std::printf("locked\n");
        std::fflush(stdout);
        while (::GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES)
            ::Sleep(20);
        for (HANDLE file : files)
            ::CloseHandle(file);
        return 0;
    }
    if (command == L"pointer" && argc >= 5) {
        const POINT wanted = {std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10)};
        const DWORD timeout = static_cast<DWORD>(std::wcstol(argv[4], nullptr, 10));
        // Wine keeps a position of its own, which a pointer moved by xdotool
        // over no Wine window leaves stale, and it answers GetCursorPos from
        // it for a while after any change to the cursor's clip. Moved through
        // the system, as a mouse moves it on Windows, that position is true.
        ::SetCursorPos(wanted.x, wanted.y);
        const DWORD start = ::GetTickCount();
        POINT cursor = {};
        do {
            if (::GetCursorPos(&cursor) && cursor.x == wanted.x && cursor.y == wanted.y)
                return 0;
            ::Sleep(50);
        } while (::GetTickCount() - start < timeout);
        std::printf("%ld %ld\n", cursor.x, cursor.y);
        return 1;
    }
    if (command == L"watch" && argc >= 5)
        return Watch(argv[2], argv[3], static_cast<DWORD>(std::wcstol(argv[4], nullptr, 10)));
    if (command == L"window") {
        const HWND window = ::CreateWindowExW(0, L"STATIC", argv[2], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300,
                                              nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr)
            return 3;
        ::SetForegroundWindow(window);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&message);
        return 0;
    }
    if (command == L"never" && argc >= 5) {
        std::printf("ready\n");
        std::fflush(stdout);
        bool seen = false;
        while (::GetFileAttributesW(argv[4]) == INVALID_FILE_ATTRIBUTES) {
            seen = seen || Find(argv[2], argv[3]) != nullptr;
            ::Sleep(2);
        }
        return seen ? 1 : 0;
    }
    if (command == L"zerokey" && argc >= 5)
        return ZeroKey(argv[2], argv[3], argv[4]);
    if (command == L"wait" && argc >= 5) {
        const DWORD timeout = static_cast<DWORD>(std::wcstol(argv[4], nullptr, 10));
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < timeout) {
            if (Find(argv[2], argv[3]))
                return 0;
            ::Sleep(100);
        }
        return 1;
    }
    HWND dialog = Find(argv[2], argc >= 4 ? argv[3] : L"0");
    if (dialog == nullptr)
        return 1;
    if (command == L"quit")
        return ::PostThreadMessageW(::GetWindowThreadProcessId(dialog, nullptr), WM_QUIT, 0, 0) ? 0 : 1;
    if (command == L"rect") {
        RECT rect = {};
        ::GetWindowRect(dialog, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return 0;
    }
    if (argc < 4)
        return 2;
    // Control id 0 stands for the window itself.
    const int id = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    HWND control = id == 0 ? dialog : ::GetDlgItem(dialog, id);
    if (command == L"offset") {
        RECT rect = {};
        POINT cursor = {};
        ::GetWindowRect(control, &rect);
        ::GetCursorPos(&cursor);
        std::printf("%ld %ld\n", rect.left + (rect.right - rect.left) / 2 - cursor.x,
                    rect.top + (rect.bottom - rect.top) / 2 - cursor.y);
        return 0;
    }
    if (command == L"centre") {
        RECT rect = {};
        ::GetWindowRect(control, &rect);
        std::printf("%ld %ld\n", rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2);
        return 0;
    }
    if (command == L"check") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0)));
        return 0;
    }
    if (command == L"text") {
        // WM_GETTEXT, not GetWindowTextW: across processes the latter reads
        // only a title, which text controls do not keep.
        const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(
            ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        PrintUtf8(text);
        return 0;
    }
    return 2;
}
