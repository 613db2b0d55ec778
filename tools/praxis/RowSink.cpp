#include "RowSink.h"

std::string RowSink::InsertText(const TableDef& table, std::size_t rows)
{
    std::string row = "(?";
    for (std::size_t i = 1; i < table.columns.size(); ++i)
        row += ",?";
    row += ")";
    std::string sql = "INSERT INTO " + table.name + " VALUES " + row;
    for (std::size_t i = 1; i < rows; ++i)
        sql += "," + row;
    return sql;
}
