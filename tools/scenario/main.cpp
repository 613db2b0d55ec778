// kelvor-scenario PRACTICE_FOLDER SCENARIO.json: runs the program on a scenario
// and prints its JSON report.
#include "DatabaseConnections.h"
#include "ScenarioRunner.h"
#include <QApplication>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: kelvor-scenario PRACTICE_FOLDER SCENARIO.json\n";
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    if (!file) {
        std::cerr << "kelvor-scenario: cannot read " << argv[2] << '\n';
        return 2;
    }
    std::ostringstream scenario;
    scenario << file.rdbuf();

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    const CDatabaseConnections connections;
    try {
        std::cout << RunScenario(argv[1], scenario.str());
    } catch (const std::exception& e) {
        std::cerr << "kelvor-scenario: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
