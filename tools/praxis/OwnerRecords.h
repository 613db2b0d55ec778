#pragma once
#include "PracticeStaff.h"

// What each owner and treater keeps apart from patients: configuration and
// journal rows, owner documents, order and macro rows, and the commercial
// laboratory's customers with their invoices, vouchers and entries.
class OwnerRecords {
public:
    OwnerRecords(SampleDatabase& db, SeededRandom& random, const PracticeStaff& staff)
        : m_db(db), m_random(random), m_staff(staff) {}

    void Write();

private:
    void WriteConfiguration(const std::string& owner);
    void WriteOrders(const std::string& owner);
    void WriteDocuments(const std::string& owner);
    void WriteCommercialLab(const std::string& owner);
    void WriteVoucher(const std::string& owner, const std::string& customer, const std::string& invoice);
    void WriteTreaterRows();

    SampleDatabase& m_db;
    SeededRandom& m_random;
    const PracticeStaff& m_staff;
};
