// src/clean/CleaningRules.cpp
#include "clean/CleaningRules.h"

namespace cleaner {

bool IsInteractive(const RunMode& mode) noexcept
{
    return !mode.silent && !mode.reRegister;
}

bool ShowsProgress(const RunMode& mode) noexcept { return !mode.silent || mode.reRegister; }

bool CleansRegistry(const RunMode& mode, const KeepOptions& keep) noexcept
{
    if (mode.reRegister)
        return mode.registryPass;
    if (mode.silent)
        return true;
    return !keep.keepRegistry;
}

bool CleansDocumentFolders(const KeepOptions& keep) noexcept
{
    return !keep.keepQrx;
}

PerUserAction PerUserTreeAction(const KeepOptions& keep) noexcept
{
    return keep.keepSnFindOutMore ? PerUserAction::ThinOutTree : PerUserAction::DeleteWholeTree;
}

MachineAction MachineTreeAction(const KeepOptions& keep) noexcept
{
    MachineAction action;
    action.deleteWholeTree = !keep.keepVaultry && !keep.keepQrx;
    action.keepVaultry = keep.keepVaultry;
    action.keepQrx = keep.keepQrx;
    return action;
}

int ExitCodeFor(const RunOutcome& outcome) noexcept
{
    if (outcome.couldNotStart)
        return kExitCouldNotStart;
    if (outcome.stepFailed)
        return kExitStepFailed;
    return outcome.productNotStarted ? kExitProductNotStarted : kExitSuccess;
}

}  // namespace cleaner
