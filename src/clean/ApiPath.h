// src/clean/ApiPath.h
// The form in which a path is handed to the file functions.
#pragma once

#include <string>

namespace cleaner {

// The path made full and canonical by the system's own parsing ("..", ".",
// forward slashes and doubled backslashes resolved, as starting a program
// would resolve them). A path already in the extended-length form is meant
// literally and stays as it is; so does one the system cannot parse.
std::wstring FullPath(const std::wstring& path);

// The full path in the extended-length form: without a length limit, and
// taken literally from here on, which is why it is made canonical first.
std::wstring ApiPath(const std::wstring& path);

}  // namespace cleaner
