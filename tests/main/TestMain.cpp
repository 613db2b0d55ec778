#include "DatabaseConnections.h"
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const CDatabaseConnections connections;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
