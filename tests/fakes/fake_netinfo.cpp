// The scripted network queries.
#include "tests/fakes/fake_platform.h"

namespace kestrun::platform::fake {

std::uint32_t FakeNetInfo::RouteTable(std::vector<RouteRow>& rows) {
    journal_.Add("net", "route table");
    rows = routes;
    return routeError;
}

std::uint32_t FakeNetInfo::Adapters(std::vector<AdapterRecord>& out) {
    journal_.Add("net", "adapters");
    if (adapterError != 0) {
        return adapterError;
    }
    out = adapters;
    return 0;
}

std::uint32_t FakeNetInfo::DnsServers(std::vector<std::string>& servers) {
    journal_.Add("net", "dns servers");
    if (dnsError != 0) {
        return dnsError;
    }
    servers = dns;
    return 0;
}

namespace {

class FakeNetDevice : public NetDevice {
  public:
    explicit FakeNetDevice(std::map<std::uint32_t, std::uint32_t>& oids) : oids_(oids) {}
    bool QueryOid(std::uint32_t oid, std::uint32_t& value) override {
        auto it = oids_.find(oid);
        if (it == oids_.end()) {
            return false;
        }
        value = it->second;
        return true;
    }

  private:
    std::map<std::uint32_t, std::uint32_t>& oids_;
};

}  // namespace

std::unique_ptr<NetDevice> FakeNetInfo::OpenDevice(const std::string& devicePath) {
    journal_.Add("net", "open device " + devicePath);
    auto it = devices.find(devicePath);
    if (it == devices.end()) {
        return nullptr;
    }
    return std::make_unique<FakeNetDevice>(it->second);
}

std::optional<std::string> FakeNetInfo::ResolveHost(const std::string& name) {
    const auto found = hosts.find(name);
    if (found == hosts.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace kestrun::platform::fake
