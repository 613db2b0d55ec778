#include "ScriptedMessageService.h"
#include "VqWinApp.h"
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using Recorded = std::tuple<std::string, std::string, std::string, int>;

std::vector<Recorded> Recording(const CScriptedMessageService& service)
{
    std::vector<Recorded> recorded;
    for (const auto& m : service.Messages())
        recorded.emplace_back(CScriptedMessageService::KindName(m.kind), m.caption, m.text, m.answer);
    return recorded;
}

// Installs a scripted service for one test and puts the previous one back.
class Messages : public ::testing::Test {
protected:
    Messages() : m_previous(SetMessageService(&m_service)) {}
    ~Messages() override { SetMessageService(m_previous); }

    CScriptedMessageService m_service;
    IMessageService* m_previous;
};

} // namespace

TEST_F(Messages, QuestionsTakeTheAnswersInOrderAndNoWhenNoneAreLeft)
{
    m_service.SetNextAnswer(SOLLICH_YES);
    m_service.SetNextAnswer(IDYES);

    EXPECT_EQ(SOLLICH_YES, SollIch("Praxisinhaber/Behandler löschen", "Behandlermodus?"));
    EXPECT_EQ(IDYES, AfxMessageBox("Nochmal?", MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(SOLLICH_NO, SollIch(6, "Wirklich löschen?", 0));
    EXPECT_EQ(IDNO, AfxMessageBox("Nochmal?", MB_YESNO));

    EXPECT_EQ((std::vector<Recorded>{
                  {"SollIch", "Praxisinhaber/Behandler löschen", "Behandlermodus?", SOLLICH_YES},
                  {"MessageBox", "Kelvor", "Nochmal?", IDYES},
                  {"SollIch", "Kelvor", "Wirklich löschen?", SOLLICH_NO},
                  {"MessageBox", "Kelvor", "Nochmal?", IDNO},
              }),
              Recording(m_service));
}

TEST_F(Messages, NoticesAreAnsweredOkAndTakeNoAnswer)
{
    m_service.SetNextAnswer(SOLLICH_YES);

    Halt(6, "Bitte einen Praxisinhaber wählen.", 0);
    HaltE(6, "Es gibt nur einen Praxisinhaber.", 0);
    EXPECT_EQ(IDOK, AfxMessageBox("Fehler beim Löschen des Patienten"));
    EXPECT_EQ(SOLLICH_YES, SollIch(6, "Wirklich löschen?", 0));

    EXPECT_EQ((std::vector<Recorded>{
                  {"Halt", "Kelvor", "Bitte einen Praxisinhaber wählen.", IDOK},
                  {"HaltE", "Kelvor", "Es gibt nur einen Praxisinhaber.", IDOK},
                  {"MessageBox", "Kelvor", "Fehler beim Löschen des Patienten", IDOK},
                  {"SollIch", "Kelvor", "Wirklich löschen?", SOLLICH_YES},
              }),
              Recording(m_service));
}

TEST_F(Messages, WithoutAServiceQuestionsAreAnsweredNo)
{
    EXPECT_EQ(&m_service, SetMessageService(nullptr));
    EXPECT_EQ(SOLLICH_NO, SollIch("Praxisinhaber/Behandler löschen", "Behandlermodus?"));
    EXPECT_EQ(IDNO, AfxMessageBox("Nochmal?", MB_YESNO));
    EXPECT_EQ(IDOK, AfxMessageBox("Fehler"));
    Halt(6, "Fehler", 0);
    EXPECT_EQ(nullptr, SetMessageService(&m_service));
    EXPECT_TRUE(m_service.Messages().empty());
}

TEST(Application, TheOneInstanceIsFoundWhileItLives)
{
    {
        CVqWinApp app(nullptr);
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_TRUE(app.InitInstance());
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}
