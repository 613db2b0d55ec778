// Finishing a run that was cut short: the dialog shows the choices its marker
// holds and runs them as they were confirmed then. The start checks are not
// repeated: the owner or treaters removed may already be gone from the lists.
#include "KelvorDlg.h"
#include <algorithm>
#include <utility>

RunChoices CKelvorDlg::ChosenRun(const std::vector<std::string>& keys) const
{
    return {m_bTreaterMode,           keys,
            m_strReplacementId,       m_nServiceSelection,
            m_bPatientsByMainTreater, m_bPatientsWithoutServices,
            m_bInvoicesAndPayments,   m_bJournalEntries,
            m_bLabInvoices,           m_bTransferRecords};
}

// The run data, and the controls as far as the lists still hold the keys.
void CKelvorDlg::TakeChoices(const RunChoices& choices)
{
    m_strReplacementId = choices.replacementId;
    m_nServiceSelection = choices.serviceSelection;
    m_bPatientsByMainTreater = choices.patientsByMainTreater;
    m_bPatientsWithoutServices = choices.patientsWithoutServices;
    m_bInvoicesAndPayments = choices.invoicesAndPayments;
    m_bJournalEntries = choices.journalEntries;
    m_bLabInvoices = choices.labInvoices;
    m_bTransferRecords = choices.transferRecords;

    if (m_bTreaterMode) {
        const auto chosen = [&choices](const TreaterEntry& entry) {
            return std::find(choices.deleteIds.begin(), choices.deleteIds.end(), entry.lebId) != choices.deleteIds.end();
        };
        const auto replacement = [&choices](const TreaterEntry& entry) { return entry.lebId == choices.replacementId; };
        for (std::size_t i = 0; i < m_aTreaters.size(); ++i)
            m_treaterList.SetState(static_cast<int>(i), chosen(m_aTreaters[i]) ? 1 : 0);
        const auto found = std::find_if(m_aTreaters.begin(), m_aTreaters.end(), replacement);
        m_replacementCombo.SetItemIndex(found == m_aTreaters.end() ? -1 : static_cast<int>(found - m_aTreaters.begin()));
    } else {
        m_ownerCombo.SelectText(choices.deleteIds.front());
        m_replacementCombo.SelectText(choices.replacementId);
    }
    m_chkServicesByBillingCase.SetChecked(m_nServiceSelection == 1 ? 1 : 0);
    m_chkServicesByLineTreater.SetChecked(m_nServiceSelection == 2 ? 1 : 0);
    m_chkPatientsByMainTreater.SetChecked(m_bPatientsByMainTreater ? 1 : 0);
    m_chkPatientsWithoutServices.SetChecked(m_bPatientsWithoutServices ? 1 : 0);
}

void CKelvorDlg::FinishUnfinishedRun()
{
    const RunChoices choices = *std::exchange(m_unfinished, std::nullopt);
    TakeChoices(choices);
    if (!m_bTreaterMode && !FillListsOrReport([&] { FillTreaterLists(choices.deleteIds.front()); }))
        return;
    RunPasses(choices.deleteIds);
}
