// src/clean/RunProgress.h
// What a cleaning or re-registration run tells whoever shows its progress.
// The engine knows nothing of windows: it calls these as it goes, and a
// silent run gives it nobody to call.
#pragma once

#include <string>

namespace cleaner {

class IRunProgress {
public:
    // A top folder's removal begins (its full path).
    virtual void RemovingFolder(const std::wstring& folder) = 0;
    // An entry below a top folder, or the top itself, went. Called for every
    // entry, so it must cost next to nothing.
    virtual void EntryRemoved() = 0;
    // Between two pieces of work (a registry key, a look-up): lets messages
    // through when it is time. Costs next to nothing otherwise.
    virtual void Tick() = 0;
    virtual void CleaningRegistry() = 0;
    // Re-registration: the product (its executable's file name) runs.
    virtual void WaitingForProduct(const std::wstring& executableName) = 0;
    // Re-registration: the folders are cleaned once more.
    virtual void CleaningAgain() = 0;
    // The run pauses before a retry; the time is spent here.
    virtual void Pause(unsigned milliseconds) = 0;
    // Messages arrived while the run waits: let them through.
    virtual void Pump() = 0;
    // The work is over: whatever shows it hands over to the dialog that
    // follows, and goes.
    virtual void Done() = 0;
    // The session asked the program to end (a quit message came): the run
    // finishes its work, and no dialog follows it.
    virtual bool Quitting() const = 0;

protected:
    ~IRunProgress() = default;
};

}  // namespace cleaner
