// Adapter records as the network layer reports them, for the adapter and set-up tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/netinfo.h"

namespace kestrun::test {

inline platform::AdapterRecord Adapter(std::uint32_t index, const std::string& description,
                                       const std::string& ip, const std::string& mask,
                                       const std::string& name = "{GUID}") {
    platform::AdapterRecord record;
    record.index = index;
    record.description = description;
    record.ipAddress = ip;
    record.ipMask = mask;
    record.adapterName = name;
    return record;
}

}  // namespace kestrun::test
