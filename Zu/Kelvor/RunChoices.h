#pragma once
#include <string>
#include <vector>

// What a confirmed run removes and hands on: taken from the dialog when the run
// starts, or from the marker an interrupted run left behind.
struct RunChoices {
    bool treaterMode = false;
    std::vector<std::string> deleteIds;  // the owner, or the treaters in list order
    std::string replacementId;
    int serviceSelection = 0;            // 0 none, 1 by billing case, 2 by line treater
    bool patientsByMainTreater = false;
    bool patientsWithoutServices = false;
    bool invoicesAndPayments = false;
    bool journalEntries = false;
    bool labInvoices = false;
    bool transferRecords = false;
};
