#include "IniFile.h"
#include "AtomicFile.h"
#include "Windows1252.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool SameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

bool IsQuoted(std::string_view value)
{
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// [begin, end) of text without blanks at either side.
std::pair<std::size_t, std::size_t> Trimmed(std::string_view text, std::size_t begin, std::size_t end)
{
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return {begin, end};
}

} // namespace

CIniFile::CIniFile(std::string bytes) : m_bytes(std::move(bytes))
{
    Parse();
}

CIniFile CIniFile::Load(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored))
        return CIniFile();
    std::ifstream file(path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(file), {});
    if (!file.is_open() || file.bad())
        throw std::runtime_error("Cannot read " + path);
    return CIniFile(std::move(bytes));
}

void CIniFile::Parse()
{
    m_utf8 = IsUtf8(m_bytes);
    m_sections.clear();
    m_entries.clear();
    const std::string_view text = m_bytes;
    std::size_t lineBegin = text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    while (lineBegin < text.size()) {
        const std::size_t newline = text.find('\n', lineBegin);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
        if (contentEnd > lineBegin && text[contentEnd - 1] == '\r')
            --contentEnd;
        const auto [begin, end] = Trimmed(text, lineBegin, contentEnd);
        const std::string_view line = text.substr(begin, end - begin);
        const std::size_t equals = line.find('=');
        if (line.starts_with('[')) {
            const auto [nameBegin, nameEnd] = Trimmed(text, begin + 1, begin + std::min(line.find(']'), line.size()));
            m_sections.push_back({{nameBegin, nameEnd}, next});
        } else if (!m_sections.empty() && equals != std::string_view::npos && !line.starts_with(';')
                   && !line.starts_with('#')) {
            const auto [nameBegin, nameEnd] = Trimmed(text, begin, begin + equals);
            const auto [valueBegin, valueEnd] = Trimmed(text, begin + equals + 1, end);
            m_entries.push_back({m_sections.size() - 1, {nameBegin, nameEnd}, {valueBegin, valueEnd}});
            m_sections.back().insertAt = next;
        }
        lineBegin = next;
    }
}

const CIniFile::Entry* CIniFile::Find(std::string_view section, std::string_view name) const
{
    const auto entry = std::ranges::find_if(m_entries, [&](const Entry& e) {
        return SameName(Text(e.name), name) && SameName(Text(m_sections[e.section].name), section);
    });
    return entry == m_entries.end() ? nullptr : &*entry;
}

const CIniFile::Section* CIniFile::FindSection(std::string_view name) const
{
    const auto section = std::ranges::find_if(m_sections, [&](const Section& s) { return SameName(Text(s.name), name); });
    return section == m_sections.end() ? nullptr : &*section;
}

std::string_view CIniFile::Text(Span span) const
{
    return std::string_view(m_bytes).substr(span.begin, span.end - span.begin);
}

std::string CIniFile::LineEnd() const
{
    return m_bytes.find("\r\n") == std::string::npos ? "\n" : "\r\n";
}

std::string CIniFile::Value(std::string_view section, std::string_view name) const
{
    const Entry* entry = Find(section, name);
    if (entry == nullptr)
        return {};
    std::string_view value = Text(entry->value);
    if (IsQuoted(value))
        value = value.substr(1, value.size() - 2);
    return m_utf8 ? std::string(value) : FromWindows1252(value);
}

void CIniFile::SetValue(std::string_view section, std::string_view name, std::string_view value)
{
    if (value.find_first_of("\r\n") != std::string_view::npos)
        throw std::invalid_argument("A setting cannot hold a line break");
    std::string written = m_utf8 ? std::string(value) : ToWindows1252(value);
    // Quotes keep what reading would otherwise take away.
    if (IsQuoted(written) || (!written.empty() && (IsBlank(written.front()) || IsBlank(written.back()))))
        written = '"' + written + '"';
    const std::string eol = LineEnd();
    if (const Entry* entry = Find(section, name)) {
        m_bytes.replace(entry->value.begin, entry->value.end - entry->value.begin, written);
    } else {
        std::string lines = std::string(name) + '=' + written + eol;
        std::size_t at = m_bytes.size();
        if (const Section* existing = FindSection(section))
            at = existing->insertAt;
        else
            lines = '[' + std::string(section) + ']' + eol + lines;
        if (at > 0 && m_bytes[at - 1] != '\n')
            lines = eol + lines;
        m_bytes.insert(at, lines);
    }
    Parse();
}

void CIniFile::Save(const std::string& path) const
{
    WriteFileAtomically(path, m_bytes, 0600);
}

void CIniFile::Change(const std::string& path, std::string_view section, std::string_view name, std::string_view value)
{
    CIniFile file = Load(path);
    file.SetValue(section, name, value);
    file.Save(path);
}
