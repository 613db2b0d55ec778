#include "DatabaseConnections.h"
#include "DatabaseBackEnd.h"
#include "HbRSetDatabase.h"
#include <algorithm>
#include <vector>

namespace {

struct Entry {
    CHbRSetDatabase* db;
    const CDatabaseConnections* owner;
};

// Made before, and destroyed after, any object of static duration that opens a connection.
constinit std::vector<Entry> g_open;
constinit CDatabaseConnections* g_owner = nullptr;   // the innermost living owner

} // namespace

CDatabaseConnections::CDatabaseConnections() : m_previous(g_owner)
{
    g_owner = this;
}

CDatabaseConnections::~CDatabaseConnections()
{
    g_owner = m_previous;
    for (auto owned = std::ranges::find(g_open, this, &Entry::owner); owned != g_open.end();
         owned = std::ranges::find(g_open, this, &Entry::owner))
        owned->db->Close();   // which removes it
}

void CDatabaseConnections::Opened(CHbRSetDatabase* db)
{
    g_open.push_back({db, g_owner});
}

void CDatabaseConnections::Closed(CHbRSetDatabase* db)
{
    std::erase_if(g_open, [db](const Entry& entry) { return entry.db == db; });
}

const CHbRSetDatabase* CDatabaseConnections::Writer(const std::string& key)
{
    for (const Entry& entry : g_open)
        if (!entry.db->IsReadOnly() && entry.db->BackEnd().SharedWriterKey() == key)
            return entry.db;
    return nullptr;
}
