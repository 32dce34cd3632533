// Runs the shared INI sequence through the real kernel32 profile functions.
//   ini_probe <directory>
#include "platform/win32/windows_include.h"

#include <cstdio>
#include <string>
#include <vector>

#include "../ini_sequence.h"

namespace {

class Win32ProfileOps {
  public:
    explicit Win32ProfileOps(std::string directory) : directory_(std::move(directory)) {}

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size, const std::string& path) {
        std::vector<char> buffer(size + 1, '\0');
        GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                 static_cast<DWORD>(size), path.c_str());
        return std::string(buffer.data());
    }

    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) {
        return GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str());
    }

    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != FALSE;
    }

    std::string Path(const std::string& name) const { return directory_ + "\\" + name; }

  private:
    std::string directory_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ini_probe <directory>\n");
        return 2;
    }
    Win32ProfileOps ops(argv[1]);
    kestrun::tools::IniSequence<Win32ProfileOps>(ops, stdout).Run();
    return 0;
}
