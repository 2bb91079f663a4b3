// src/framework/RestartManager.cpp
// The structures are declared here from their documented layout, as the
// NT file calls' are.
#include "framework/RestartManager.h"

#include "framework/DllSearch.h"

#include "framework/ProcAddress.h"

#include <iterator>

namespace fw {

// RM_PROCESS_INFO, with RM_UNIQUE_PROCESS at its head.
struct CRestartManager::ProcessInfo {
    DWORD processId;
    FILETIME processStartTime;
    wchar_t appName[256];         // CCH_RM_MAX_APP_NAME + 1
    wchar_t serviceShortName[64];  // CCH_RM_MAX_SVC_NAME + 1
    int applicationType;
    ULONG appStatus;
    DWORD sessionId;
    BOOL restartable;
};

namespace {

constexpr size_t kSessionKeyLength = 32;  // CCH_RM_SESSION_KEY
// RmGetList may find more holders between its calls; a few rounds settle it.
constexpr int kListRounds = 4;

}  // namespace

CRestartManager::CRestartManager() noexcept : m_module(fw::LoadSystemLibrary(L"rstrtmgr.dll"))
{
    static_assert(sizeof(ProcessInfo) == 668, "layout of RM_PROCESS_INFO, the same on both targets");
    if (!m_module)
        return;
    m_start = LoadProc<StartFn>(m_module.get(), "RmStartSession");
    m_register = LoadProc<RegisterFn>(m_module.get(), "RmRegisterResources");
    m_list = LoadProc<ListFn>(m_module.get(), "RmGetList");
    m_end = LoadProc<EndFn>(m_module.get(), "RmEndSession");
}

std::vector<FileHolder> CRestartManager::HoldersOf(const std::wstring& path) const
{
    std::vector<FileHolder> holders;
    if (m_start == nullptr || m_register == nullptr || m_list == nullptr || m_end == nullptr || path.empty())
        return holders;
    DWORD session = 0;
    wchar_t key[kSessionKeyLength + 1] = {};
    if (m_start(&session, 0, key) != ERROR_SUCCESS)
        return holders;

    std::vector<ProcessInfo> found;
    const wchar_t* files[] = {path.c_str()};
    if (m_register(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        for (int round = 0; round < kListRounds; ++round) {
            UINT needed = 0;
            UINT count = static_cast<UINT>(found.size());
            DWORD reasons = 0;
            const DWORD error = m_list(session, &needed, &count, found.empty() ? nullptr : found.data(), &reasons);
            if (error == ERROR_SUCCESS) {
                found.resize(count < found.size() ? count : found.size());
                break;
            }
            found.clear();
            if (error != ERROR_MORE_DATA || needed == 0)
                break;
            found.resize(needed);
        }
    }
    m_end(session);

    for (const ProcessInfo& info : found) {
        FileHolder holder;
        holder.processId = info.processId;
        // The name is terminated within its array; a missing terminator
        // stops at the array's end.
        size_t length = 0;
        while (length < std::size(info.appName) && info.appName[length] != L'\0')
            ++length;
        holder.name.assign(info.appName, length);
        holders.push_back(std::move(holder));
    }
    return holders;
}

}  // namespace fw
