#pragma once
#include <string>

// The framework's exception family: database errors are thrown as CDBException
// and caught by the program's own operations, which turn them into false results.
class CException {
public:
    virtual ~CException() = default;
    // Copies the error text, cut to fit and zero-terminated; false when there is none.
    virtual bool GetErrorMessage(char* buffer, unsigned maxChars) const;
    virtual std::string ErrorText() const = 0;
};

class CDBException : public CException {
public:
    explicit CDBException(std::string error) : m_strError(std::move(error)) {}
    std::string ErrorText() const override { return m_strError; }

private:
    std::string m_strError;
};
