#pragma once

class CDialog;

// The practice system's application base.
class CVqWinApp {
public:
    explicit CVqWinApp(const char* appName);
    virtual ~CVqWinApp();
    CVqWinApp(const CVqWinApp&) = delete;
    CVqWinApp& operator=(const CVqWinApp&) = delete;

    virtual bool InitInstance();

    CDialog* m_pMainWnd = nullptr;
};

CVqWinApp* AfxGetApp();
