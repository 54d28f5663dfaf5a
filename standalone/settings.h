// The stand-alone application's settings file: the bank's bytes, read at
// start and written atomically (a temporary file beside it, fsync, rename,
// then the folder synced), so a crash or a full disk leaves the old file or
// the new one, never half of one. Main thread only; owns nothing but paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Zorv::Standalone {

enum class LoadResult { kLoaded, kMissing, kUnreadable };

// The file's bytes; kMissing when there is no file.
LoadResult readSettings(const std::string& path, std::vector<uint8_t>& bytes);
// Moves an unreadable file aside to path + ".bad"; false when it could not.
bool keepBadSettings(const std::string& path);
// Writes bytes atomically, creating the folder; false, the old file intact, on any failure.
bool writeSettings(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace Zorv::Standalone
