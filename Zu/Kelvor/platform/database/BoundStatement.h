#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CHbRSetDatabase;

// Inside the database layer: one statement whose "?" placeholders are bound, in
// order, to text values. Each result row goes to onRow as texts (NULL as empty
// text). The statement is finished before the call returns, so nothing stays
// open on the connection. Throws CDBException with the database's error text.
using RowSink = std::function<void(std::vector<std::string>&& row)>;
void RunBound(const CHbRSetDatabase& db, const std::string& sql, const std::vector<std::string>& params,
              const RowSink& onRow = {});

// Statements without result rows, each bound to the same values, in order, in one
// transaction, as the back end batches them; each passes the statement hook.
void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                         const std::vector<std::string>& params);

// A text as it stands, without values or result rows; throws CDBException.
void RunText(const CHbRSetDatabase& db, std::string_view text);
