#include "DatabaseConnections.h"
#include "KelvorApp.h"
#include "QtMessageService.h"
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const CDatabaseConnections connections;
    CQtMessageService messages;
    SetMessageService(&messages);
    // The whole life of the program is InitInstance; it asks for no message loop.
    return theApp.InitInstance() ? QApplication::exec() : 0;
}
