#pragma once
#include "TrialCopy.h"
#include <string>
#include <vector>

// What a trial run on a copy of the practice found, as the confirmation shows it.
struct STrialResult {
    std::string noCopy;                  // why no copy could be made; then nothing else counts
    std::vector<STableChanges> tables;   // the tables that change, in binary order of name
    long files = 0;                      // files of the data and QA folders that would go
    long folders = 0;
    std::string stop;                    // the first line of what would have ended the run

    // Always visible below the question.
    std::string Informative() const;
    // One line per table that changes; empty when nothing changes or no copy was made.
    std::string Detailed() const;
};
