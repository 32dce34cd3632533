// The INI layer on a settings file of any bytes: reads never fail, and a write keeps what it
// wrote and every value it did not touch.
//
// Input: the file's bytes (up to a backslash that is not doubled), then read and write
// operations with their sections, keys and values.
#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/text.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun::fuzz {
namespace {

using Name = std::pair<std::string, std::string>;  // section, key

constexpr const char* kPath = ".\\Setting.tmp";
constexpr const char* kMissing = "\x01missing";
constexpr std::size_t kWholeValue = 1 << 16;
constexpr int kMostOperations = 8;

const char* const kSections[] = {"IPSec", "ipsec", "Other", ""};
const char* const kKeys[] = {"Gateway", "gateway", "URL0", "VPN Mode", "CallByIE", ""};

// No line end, and no NUL, which ends a value as it is read.
bool IsOneLine(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

// Text that a file line keeps as it is: one line without blanks at either end (the reader
// trims them).
bool IsPlainText(const std::string& text) {
    return IsOneLine(text) &&
           (text.empty() || (!IsProfileBlank(text.front()) && !IsProfileBlank(text.back())));
}

// A key line neither holds a second '=' before its own nor opens a section.
bool IsPlainKey(const std::string& key) {
    return IsPlainText(key) && key.find('=') == std::string::npos &&
           (key.empty() || key.front() != '[');
}

// The reader takes one pair of quotes off a value.
bool IsPlainValue(const std::string& value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return IsPlainText(value) && !quoted;
}

bool IsDecimal(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

bool SameName(const Name& a, const Name& b) {
    return EqualsIgnoringCase(a.first, b.first) && EqualsIgnoringCase(a.second, b.second);
}

class ProfileCheck {
  public:
    explicit ProfileCheck(FuzzedDataProvider& in) : in_(in) {
        for (const char* section : kSections) {
            sections_.insert(section);
        }
        for (const char* key : kKeys) {
            keys_.insert(key);
        }
    }

    void Run(const std::string& file) {
        {
            std::ofstream out(kPath, std::ios::binary);
            out << file;
        }
        for (int i = 0; i < kMostOperations && in_.remaining_bytes() > 0; ++i) {
            const std::string section = PickName(in_, kSections);
            const std::string key = PickName(in_, kKeys);
            sections_.insert(section);
            keys_.insert(key);
            switch (in_.ConsumeIntegralInRange(0, 2)) {
                case 0: {
                    const std::size_t size = in_.ConsumeIntegralInRange<std::size_t>(1, 300);
                    const std::string value = profile_.GetString(
                        section, key, in_.ConsumeRandomLengthString(8), size, kPath);
                    Require(value.size() < size, "a read fits its buffer");
                    break;
                }
                case 1:
                    profile_.GetInt(section, key, in_.ConsumeIntegral<std::int32_t>(), kPath);
                    break;
                default:
                    Write(section, key, in_.ConsumeRandomLengthString(40));
                    break;
            }
        }
    }

  private:
    std::string Read(const Name& name) {
        return profile_.GetString(name.first, name.second, kMissing, kWholeValue, kPath);
    }

    void Write(const std::string& section, const std::string& key, const std::string& value) {
        const Name written{section, key};
        std::vector<std::pair<Name, std::string>> before;
        for (const std::string& s : sections_) {
            for (const std::string& k : keys_) {
                before.push_back({{s, k}, Read({s, k})});
            }
        }
        Require(profile_.WriteString(section, key, value, kPath), "a write succeeds");
        // A name or a value that spans lines writes lines of its own: what it does to other
        // keys is its own business.
        if (!IsPlainText(section) || !IsPlainKey(key) || !IsOneLine(value)) {
            return;
        }
        if (IsPlainValue(value)) {
            Require(Read(written) == value,
                    "a written value reads back: [" + section + "] " + key + "=" + value);
            if (IsDecimal(value)) {
                Require(profile_.GetInt(section, key, -1, kPath) == std::stoul(value),
                        "a written number reads back as a number");
            }
        }
        // Only values that were there: a key may appear where it was missing, as a "[]"
        // header is not written back and its keys join the section before it.
        for (const auto& [name, old] : before) {
            if (!SameName(name, written) && old != kMissing && Read(name) != old) {
                Broken(Kept(written, value, name, old));
            }
        }
    }

    // The property that the write of value to written broke by changing name's old value.
    static std::string Kept(const Name& written, const std::string& value, const Name& name,
                            const std::string& old) {
        return "a write of [" + written.first + "] " + written.second + "=" + value + " keeps [" +
               name.first + "] " + name.second + "=" + old;
    }

    FuzzedDataProvider& in_;
    platform::fake::Journal journal_;
    platform::fake::FakeProfile profile_{journal_};
    std::set<std::string> sections_;
    std::set<std::string> keys_;
};

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrun::test::ScopedWorkDir dir;
    FuzzedDataProvider in(data, size);
    const std::string file = in.ConsumeRandomLengthString(4096);
    kestrun::fuzz::ProfileCheck(in).Run(file);
    return 0;
}
