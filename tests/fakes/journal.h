// One ordered record of every call the code under test makes on the fakes: each entry is
// "<source>: <call>", so a test can check the order of steps that touch different parts of
// the system, or the calls of one source alone. Fakes may record from worker threads.
#pragma once

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace kestrun::platform::fake {

class Journal {
  public:
    void Add(const std::string& source, const std::string& call) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(source + ": " + call);
    }
    std::vector<std::string> Entries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    // The calls of one source, in order, without the "<source>: " prefix.
    std::vector<std::string> Of(const std::string& source) const { return After(source + ": "); }
    // What follows one kind of call of a source: Of("clock", "sleep") gives {"1000", ...}.
    std::vector<std::string> Of(const std::string& source, const std::string& call) const {
        return After(source + ": " + call + " ");
    }
    // The entries from the first one equal to first on; none when it never came.
    std::vector<std::string> From(const std::string& first) const {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto start = std::find(entries_.begin(), entries_.end(), first);
        return std::vector<std::string>(start, entries_.end());
    }
    std::size_t Count(const std::string& entry) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<std::size_t>(std::count(entries_.begin(), entries_.end(), entry));
    }
    bool Has(const std::string& entry) const { return Count(entry) != 0; }
    // An order that matters: the first entry beginning with earlier comes before the first
    // beginning with later, and both came. Entries in between (trace lines, say) do not count.
    bool Before(const std::string& earlier, const std::string& later) const {
        const std::size_t first = FirstStarting(earlier);
        const std::size_t second = FirstStarting(later);
        return first != kNone && second != kNone && first < second;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.clear();
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t FirstStarting(const std::string& prefix) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].compare(0, prefix.size(), prefix) == 0) {
                return i;
            }
        }
        return kNone;
    }
    std::vector<std::string> After(const std::string& prefix) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> rest;
        for (const std::string& entry : entries_) {
            if (entry.compare(0, prefix.size(), prefix) == 0) {
                rest.push_back(entry.substr(prefix.size()));
            }
        }
        return rest;
    }

    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

}  // namespace kestrun::platform::fake
