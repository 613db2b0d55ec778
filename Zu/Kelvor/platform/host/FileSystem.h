#pragma once
#include <ctime>
#include <string>

// The calls into the system on names of files, beside COpenFile for open files. A
// failed call leaves its errno.

enum class PathKind { Missing, File, Other };
// What is at path, a link taken as itself (Other), not followed.
PathKind KindOf(const std::string& path);
// Something is at path that this process may not write.
bool IsReadOnlyFile(const std::string& path);
// path is gone afterwards: true also when there was nothing to remove.
bool RemoveFile(const std::string& path);
// Gives the file at from the name to, replacing a file there in one step.
bool RenameFile(const std::string& from, const std::string& to);
// The local time of the workstation at time.
std::tm LocalTime(std::time_t time);
// This process's id: a forked child has another.
int ProcessId();
