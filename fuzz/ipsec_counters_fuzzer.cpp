// The reader of the counter listing "./tmp.txt" on any bytes: a field is filled exactly when
// its label occurs, and a value is always the last word of a line, kept with its leading
// space, followed by " Bytes".
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "status/ipsec_counters.h"

namespace kestrun::fuzz {
namespace {

void CheckField(const std::string& listing, const char* label,
                const std::optional<std::string>& field) {
    const std::string what = std::string(label) + ": ";
    const bool labelled = listing.find(label) != std::string::npos;
    Require(field.has_value() == labelled, what + "filled exactly when the label occurs");
    if (!field) {
        return;
    }
    const std::string suffix = " Bytes";
    Require(field->size() > suffix.size() &&
                field->compare(field->size() - suffix.size(), suffix.size(), suffix) == 0,
            what + "ends with \" Bytes\"");
    const std::string word = field->substr(0, field->size() - suffix.size());
    Require(word.front() == ' ', what + "starts at a space");
    Require(word.find_first_of(" \n", 1) == std::string::npos, what + "one word of one line");
    Require(listing.find(word) != std::string::npos, what + "taken from the listing");
}

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string listing(reinterpret_cast<const char*>(data), size);
    const kestrun::IPsecCounterTexts texts = kestrun::ParseIPsecCounters(listing);
    kestrun::fuzz::CheckField(listing, "Bytes Sent In Tunnels", texts.transmitted);
    kestrun::fuzz::CheckField(listing, "Bytes Received In Tunnels", texts.received);
    return 0;
}
