#include "BoundStatement.h"
#include "DatabaseBackEnd.h"
#include "HbRSetConnection.h"
#include "HbRSetDatabase.h"
#include "WindowServing.h"

void RunText(const CHbRSetDatabase& db, std::string_view text)
{
    CHbRSetConnection& connection = db.Connection();
    connection.Run([&] { connection.Exec(text); });
}

void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                         const std::vector<std::string>& params)
{
    db.BackEnd().RunAsOneTransaction(db, statements, params);
}

void RunBound(const CHbRSetDatabase& db, const std::string& sql, const std::vector<std::string>& params,
              const RowSink& onRow)
{
    db.RequireOpen();
    CHbRSetDatabase::BeforeStatement(sql);
    db.BackEnd().Run(db.Connection(), sql, params, onRow);
    CWindowServing::IfDue();
}
