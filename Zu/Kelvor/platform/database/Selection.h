#pragma once
#include <string>
#include <vector>

// Inside the database layer: a WHERE text of conditions joined by AND, with the
// values of its "?" placeholders in order. Values are always bound, never written
// into the text.
class CSelection {
public:
    void Add(const std::string& condition, const std::vector<std::string>& values);
    void Equal(const std::string& column, const std::string& value);
    // An empty value selects nothing.
    void EqualUnlessEmpty(const std::string& column, const std::string& value);

    const std::string& Where() const { return m_strWhere; }
    std::string WhereClause() const;   // " WHERE ..." or nothing
    const std::vector<std::string>& Values() const { return m_aValues; }

private:
    std::string m_strWhere;
    std::vector<std::string> m_aValues;
};
