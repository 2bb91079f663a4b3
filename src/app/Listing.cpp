// src/app/Listing.cpp
// A listing (/L): the run's own decisions and walks, counting what they
// would remove instead of removing it, told in report lines or a dialog.
#include "app/CleanerApp.h"

#include "app/ResultDialogs.h"
#include "clean/FolderList.h"
#include "ui/NumberFormat.h"

#include <shlobj.h>

void CCleanerApp::RunListing()
{
    // The decisions of the run the rest of the command line names: a
    // re-registration's is its first run, the one that cleans the registry.
    m_registryPass = m_reRegister;
    CleanProfile();
    const bool quitting = m_progress && m_progress->Quitting();
    WorkDone();
    EndWaitCursor();
    // Started from a shortcut, with no handle for the lines: a dialog.
    if (!quitting && !(m_report && m_report->IsOpen())) {
        CListingDlg dialog;
        dialog.m_message = ListingText();
        NoteDialogResult(dialog.DoModal());
    }
}

void CCleanerApp::RecordListed(const cleaner::ListedEntry& entry)
{
    if (entry.kind == cleaner::ListedEntry::Kind::Unlisted)
        m_outcome.stepFailed = true;
    else if (entry.kind == cleaner::ListedEntry::Kind::Folder)
        ++m_summary.removed;
    m_listed.push_back(entry);
    if (m_report && m_report->IsOpen())
        m_report->Write(cleaner::ListingLine(entry));
}

void CCleanerApp::ListKeptFolders()
{
    // Not looked up by the run, which spares them: asked quietly here.
    HRESULT verified = S_OK;
    const auto documents = NamedShellFolder(CSIDL_PERSONAL, verified);
    if (!documents)
        return;
    for (const std::wstring& folder : cleaner::DocumentFolders(*documents)) {
        if (CanEnterFolder(folder)) {
            cleaner::ListedEntry kept{cleaner::ListedEntry::Kind::Kept, folder};
            kept.note = L"KeepQRX";
            RecordListed(kept);
        }
    }
}

std::wstring CCleanerApp::ListingText() const
{
    const cleaner::CNumberFormat numbers;
    return cleaner::ListingText(m_listed, m_registryKept, [&](unsigned long long n) { return numbers.Format(n); });
}
