#include "VqWinApp.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

CVqWinApp*& Instance()
{
    static CVqWinApp* instance = nullptr;
    return instance;
}

// The program speaks German: Qt's standard buttons and dialogs too ("Ja", "Nein",
// "Abbrechen"). Without the translation installed they stay English.
void LoadQtGermanTexts()
{
    static QTranslator translator;
    if (translator.isEmpty()
        && translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
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
    LoadQtGermanTexts();
    return true;
}

CVqWinApp* AfxGetApp()
{
    return Instance();
}
