// The in-memory registry.
#include "tests/fakes/fake_platform.h"

#include "platform/text.h"

namespace kestrun::platform::fake {

namespace {

class FakeRegKey : public RegKey {
  public:
    explicit FakeRegKey(FakeRegistry::Key& key) : key_(key) {}
    std::optional<std::string> QueryString(const std::string& name,
                                           std::size_t bufferSize) override {
        for (const auto& [valueName, value] : key_.values) {
            if (ToLowerAscii(valueName) == ToLowerAscii(name) && value.text) {
                if (value.text->size() + 1 > bufferSize) {
                    return std::nullopt;
                }
                return value.text;
            }
        }
        return std::nullopt;
    }
    bool SetDword(const std::string& name, std::uint32_t value) override {
        if (key_.failSet || key_.failSetValues.count(name) != 0) {
            return false;
        }
        key_.values[name].dword = value;
        return true;
    }

  private:
    FakeRegistry::Key& key_;
};

}  // namespace

std::string FakeRegistry::Normalize(RegRoot root, const std::string& path) {
    return (root == RegRoot::CurrentUser ? "hkcu\\" : "hklm\\") + ToLowerAscii(path);
}

FakeRegistry::Key& FakeRegistry::At(RegRoot root, const std::string& path) {
    return keys_[Normalize(root, path)];
}

bool FakeRegistry::Has(RegRoot root, const std::string& path) const {
    return keys_.count(Normalize(root, path)) != 0;
}

const FakeRegistry::Key* FakeRegistry::Find(RegRoot root, const std::string& path) const {
    auto it = keys_.find(Normalize(root, path));
    return it == keys_.end() ? nullptr : &it->second;
}

std::unique_ptr<RegKey> FakeRegistry::Open(RegRoot root, const std::string& path,
                                           std::uint32_t /*access*/) {
    journal_.Add("registry", "open " + path);
    auto it = keys_.find(Normalize(root, path));
    if (it == keys_.end()) {
        return nullptr;
    }
    return std::make_unique<FakeRegKey>(it->second);
}

std::unique_ptr<RegKey> FakeRegistry::Create(RegRoot root, const std::string& path,
                                             std::uint32_t /*access*/) {
    journal_.Add("registry", "create " + path);
    if (failCreate) {
        return nullptr;
    }
    return std::make_unique<FakeRegKey>(At(root, path));
}

}  // namespace kestrun::platform::fake
