#include "RunMarker.h"
#include "FileSystem.h"
#include "HbTrace.h"
#include "OpenFile.h"
#include "Seams.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iomanip>
#include <map>
#include <sstream>

namespace {

const char* const kTimeFormat = "%Y-%m-%d %H:%M:%S";

struct Flag {
    const char* name;
    bool RunChoices::*member;
};

const Flag kFlags[] = {
    {"Stammbehandler", &RunChoices::patientsByMainTreater},
    {"OhneLeistungen", &RunChoices::patientsWithoutServices},
    {"RechnungenZahlungen", &RunChoices::invoicesAndPayments},
    {"FiBuKassenbuch", &RunChoices::journalEntries},
    {"Laborrechnungen", &RunChoices::labInvoices},
    {"DTA", &RunChoices::transferRecords},
};

std::string Folder(const std::string& path)
{
    return path.substr(0, path.find_last_of('/') + 1);
}

// What a failed write means to the user.
std::string Failure(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "kein Platz mehr auf dem Datenträger";
    case EACCES:
    case EPERM:
        return "keine Schreibrechte";
    case EROFS:
        return "das Laufwerk kann nur gelesen werden";
    default:
        return std::strerror(error);
    }
}

// Why a run's records cannot be kept in folder, or nothing: the marker, the run log
// and the trace are each absent or a regular file that can be written.
std::string UnwritableRecord(const std::string& folder)
{
    for (const char* name : {"Kelvor.lauf", "Kelvor.log", "Trace.log"}) {
        const PathKind kind = KindOf(folder + name);
        if (kind == PathKind::Missing)
            continue;
        if (kind != PathKind::File)
            return std::string(name) + " ist keine Datei.";
        if (const COpenFile file(folder + name, OpenFor::Writing); !file.IsOpen())
            return std::string(name) + ": " + Failure(file.OpenError()) + ".";
    }
    return {};
}

std::string Text(const RunChoices& choices, std::time_t started)
{
    const std::tm local = LocalTime(started);
    std::ostringstream text;
    text << "Modus=" << (choices.treaterMode ? "Behandler" : "Praxisinhaber") << '\n';
    for (const std::string& key : choices.deleteIds)
        text << "Entfernt=" << key << '\n';
    text << "Ersatz=" << choices.replacementId << '\n' << "Leistungen=" << choices.serviceSelection << '\n';
    for (const Flag& flag : kFlags)
        text << flag.name << '=' << (choices.*flag.member ? 1 : 0) << '\n';
    text << "Beginn=" << std::put_time(&local, kTimeFormat) << '\n';
    return text.str();
}

using Lines = std::multimap<std::string, std::string>;

// The lines of a marker by name; nothing when a line is no "name=value" or a name
// other than Entfernt comes twice.
std::optional<Lines> SplitLines(const std::string& text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        std::string name = line.substr(0, equals);
        if (name != "Entfernt" && lines.count(name) != 0)
            return std::nullopt;
        lines.emplace(std::move(name), line.substr(equals + 1));
    }
    return lines;
}

std::optional<std::string> One(const Lines& lines, const std::string& name)
{
    const auto found = lines.find(name);
    return found == lines.end() ? std::nullopt : std::optional(found->second);
}

// A digit from 0 to highest.
std::optional<int> Digit(const std::optional<std::string>& value, char highest)
{
    if (!value || value->size() != 1 || (*value)[0] < '0' || (*value)[0] > highest)
        return std::nullopt;
    return (*value)[0] - '0';
}

std::optional<RunChoices> Choices(const Lines& lines)
{
    RunChoices choices;
    const auto mode = One(lines, "Modus");
    const auto services = Digit(One(lines, "Leistungen"), '2');
    const auto replacement = One(lines, "Ersatz");
    if (!mode || (*mode != "Behandler" && *mode != "Praxisinhaber") || !services || !replacement || replacement->empty())
        return std::nullopt;
    choices.treaterMode = *mode == "Behandler";
    choices.serviceSelection = *services;
    choices.replacementId = *replacement;
    for (auto [at, end] = lines.equal_range("Entfernt"); at != end; ++at)
        choices.deleteIds.push_back(at->second);
    const bool keys = choices.treaterMode ? !choices.deleteIds.empty() : choices.deleteIds.size() == 1;
    if (!keys || std::any_of(choices.deleteIds.begin(), choices.deleteIds.end(), [](const std::string& key) { return key.empty(); }))
        return std::nullopt;
    for (const Flag& flag : kFlags) {
        const auto bit = Digit(One(lines, flag.name), '1');
        if (!bit)
            return std::nullopt;
        choices.*flag.member = *bit == 1;
    }
    return choices;
}

std::optional<std::tm> Start(const std::optional<std::string>& value)
{
    if (!value)
        return std::nullopt;
    std::tm started{};
    std::istringstream time(*value);
    time >> std::get_time(&started, kTimeFormat);
    if (time.fail() || time.peek() != std::char_traits<char>::eof())
        return std::nullopt;
    return started;
}

std::optional<CRunMarker::Run> Parse(const std::string& text)
{
    const auto lines = SplitLines(text);
    if (!lines)
        return std::nullopt;
    auto choices = Choices(*lines);
    const auto started = Start(One(*lines, "Beginn"));
    // Every line is one the marker is made of.
    if (!choices || !started || lines->size() != 4 + std::size(kFlags) + choices->deleteIds.size())
        return std::nullopt;
    return CRunMarker::Run{std::move(*choices), *started};
}

}  // namespace

CRunMarker::CRunMarker(const std::string& logFolder) : m_path(logFolder.empty() ? "" : logFolder + "Kelvor.lauf")
{
}

std::optional<CRunMarker::Refusal> CRunMarker::Begin(const RunChoices& choices, std::time_t started)
{
    if (m_path.empty())
        return std::nullopt;
    // Held from the look to the rename: another Kelvor's look waits for it.
    const COpenFile folder(Folder(m_path), OpenFor::Folder);
    folder.Lock();
    std::optional<Run> other = Read();
    if (other && other->busy)
        return Refusal{std::move(other), {}};
    seam::RunPoint::Call("WriteMarker");
    std::string reason = UnwritableRecord(Folder(m_path));
    if (reason.empty())
        reason = Write(choices, started);
    if (reason.empty())
        return std::nullopt;
    HbTrace(1, 0, __FILE__, __LINE__, "CRunMarker::Begin: %s: %s", m_path.c_str(), reason.c_str());
    return Refusal{std::nullopt, std::move(reason)};
}

std::string CRunMarker::Write(const RunChoices& choices, std::time_t started)
{
    // A key with a line break would read back as other lines.
    const auto breaks = [](const std::string& value) { return value.find_first_of("\r\n") != std::string::npos; };
    if (std::any_of(choices.deleteIds.begin(), choices.deleteIds.end(), breaks) || breaks(choices.replacementId))
        return "Kelvor.lauf: ein Schlüssel enthält einen Zeilenumbruch.";
    return WriteFile(Text(choices, started)) ? std::string() : "Kelvor.lauf: " + Failure(errno) + ".";
}

bool CRunMarker::WriteFile(const std::string& text)
{
    const std::string temporary = m_path + ".neu";
    RemoveFile(temporary);
    // Locked before it has the marker's name.
    const COpenFile& file = m_held.emplace(temporary, OpenFor::CreatingNew);
    if (!file.TryLock() || !file.SetMode(0644) || !file.Append(text) || !file.Sync() || !RenameFile(temporary, m_path)) {
        const int error = errno;
        m_held.reset();
        RemoveFile(temporary);   // no part of a marker stays behind
        errno = error;
        return false;
    }
    // The rename itself must survive a power loss too.
    return COpenFile(Folder(m_path), OpenFor::Folder).Sync();
}

void CRunMarker::Remove()
{
    if (!m_path.empty() && !RemoveFile(m_path))
        HbTrace(1, 0, __FILE__, __LINE__, "CRunMarker::Remove: %s: %s", m_path.c_str(), std::strerror(errno));
    // Unlocked only once it is gone: no other Kelvor takes a run that ends as one cut short.
    m_held.reset();
}

std::optional<CRunMarker::Run> CRunMarker::Read() const
{
    if (m_path.empty())
        return std::nullopt;
    const COpenFile file(m_path, OpenFor::Reading);
    if (file.OpenError() == ENOENT)
        return std::nullopt;
    const bool busy = file.LockedByAnother();
    // Unlocked, but removed or replaced since it was opened: its run has ended, and
    // the marker there now (if any) is the one that counts.
    if (!busy && file.Unlinked())
        return Read();
    const std::optional<std::string> text = file.ReadAll();
    std::optional<Run> run = text ? Parse(*text) : std::nullopt;
    if (!run)
        HbTrace(1, 0, __FILE__, __LINE__, "CRunMarker::Read: %s cannot be read; taken as no interrupted run", m_path.c_str());
    else
        run->busy = busy;
    return run;
}

std::string StartText(const std::tm& started)
{
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &started);
    return text;
}

std::string BusyRunMessage(const CRunMarker::Run& run)
{
    return "Ein Löschvorgang läuft gerade (gestartet am " + StartText(run.started) + ").\nKelvor wird beendet.";
}
