#include "settings/ini_edit.h"

#include "platform/text.h"

namespace kestrun::settings {
namespace {

struct Line {
    std::size_t begin;
    std::size_t end;  // past the line's text, before its line end
    std::size_t next;
};

std::string Trim(const std::string& bytes, std::size_t begin, std::size_t end) {
    return TrimProfileBlanks(bytes.substr(begin, end - begin));
}

Line LineAt(const std::string& bytes, std::size_t begin) {
    const std::size_t newline = bytes.find('\n', begin);
    const std::size_t next = newline == std::string::npos ? bytes.size() : newline + 1;
    std::size_t end = newline == std::string::npos ? bytes.size() : newline;
    if (end > begin && bytes[end - 1] == '\r') {
        --end;
    }
    return Line{begin, end, next};
}

// The section's name when the line is a header.
bool HeaderName(const std::string& text, std::string& name) {
    if (text.empty() || text[0] != '[') {
        return false;
    }
    const std::size_t close = text.rfind(']');
    if (close == std::string::npos) {
        return false;
    }
    name = Trim(text, 1, close);
    return true;
}

std::string KeyOf(const std::string& text) {
    const std::size_t eq = text.find('=');
    return Trim(text, 0, eq == std::string::npos ? text.size() : eq);
}

}  // namespace

std::string WithValue(const std::string& bytes, const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string entry = key + "=" + value;
    bool inSection = false;
    std::size_t sectionEnd = std::string::npos;  // after the section's last non-blank line
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Line line = LineAt(bytes, pos);
        pos = line.next;
        const std::string text = Trim(bytes, line.begin, line.end);
        std::string name;
        if (HeaderName(text, name)) {
            if (inSection) {
                break;
            }
            inSection = EqualsIgnoringCase(name, section);
            sectionEnd = inSection ? line.next : sectionEnd;
            continue;
        }
        if (!inSection || text.empty()) {
            continue;
        }
        if (EqualsIgnoringCase(KeyOf(text), key)) {
            return bytes.substr(0, line.begin) + entry + bytes.substr(line.end);
        }
        sectionEnd = line.next;
    }
    if (sectionEnd == std::string::npos) {
        const bool ended = bytes.empty() || bytes.back() == '\n';
        return bytes + (ended ? "" : "\r\n") + "[" + section + "]\r\n" + entry + "\r\n";
    }
    // The section's last line may be the file's last, without a line end.
    const bool ended = sectionEnd > 0 && bytes[sectionEnd - 1] == '\n';
    return bytes.substr(0, sectionEnd) + (ended ? "" : "\r\n") + entry + "\r\n" +
           bytes.substr(sectionEnd);
}

}  // namespace kestrun::settings
