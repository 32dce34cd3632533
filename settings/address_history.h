// The login-address history kept in the settings file under "URL%d". Loading and saving
// the settings fill the address box from the file and store it back, at fixed points of
// their sequence; the history itself lives with the address box.
#pragma once

#include <string>

namespace kestrun {

class AddressHistory {
  public:
    virtual ~AddressHistory() = default;
    // Refills the address box from the file and selects the entry naming the gateway.
    virtual void FillFromFile(const std::string& gateway) = 0;
    // Writes the address box's entries to the file and selects the chosen entry again.
    virtual void StoreToFile() = 0;
};

// Stands in until the address box exists: it deliberately reads and writes nothing, so the
// history keys of the file stay as they are.
class AddressHistoryNotYetBuilt : public AddressHistory {
  public:
    void FillFromFile(const std::string& /*gateway*/) override {}
    void StoreToFile() override {}
};

}  // namespace kestrun
