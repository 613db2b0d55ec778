#include "KelvorDlg.h"
#include "MessageService.h"
#include "VqParams.h"
#include "ui_KelvorDlg.h"
#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <initializer_list>
#include <string>
#include <utility>

// The icon lives in a static library; its resources register only when asked to.
static void RegisterResources()
{
    Q_INIT_RESOURCE(kelvor);
}

namespace {

// The panel text of treater mode; the template holds the owner-mode text.
constexpr const char* TreaterPanelCaption =
    "Dieses Programm löscht den angegebenen Behandler und die damit verknüpften Daten.\n"
    "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!";

QIcon ProgramIcon()
{
    RegisterResources();
    return QIcon(QStringLiteral(":/kelvor/kelvor.png"));
}

// With at most one owner or treater nothing can be removed: the dialog shows
// itself filled in and unusable, then says why. A run being finished has chosen
// already, and its removed keys may be gone from the lists.
void ReportNothingToChoose(CKelvorDlg& dlg, const std::string& message)
{
    dlg.EnableControls(false);
    dlg.m_replacementCombo.SetItemIndex(0);
    dlg.ShowWindow();
    HaltE(6, message, 0);
}

void ConfigureForTreaters(CKelvorDlg& dlg, bool initial)
{
    dlg.m_memo.SetVisible(false);
    dlg.m_infoPanel.SetCaption(TreaterPanelCaption);
    dlg.m_treaterList.SetVisible(true);
    dlg.m_ownerCombo.SetVisible(false);
    dlg.m_replacementCombo.SetLabelText("Ersatz-Behandler:");
    dlg.m_chkServicesByBillingCase.SetVisible(false);
    if (initial)
        dlg.m_chkPatientsByMainTreater.SetChecked(1);
    // The owner's own data groups mean nothing for a treater.
    for (CHbLCheckX* ownerOnly : { &dlg.m_chkJournalEntries, &dlg.m_chkTransferRecords, &dlg.m_chkLabInvoices,
                                   &dlg.m_chkInvoicesAndPayments }) {
        ownerOnly->SetVisible(false);
        ownerOnly->SetChecked(0);
    }
    dlg.FillTreaterLists({});
    if (dlg.m_aTreaters.size() <= 1 && !dlg.m_unfinished)
        ReportNothingToChoose(dlg, "Diese Praxis hat nur einen Behandler!");
}

// The template's presentation is the owner-mode presentation.
void ConfigureForOwners(CKelvorDlg& dlg)
{
    dlg.FillOwnerCombos();
    if (dlg.m_aOwners.size() <= 1 && !dlg.m_unfinished)
        ReportNothingToChoose(dlg, "Diese Praxis hat nur einen Praxisinhaber!");
}

}

CKelvorDlg::CKelvorDlg(bool treaterMode, std::optional<RunChoices> unfinished)
    : CDialog(IDD), m_bTreaterMode(treaterMode), m_strLogFile(GetVqLogPath() + "Kelvor.log"),
      m_marker(GetVqLogPath()), m_unfinished(std::move(unfinished))
{
}

CKelvorDlg::~CKelvorDlg() = default;

void CKelvorDlg::SetupTemplate(QDialog& window)
{
    Ui::KelvorDlg().setupUi(&window);
}

void CKelvorDlg::DoDataExchange()
{
    DDX_Control(IDC_MEMO, m_memo);
    DDX_Control(IDC_PROGRESS, m_progress);
    DDX_Control(IDC_REPLACEMENT, m_replacementCombo);
    DDX_Control(IDC_OWNER, m_ownerCombo);
    DDX_Control(IDC_SERVICES_BY_BILLING_CASE, m_chkServicesByBillingCase);
    DDX_Control(IDC_SERVICES_BY_LINE_TREATER, m_chkServicesByLineTreater);
    DDX_Control(IDC_INVOICES_AND_PAYMENTS, m_chkInvoicesAndPayments);
    DDX_Control(IDC_JOURNAL_ENTRIES, m_chkJournalEntries);
    DDX_Control(IDC_LAB_INVOICES, m_chkLabInvoices);
    DDX_Control(IDC_PATIENTS_BY_MAIN_TREATER, m_chkPatientsByMainTreater);
    DDX_Control(IDC_TRANSFER_RECORDS, m_chkTransferRecords);
    DDX_Control(IDC_START, m_btnStart);
    DDX_Control(IDC_PATIENTS_WITHOUT_SERVICES, m_chkPatientsWithoutServices);
    DDX_Control(IDC_INFO_PANEL, m_infoPanel);
    DDX_Control(IDC_TREATER_LIST, m_treaterList);
}

bool CKelvorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_chkJournalEntries.SetLabelText("FiBu-/Kassenbuch-TSE-Einträge");
    Window()->setWindowIcon(ProgramIcon());
    m_btnStart.OnClick([this] { OnStartDeletion(); });
    m_chkServicesByBillingCase.OnClick([this] { OnClickServicesByBillingCase(); });
    m_chkServicesByLineTreater.OnClick([this] { OnClickServicesByLineTreater(); });
    m_chkPatientsByMainTreater.OnClick([this] { OnClickPatientsByMainTreater(); });
    ConfigureForMode(true);
    // Once the window is up, as if the start button had been pressed.
    if (m_unfinished)
        QTimer::singleShot(0, Window(), [this] { FinishUnfinishedRun(); });
    return true;
}

void CKelvorDlg::ConfigureForMode(bool initial)
{
    EnableControls(true);
    if (!initial)
        AddStatusLine("");
    FillListsOrReport([this, initial] {
        if (m_bTreaterMode)
            ConfigureForTreaters(*this, initial);
        else
            ConfigureForOwners(*this);
    });
}

// The owner's own data groups always go with an owner: never a choice.
void CKelvorDlg::EnableControls(bool enabled)
{
    m_ownerCombo.SetEnabled(enabled);
    m_replacementCombo.SetEnabled(enabled);
    m_chkServicesByBillingCase.SetEnabled(enabled);
    m_chkServicesByLineTreater.SetEnabled(enabled);
    m_chkPatientsByMainTreater.SetEnabled(enabled);
    m_chkPatientsWithoutServices.SetEnabled(enabled);
    m_btnStart.SetEnabled(enabled);
    m_treaterList.SetEnabled(enabled);
    m_chkInvoicesAndPayments.SetEnabled(false);
    m_chkJournalEntries.SetEnabled(false);
    m_chkLabInvoices.SetEnabled(false);
    m_chkTransferRecords.SetEnabled(false);
}

// Services go either by billing case or by line treater.
void CKelvorDlg::OnClickServicesByBillingCase()
{
    if (m_chkServicesByBillingCase.GetChecked() != 0)
        m_chkServicesByLineTreater.SetChecked(0);
}

// A treater's services by line treater and its patients by main treater overlap,
// so in treater mode the two exclude each other.
void CKelvorDlg::OnClickServicesByLineTreater()
{
    if (m_chkServicesByLineTreater.GetChecked() == 0)
        return;
    if (m_bTreaterMode)
        m_chkPatientsByMainTreater.SetChecked(0);
    else
        m_chkServicesByBillingCase.SetChecked(0);
}

void CKelvorDlg::OnClickPatientsByMainTreater()
{
    if (m_bTreaterMode && m_chkPatientsByMainTreater.GetChecked() != 0)
        m_chkServicesByLineTreater.SetChecked(0);
}
