#include "ScenarioRunner.h"
#include "HbLibrary.h"
#include "HbTrace.h"
#include "KelvorApp.h"
#include "KelvorDlg.h"
#include "PhotographedMessageService.h"
#include "Screenshot.h"
#include "ScriptedMessageService.h"
#include "SeamScope.h"
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <stdexcept>
#include <unistd.h>

namespace {
QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QJsonArray ToJson(const std::vector<std::string>& texts)
{
    QJsonArray array;
    for (const std::string& text : texts)
        array.append(Q(text));
    return array;
}

QJsonArray ItemsOf(const CStrings& items)
{
    QJsonArray array;
    for (int i = 0; i < items.Count(); ++i)
        array.append(Q(items.Item(i)));
    return array;
}

QJsonObject CommonState(const CHbControl& control)
{
    return QJsonObject{{QStringLiteral("visible"), control.GetVisible()},
                       {QStringLiteral("enabled"), control.GetEnabled()},
                       {QStringLiteral("label"), Q(control.GetLabelText())},
                       {QStringLiteral("focus"), control.HasFocus()}};
}

QJsonObject ComboState(CHbLComboX& combo)
{
    QJsonObject state = CommonState(combo);
    state.insert(QStringLiteral("text"), Q(combo.GetText()));
    state.insert(QStringLiteral("items"), ItemsOf(combo.GetItems()));
    return state;
}

QJsonObject CheckState(CHbLCheckX& check)
{
    QJsonObject state = CommonState(check);
    state.insert(QStringLiteral("checked"), check.GetChecked() != 0);
    return state;
}

QJsonObject ListState(CHbLListBoxX& list)
{
    QJsonObject state = CommonState(list);
    CStrings& items = list.GetItems();
    state.insert(QStringLiteral("items"), ItemsOf(items));
    QJsonArray checked;
    for (int i = 0; i < items.Count(); ++i)
        checked.append((list.GetState(i) & 3) == 1);
    state.insert(QStringLiteral("itemsChecked"), checked);
    return state;
}

// The state of every control of the dialog, by id.
QJsonObject ControlsState(CKelvorDlg& dlg)
{
    QJsonObject controls;
    auto put = [&controls](int id, const QJsonObject& state) { controls.insert(QString::number(id), state); };
    put(IDC_OWNER, ComboState(dlg.m_ownerCombo));
    put(IDC_REPLACEMENT, ComboState(dlg.m_replacementCombo));
    QJsonObject start = CommonState(dlg.m_btnStart);
    start.insert(QStringLiteral("text"), Q(dlg.m_btnStart.GetCaption()));
    put(IDC_START, start);
    QJsonObject progress = CommonState(dlg.m_progress);
    progress.insert(QStringLiteral("value"), dlg.m_progress.GetPercent());
    put(IDC_PROGRESS, progress);
    QJsonObject memo = CommonState(dlg.m_memo);
    memo.insert(QStringLiteral("items"), ItemsOf(dlg.m_memo.GetLines()));
    put(IDC_MEMO, memo);
    put(IDC_SERVICES_BY_BILLING_CASE, CheckState(dlg.m_chkServicesByBillingCase));
    put(IDC_SERVICES_BY_LINE_TREATER, CheckState(dlg.m_chkServicesByLineTreater));
    put(IDC_PATIENTS_BY_MAIN_TREATER, CheckState(dlg.m_chkPatientsByMainTreater));
    put(IDC_INVOICES_AND_PAYMENTS, CheckState(dlg.m_chkInvoicesAndPayments));
    put(IDC_JOURNAL_ENTRIES, CheckState(dlg.m_chkJournalEntries));
    put(IDC_TRANSFER_RECORDS, CheckState(dlg.m_chkTransferRecords));
    put(IDC_LAB_INVOICES, CheckState(dlg.m_chkLabInvoices));
    put(IDC_PATIENTS_WITHOUT_SERVICES, CheckState(dlg.m_chkPatientsWithoutServices));
    QJsonObject panel = CommonState(dlg.m_infoPanel);
    panel.insert(QStringLiteral("text"), Q(dlg.m_infoPanel.GetCaption()));
    put(IDC_INFO_PANEL, panel);
    put(IDC_TREATER_LIST, ListState(dlg.m_treaterList));
    return controls;
}

CHbLCheckX& CheckBox(CKelvorDlg& dlg, int id)
{
    switch (id) {
    case IDC_SERVICES_BY_BILLING_CASE: return dlg.m_chkServicesByBillingCase;
    case IDC_SERVICES_BY_LINE_TREATER: return dlg.m_chkServicesByLineTreater;
    case IDC_PATIENTS_BY_MAIN_TREATER: return dlg.m_chkPatientsByMainTreater;
    case IDC_INVOICES_AND_PAYMENTS: return dlg.m_chkInvoicesAndPayments;
    case IDC_JOURNAL_ENTRIES: return dlg.m_chkJournalEntries;
    case IDC_TRANSFER_RECORDS: return dlg.m_chkTransferRecords;
    case IDC_LAB_INVOICES: return dlg.m_chkLabInvoices;
    case IDC_PATIENTS_WITHOUT_SERVICES: return dlg.m_chkPatientsWithoutServices;
    default: throw std::runtime_error("no check box " + std::to_string(id));
    }
}

// One control action, done the way a user does it.
void Perform(CKelvorDlg& dlg, const QJsonObject& action)
{
    if (action.contains(QStringLiteral("select"))) {
        const int id = action.value(QStringLiteral("select")).toInt();
        CHbLComboX& combo = id == IDC_OWNER ? dlg.m_ownerCombo : dlg.m_replacementCombo;
        if (!combo.SelectText(action.value(QStringLiteral("text")).toString().toStdString()))
            throw std::runtime_error("no such item in combo " + std::to_string(id));
    } else if (action.contains(QStringLiteral("check"))) {
        CHbLCheckX& check = CheckBox(dlg, action.value(QStringLiteral("check")).toInt());
        if ((check.GetChecked() != 0) != action.value(QStringLiteral("value")).toBool())
            check.Click();
    } else if (action.contains(QStringLiteral("checkItem"))) {
        dlg.m_treaterList.SetState(action.value(QStringLiteral("index")).toInt(),
                                   action.value(QStringLiteral("value")).toBool() ? 1 : 0);
    } else if (action.contains(QStringLiteral("click"))) {
        const int id = action.value(QStringLiteral("click")).toInt();
        if (id == IDC_START)
            dlg.m_btnStart.Click();
        else
            CheckBox(dlg, id).Click();
    } else {
        throw std::runtime_error("unknown action");
    }
}

// Where the password library is loaded from: the stand-in's folder beside the
// runner, or an empty folder when the scenario has no library at all.
void ChoosePasswordLibrary(const QJsonValue& password, const QTemporaryDir& emptyFolder)
{
    if (password.isString() && password.toString() == QStringLiteral("missing")) {
        CHbLibrary::SetFolder(emptyFolder.path().toStdString());
        return;
    }
    CHbLibrary::SetFolder((QCoreApplication::applicationDirPath() + QStringLiteral("/standin")).toStdString());
    ::setenv("VQ_STANDIN_ANSWER", password.toBool(true) ? "1" : "0", 1);
}
// As a power loss or kill -9 would end the program: no clean-up of any kind.
[[noreturn]] void KillNow()
{
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);
}
}  // namespace

std::string RunScenario(const std::string& practiceFolder, const std::string& scenarioJson, const StatementSink& onStatement)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(scenarioJson), &error);
    if (!document.isObject())
        throw std::runtime_error("the scenario is not a JSON object: " + error.errorString().toStdString());
    const QJsonObject scenario = document.object();

    ::setenv("VQ_PRAXIS", practiceFolder.c_str(), 1);
    const QTemporaryDir emptyFolder;
    ChoosePasswordLibrary(scenario.value(QStringLiteral("password")), emptyFolder);

    CScriptedMessageService messages;
    for (const QJsonValue answer : scenario.value(QStringLiteral("answers")).toArray())
        messages.SetNextAnswer(answer.toInt());
    // The picture is taken after the actions, or at a statement of the run, or of a message box.
    const QString screenshot = scenario.value(QStringLiteral("screenshot")).toString();
    const QJsonObject screenshotAt = scenario.value(QStringLiteral("screenshotAt")).toObject();
    const auto screenshotStatement = static_cast<std::size_t>(screenshotAt.value(QStringLiteral("statement")).toInt());
    const std::string screenshotMessage = screenshotAt.value(QStringLiteral("message")).toString().toStdString();
    const bool screenshotAfterActions = !screenshot.isEmpty() && screenshotStatement == 0 && screenshotMessage.empty();
    CPhotographedMessageService photographed(messages, screenshotMessage, screenshot);
    const CSeamScope<seam::MessageService> messageService(
        screenshotMessage.empty() ? static_cast<IMessageService*>(&messages) : &photographed);
    std::vector<std::string> statements;
    std::size_t statementCount = 0;
    std::vector<std::string> traces;
    const QJsonObject kill = scenario.value(QStringLiteral("kill")).toObject();
    const auto killAtStatement = static_cast<std::size_t>(kill.value(QStringLiteral("statement")).toInt());
    const std::string killAtPoint = kill.value(QStringLiteral("point")).toString().toStdString();
    QDialog* window = nullptr;
    const CSeamScope<seam::DialogStatement> statementSink([&](const std::string& statement) {
        if (onStatement)
            onStatement(statement);
        else
            statements.push_back(statement);
        if (++statementCount == killAtStatement)
            KillNow();
        if (statementCount == screenshotStatement && window != nullptr)
            SaveScreenshot(*window, screenshot);
    });
    const CSeamScope<seam::RunPoint> runPoints([&killAtPoint](std::string_view point) {
        if (point == killAtPoint)
            KillNow();
    });
    const CSeamScope<seam::Trace> traceSink([&traces](const std::string& text) { traces.push_back(text); });

    QJsonObject controls;
    std::string actionError;
    const QJsonArray actions = scenario.value(QStringLiteral("actions")).toArray();
    const CSeamScope<seam::Modal> modal([&](CDialog& dialog) {
        auto& dlg = dynamic_cast<CKelvorDlg&>(dialog);
        window = dlg.Window();
        try {
            for (const QJsonValue action : actions)
                Perform(dlg, action.toObject());
            if (screenshotAfterActions)
                SaveScreenshot(*window, screenshot);
        } catch (const std::exception& e) {
            actionError = e.what();
        }
        controls = ControlsState(dlg);
        dlg.EndDialog(0);
    });

    theApp.InitInstance();

    CHbLibrary::SetFolder({});

    QJsonArray messageReport;
    for (const auto& message : messages.Messages()) {
        QJsonObject entry{{QStringLiteral("kind"), QString::fromLatin1(CScriptedMessageService::KindName(message.kind))},
                          {QStringLiteral("caption"), Q(message.caption)},
                          {QStringLiteral("text"), Q(message.text)},
                          {QStringLiteral("answer"), message.answer}};
        // What a box shows beside its text, where it shows anything.
        if (!message.informative.empty())
            entry.insert(QStringLiteral("informative"), Q(message.informative));
        if (!message.detailed.empty())
            entry.insert(QStringLiteral("detailed"), Q(message.detailed));
        messageReport.append(entry);
    }
    QJsonObject report{{QStringLiteral("messages"), messageReport},
                       {QStringLiteral("statements"), ToJson(statements)},
                       {QStringLiteral("trace"), ToJson(traces)},
                       {QStringLiteral("controls"), controls}};
    report.insert(QStringLiteral("memo"), controls.value(QString::number(IDC_MEMO)).toObject().value(QStringLiteral("items")));
    if (!actionError.empty())
        report.insert(QStringLiteral("error"), Q(actionError));
    return QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}
