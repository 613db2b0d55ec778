#include "DialogFixture.h"
#include "Database.h"

DialogFixture::~DialogFixture()
{
    m_dlg.reset();
    CloseDatabase();
}

void DialogFixture::UsePractice(unsigned seed, long patients)
{
    m_practice.emplace(seed, patients);
}

TestPractice& DialogFixture::Practice()
{
    if (!m_practice)
        m_practice.emplace();
    return *m_practice;
}

CKelvorDlg& DialogFixture::OpenDialog(bool treaterMode)
{
    Practice();
    if (!OpenDatabase(2))
        throw std::runtime_error("the practice database does not open");
    m_dlg = std::make_unique<CKelvorDlg>(treaterMode);
    m_dlg->Create();
    return *m_dlg;
}

std::vector<std::string> DialogFixture::MemoLines() const
{
    CStrings& lines = m_dlg->m_memo.GetLines();
    std::vector<std::string> texts;
    for (int i = 0; i < lines.Count(); ++i)
        texts.push_back(lines.Item(i));
    return texts;
}

std::vector<std::string> DialogFixture::MessageLines() const
{
    std::vector<std::string> texts;
    for (const auto& message : m_messages.Messages())
        texts.push_back(std::string(CScriptedMessageService::KindName(message.kind)) + ": " + message.text);
    return texts;
}
