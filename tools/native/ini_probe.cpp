// Runs the shared INI sequence through the fake profile used by the native tests.
//   ini_probe <directory>
#include <cstdio>
#include <string>

#include "tests/fakes/fake_platform.h"
#include "tools/ini_sequence.h"

namespace {

class FakeProfileOps {
  public:
    explicit FakeProfileOps(std::string directory) : directory_(std::move(directory)) {}

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size, const std::string& path) {
        return profile_.GetString(section, key, def, size, path);
    }

    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) {
        return profile_.GetInt(section, key, def, path);
    }

    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) {
        return profile_.WriteString(section, key, value, path);
    }

    std::string Path(const std::string& name) const { return directory_ + "/" + name; }

  private:
    kestrun::platform::fake::Journal journal_;
    kestrun::platform::fake::FakeProfile profile_{journal_};
    std::string directory_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ini_probe <directory>\n");
        return 2;
    }
    FakeProfileOps ops(argv[1]);
    kestrun::tools::IniSequence<FakeProfileOps>(ops, stdout).Run();
    return 0;
}
