#include "OwnerRunFloor.h"
#include "Mb.h"
#include "SqliteFile.h"
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

void StatementTrail::Add(const std::string& text)
{
    ++count;
    for (const char ch : text)
        hash = (hash ^ static_cast<unsigned char>(ch)) * 1099511628211ULL;
    hash = (hash ^ 0xffU) * 1099511628211ULL;
}

namespace {

using Row = SqliteFile::Row;

constexpr const char* kPatientTables[] = {"BEH",     "BILL",    "FAKT",   "CASH",        "ABEFUND", "KFOBEFUND",
                                          "ROEBEFUND", "ARCHIV", "REZEPT", "PATINFO",     "LBLOCK",  "LBLOCKENTRY",
                                          "GIPS",    "ZPLAN",   "WARTELISTE", "WORKFLOW", "DOKUMENT"};

std::string Q(const std::string& text)
{
    std::string quoted;
    for (const char ch : text) {
        quoted += ch;
        if (ch == '\'')
            quoted += '\'';
    }
    return quoted;
}

class Floor {
public:
    Floor(const std::string& folder, std::string removed, std::string replacement)
        : m_db(folder + "/praxis.db"), m_patFolder(folder + "/daten/pat/"), m_removed(std::move(removed)),
          m_replacement(std::move(replacement))
    {
        m_db.Exec("PRAGMA journal_mode=WAL");
        m_db.Exec("PRAGMA synchronous=NORMAL");
        m_db.Exec("PRAGMA wal_autocheckpoint=16384");
    }

    StatementTrail Run()
    {
        m_db.Run("SELECT LEBID FROM LEB WHERE MDIDK=? OR MDIDP=? ORDER BY LEBID", {m_removed, m_removed},
                 [&](const Row& row) { m_treaters.push_back(row[0]); });
        PatientsByMainTreater();
        ServicesByBillingCase();
        WalkPatients([&](const Row& patient) { return !m_db.Exists("SELECT 1 FROM BEH WHERE PATNR=? LIMIT 1", {patient[0]}); });
        for (const char* table : {"FBUCHUNG", "FDIENST", "ZBON", "TSEBON", "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY",
                                  "DATEVONLINELOG", "ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"})
            DeleteOwned(table);
        LabInvoices();
        Invoices();
        Owner();
        m_db.Exec(CMb::kMakeMissingBills);
        Send("DELETE FROM BILL WHERE NOT EXISTS (SELECT * FROM BEH WHERE BEH.PATNR=BILL.PATNR AND "
             "BEH.LFDPATBILL=BILL.LFDPATBILL)");
        return m_trail;
    }

private:
    void Send(const std::string& sql)
    {
        m_trail.Add(sql);
        m_db.Exec(sql);
    }

    std::vector<Row> Rows(const std::string& sql, const Row& params)
    {
        std::vector<Row> rows;
        m_db.Run(sql, params, [&](const Row& row) { rows.push_back(row); });
        return rows;
    }

    void DeleteOwned(const std::string& table) { Send("DELETE FROM " + table + " WHERE MDID='" + Q(m_removed) + "'"); }

    void Move(const std::string& table, const std::string& column)
    {
        Send("UPDATE " + table + " SET " + column + "='" + Q(m_replacement) + "' WHERE " + column + "='" + Q(m_removed) +
             "'");
    }

    // Rows are PATNR, ADRID.
    void RemovePatients(const std::vector<Row>& patients)
    {
        for (const Row& patient : patients) {
            m_db.Exec("BEGIN");
            for (const char* table : kPatientTables)
                m_db.Run(std::string("DELETE FROM ") + table + " WHERE PATNR=?", {patient[0]});
            m_db.Exec("COMMIT");
            std::filesystem::remove_all(m_patFolder + patient[0]);
            if (!patient[1].empty())
                Send("DELETE FROM ADR WHERE ADRID='" + Q(patient[1]) + "'");
            m_db.Run("DELETE FROM PAT WHERE PATNR=?", {patient[0]});
        }
    }

    // Every patient read once in key order, a batch at a time; those selects picks removed.
    template <class Selects>
    void WalkPatients(Selects selects)
    {
        std::string after;
        for (;;) {
            const std::vector<Row> batch =
                Rows("SELECT PATNR, ADRID, STAMMLEBID FROM PAT WHERE PATNR>? ORDER BY PATNR LIMIT 4096", {after});
            if (batch.empty())
                return;
            std::vector<Row> chosen;
            std::copy_if(batch.begin(), batch.end(), std::back_inserter(chosen), selects);
            RemovePatients(chosen);
            after = batch.back()[0];
        }
    }

    void PatientsByMainTreater()
    {
        WalkPatients([&](const Row& patient) {
            return !patient[2].empty() && std::find(m_treaters.begin(), m_treaters.end(), patient[2]) != m_treaters.end();
        });
    }

    void ServicesByBillingCase()
    {
        for (const Row& bill : Rows("SELECT PATNR, LFDPATBILL FROM BILL WHERE MDID=? ORDER BY PATNR, LFDPATBILL",
                                    {m_removed})) {
            Send("DELETE FROM BEH WHERE PATNR='" + Q(bill[0]) + "' AND LFDPATBILL='" + Q(bill[1]) + "'");
            m_db.Run("DELETE FROM BILL WHERE PATNR=? AND LFDPATBILL=?", bill);
        }
    }

    void LabInvoices()
    {
        for (const Row& voucher : Rows("SELECT PATNR, LFDPLAN, LFDLBLOCK FROM LBLOCK WHERE RECHNR<>'' AND MDID=? "
                                       "ORDER BY PATNR, LFDPLAN, LFDLBLOCK",
                                       {m_removed})) {
            Send("DELETE FROM LBLOCKENTRY WHERE PATNR='" + Q(voucher[0]) + "' AND LFDPLAN='" + Q(voucher[1]) +
                 "' AND LFDLBLOCK='" + Q(voucher[2]) + "'");
            m_db.Run("DELETE FROM LBLOCK WHERE PATNR=? AND LFDPLAN=? AND LFDLBLOCK=?", voucher);
        }
        Send("UPDATE LBLOCK SET MDID='" + Q(m_replacement) + "' WHERE MDID='" + Q(m_removed) + "'");
    }

    // The journal rows of the removed owner are gone already, so no journal link is cleared.
    void Invoices()
    {
        for (const Row& invoice :
             Rows("SELECT PATNR, LFDFAKT FROM FAKT WHERE MDID=? ORDER BY PATNR, LFDFAKT", {m_removed})) {
            for (const std::string part : {"G", "S", "P"})
                Send("UPDATE BILL SET " + part + "ABRWUNSCHDATUM='99999999'," + part + "LFDFAKT='' WHERE PATNR='" +
                     Q(invoice[0]) + "' AND " + part + "LFDFAKT='" + Q(invoice[1]) + "'");
            m_db.Run("DELETE FROM FAKT WHERE MDID=? AND PATNR=? AND LFDFAKT=?", {m_removed, invoice[0], invoice[1]});
        }
        for (const Row& payment :
             Rows("SELECT PATNR, LFDCASH FROM CASH WHERE MDID=? ORDER BY PATNR, LFDCASH", {m_removed}))
            m_db.Run("DELETE FROM CASH WHERE MDID=? AND PATNR=? AND LFDCASH=?", {m_removed, payment[0], payment[1]});
        for (const Row& invoice : Rows("SELECT LFDGLKU, LFDGLKUFAKT FROM GLKUFAKT WHERE MDID=? ORDER BY LFDGLKU, "
                                       "LFDGLKUFAKT",
                                       {m_removed})) {
            for (const Row& voucher : Rows("SELECT LFDGLBLOC FROM GLBLOC WHERE LFDGLKU=? AND LFDGLKUFAKT=? ORDER BY "
                                           "LFDGLBLOC",
                                           invoice)) {
                Send("DELETE FROM GLBLOCENTRY WHERE LFDGLKU='" + Q(invoice[0]) + "' AND LFDGLBLOC='" + Q(voucher[0]) +
                     "'");
                m_db.Run("DELETE FROM GLBLOC WHERE LFDGLKU=? AND LFDGLBLOC=?", {invoice[0], voucher[0]});
            }
            m_db.Run("DELETE FROM GLKUFAKT WHERE MDID=? AND LFDGLKU=? AND LFDGLKUFAKT=?",
                     {m_removed, invoice[0], invoice[1]});
        }
    }

    void Owner()
    {
        Send("UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='" + Q(m_removed) + "'");
        for (const char* table : {"SBBESTELLUNG", "SBBESTELLENTRY"})
            DeleteOwned(table);
        Move("REZEPT", "MDID");
        for (const char* table : {"MDPRAXISPROFIL", "KTRAEGER", "BANKEN", "FLABS", "MDFIBUPROFIL", "FORMULAR",
                                  "FORMABLAGE", "FORMULARLUPB"})
            DeleteOwned(table);
        Move("LEB", "MDIDK");
        Move("LEB", "MDIDP");
        for (const char* table : {"FRAGEBOGEN", "FRAGEBOGENENTRY"})
            DeleteOwned(table);
        Move("PATINFO", "MDID");
        for (const char* table : {"EINWILLIGUNG", "BILLRULE"})
            DeleteOwned(table);
        for (const char* table : {"CASHPAY", "EBZ", "ETSSTERMIN"})
            Move(table, "MDID");
        for (const char* table : {"KONTO", "QAHIT", "KFOHIT", "SCHNITTSTELLEN", "MATERIALBUCH"})
            DeleteOwned(table);
        Send("DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '" + Q(m_removed) + "%'");
        DeleteOwned("ETSSTERMIN");
        DeleteOwned("MANDANT");
        Send("UPDATE NUMBERPOOL SET MDID = (SELECT MAX(MDID) FROM MANDANT)");
    }

    SqliteFile m_db;
    const std::string m_patFolder;
    const std::string m_removed;
    const std::string m_replacement;
    std::vector<std::string> m_treaters;
    StatementTrail m_trail;
};

} // namespace

StatementTrail RunOwnerFloor(const std::string& folder, const std::string& removed, const std::string& replacement)
{
    return Floor(folder, removed, replacement).Run();
}
