#pragma once
#include <functional>
#include <string>

// Runs the real program, from InitInstance to the dialog's close, on the practice
// in practiceFolder: every question is answered from the scenario, the scenario's
// control actions are performed once the dialog is up, then the dialog is closed.
// Returns the JSON report. Throws std::runtime_error for an unreadable scenario.
// Given onStatement, every statement goes there as it is run and the report lists
// none: a run on a large practice need not hold all its texts at once.
using StatementSink = std::function<void(const std::string& statement)>;
std::string RunScenario(const std::string& practiceFolder, const std::string& scenarioJson,
                        const StatementSink& onStatement = {});
