#pragma once
#include "VqWinApp.h"

// The application: opens the practice database, asks for the password and the
// mode, runs the dialog and closes the database again.
class CKelvorApp : public CVqWinApp {
public:
    CKelvorApp();
    bool InitInstance() override;   // always false: no message loop follows

    bool OpenDb();
    bool CloseDb();
    bool AskPassword();
};

extern CKelvorApp theApp;
