#include "OwnerRecords.h"
#include "SampleText.h"
#include <utility>

namespace {

// Owner-keyed tables (LFDNR, MDID, INHALT) and what their rows are about.
const std::vector<std::pair<std::string, std::string>>& ConfigurationTables()
{
    static const std::vector<std::pair<std::string, std::string>> tables{
        {"FBUCHUNG", "Buchung Praxisbedarf"}, {"FDIENST", "Fremddienstleistung"}, {"ZBON", "Z-Bon Tagesabschluss"},
        {"TSEBON", "TSE-Beleg"}, {"BANKOUT", "Überweisungsauftrag"}, {"DATEVPAKET", "DATEV-Paket"},
        {"DATEVPAKETENTRY", "DATEV-Buchungssatz"}, {"DATEVONLINELOG", "DATEV-Übertragung"},
        {"MDPRAXISPROFIL", "Praxisprofil"}, {"KTRAEGER", "Kostenträger AOK"}, {"BANKEN", "Bankverbindung"},
        {"FLABS", "Fremdlabor Zahntechnik Süd"}, {"MDFIBUPROFIL", "FiBu-Profil"}, {"FORMULAR", "Heil- und Kostenplan"},
        {"FORMABLAGE", "Formularablage"}, {"FORMULARLUPB", "Formular-Layout"}, {"FRAGEBOGEN", "Anamnesebogen"},
        {"FRAGEBOGENENTRY", "Frage Allergien"}, {"EINWILLIGUNG", "Einwilligung Datenschutz"},
        {"BILLRULE", "Abrechnungsregel"}, {"KONTO", "Sachkonto 4980"}, {"QAHIT", "QS-Datensatz"},
        {"KFOHIT", "KFO-Datensatz"}, {"SCHNITTSTELLEN", "Schnittstelle Röntgen"}, {"MATERIALBUCH", "Materialbuchung"}};
    return tables;
}

} // namespace

void OwnerRecords::Write()
{
    for (const std::string& owner : m_staff.Owners()) {
        WriteConfiguration(owner);
        WriteOrders(owner);
        WriteDocuments(owner);
        WriteCommercialLab(owner);
    }
    WriteTreaterRows();
}

void OwnerRecords::WriteConfiguration(const std::string& owner)
{
    for (const auto& [table, topic] : ConfigurationTables())
        for (int i = 1, count = m_random.Between(1, 3); i <= count; ++i)
            m_db.Insert(table, {{"LFDNR", m_db.NextNumber(table)}, {"MDID", owner},
                                {"INHALT", topic + " " + std::to_string(i)}});
}

void OwnerRecords::WriteOrders(const std::string& owner)
{
    m_db.Insert("SBBESTELLUNG", {{"LFDNR", m_db.NextNumber("SBBESTELLUNG")}, {"MDID", owner},
                                 {"LEBID", m_staff.TreaterOf(owner, m_random).lebId}, {"INHALT", "Sammelbestellung Depot"}});
    for (int i = 1, count = m_random.Between(1, 4); i <= count; ++i)
        m_db.Insert("SBBESTELLENTRY", {{"LFDNR", m_db.NextNumber("SBBESTELLENTRY")}, {"MDID", owner},
                                       {"INHALT", "Bestellposition " + std::to_string(i)}});
}

void OwnerRecords::WriteDocuments(const std::string& owner)
{
    // Owner documents ("m") and templates of another kind share the owner-key prefix.
    const std::pair<std::string, std::string> documents[]{
        {"m", "Praxisprofil"}, {"m", "Briefkopf"}, {"v", "Vorlage Recall"}};
    for (const auto& [kind, title] : documents)
        m_db.Insert("DOKUMENT", {{"LFDDOKUMENT", m_db.NextNumber("DOKUMENT")}, {"DOKUMENTART", kind},
                                 {"DOKUMENTKEY", owner + "-" + title}, {"TITEL", title}});
}

void OwnerRecords::WriteCommercialLab(const std::string& owner)
{
    for (int c = 0, customers = m_random.Between(1, 2); c < customers; ++c) {
        // Customer numbers are unique over all owners: vouchers are keyed without the owner.
        const std::string customer = m_db.NextNumber("GLKU");
        for (int invoice = 1, invoices = m_random.Between(1, 3); invoice <= invoices; ++invoice) {
            const std::string number = std::to_string(invoice);
            m_db.Insert("GLKUFAKT", {{"MDID", owner}, {"LFDGLKU", customer}, {"LFDGLKUFAKT", number},
                                     {"BETRAG", SampleAmount(m_random, 40, 2500)}});
            // The first invoice of each customer has no vouchers.
            for (int v = 0, vouchers = invoice == 1 ? 0 : m_random.Between(1, 2); v < vouchers; ++v)
                WriteVoucher(owner, customer, number);
        }
        WriteVoucher(owner, customer, {});   // not yet invoiced
    }
}

void OwnerRecords::WriteVoucher(const std::string& owner, const std::string& customer, const std::string& invoice)
{
    const std::string voucher = m_db.NextNumber("GLBLOC");
    const std::string& treater = m_staff.TreaterOf(owner, m_random).lebId;
    m_db.Insert("GLBLOC", {{"LFDGLKU", customer}, {"LFDGLBLOC", voucher}, {"LFDGLKUFAKT", invoice}, {"LEBID", treater}});
    for (int entry = 1, entries = m_random.Between(1, 3); entry <= entries; ++entry)
        m_db.Insert("GLBLOCENTRY", {{"LFDGLKU", customer}, {"LFDGLBLOC", voucher}, {"LFDENTRY", std::to_string(entry)},
                                    {"LEBID", m_random.Percent(90) ? treater : std::string()},
                                    {"INHALT", "Gewerbelabor Position " + std::to_string(entry)}});
}

void OwnerRecords::WriteTreaterRows()
{
    for (const SampleTreater& treater : m_staff.Treaters()) {
        m_db.Insert("MACENTRY", {{"LFDNR", m_db.NextNumber("MACENTRY")}, {"STDLEBID", treater.lebId},
                                 {"INHALT", "Makro Kontrolle"}});
        m_db.Insert("CMD", {{"LFDNR", m_db.NextNumber("CMD")}, {"LEBID", treater.lebId}, {"INHALT", "Befehl Recall"}});
    }
    m_db.Insert("MACENTRY", {{"LFDNR", m_db.NextNumber("MACENTRY")}, {"INHALT", "Makro ohne Behandler"}});
}
