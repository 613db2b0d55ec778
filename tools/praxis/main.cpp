#include "EchoGuard.h"
#include "PracticeCopy.h"
#include "PracticeGenerator.h"
#include "StagingFolder.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <charconv>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int kFailed = 1;
constexpr int kBadArguments = 2;
constexpr std::size_t kShortestPassword = 8;

const char* const kUsage =
    "usage: kelvor-praxis create FOLDER [--seed N] [--patients N] [--password TEXT] [--connect TEXT]\n"
    "       kelvor-praxis password FOLDER   (reads the new password from standard input)\n"
    "       kelvor-praxis backup PRACTICE TARGET\n"
    "       kelvor-praxis restore TARGET PRACTICE\n";

// Input the command refuses before it changes anything (exit status 2).
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A refusal that the usage explains.
struct UsageError : Refusal {
    using Refusal::Refusal;
};

// Characters, not bytes: "Zahnärzt" is 8 characters in 9 bytes of UTF-8.
std::size_t CharacterCount(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::ranges::count_if(utf8, [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
}

template <class Number>
Number ParseCount(const QCommandLineParser& parser, const QCommandLineOption& option, Number fallback)
{
    if (!parser.isSet(option))
        return fallback;
    const std::string text = parser.value(option).toStdString();
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size())
        throw UsageError("--" + option.names().front().toStdString() + " needs a whole number of 0 or more, not \""
                         + text + "\"");
    return value;
}

std::string ReadPassword()
{
    const EchoGuard noEcho(STDIN_FILENO);
    if (noEcho.Active())
        std::cerr << "New password: " << std::flush;
    std::string password;
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (noEcho.Active())
        std::cerr << '\n';
    if (!read)
        throw std::runtime_error("No password on standard input");
    return password;
}

int Create(const QCommandLineParser& parser, const std::string& folder, const QCommandLineOption& seed,
           const QCommandLineOption& patients, const QCommandLineOption& password, const QCommandLineOption& connect)
{
    PracticeOptions options;
    options.seed = ParseCount(parser, seed, options.seed);
    options.patients = ParseCount(parser, patients, options.patients);
    if (parser.isSet(password))
        options.password = parser.value(password).toStdString();
    if (options.password.empty())
        throw Refusal("Das Passwort darf nicht leer sein; es wurde keine Praxis angelegt.");
    if (parser.isSet(connect))
        options.connect = parser.value(connect).toStdString();
    if (!StagingFolder::IsFree(folder))
        throw UsageError(folder + " exists and is not an empty folder");
    CreatePractice(folder, options);
    std::cout << "Created practice " << folder << " (seed " << options.seed << ", " << options.patients
              << " patients)\n";
    return 0;
}

// backup PRACTICE TARGET and restore TARGET PRACTICE both copy their first folder
// into their second, which must not exist or be empty: a practice is put back into
// a free place, never over another one (move a damaged practice aside first).
int Copy(const std::string& command, const std::string& from, const std::string& to)
{
    if (!StagingFolder::IsFree(to))
        throw UsageError(to + " exists and is not an empty folder"
                         + (command == "restore" ? ": move the practice aside, restore never overwrites one" : ""));
    CopyPractice(from, to);
    std::cout << (command == "backup" ? "Backed up practice " + from + " to " : "Restored practice " + from + " to ")
              << to << '\n';
    return 0;
}

int Run(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"));
    const QCommandLineOption patients(QStringLiteral("patients"), QString(), QStringLiteral("N"));
    const QCommandLineOption password(QStringLiteral("password"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption connect(QStringLiteral("connect"), QString(), QStringLiteral("TEXT"));
    parser.addOptions({seed, patients, password, connect});
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText().toStdString());
    const QStringList positional = parser.positionalArguments();
    const std::string command = positional.isEmpty() ? std::string() : positional[0].toStdString();
    const bool copy = command == "backup" || command == "restore";
    if (positional.size() != (copy ? 3 : 2))
        throw UsageError(copy ? "Expected the command and two folders" : "Expected a command and a folder");
    const std::string folder = positional[1].toStdString();
    if (command == "create")
        return Create(parser, folder, seed, patients, password, connect);
    if (command != "password" && !copy)
        throw UsageError("Unknown command \"" + command + "\"");
    if (!parser.optionNames().isEmpty())
        throw UsageError("The " + command + " command takes no options");
    if (copy)
        return Copy(command, folder, positional[2].toStdString());
    const std::string newPassword = ReadPassword();
    if (CharacterCount(newPassword) < kShortestPassword)
        throw Refusal("Das Passwort muss mindestens " + std::to_string(kShortestPassword)
                      + " Zeichen lang sein; das bisherige Passwort bleibt.");
    SetPracticePassword(folder, newPassword);
    std::cout << "Password set for practice " << folder << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);   // the SQL drivers are plugins
    try {
        return Run(QCoreApplication::arguments());
    } catch (const UsageError& error) {
        std::cerr << "kelvor-praxis: " << error.what() << '\n' << kUsage;
        return kBadArguments;
    } catch (const Refusal& error) {
        std::cerr << "kelvor-praxis: " << error.what() << '\n';
        return kBadArguments;
    } catch (const std::exception& error) {
        std::cerr << "kelvor-praxis: " << error.what() << '\n';
        return kFailed;
    }
}
