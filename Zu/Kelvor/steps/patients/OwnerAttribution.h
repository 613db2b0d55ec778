#pragma once
#include "TreaterEntry.h"
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Decides for the service rows of one patient whether a row belongs to the owner
// being removed: the row's treater works for a cash practice and a private
// practice, and the row's billing kind (or, failing that, its billing case) says
// which of the two it was booked for. Billing cases found are remembered for the
// patient, so each is looked up at most once.
class COwnerAttribution {
public:
    // The type code of the billing case (patient number, billing-case number), or
    // nothing when there is no such billing case.
    using BillingTypeLookup = std::function<std::optional<std::string>(std::string_view patNr, std::string_view billNr)>;

    // The billing data of one service row.
    struct ServiceBilling {
        std::string_view patNr;
        std::string_view billNr;   // LFDPATBILL, may be empty
        std::string_view kind;     // "0" cash, "1" private, else ask the billing case
    };

    // ownerId and lookup must outlive the attribution, which lives for one patient.
    COwnerAttribution(const std::string& ownerId, const BillingTypeLookup& lookup);

    // False also when the row's billing case cannot be found.
    bool Belongs(const TreaterEntry& treater, const ServiceBilling& row);

private:
    std::optional<bool> IsPrivateBillingCase(const ServiceBilling& row);
    bool OwnsPractice(const TreaterEntry& treater, bool privatePractice) const;

    const std::string& m_strOwnerId;
    const BillingTypeLookup& m_lookup;
    std::map<std::string, bool, std::less<>> m_privateByBillNr;
};
