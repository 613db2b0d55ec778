#pragma once
#include <string>

// The framework's exception family. A database error is thrown as CDBException; a
// record-set operation names its table and itself, so that the one handler of a run
// can say where the database failed.
class CException {
public:
    virtual ~CException() = default;
    // Copies the error text, cut to fit and zero-terminated; false when there is none.
    virtual bool GetErrorMessage(char* buffer, unsigned maxChars) const;
    virtual std::string ErrorText() const = 0;
};

class CDBException : public CException {
public:
    explicit CDBException(std::string error, std::string table = {}, std::string operation = {})
        : m_strError(std::move(error)), m_strTable(std::move(table)), m_strOperation(std::move(operation))
    {
    }
    std::string ErrorText() const override { return m_strError; }
    const std::string& Table() const { return m_strTable; }
    const std::string& Operation() const { return m_strOperation; }

private:
    std::string m_strError;
    std::string m_strTable;
    std::string m_strOperation;
};
