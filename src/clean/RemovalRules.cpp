// src/clean/RemovalRules.cpp
#include "clean/RemovalRules.h"

namespace cleaner {
namespace {

constexpr std::uint32_t kAttributeDirectory = 0x10;     // FILE_ATTRIBUTE_DIRECTORY
constexpr std::uint32_t kAttributeReparse = 0x400;      // FILE_ATTRIBUTE_REPARSE_POINT
constexpr std::uint32_t kTagNameSurrogate = 0x20000000;  // IsReparseTagNameSurrogate

constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorLockViolation = 33;
constexpr std::uint32_t kErrorDirNotEmpty = 145;

}  // namespace

EntryKind ClassifyEntry(std::uint32_t attributes, std::uint32_t reparseTag) noexcept
{
    if ((attributes & kAttributeDirectory) == 0)
        return EntryKind::File;
    if ((attributes & kAttributeReparse) == 0)
        return EntryKind::Folder;
    return reparseTag == 0 || (reparseTag & kTagNameSurrogate) != 0 ? EntryKind::Link : EntryKind::Folder;
}

bool FileIdsDiffer(std::int64_t listed, std::int64_t opened) noexcept
{
    return listed != 0 && opened != 0 && listed != opened;
}

bool IsMomentOfUse(std::uint32_t error) noexcept
{
    return error == kErrorSharingViolation || error == kErrorLockViolation;
}

bool IsPendingEntries(std::uint32_t error) noexcept { return error == kErrorDirNotEmpty; }

std::optional<unsigned> CRetryBudget::NextPause() noexcept
{
    if (m_spent >= kBudgetMs)
        return std::nullopt;
    const unsigned pause = m_next < kBudgetMs - m_spent ? m_next : kBudgetMs - m_spent;
    m_spent += pause;
    m_next *= 2;
    return pause;
}

}  // namespace cleaner
