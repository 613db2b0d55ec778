#include "PatientWriter.h"
#include "SampleNames.h"
#include "SampleText.h"

namespace {

const std::vector<std::string>& CashTypes() { static const std::vector<std::string> t{"k", "z", "a", "f", "c"}; return t; }
const std::vector<std::string>& PrivateTypes() { static const std::vector<std::string> t{"P", "G", "A", "Z", ""}; return t; }
// Billing-kind flags other than "0" and "1" leave the question to the billing case.
const std::vector<std::string>& OtherFlags() { static const std::vector<std::string> t{"2", "", "9"}; return t; }
// Findings types: b, s, i, p (general), k (orthodontic), r (X-ray) and some that name no table.
const std::vector<std::string>& FindingsTypes()
{
    static const std::vector<std::string> t{"b", "s", "i", "p", "k", "r", "x", "B", "bb"};
    return t;
}

std::string FindingsTable(const std::string& type)
{
    if (type == "b" || type == "s" || type == "i" || type == "p")
        return "ABEFUND";
    if (type == "k")
        return "KFOBEFUND";
    if (type == "r")
        return "ROEBEFUND";
    return {};
}

} // namespace

std::string PatientWriter::Next(const std::string& counter)
{
    return std::to_string(++m_counters[counter]);
}

void PatientWriter::Write(const std::string& patNr)
{
    m_patNr = patNr;
    m_counters.clear();
    const bool hasMainTreater = m_random.Percent(97);
    const SampleTreater& main = m_staff.AnyTreater(m_random);
    WriteAddressAndPatient(hasMainTreater ? main.lebId : std::string());
    // About one patient in twelve has no service at all.
    if (!m_random.Percent(8)) {
        for (int number = 1, cases = m_random.Between(1, 3); number <= cases; ++number)
            WriteBillingCase(m_random.Percent(80) ? main : m_staff.AnyTreater(m_random), number);
        if (m_random.Percent(10))
            WriteService(main.lebId, {}, m_random.Percent(50) ? "0" : "1");
    }
    if (m_random.Percent(8))
        WriteLabVouchers();
    const std::string& owner = main.OwnerFor(m_random.Percent(30));
    WriteOwnerRecords(owner);
    WriteDocuments(owner);
    if (m_random.Percent(3))
        WriteFolder();
}

void PatientWriter::WriteAddressAndPatient(const std::string& mainTreater)
{
    std::string adrId;
    if (m_random.Percent(97)) {
        adrId = m_db.NextNumber("ADR");
        const SamplePerson person = RandomPerson(m_random, 4);
        const std::string& town = m_random.Pick(Towns());
        const std::string street = m_random.Pick(StreetNames()) + " " + std::to_string(m_random.Between(1, 140))
            + (m_random.Percent(10) ? "a" : "");
        m_db.Insert("ADR", {{"ADRID", adrId}, {"ANREDE", person.anrede}, {"TITEL", person.titel},
                            {"VORNAME", person.vorname}, {"NAME", person.name}, {"STRASSE", street},
                            {"PLZ", TownCode(town)}, {"ORT", TownName(town)}});
    }
    const std::string inPatient = m_random.Percent(20) ? m_staff.AnyTreater(m_random).lebId : std::string();
    m_db.Insert("PAT", {{"PATNR", m_patNr}, {"ADRID", adrId}, {"STAMMLEBID", mainTreater}, {"IPLEBID", inPatient},
                        {"GEBDATUM", SampleDate(m_random, 1930, 2021)}});
}

void PatientWriter::WriteBillingCase(const SampleTreater& treater, int number)
{
    BillingCase billingCase{std::to_string(number), {}, m_random.Percent(35)};
    billingCase.owner = treater.OwnerFor(billingCase.privatePractice);
    const std::string& type = m_random.Pick(billingCase.privatePractice ? PrivateTypes() : CashTypes());
    const std::string flag = billingCase.privatePractice ? "1" : "0";
    for (int i = 0, services = m_random.Between(1, 4); i < services; ++i) {
        const std::string& lineTreater = m_random.Percent(85) ? treater.lebId : m_staff.AnyTreater(m_random).lebId;
        WriteService(lineTreater, billingCase.number, m_random.Percent(80) ? flag : m_random.Pick(OtherFlags()));
    }
    // A few services name a billing case that is missing: regenerating billing cases brings it back.
    if (m_random.Percent(2))
        return;
    WriteInvoices(billingCase, type);
}

void PatientWriter::WriteInvoices(const BillingCase& billingCase, const std::string& type)
{
    // Parts G, S and P of a billing case each link to an invoice of their own.
    std::string links[3];
    std::string dates[3];
    const unsigned chances[3]{60, 25, 15};
    for (int part = 0; part < 3; ++part) {
        if (!m_random.Percent(chances[part]))
            continue;
        links[part] = WriteInvoice(billingCase);
        dates[part] = SampleDate(m_random, 2019, 2025);
    }
    m_db.Insert("BILL", {{"MDID", billingCase.owner}, {"PATNR", m_patNr}, {"LFDPATBILL", billingCase.number},
                         {"ABRTYP", type}, {"GLFDFAKT", links[0]}, {"GABRWUNSCHDATUM", dates[0]},
                         {"SLFDFAKT", links[1]}, {"SABRWUNSCHDATUM", dates[1]}, {"PLFDFAKT", links[2]},
                         {"PABRWUNSCHDATUM", dates[2]},
                         {"QUARTAL", std::to_string(m_random.Between(1, 4)) + "/" + std::to_string(m_random.Between(2019, 2025))}});
}

std::string PatientWriter::WriteInvoice(const BillingCase& billingCase)
{
    const std::string number = Next("FAKT" + billingCase.owner);
    const std::string amount = SampleAmount(m_random, 20, 3000);
    m_db.Insert("FAKT", {{"MDID", billingCase.owner}, {"PATNR", m_patNr}, {"LFDFAKT", number},
                         {"LFDPATBILL", billingCase.number}, {"DATUM", SampleDate(m_random, 2019, 2025)}, {"BETRAG", amount}});
    m_db.Insert("FBUCHUNG", {{"LFDNR", m_db.NextNumber("FBUCHUNG")}, {"MDID", billingCase.owner}, {"PATNR", m_patNr},
                             {"LFDFAKT", number}, {"BETRAG", amount}, {"INHALT", "Rechnung " + number}});
    if (m_random.Percent(70))
        WritePayment(billingCase.owner, number, amount);
    return number;
}

void PatientWriter::WritePayment(const std::string& owner, const std::string& invoice, const std::string& amount)
{
    const std::string number = Next("CASH" + owner);
    m_db.Insert("CASH", {{"MDID", owner}, {"PATNR", m_patNr}, {"LFDFAKT", invoice}, {"LFDCASH", number},
                         {"DATUM", SampleDate(m_random, 2019, 2025)}, {"BETRAG", amount}});
    m_db.Insert("FBUCHUNG", {{"LFDNR", m_db.NextNumber("FBUCHUNG")}, {"MDID", owner}, {"PATNR", m_patNr},
                             {"LFDFAKT", invoice}, {"LFDCASH", number}, {"BETRAG", amount}, {"INHALT", "Zahlung " + number}});
}

void PatientWriter::WriteService(const std::string& treater, const std::string& billingCase, const std::string& flag)
{
    std::string type;
    std::string findings;
    if (m_random.Percent(55)) {
        type = m_random.Pick(FindingsTypes());
        if (m_random.Percent(85))
            findings = WriteFindings(type, treater);
    }
    std::string archive;
    if (m_random.Percent(20)) {
        archive = Next("ARCHIV");
        m_db.Insert("ARCHIV", {{"PATNR", m_patNr}, {"LFDARCHIV", archive}, {"INHALT", "Röntgenbild OPG"}});
    }
    m_db.Insert("BEH", {{"PATNR", m_patNr}, {"LFDBEH", Next("BEH")}, {"LEBID", treater}, {"LFDPATBILL", billingCase},
                        {"KZPRIVAT", flag}, {"BEFUNDART", type}, {"LFDBEFUND", findings}, {"LFDARCHIV", archive},
                        {"DATUM", SampleDate(m_random, 2019, 2025)}, {"LEISTUNG", m_random.Pick(ServiceCodes())}});
}

std::string PatientWriter::WriteFindings(const std::string& type, const std::string& treater)
{
    const std::string table = FindingsTable(type);
    if (table.empty())
        return Next("OTHER");   // a number that names no row
    const std::string number = Next(table);
    const std::string key = table == "ABEFUND" ? "LFDABEFUND" : table == "KFOBEFUND" ? "LFDKFOBEFUND" : "LFDROEBEFUND";
    if (table == "ROEBEFUND")
        m_db.Insert(table, {{"PATNR", m_patNr}, {key, number}, {"PERFORMINGLEBID", treater}, {"INHALT", "Röntgenbefund"}});
    else
        m_db.Insert(table, {{"PATNR", m_patNr}, {key, number}, {"INHALT", "Befund " + type}});
    return number;
}

void PatientWriter::WriteLabVouchers()
{
    const SampleTreater& treater = m_staff.AnyTreater(m_random);
    for (int i = 0, vouchers = m_random.Between(1, 3); i < vouchers; ++i) {
        const std::string plan = std::to_string(m_random.Between(1, 2));
        const std::string voucher = Next("LBLOCK");
        // Vouchers not yet invoiced by the laboratory have no invoice number.
        const std::string invoice = m_random.Percent(60) ? "L" + Padded(std::stol(m_db.NextNumber("RECHNR")), 6) : std::string();
        m_db.Insert("LBLOCK", {{"PATNR", m_patNr}, {"LFDPLAN", plan}, {"LFDLBLOCK", voucher}, {"LEBID", treater.lebId},
                               {"RECHNR", invoice}, {"MDID", treater.OwnerFor(m_random.Percent(40))},
                               {"BETRAG", SampleAmount(m_random, 30, 1800)}});
        for (int entry = 1, entries = m_random.Between(1, 3); entry <= entries; ++entry)
            m_db.Insert("LBLOCKENTRY", {{"PATNR", m_patNr}, {"LFDPLAN", plan}, {"LFDLBLOCK", voucher},
                                        {"LFDENTRY", std::to_string(entry)}, {"LEBID", treater.lebId},
                                        {"INHALT", m_random.Pick(LabItems())}});
    }
}

void PatientWriter::WriteOwnerRecords(const std::string& owner)
{
    // Transfer records and cash, statement and appointment rows that name an owner and the patient.
    static const std::vector<std::pair<std::string, unsigned>> tables{
        {"ZEHIT", 5}, {"ZEHITLST", 5}, {"PARHIT", 4}, {"PARHITLST", 4}, {"KBRHIT", 4}, {"KBRHITLST", 4},
        {"CASHPAY", 10}, {"EBZ", 5}, {"ETSSTERMIN", 10}};
    for (const auto& [table, chance] : tables)
        if (m_random.Percent(chance))
            m_db.Insert(table, {{"LFDNR", m_db.NextNumber(table)}, {"MDID", owner}, {"PATNR", m_patNr},
                                {"INHALT", table + " " + m_patNr}});
    const SampleTreater& treater = m_staff.AnyTreater(m_random);
    if (m_random.Percent(30))
        m_db.Insert("PATINFO", {{"PATNR", m_patNr}, {"LFDPATINFO", Next("PATINFO")}, {"MDID", owner},
                                {"LEBID", treater.lebId}, {"INHALT", "Allergie: Penicillin"}});
    if (m_random.Percent(20))
        m_db.Insert("REZEPT", {{"PATNR", m_patNr}, {"LFDREZEPT", Next("REZEPT")}, {"MDID", owner}, {"LEBID", treater.lebId},
                               {"LEBID2", m_random.Percent(30) ? m_staff.AnyTreater(m_random).lebId : std::string()},
                               {"INHALT", "Ibuprofen 600 mg"}});
    static const std::vector<std::pair<std::string, unsigned>> treaterTables{
        {"GIPS", 5}, {"ZPLAN", 10}, {"WARTELISTE", 5}, {"WORKFLOW", 5}};
    for (const auto& [table, chance] : treaterTables)
        if (m_random.Percent(chance))
            m_db.Insert(table, {{"PATNR", m_patNr}, {"LFDNR", m_db.NextNumber(table)}, {"LEBID", treater.lebId},
                                {"INHALT", table + " " + m_patNr}});
}

void PatientWriter::WriteDocuments(const std::string& owner)
{
    // Patient documents ("p") and letters of another kind; both keys begin with the owner key.
    for (const std::string_view kind : {"p", "b"})
        if (m_random.Percent(10))
            m_db.Insert("DOKUMENT", {{"LFDDOKUMENT", m_db.NextNumber("DOKUMENT")}, {"DOKUMENTART", kind},
                                     {"DOKUMENTKEY", owner + m_patNr + "-" + Next("DOKUMENT")}, {"PATNR", m_patNr},
                                     {"TITEL", kind == "p" ? "Aufklärungsbogen" : "Brief an Hausarzt"}});
}

void PatientWriter::WriteFolder()
{
    m_files.Write(m_dataFolder / "pat" / m_patNr / "Befund.pdf", "Befund " + m_patNr + "\n");
}
