#include "MemoStrings.h"
#include "QtText.h"
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

CMemoStrings::CMemoStrings(QPlainTextEdit& memo)
    : m_memo(memo), m_bEmpty(memo.document()->isEmpty())
{
}

void CMemoStrings::Clear()
{
    m_memo.clear();
    m_bEmpty = true;
}

int CMemoStrings::Add(std::string_view text)
{
    QTextCursor cursor(m_memo.document());
    cursor.movePosition(QTextCursor::End);
    if (!m_bEmpty)
        cursor.insertBlock();
    cursor.insertText(ToQString(text));
    m_bEmpty = false;
    m_memo.setTextCursor(cursor);
    m_memo.ensureCursorVisible();
    return Count() - 1;
}

int CMemoStrings::Count() const
{
    return m_bEmpty ? 0 : m_memo.document()->blockCount();
}

std::string CMemoStrings::Item(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return ToStdString(m_memo.document()->findBlockByNumber(index).text());
}
