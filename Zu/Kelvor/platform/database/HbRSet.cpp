#include "HbRSet.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseBackEnd.h"
#include "HbRSetDatabase.h"
#include "Selection.h"
#include "SqlText.h"
#include <algorithm>
#include <optional>
#include <stdexcept>

namespace {

// Rows held in memory at a time: enough to make a query per page cheap, few
// enough that a walk over the largest table stays small.
constexpr std::size_t kPageSize = 256;

using Row = std::vector<std::string>;

} // namespace

struct CHbRSet::Impl {
    Impl(CHbRSetDatabase* database, std::string_view tableName, std::vector<std::vector<std::string>> keyColumns)
        : db(database), table(SchemaTable(tableName)), keys(std::move(keyColumns)), values(table.columns.size()),
          assigned(table.columns.size(), false)
    {
    }

    CHbRSetDatabase* db;
    const TableDef& table;
    std::vector<std::vector<std::string>> keys;
    int orderKey = 1;
    int openType = 0;
    bool forwardOnly = false;

    std::vector<std::string> values;   // the field buffer
    std::vector<bool> assigned;

    // The running selection: its condition, the total order of its rows, and how
    // many leading order columns the condition fixes to one value.
    CSelection selection;
    std::vector<std::string> order;
    std::size_t fixedColumns = 0;
    std::vector<Row> page;
    std::size_t pageLimit = 0;
    std::size_t position = 0;
    bool current = false;
    std::optional<long> hits;

    std::size_t Column(std::string_view name) const
    {
        const int index = table.ColumnIndex(name);
        if (index < 0)
            throw std::out_of_range("no column " + std::string(name) + " in table " + table.name);
        return static_cast<std::size_t>(index);
    }

    bool HasKey(int key) const { return key >= 1 && static_cast<std::size_t>(key) <= keys.size(); }

    const std::vector<std::string>& KeyColumns(int key) const { return keys[static_cast<std::size_t>(key - 1)]; }

    // The key's columns, then the rest of the primary key, so that no two rows tie.
    std::vector<std::string> OrderOf(int key) const
    {
        std::vector<std::string> columns = KeyColumns(key);
        for (const std::string& column : table.primaryKey)
            if (std::find(columns.begin(), columns.end(), column) == columns.end())
                columns.push_back(column);
        return columns;
    }

    static void CheckKey(bool valid, const char* what, int value)
    {
        if (!valid)
            throw std::invalid_argument(std::string("no ") + what + " " + std::to_string(value));
    }

    // A failed statement is never "no row": it leaves the record set with the table
    // and the operation named; the row current before stays current.
    template <class Fn> void Guard(const char* operation, Fn&& fn)
    {
        try {
            fn();
        } catch (const CDBException& error) {
            throw CDBException(error.ErrorText(), table.name, operation);
        }
    }

    int Run(const char* operation, CSelection condition, int key, std::size_t fixed)
    {
        current = false;
        page.clear();
        hits = 0;
        CheckKey(HasKey(key), "key", key);
        selection = std::move(condition);
        order = OrderOf(key);
        fixedColumns = fixed;
        Guard(operation, [this] { LoadPage(nullptr, 1); });
        if (!page.empty())
            hits.reset();
        return ShowRow(0);
    }

    // Counted when first asked for: most lookups only ask whether there is a row.
    long Hits()
    {
        if (!hits)
            Guard("AnzHits", [this] {
                RunBound(*db, "SELECT COUNT(*) FROM " + table.name + selection.WhereClause(), selection.Values(),
                         [&](Row&& row) { hits = std::stol(row.at(0)); });
            });
        return hits.value_or(0);
    }

    // The rows after `after` in the selection's order. The continuation is an
    // expanded OR chain over the order columns that vary, which every SQL dialect
    // accepts; its redundant leading bound lets the planner read the index as a range.
    CSelection Continuation(const Row* after) const
    {
        CSelection next = selection;
        if (after == nullptr || fixedColumns >= order.size())
            return next;
        const auto value = [&](std::size_t i) { return after->at(Column(order[i])); };
        if (fixedColumns + 1 == order.size()) {
            next.Add(order[fixedColumns] + ">?", {value(fixedColumns)});
            return next;
        }
        std::string chain;
        std::vector<std::string> chainValues;
        for (std::size_t last = fixedColumns; last < order.size(); ++last) {
            std::string term;
            for (std::size_t i = fixedColumns; i < last; ++i) {
                term += order[i] + "=? AND ";
                chainValues.push_back(value(i));
            }
            term += order[last] + ">?";
            chainValues.push_back(value(last));
            chain += (chain.empty() ? "(" : " OR (") + term + ")";
        }
        next.Add(order[fixedColumns] + ">=?", {value(fixedColumns)});
        next.Add(chain, chainValues);
        return next;
    }

    // A lookup reads its first row alone, since most only ask whether there is one;
    // further rows come a page at a time.
    void LoadPage(const Row* after, std::size_t size)
    {
        const CSelection next = Continuation(after);
        std::vector<Row> rows;
        rows.reserve(size);
        RunBound(*db,
                 "SELECT " + JoinColumns(table.columns, ", ") + " FROM " + table.name + next.WhereClause() + " ORDER BY "
                     + JoinColumns(order, ", ") + db->BackEnd().Limit(size),
                 next.Values(), [&](Row&& row) { rows.push_back(std::move(row)); });
        page = std::move(rows);
        pageLimit = size;
        position = 0;
    }

    // Makes row `index` of the page current; non-zero when the page has none.
    int ShowRow(std::size_t index)
    {
        position = index;
        current = position < page.size();
        if (!current)
            return 1;
        values = page[position];
        return 0;
    }

    int Advance(const char* operation)
    {
        if (position + 1 < page.size())
            return ShowRow(position + 1);
        if (page.size() < pageLimit)
            return ShowRow(page.size());
        Guard(operation, [this] {
            const Row last = page.back();
            LoadPage(&last, kPageSize);
        });
        return ShowRow(0);
    }

    int Lookup(const char* operation, int key, int matchMode)
    {
        CheckKey(HasKey(key), "key", key);
        CheckKey(matchMode == 0 || matchMode == 2, "match mode", matchMode);
        CSelection condition;
        std::size_t fixed = 0;
        for (const std::string& column : KeyColumns(key)) {
            const std::size_t index = Column(column);
            if (!assigned[index])
                break;
            condition.Equal(column, values[index]);
            ++fixed;
        }
        if (matchMode == 0 && fixed < KeyColumns(key).size()) {
            hits = 0;
            current = false;
            return 1;   // an incomplete key names no row
        }
        return Run(operation, std::move(condition), key, fixed);
    }
};

// The record classes take the practice system's field list but always read whole
// rows: the rows are narrow and a page is small.
CHbRSet::CHbRSet(CHbRSetDatabase* db, std::string_view table, std::vector<std::vector<std::string>> keys)
    : d(std::make_unique<Impl>(db, table, std::move(keys)))
{
}

CHbRSet::~CHbRSet() = default;

// Paging reads forward only and needs no open type; both settings are recorded
// so that a caller's choice is kept, not acted on.
void CHbRSet::SetOpenType(int type, bool on)
{
    d->openType = on ? type : 0;
}

void CHbRSet::SetForwardOnly(bool on)
{
    d->forwardOnly = on;
}

void CHbRSet::SetKey(int key, bool on)
{
    d->orderKey = on && d->HasKey(key) ? key : 1;
}

int CHbRSet::GetByK1(int matchMode)
{
    return d->Lookup("GetByK1", 1, matchMode);
}

int CHbRSet::GetByK2(int matchMode)
{
    return d->Lookup("GetByK2", 2, matchMode);
}

int CHbRSet::GetAll()
{
    return d->Run("GetAll", {}, d->orderKey, 0);
}

int CHbRSet::Next()
{
    return d->current ? d->Advance("Next") : 1;
}

int CHbRSet::Delete()
{
    if (!d->current)
        return 1;
    CSelection row;
    for (const std::string& column : d->table.primaryKey)
        row.Equal(column, d->page[d->position][d->Column(column)]);
    d->Guard("Delete", [&] { RunBound(*d->db, "DELETE FROM " + d->table.name + " WHERE " + row.Where(), row.Values()); });
    return d->Advance("Delete");
}

long CHbRSet::AnzHits() const
{
    return d->Hits();
}

void CHbRSet::ClearAll()
{
    std::fill(d->values.begin(), d->values.end(), std::string());
    std::fill(d->assigned.begin(), d->assigned.end(), false);
}

const std::string& CHbRSet::GetField(std::string_view column) const
{
    return d->values[d->Column(column)];
}

void CHbRSet::SetField(std::string_view column, std::string value)
{
    const std::size_t index = d->Column(column);
    d->values[index] = std::move(value);
    d->assigned[index] = true;
}

std::string CHbRSet::DoQuotes(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size());
    for (const char ch : text) {
        quoted += ch;
        if (ch == '\'')
            quoted += '\'';
    }
    return quoted;
}

const TableDef& CHbRSet::Table() const
{
    return d->table;
}

int CHbRSet::Select(std::string where, std::vector<std::string> params, int orderKey)
{
    CSelection condition;
    if (!where.empty())
        condition.Add(where, params);
    return d->Run("Select", std::move(condition), orderKey, 0);
}

bool CHbRSet::IsAssigned(std::string_view column) const
{
    return d->assigned[d->Column(column)];
}
