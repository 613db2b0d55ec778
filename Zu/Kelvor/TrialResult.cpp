#include "TrialResult.h"
#include <string_view>

namespace {

// "4.213": a count's groups of three digits divided by a dot.
std::string GroupedNumber(long count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ".");
    return digits;
}

// "3 gelöscht, 1 geändert, 2 neu", each part only when its count is above 0.
std::string Counts(long gone, long changed, long added)
{
    std::string text;
    const auto add = [&text](long count, std::string_view word) {
        if (count <= 0)
            return;
        text += (text.empty() ? "" : ", ") + GroupedNumber(count) + " " + std::string(word);
    };
    add(gone, "gelöscht");
    add(changed, "geändert");
    add(added, "neu");
    return text;
}

void AddLine(std::string& text, const std::string& line)
{
    text += (text.empty() ? "" : "\n") + line;
}

void AddGone(std::string& text, std::string_view what, long count)
{
    if (count > 0)
        AddLine(text, std::string(what) + ": " + GroupedNumber(count) + " gelöscht");
}

} // namespace

std::string STrialResult::Informative() const
{
    if (!noCopy.empty())
        return "Kein Probelauf möglich: " + noCopy + ".";
    long patients = 0, services = 0, gone = 0, changed = 0, added = 0;
    for (const STableChanges& table : tables) {
        // Patients and services have lines of their own; other rows that go count together.
        long& goneOfTable = table.table == "PAT" ? patients : table.table == "BEH" ? services : gone;
        goneOfTable += table.gone;
        changed += table.changed;
        added += table.added;
    }
    if (gone + changed + added + patients + services + files + folders == 0 && stop.empty())
        return "Probelauf auf einer Kopie der Datenbank: es wird nichts gelöscht oder geändert.";
    std::string text = "Probelauf auf einer Kopie der Datenbank:";
    AddGone(text, "Patienten", patients);
    AddGone(text, "Leistungen", services);
    if (const std::string others = Counts(gone, changed, added); !others.empty())
        AddLine(text, "Weitere Zeilen: " + others);
    AddGone(text, "Dateien", files);
    AddGone(text, "Ordner", folders);
    if (!stop.empty())
        AddLine(text, "Der Probelauf bricht ab: " + stop);
    return text;
}

std::string STrialResult::Detailed() const
{
    std::string text;
    if (noCopy.empty())
        for (const STableChanges& table : tables)
            AddLine(text, table.table + ": " + Counts(table.gone, table.changed, table.added));
    return text;
}
