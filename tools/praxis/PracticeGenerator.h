#pragma once
#include <string>

struct PracticeOptions {
    unsigned seed = 1;
    long patients = 200;
    std::string password = "kelvor";
    // Empty: "sqlite:praxis.db" in the practice folder; "odbc:" + a connection
    // string: an existing empty database on a server.
    std::string connect;
};

// Writes vqparams.ini, the database with the whole schema and no rows, and the
// data, log and QA folders into folder (which must not exist or be empty).
// Throws std::runtime_error; a failed call leaves no half-written practice.
void CreateEmptyPractice(const std::string& folder, const PracticeOptions& options);

// A complete practice with realistic sample data made from options.seed: the same
// seed gives the same data. Throws std::runtime_error.
void CreatePractice(const std::string& folder, const PracticeOptions& options);

// Stores the Argon2id hash of password in the practice's settings.
void SetPracticePassword(const std::string& folder, const std::string& password);
