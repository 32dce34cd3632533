// A profile that forwards to the fake INI layer and records every call in order, so tests
// can check the sequence of reads and writes.
#pragma once

#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"

namespace kestrun::test {

class RecordingProfile : public platform::Profile {
  public:
    explicit RecordingProfile(platform::Profile& inner) : inner_(inner) {}

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size,
                          const std::string& path) override {
        calls.push_back("get " + key + " size=" + std::to_string(size) + " def=" + def);
        paths.push_back(section + "|" + path);
        return inner_.GetString(section, key, def, size, path);
    }
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) override {
        calls.push_back("int " + key);
        paths.push_back(section + "|" + path);
        return inner_.GetInt(section, key, def, path);
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override {
        calls.push_back("set " + key + "=" + value);
        paths.push_back(section + "|" + path);
        return inner_.WriteString(section, key, value, path);
    }

    std::vector<std::string> calls;
    std::vector<std::string> paths;

  private:
    platform::Profile& inner_;
};

}  // namespace kestrun::test
