#include "HbLMemoX.h"
#include "MemoStrings.h"
#include "WidgetOf.h"
#include <QPlainTextEdit>

CHbLMemoX::CHbLMemoX() = default;
CHbLMemoX::~CHbLMemoX() = default;

void CHbLMemoX::Attach(QWidget* widget, QLabel* label)
{
    m_lines = std::make_unique<CMemoStrings>(WidgetOf<QPlainTextEdit>(widget));
    CHbControl::Attach(widget, label);
}

CStrings& CHbLMemoX::GetLines()
{
    return *m_lines;
}
