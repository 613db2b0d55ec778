#pragma once
#include <string>
#include <string_view>
#include <vector>

// A settings file in the Windows INI convention, as the practice system and its
// technicians write it: "[Section]" and "name=value" lines, names compared without
// regard to case, CR LF or LF line ends, a line whose first non-blank is ';' or '#'
// a comment. A value is the rest of its line after the first '=', blanks around it
// dropped; ';', ',' and '\' are part of it, only a wholly quoted value loses its
// quotes. The text is UTF-8 when it decodes as UTF-8, else Windows-1252. The first
// of several equal names counts.
class CIniFile {
public:
    explicit CIniFile(std::string bytes = {});
    // The file's bytes, none when it is missing; throws std::runtime_error when it cannot be read.
    static CIniFile Load(const std::string& path);

    // UTF-8; empty when the section or the name is missing.
    std::string Value(std::string_view section, std::string_view name) const;
    // Replaces just the value's text in its line, else adds the line at the end of
    // its section, else the section at the end; every other byte stays. Throws
    // std::invalid_argument for a value with a line break.
    void SetValue(std::string_view section, std::string_view name, std::string_view value);
    const std::string& Bytes() const { return m_bytes; }
    // Replaces the file at path atomically, readable by its owner only: the settings
    // hold the password hash and may hold a server password. Throws std::runtime_error.
    void Save(const std::string& path) const;
    // Load, SetValue, Save.
    static void Change(const std::string& path, std::string_view section, std::string_view name, std::string_view value);

private:
    // Offsets into m_bytes, so that copies stay valid.
    struct Span {
        std::size_t begin, end;
    };
    struct Entry {
        std::size_t section;                 // index into m_sections
        Span name;
        Span value;                          // as written, quotes included
    };
    struct Section {
        Span name;
        std::size_t insertAt;                // after the line of its header or its last entry
    };

    void Parse();
    const Entry* Find(std::string_view section, std::string_view name) const;
    const Section* FindSection(std::string_view name) const;
    std::string_view Text(Span span) const;
    std::string LineEnd() const;

    std::string m_bytes;
    bool m_utf8 = true;
    std::vector<Section> m_sections;
    std::vector<Entry> m_entries;
};
