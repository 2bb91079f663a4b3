// src/clean/CleaningRules.h
// The decisions of a cleaning run that need no platform: which keep options
// count as set, whether a run touches the registry, and how each registry
// tree is treated. Portable.
#pragma once

namespace cleaner {

struct KeepOptions {
    bool keepRegistry = true;
    bool keepSnFindOutMore = true;
    bool keepVaultry = true;
    bool keepQrx = true;
};

// The run mode as the application object holds it.
struct RunMode {
    bool silent = false;
    bool reRegister = false;
    bool registryPass = false;  // re-registration only: the first of the two runs
};

bool IsInteractive(const RunMode& mode) noexcept;
// Whether a window may show the run's progress: every run that a person
// watches (interactive and re-registration), never a silent one.
bool ShowsProgress(const RunMode& mode) noexcept;

// Whether this run cleans the registry at all. Interactive runs honour
// "KeepRegistry"; silent runs and the first re-registration run always clean;
// the second re-registration run never does.
bool CleansRegistry(const RunMode& mode, const KeepOptions& keep) noexcept;

// Documents folders (Lumetra, Quillo) are removed only without "KeepQRX".
bool CleansDocumentFolders(const KeepOptions& keep) noexcept;

enum class PerUserAction { DeleteWholeTree, ThinOutTree };
PerUserAction PerUserTreeAction(const KeepOptions& keep) noexcept;

struct MachineAction {
    bool deleteWholeTree = false;
    // When the tree is walked: the two flags of the walk.
    bool keepVaultry = false;
    bool keepQrx = false;
};
MachineAction MachineTreeAction(const KeepOptions& keep) noexcept;

// What the end of a run has to tell its caller.
struct RunOutcome {
    bool couldNotStart = false;      // the main dialog failed, or no token
    bool stepFailed = false;         // a folder stayed, a look-up or a dialog failed
    bool productNotStarted = false;  // re-registration: the product could not be started
};

// The process exit code: 2 when the run could not start, 1 when a step
// failed, 3 when the product of a re-registration could not be started,
// 0 otherwise (also when the user cancelled).
enum ExitCode : int { kExitSuccess = 0, kExitStepFailed = 1, kExitCouldNotStart = 2, kExitProductNotStarted = 3 };
int ExitCodeFor(const RunOutcome& outcome) noexcept;

}  // namespace cleaner
