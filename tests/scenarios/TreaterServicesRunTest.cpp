// Treater mode on a generated practice: a treater's services by line treater, then the
// patients left without services, then the treater handed to the replacement.
#include "ScenarioFixture.h"

namespace {
class TreaterServicesRunTest : public ScenarioFixture {
protected:
    TreaterServicesRunTest() : ScenarioFixture(1, 200) {}
};

TEST_F(TreaterServicesRunTest, ServicesOfTheTreaterGoAndPatientsLeftWithoutServicesFollow)
{
    const long services = m_practice.Count("BEH", "LEBID='007'");
    const long patients = m_practice.Count("PAT");
    const long withoutServices =
        m_practice.Count("PAT", "NOT EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=PAT.PATNR AND BEH.LEBID<>'007')");
    const long mainTreaterKept = m_practice.Count(
        "PAT", "STAMMLEBID='007' AND EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=PAT.PATNR AND BEH.LEBID<>'007')");
    const long replacementKept = m_practice.Count(
        "PAT", "STAMMLEBID='001' AND EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=PAT.PATNR AND BEH.LEBID<>'007')");
    ASSERT_GT(services, 0);
    ASSERT_GT(withoutServices, 0);
    ASSERT_GT(mainTreaterKept, 0);

    // 007 is the seventh item; 001 replaces it.
    Run(R"js({"answers": [10, 10, 7], "actions": [{"checkItem": 1018, "index": 6, "value": true},
        {"select": 1002, "text": "001 - 0001 (Dr. Lena Hofmann)"}, {"check": 1010, "value": true},
        {"check": 1017, "value": true}, {"click": 1003}]})js");

    EXPECT_EQ(Memo(), (std::vector<std::string>{"Lösche Behandler 007", "Lösche Leistungen gemäß Zeilenbehandler...",
                                                "... " + std::to_string(services) + " gelöscht.",
                                                "Lösche Patienten ohne Leistungen...",
                                                "... " + std::to_string(withoutServices) + " von " + std::to_string(patients) +
                                                    " gelöscht.",
                                                "Lösche Behandler...", "FERTIG!"}));
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(m_practice.Count("BEH", "LEBID='007'"), 0);
    EXPECT_EQ(m_practice.Count("LEB", "LEBID='007'"), 0);
    EXPECT_EQ(m_practice.Count("PAT"), patients - withoutServices);
    EXPECT_EQ(m_practice.Count("PAT", "NOT EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=PAT.PATNR)"), 0);
    // The patients of 007 who kept services of others now have 001 as main treater.
    EXPECT_EQ(m_practice.Count("PAT", "STAMMLEBID='007'"), 0);
    EXPECT_EQ(m_practice.Count("PAT", "STAMMLEBID='001'"), replacementKept + mainTreaterKept);
}
}  // namespace
