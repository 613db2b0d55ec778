#include "ScriptedMessageService.h"
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

TEST(Messages, QuestionsTakeTheScriptInOrderNoticesTakeNothing)
{
    CScriptedMessageService service;
    IMessageService* const previous = SetMessageService(&service);
    service.SetNextAnswer(SOLLICH_YES);
    service.SetNextAnswer(IDYES);

    Halt(6, "Bitte einen Praxisinhaber wählen.", 0);
    EXPECT_EQ(SOLLICH_YES, SollIch("Praxisinhaber/Behandler löschen", "Behandlermodus?"));
    HaltE(6, "Es gibt nur einen Behandler.", 0);
    EXPECT_EQ(IDOK, AfxMessageBox("Fehler beim Löschen"));
    EXPECT_EQ(IDYES, AfxMessageBox("Nochmal?", MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(SOLLICH_NO, SollIch(6, "Wirklich löschen?", 0));
    EXPECT_EQ(IDNO, AfxMessageBox("Nochmal?", MB_YESNO));
    EXPECT_EQ(&service, SetMessageService(previous));

    std::vector<std::tuple<std::string, std::string, std::string, int>> recorded;
    for (const auto& m : service.Messages())
        recorded.emplace_back(CScriptedMessageService::KindName(m.kind), m.caption, m.text, m.answer);
    EXPECT_EQ((decltype(recorded){
                  {"Halt", "Kelvor", "Bitte einen Praxisinhaber wählen.", IDOK},
                  {"SollIch", "Praxisinhaber/Behandler löschen", "Behandlermodus?", SOLLICH_YES},
                  {"HaltE", "Kelvor", "Es gibt nur einen Behandler.", IDOK},
                  {"MessageBox", "Kelvor", "Fehler beim Löschen", IDOK},
                  {"MessageBox", "Kelvor", "Nochmal?", IDYES},
                  {"SollIch", "Kelvor", "Wirklich löschen?", SOLLICH_NO},
                  {"MessageBox", "Kelvor", "Nochmal?", IDNO},
              }),
              recorded);
}

TEST(Messages, WithoutAServiceQuestionsAreAnsweredNo)
{
    IMessageService* const previous = SetMessageService(nullptr);
    EXPECT_EQ(SOLLICH_NO, SollIch("Praxisinhaber/Behandler löschen", "Behandlermodus?"));
    EXPECT_EQ(IDNO, AfxMessageBox("Nochmal?", MB_YESNO));
    EXPECT_EQ(IDOK, AfxMessageBox("Fehler"));
    SetMessageService(previous);
}
