// One ordered record of the calls a piece of code makes across several platform
// interfaces: each decorator forwards to a fake and appends "<source>: <call>" to the
// shared journal, so a test can check the order of steps that touch different parts of
// the system.
#pragma once

#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"

namespace kestrun::test {

using Journal = std::vector<std::string>;

class JournalProfile : public platform::Profile {
  public:
    JournalProfile(platform::Profile& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size,
                          const std::string& path) override {
        journal_.push_back("profile: get " + key + " def=" + def + " size=" + std::to_string(size) +
                           " " + section + "|" + path);
        return inner_.GetString(section, key, def, size, path);
    }
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) override {
        journal_.push_back("profile: int " + key + " def=" + std::to_string(def) + " " + section +
                           "|" + path);
        return inner_.GetInt(section, key, def, path);
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override {
        journal_.push_back("profile: set " + key + "=" + value + " " + section + "|" + path);
        return inner_.WriteString(section, key, value, path);
    }

  private:
    platform::Profile& inner_;
    Journal& journal_;
};

class JournalRunner : public platform::Runner {
  public:
    JournalRunner(platform::Runner& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::uint32_t RunAndWait(const std::string& commandLine) override {
        journal_.push_back("runner: wait " + commandLine);
        return inner_.RunAndWait(commandLine);
    }
    std::uint32_t StartHidden(const std::string& commandLine) override {
        journal_.push_back("runner: detach " + commandLine);
        return inner_.StartHidden(commandLine);
    }

  private:
    platform::Runner& inner_;
    Journal& journal_;
};

class JournalTrace : public platform::Trace {
  public:
    JournalTrace(platform::Trace& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    void Output(const std::string& text) override {
        journal_.push_back("trace: " + text);
        inner_.Output(text);
    }

  private:
    platform::Trace& inner_;
    Journal& journal_;
};

class JournalClock : public platform::Clock {
  public:
    JournalClock(platform::Clock& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::uint32_t TickCount() override {
        journal_.push_back("clock: tick");
        return inner_.TickCount();
    }
    void Sleep(std::uint32_t milliseconds) override {
        journal_.push_back("clock: sleep " + std::to_string(milliseconds));
        inner_.Sleep(milliseconds);
    }

  private:
    platform::Clock& inner_;
    Journal& journal_;
};

class JournalSystem : public platform::System {
  public:
    JournalSystem(platform::System& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    bool GetVersion(platform::OsVersion& out, bool extended) override {
        return inner_.GetVersion(out, extended);
    }
    std::optional<std::uint16_t> NativeProcessorArchitecture() override {
        return inner_.NativeProcessorArchitecture();
    }
    std::optional<std::string> ModuleFileName(std::size_t bufferSize) override {
        return inner_.ModuleFileName(bufferSize);
    }
    std::string CurrentDirectory() override {
        journal_.push_back("system: current directory");
        return inner_.CurrentDirectory();
    }
    bool SetCurrentDirectory(const std::string& path) override {
        journal_.push_back("system: set current directory " + path);
        return inner_.SetCurrentDirectory(path);
    }
    std::optional<std::string> UserProfileDirectory(std::size_t bufferSize) override {
        return inner_.UserProfileDirectory(bufferSize);
    }
    bool InitSockets() override { return inner_.InitSockets(); }

  private:
    platform::System& inner_;
    Journal& journal_;
};

class JournalRegistry : public platform::Registry {
  public:
    JournalRegistry(platform::Registry& inner, Journal& journal)
        : inner_(inner), journal_(journal) {}
    std::unique_ptr<platform::RegKey> Open(platform::RegRoot root, const std::string& path,
                                           std::uint32_t access) override {
        journal_.push_back("registry: open " + path);
        return inner_.Open(root, path, access);
    }
    std::unique_ptr<platform::RegKey> Create(platform::RegRoot root, const std::string& path,
                                             std::uint32_t access) override {
        journal_.push_back("registry: create " + path);
        return inner_.Create(root, path, access);
    }

  private:
    platform::Registry& inner_;
    Journal& journal_;
};

class JournalServices : public platform::Services {
  public:
    JournalServices(platform::Services& inner, Journal& journal)
        : inner_(inner), journal_(journal) {}
    std::unique_ptr<platform::ServiceManager> OpenManager(std::uint32_t& error) override {
        journal_.push_back("services: open manager");
        return inner_.OpenManager(error);
    }

  private:
    platform::Services& inner_;
    Journal& journal_;
};

class JournalNetInfo : public platform::NetInfo {
  public:
    JournalNetInfo(platform::NetInfo& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::uint32_t RouteTable(std::vector<platform::RouteRow>& rows) override {
        journal_.push_back("net: route table");
        return inner_.RouteTable(rows);
    }
    std::uint32_t Adapters(std::vector<platform::AdapterRecord>& adapters) override {
        journal_.push_back("net: adapters");
        return inner_.Adapters(adapters);
    }
    std::uint32_t DnsServers(std::vector<std::string>& servers) override {
        journal_.push_back("net: dns servers");
        return inner_.DnsServers(servers);
    }
    std::unique_ptr<platform::NetDevice> OpenDevice(const std::string& devicePath) override {
        journal_.push_back("net: open device " + devicePath);
        return inner_.OpenDevice(devicePath);
    }

  private:
    platform::NetInfo& inner_;
    Journal& journal_;
};

class JournalFiles : public platform::Files {
  public:
    JournalFiles(platform::Files& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::uint32_t WriteNew(const std::string& path, const std::string& bytes) override {
        journal_.push_back("files: write " + path);
        return inner_.WriteNew(path, bytes);
    }
    std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override {
        journal_.push_back("files: copy " + from + " " + to);
        return inner_.Copy(from, to, failIfExists);
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        journal_.push_back("files: read " + path);
        return inner_.ReadAll(path);
    }

  private:
    platform::Files& inner_;
    Journal& journal_;
};

// The fake platform seen through the journal decorators (modules and the top-level
// window functions are passed through unrecorded).
struct JournalPlatform {
    JournalPlatform(platform::fake::FakePlatform& fake, Journal& journal)
        : profile(fake.profile, journal),
          files(fake.files, journal),
          system(fake.system, journal),
          clock(fake.clock, journal),
          trace(fake.trace, journal),
          registry(fake.registry, journal),
          runner(fake.runner, journal),
          services(fake.services, journal),
          net(fake.net, journal),
          platform{profile,  files,   system, clock,    trace, fake.echo,
                   registry, fake.ui, runner, services, net} {}
    JournalProfile profile;
    JournalFiles files;
    JournalSystem system;
    JournalClock clock;
    JournalTrace trace;
    JournalRegistry registry;
    JournalRunner runner;
    JournalServices services;
    JournalNetInfo net;
    platform::Platform platform;
};

}  // namespace kestrun::test
