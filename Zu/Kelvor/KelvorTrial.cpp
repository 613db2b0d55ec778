// The trial run: before the user confirms, the run plays on a copy of the practice
// database with the file store only looked at, so the question can say what the run
// will remove. The practice itself stays as it is, byte for byte.
#include "Database.h"
#include "DBException.h"
#include "FileStore.h"
#include "HooksMuted.h"
#include "KelvorDlg.h"
#include "MessageService.h"
#include "WindowServing.h"
#include <utility>

namespace {

// The trial shows no message box: the first message is what would have ended the run.
class CTrialMessages : public IMessageService {
public:
    CTrialMessages() : m_previous(SetMessageService(this)) {}
    ~CTrialMessages() override { SetMessageService(m_previous); }
    CTrialMessages(const CTrialMessages&) = delete;
    CTrialMessages& operator=(const CTrialMessages&) = delete;

    int Show(const SMessage& message) override
    {
        if (m_first.empty())
            m_first = message.text.substr(0, message.text.find('\n'));
        return NoAnswer(message.kind, message.style);
    }
    const std::string& First() const { return m_first; }

private:
    IMessageService* m_previous;
    std::string m_first;
};

// Status lines, statements and run points of the trial are not the run's.
class CTrialMode {
public:
    explicit CTrialMode(bool& trial) : m_trial(trial) { m_trial = true; }
    ~CTrialMode() { m_trial = false; }
    CTrialMode(const CTrialMode&) = delete;
    CTrialMode& operator=(const CTrialMode&) = delete;

private:
    bool& m_trial;
    const CHooksMuted m_muted;
};

} // namespace

std::optional<STrialResult> CKelvorDlg::PlayTrial(const std::vector<std::string>& keys)
{
    SetBusy(true);
    EnableControls(false);
    STrialResult result;
    std::optional<CDBException> failure;
    {
        const CWindowServing served;
        // Reading the practice for the copy is the trial's too, not the run's.
        const CTrialMode mode(m_bTrial);
        try {
            result = PlayOnCopy(keys);
        } catch (const CTrialCopy::Refused& refused) {
            result.noCopy = refused.what();
        } catch (const CDBException& error) {
            failure = error;
        }
    }
    m_progress.SetPercent(0);
    EnableControls(true);
    SetBusy(false);
    if (failure) {
        ReportDatabaseError(*failure, "Der Löschvorgang wird nicht gestartet.");
        return std::nullopt;
    }
    return result;
}

STrialResult CKelvorDlg::PlayOnCopy(const std::vector<std::string>& keys)
{
    const std::string practice = dbDatabase.GetCryptConnect();
    const CTrialCopy copy(dbDatabase);
    STrialResult result;
    {
        const CTrialMessages messages;
        const CFileStoreListing files;
        try {
            SwitchDatabase(copy.ConnectText());
            PlayRun(keys);
        } catch (const CDBException&) {
            SwitchDatabase(practice);
            throw;
        }
        SwitchDatabase(practice);
        result.files = files.Files();
        result.folders = files.Folders();
        result.stop = messages.First();
    }
    result.tables = copy.Changes();
    return result;
}

// Every connection of the run to the database named by connect: the shared ones now,
// the dialog's own at its next statement.
void CKelvorDlg::SwitchDatabase(const std::string& connect)
{
    m_db.Close();
    dbDatabaseRO.Close();
    dbDatabase.Close();
    dbDatabase.Open(nullptr, false, false, connect, true);
    dbDatabaseRO.Open(nullptr, false, true, connect, true);
}
