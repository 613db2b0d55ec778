#pragma once
#include "Strings.h"

class QPlainTextEdit;

// The lines of a memo. A document always has one block, so an empty memo and a
// memo holding one empty line differ only in m_bEmpty.
class CMemoStrings : public CStrings {
public:
    explicit CMemoStrings(QPlainTextEdit& memo);
    void Clear() override;
    int Add(std::string_view text) override;   // scrolls to the new line
    int Count() const override;
    std::string Item(int index) const override;

private:
    QPlainTextEdit& m_memo;
    bool m_bEmpty;
};
