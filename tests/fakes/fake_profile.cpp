// The profile functions as Wine implements them: the file is parsed into sections and
// keys (blank lines dropped, blanks around names and values trimmed) and written back
// whole, with CR LF line ends, only when a value actually changes.
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/text.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun::platform::fake {
namespace {

struct Entry {
    std::string name;
    std::optional<std::string> value;  // nothing for a line without '='
};

struct Section {
    std::string name;  // "" for lines before the first section header
    std::vector<Entry> entries;
};

std::optional<std::vector<Section>> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Section> sections(1);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        const std::string line = TrimProfileBlanks(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string::npos) {
                sections.push_back(Section{TrimProfileBlanks(line.substr(1, close - 1)), {}});
                continue;
            }
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            sections.back().entries.push_back(Entry{line, std::nullopt});
        } else {
            sections.back().entries.push_back(Entry{TrimProfileBlanks(line.substr(0, eq)),
                                                    TrimProfileBlanks(line.substr(eq + 1))});
        }
    }
    return sections;
}

std::string Render(const std::vector<Section>& sections) {
    std::string out;
    for (const Section& section : sections) {
        if (!section.name.empty()) {
            out += "[" + section.name + "]\r\n";
        }
        for (const Entry& entry : section.entries) {
            out += entry.name;
            if (entry.value) {
                out += "=" + *entry.value;
            }
            out += "\r\n";
        }
    }
    return out;
}

// The lines before the first header form a section without a name, which an empty
// section name finds.
Section* FindSection(std::vector<Section>& sections, const std::string& name) {
    for (std::size_t i = name.empty() ? 0 : 1; i < sections.size(); ++i) {
        if (EqualsIgnoringCase(sections[i].name, name)) {
            return &sections[i];
        }
    }
    return nullptr;
}

Entry* FindEntry(Section& section, const std::string& key) {
    for (Entry& entry : section.entries) {
        if (EqualsIgnoringCase(entry.name, key)) {
            return &entry;
        }
    }
    return nullptr;
}

// A value read back loses one pair of matching quotes around it; a NUL byte ends it.
std::string Unquote(std::string value) {
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos) {
        value.resize(nul);
    }
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Cut(const std::string& text, std::size_t size) {
    if (size == 0) {
        return std::string();
    }
    return text.substr(0, size - 1);
}

std::string ReadString(const std::string& section, const std::string& key, const std::string& def,
                       std::size_t size, const std::string& path) {
    std::string fallback = def;
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.pop_back();
    }
    auto sections = Load(path);
    if (!sections) {
        return Cut(fallback, size);
    }
    Section* found = FindSection(*sections, section);
    if (found == nullptr) {
        return Cut(fallback, size);
    }
    // A line without '=' names a key that has no value: the reader gets the default.
    Entry* entry = FindEntry(*found, key);
    if (entry == nullptr || !entry->value) {
        return Cut(fallback, size);
    }
    return Cut(Unquote(*entry->value), size);
}

}  // namespace

std::string FakeProfile::GetString(const std::string& section, const std::string& key,
                                   const std::string& def, std::size_t size,
                                   const std::string& path) {
    journal_.Add("profile", "get " + key + " def=" + def + " size=" + std::to_string(size) + " " +
                                section + "|" + path);
    return ReadString(section, key, def, size, path);
}

std::uint32_t FakeProfile::GetInt(const std::string& section, const std::string& key,
                                  std::int32_t def, const std::string& path) {
    journal_.Add("profile",
                 "int " + key + " def=" + std::to_string(def) + " " + section + "|" + path);
    const std::string text = ReadString(section, key, "", 30, path);
    if (text.empty()) {
        return static_cast<std::uint32_t>(def);
    }
    // RtlUnicodeStringToInteger with base 0.
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        if (text[i + 1] == 'x') {
            base = 16;
        } else if (text[i + 1] == 'o') {
            base = 8;
        } else if (text[i + 1] == 'b') {
            base = 2;
        }
        if (base != 10) {
            i += 2;
        }
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

bool FakeProfile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value, const std::string& path) {
    journal_.Add("profile", "set " + key + "=" + value + " " + section + "|" + path);
    if (readOnly.count(path) != 0) {
        return false;
    }
    auto sections = Load(path).value_or(std::vector<Section>(1));
    Section* target = FindSection(sections, section);
    if (target == nullptr) {
        sections.push_back(Section{TrimProfileBlanks(section), {}});
        target = &sections.back();
    }
    // Only leading blanks are dropped from a written value; trailing ones reach the file.
    std::size_t first = 0;
    while (first < value.size() && IsProfileBlank(value[first])) {
        ++first;
    }
    const std::string stored = value.substr(first);
    Entry* entry = FindEntry(*target, key);
    if (entry != nullptr) {
        if (entry->value && *entry->value == stored) {
            return true;
        }
        entry->value = stored;
    } else {
        target->entries.push_back(Entry{TrimProfileBlanks(key), stored});
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out << Render(sections);
    return static_cast<bool>(out);
}

}  // namespace kestrun::platform::fake
