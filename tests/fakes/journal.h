// One ordered record of every call the code under test makes on the fakes: each entry is
// "<source>: <call>", so a test can check the order of steps that touch different parts of
// the system, or the calls of one source alone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace kestrun::platform::fake {

class Journal {
  public:
    void Add(const std::string& source, const std::string& call) {
        entries_.push_back(source + ": " + call);
    }
    const std::vector<std::string>& Entries() const { return entries_; }
    // The calls of one source, in order, without the "<source>: " prefix.
    std::vector<std::string> Of(const std::string& source) const {
        const std::string prefix = source + ": ";
        std::vector<std::string> calls;
        for (const std::string& entry : entries_) {
            if (entry.compare(0, prefix.size(), prefix) == 0) {
                calls.push_back(entry.substr(prefix.size()));
            }
        }
        return calls;
    }
    // The entries from the first one equal to first on; none when it never came.
    std::vector<std::string> From(const std::string& first) const {
        const auto start = std::find(entries_.begin(), entries_.end(), first);
        return std::vector<std::string>(start, entries_.end());
    }
    std::size_t Count(const std::string& entry) const {
        return static_cast<std::size_t>(std::count(entries_.begin(), entries_.end(), entry));
    }
    bool Has(const std::string& entry) const { return Count(entry) != 0; }
    void Clear() { entries_.clear(); }

  private:
    std::vector<std::string> entries_;
};

}  // namespace kestrun::platform::fake
