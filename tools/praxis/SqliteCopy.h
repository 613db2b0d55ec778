#pragma once
#include <filesystem>

// Copies an SQLite database with SQLite's online backup: the copy is the state of
// one committed transaction even while other clients write, and is checked with
// PRAGMA integrity_check before it counts. Throws std::runtime_error.
void CopySqliteDatabase(const std::filesystem::path& from, const std::filesystem::path& to);
