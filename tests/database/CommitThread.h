#pragma once
#include <optional>
#include <sqlite3.h>
#include <thread>

// From now on, on is set to the thread on which each of db's commits writes its log.
inline void RecordCommitThread(sqlite3* db, std::optional<std::thread::id>& on)
{
    sqlite3_wal_hook(
        db,
        [](void* to, sqlite3*, const char*, int) {
            static_cast<std::optional<std::thread::id>*>(to)->emplace(std::this_thread::get_id());
            return SQLITE_OK;
        },
        &on);
}
