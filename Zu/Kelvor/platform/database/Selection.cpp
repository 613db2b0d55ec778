#include "Selection.h"

void CSelection::Add(const std::string& condition, const std::vector<std::string>& values)
{
    m_strWhere += (m_strWhere.empty() ? "(" : " AND (") + condition + ")";
    m_aValues.insert(m_aValues.end(), values.begin(), values.end());
}

void CSelection::Equal(const std::string& column, const std::string& value)
{
    Add(column + "=?", {value});
}

void CSelection::EqualUnlessEmpty(const std::string& column, const std::string& value)
{
    if (!value.empty())
        Equal(column, value);
}

std::string CSelection::WhereClause() const
{
    return m_strWhere.empty() ? std::string() : " WHERE " + m_strWhere;
}
