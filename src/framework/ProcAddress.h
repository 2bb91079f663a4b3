// src/framework/ProcAddress.h
// A function of a module loaded at run time, typed, so that no build needs
// the module's import library.
#pragma once

#include <windows.h>

namespace fw {

// Null when the module lacks the function. Through the generic function
// type, which the compilers accept as a cast between unrelated function
// types.
template <class Fn>
Fn LoadProc(HMODULE module, const char* name) noexcept
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace fw
