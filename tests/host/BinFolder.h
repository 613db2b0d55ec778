#pragma once
#include <QCoreApplication>
#include <cstdlib>
#include <string>

// The build's program folder: KELVOR_BIN_DIR, else the folder of this test program.
inline std::string BinFolder()
{
    const char* bin = std::getenv("KELVOR_BIN_DIR");
    return bin && *bin ? bin : QCoreApplication::applicationDirPath().toStdString();
}
