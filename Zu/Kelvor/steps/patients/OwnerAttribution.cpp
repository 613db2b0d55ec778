#include "OwnerAttribution.h"
#include "KelvorDlg.h"

bool IsPrivateBillingType(const std::string& type)
{
    // Lower-case type codes are those of the statutory-insurance practice.
    return type < "a" || type > "z";
}

COwnerAttribution::COwnerAttribution(const std::string& ownerId, const BillingTypeLookup& lookup)
    : m_strOwnerId(ownerId), m_lookup(lookup)
{
}

bool COwnerAttribution::Belongs(const TreaterEntry& treater, const ServiceBilling& row)
{
    // Without a billing case only a treater who works for one owner alone is sure.
    if (row.billNr.empty())
        return treater.cashOwnerId == treater.privateOwnerId;
    if (row.kind == "0")
        return OwnsPractice(treater, false);
    if (row.kind == "1")
        return OwnsPractice(treater, true);
    const std::optional<bool> privatePractice = IsPrivateBillingCase(row);
    return privatePractice && OwnsPractice(treater, *privatePractice);
}

std::optional<bool> COwnerAttribution::IsPrivateBillingCase(const ServiceBilling& row)
{
    if (const auto cached = m_privateByBillNr.find(row.billNr); cached != m_privateByBillNr.end())
        return cached->second;
    // A missing billing case is not remembered: it may be asked for again.
    const std::optional<std::string> type = m_lookup(row.patNr, row.billNr);
    if (!type)
        return std::nullopt;
    const bool privatePractice = IsPrivateBillingType(*type);
    m_privateByBillNr.insert_or_assign(std::string(row.billNr), privatePractice);
    return privatePractice;
}

bool COwnerAttribution::OwnsPractice(const TreaterEntry& treater, bool privatePractice) const
{
    return (privatePractice ? treater.privateOwnerId : treater.cashOwnerId) == m_strOwnerId;
}
