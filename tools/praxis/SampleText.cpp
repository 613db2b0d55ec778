#include "SampleText.h"
#include "SampleNames.h"

namespace {

std::string FirstCharacter(const std::string& text)
{
    if (text.empty())
        return {};
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return text.substr(0, length);
}

} // namespace

std::string Padded(long number, int width)
{
    std::string digits = std::to_string(number);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

std::string SampleDate(SeededRandom& random, int firstYear, int lastYear)
{
    // Day 28 at most keeps every month valid without a calendar.
    return Padded(random.Between(firstYear, lastYear), 4) + Padded(random.Between(1, 12), 2)
        + Padded(random.Between(1, 28), 2);
}

std::string SampleAmount(SeededRandom& random, int lowEuro, int highEuro)
{
    return std::to_string(random.Between(lowEuro, highEuro)) + "." + Padded(random.Between(0, 99), 2);
}

SamplePerson RandomPerson(SeededRandom& random, unsigned doctorPercent)
{
    const bool female = random.Percent(50);
    SamplePerson person;
    person.anrede = female ? "Frau" : "Herr";
    if (random.Percent(doctorPercent))
        person.titel = random.Percent(85) ? "Dr." : "Prof. Dr.";
    person.vorname = random.Pick(female ? FemaleFirstNames() : MaleFirstNames());
    person.name = random.Pick(FamilyNames());
    return person;
}

std::string Initials(const SamplePerson& person)
{
    return FirstCharacter(person.vorname) + FirstCharacter(person.name);
}

std::string TownName(const std::string& town)
{
    return town.substr(town.find(' ') + 1);
}

std::string TownCode(const std::string& town)
{
    return town.substr(0, town.find(' '));
}
