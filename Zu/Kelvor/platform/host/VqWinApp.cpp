#include "VqWinApp.h"

namespace {

CVqWinApp*& Instance()
{
    static CVqWinApp* instance = nullptr;
    return instance;
}

} // namespace

CVqWinApp::CVqWinApp(const char* /*appName*/)
{
    Instance() = this;
}

CVqWinApp::~CVqWinApp()
{
    if (Instance() == this)
        Instance() = nullptr;
}

bool CVqWinApp::InitInstance()
{
    return true;
}

CVqWinApp* AfxGetApp()
{
    return Instance();
}
