#pragma once
#include <filesystem>

// Copies a practice with an SQLite database into a new folder: the backup of a
// practice, and the way a backup is put back. The copy is itself a practice folder:
// the settings file as written, the database copied with SQLite's online backup
// while other clients may write, and the data, log and QA folders, each in the place
// the settings give it. Nothing is ever overwritten: to must not exist or be an empty
// folder outside from, and it appears complete or not at all. Throws std::runtime_error.
void CopyPractice(const std::filesystem::path& from, const std::filesystem::path& to);
