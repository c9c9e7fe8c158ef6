// The game builds file paths with backslashes; every file operation turns them into host paths here.
#pragma once

#include <string>

namespace compat {

// "properties\\default.uprop" -> "properties/default.uprop". Nothing else changes.
std::string hostPath(const char* path);
std::string hostPath(const std::string& path);

} // namespace compat
