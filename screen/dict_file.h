// The dictionary file "dict.txt" in the program's own folder.
#pragma once

#include "vms_dict.h"

#include <string>

namespace tovi::screen {

// The folder of this program's file, with a trailing backslash.
std::wstring programFolder();

enum class DictFileStatus { Loaded, Missing, Unreadable };

// Reads at most kMaxDictBytes of `path` into `dict`; a missing or unreadable file leaves it
// empty.
DictFileStatus loadDictFile(const std::wstring& path, TVmsDict& dict, DictLoadReport* report);

} // namespace tovi::screen
