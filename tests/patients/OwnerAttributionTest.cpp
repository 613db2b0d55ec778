#include "KelvorDlg.h"
#include "steps/patients/OwnerAttribution.h"
#include <gtest/gtest.h>
#include <map>

TEST(IsPrivateBillingType, OnlyTextsFromLowerAToZAreCash)
{
    for (const char* type : {"a", "k", "z", "az", "a0"})
        EXPECT_FALSE(IsPrivateBillingType(type)) << '"' << type << '"';
    for (const char* type : {"", "A", "P", "Z", "0", "`", "{", "za", "z ", "\xC3\xA4"})
        EXPECT_TRUE(IsPrivateBillingType(type)) << '"' << type << '"';
}

// Owner "02"; the billing cases known to the lookup are "patient/number" -> type code.
class OwnerAttributionTest : public ::testing::Test {
protected:
    std::map<std::string, std::string> m_billingCases;
    std::vector<std::string> m_lookups;
    const std::string m_owner = "02";
    const COwnerAttribution::BillingTypeLookup m_lookup = [this](std::string_view patNr, std::string_view billNr) {
        const std::string key = std::string(patNr) + "/" + std::string(billNr);
        m_lookups.push_back(key);
        const auto found = m_billingCases.find(key);
        return found == m_billingCases.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    const TreaterEntry m_cashTreater{"002", "02", "01"};     // the owner's cash practice only
    const TreaterEntry m_privateTreater{"003", "01", "02"};  // the owner's private practice only
};

// Without a billing case the owner being removed does not matter; the billing
// kinds "0" and "1" name the practice. Neither needs the billing case.
TEST_F(OwnerAttributionTest, RowsDecidedWithoutLookingUpTheBillingCase)
{
    COwnerAttribution attribution(m_owner, m_lookup);
    EXPECT_TRUE(attribution.Belongs({"001", "05", "05"}, {"000001", "", "1"}));
    EXPECT_FALSE(attribution.Belongs(m_cashTreater, {"000001", "", "0"}));
    EXPECT_TRUE(attribution.Belongs(m_cashTreater, {"000001", "1", "0"}));
    EXPECT_FALSE(attribution.Belongs(m_cashTreater, {"000001", "1", "1"}));
    EXPECT_TRUE(attribution.Belongs(m_privateTreater, {"000001", "1", "1"}));
    EXPECT_TRUE(m_lookups.empty());
}

// Found billing cases are looked up once per patient; a missing one each time.
TEST_F(OwnerAttributionTest, BillingCaseTypeIsLookedUpOncePerPatient)
{
    m_billingCases = {{"000001/7", "k"}, {"000001/8", "A"}, {"000001/9", ""}, {"000002/7", "P"}};
    COwnerAttribution first(m_owner, m_lookup);
    EXPECT_TRUE(first.Belongs(m_cashTreater, {"000001", "7", ""}));
    EXPECT_FALSE(first.Belongs(m_privateTreater, {"000001", "7", "00"}));
    EXPECT_FALSE(first.Belongs(m_cashTreater, {"000001", "8", "x"}));
    EXPECT_TRUE(first.Belongs(m_privateTreater, {"000001", "8", ""}));
    EXPECT_TRUE(first.Belongs(m_privateTreater, {"000001", "9", ""}));
    EXPECT_FALSE(first.Belongs(m_cashTreater, {"000001", "6", ""}));
    EXPECT_FALSE(first.Belongs(m_privateTreater, {"000001", "6", ""}));
    COwnerAttribution next(m_owner, m_lookup);
    EXPECT_TRUE(next.Belongs(m_privateTreater, {"000002", "7", ""}));

    EXPECT_EQ(m_lookups, (std::vector<std::string>{"000001/7", "000001/8", "000001/9", "000001/6", "000001/6",
                                                   "000002/7"}));
}
