#pragma once
#include "Schema.h"
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CHbRSetDatabase;

// A record set: one table read through one of its keys. Fields are the table's
// columns as text. Rows come in key order, a page at a time (keyset paging), and
// no statement stays open between calls, so a walk never holds a lock or a read
// snapshot while the program writes through another connection.
//
// Read operations return 0 when they delivered a row (which is then current),
// non-zero when there is none. A database failure is no "none": it throws
// CDBException naming the table and the operation.
class CHbRSet {
public:
    virtual ~CHbRSet();
    CHbRSet(const CHbRSet&) = delete;
    CHbRSet& operator=(const CHbRSet&) = delete;

    void SetOpenType(int type, bool on);
    void SetKey(int key, bool on);             // order of GetAll and Next
    void SetForwardOnly(bool on);

    // Match mode 2: rows whose leading key fields equal the fields assigned since
    // construction or the last ClearAll, as far as assigned without a gap.
    // Match mode 0: the one row whose whole key equals the assigned fields.
    int GetByK1(int matchMode);
    int GetByK2(int matchMode);
    int GetAll();
    int Next();
    // Removes the current row by primary key, then makes the next row current.
    int Delete();
    long AnzHits() const;                      // rows the last lookup selected
    void ClearAll();                           // fields emptied, nothing assigned

    const std::string& GetField(std::string_view column) const;
    void SetField(std::string_view column, std::string value);  // marks it assigned

    static std::string DoQuotes(std::string_view text);          // doubles every '

    const TableDef& Table() const;

protected:
    // keys: key 1, key 2, ... as column lists.
    CHbRSet(CHbRSetDatabase* db, std::string_view table, std::vector<std::vector<std::string>> keys);

    // A selection with its own WHERE text ("?" placeholders, bound to params in
    // order), read in the order of key orderKey.
    int Select(std::string where, std::vector<std::string> params, int orderKey);
    bool IsAssigned(std::string_view column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
