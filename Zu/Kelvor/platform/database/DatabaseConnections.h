#pragma once
#include <string>

class CHbRSetDatabase;

// The open connections of the process, and their owner. Qt's list of connections and
// its drivers go before objects of static duration (the shared connections among
// them), so such a connection must be closed while main() still runs: an owner lives
// in main() of each program and, when it ends, closes every connection opened in its
// lifetime that is still open. Owners nest; a connection opened while none lives
// closes only by itself.
class CDatabaseConnections {
public:
    CDatabaseConnections();
    ~CDatabaseConnections();
    CDatabaseConnections(const CDatabaseConnections&) = delete;
    CDatabaseConnections& operator=(const CDatabaseConnections&) = delete;

    // Called by the connection as it opens and closes.
    static void Opened(CHbRSetDatabase* db);
    static void Closed(CHbRSetDatabase* db);
    // The open writer of the process whose back end shares under key; nullptr if none.
    static const CHbRSetDatabase* Writer(const std::string& key);

private:
    CDatabaseConnections* m_previous;
};
