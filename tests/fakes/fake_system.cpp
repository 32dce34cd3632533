// The process, clock, trace, files and library fakes.
#include "tests/fakes/fake_platform.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace kestrun::platform::fake {

std::uint32_t FakeClock::TickCount() {
    journal_.Add("clock", "tick");
    return now;
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
    journal_.Add("clock", "sleep " + std::to_string(milliseconds));
    now += milliseconds;
    if (onSleep) {
        onSleep();
    }
}

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

std::uint32_t FakeFiles::WriteNew(const std::string& path, const std::string& bytes) {
    journal_.Add("files", "write " + path);
    auto failure = failCreate.find(path);
    if (failure != failCreate.end()) {
        return failure->second;
    }
    // As the real one, a link of that name is replaced, never written through.
    std::remove(path.c_str());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return kErrorAccessDenied;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return kErrorSuccess;
}

std::uint32_t FakeFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    journal_.Add("files", "copy " + from + " " + to);
    auto bytes = ReadFile(from);
    if (!bytes) {
        return kErrorFileNotFound;
    }
    if (failIfExists && ReadFile(to)) {
        return 80;  // ERROR_FILE_EXISTS
    }
    return WriteCopy(to, *bytes);
}

std::uint32_t FakeFiles::WriteCopy(const std::string& to, const std::string& bytes) {
    auto failure = failCreate.find(to);
    if (failure != failCreate.end()) {
        return failure->second;
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        return kErrorAccessDenied;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return kErrorSuccess;
}

// The host's own links stand in for Windows' hard links and reparse points.
std::uint32_t FakeFiles::PlainFileState(const std::string& path, std::uint32_t maxBytes) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return kErrorFileNotFound;
    }
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1 ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return kNotPlainFile;
    }
    return kErrorSuccess;
}

std::uint32_t FakeFiles::ReplacePlainFile(const std::string& path, std::uint32_t maxBytes,
                                          const std::string& expected,
                                          const std::string& replacement) {
    journal_.Add("files", "replace " + path);
    const std::uint32_t state = PlainFileState(path, maxBytes);
    if (state != kErrorSuccess) {
        return state;
    }
    if (ReadFile(path) != expected) {
        return kFileChanged;
    }
    return WriteCopy(path, replacement);
}

std::uint32_t FakeFiles::ReadPlainFile(const std::string& path, std::uint32_t maxBytes,
                                       std::string& bytes) {
    journal_.Add("files", "read plain " + path);
    auto failure = failRead.find(path);
    if (failure != failRead.end()) {
        return failure->second;
    }
    const std::uint32_t state = PlainFileState(path, maxBytes);
    if (state != kErrorSuccess) {
        return state;
    }
    auto read = ReadFile(path);
    if (!read) {
        return kErrorFileNotFound;
    }
    bytes = *read;
    if (afterPlainRead) {
        afterPlainRead(path);
    }
    return kErrorSuccess;
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
    journal_.Add("files", "read " + path);
    return ReadFile(path);
}

std::uint32_t FakeFiles::Remove(const std::string& path) {
    journal_.Add("files", "remove " + path);
    if (!ReadFile(path)) {
        return kErrorSuccess;
    }
    return std::remove(path.c_str()) == 0 ? kErrorSuccess : kErrorAccessDenied;
}

bool FakeSystem::GetVersion(OsVersion& out, bool extended) {
    if (extended ? !extendedVersionWorks : !plainVersionWorks) {
        return false;
    }
    out = version;
    if (!extended) {
        out.productType = 0;
    }
    return true;
}

std::optional<FileVersion> FakeSystem::ProgramFileVersion(const std::string& path) {
    journal_.Add("system", "file version " + path);
    const auto found = fileVersions.find(path);
    if (found == fileVersions.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> FakeSystem::ModuleFileName(std::size_t bufferSize) {
    // A path that does not fit is cut by the system; a cut path counts as a failure.
    if (!moduleFileName || moduleFileName->size() + 1 > bufferSize) {
        return std::nullopt;
    }
    return moduleFileName;
}

std::string FakeSystem::CurrentDirectory() {
    journal_.Add("system", "current directory");
    return currentDirectory;
}

bool FakeSystem::SetCurrentDirectory(const std::string& path) {
    journal_.Add("system", "set current directory " + path);
    std::string key = path;
    while (key.size() > 3 && key.back() == '\\') {
        key.pop_back();
    }
    if (existingDirectories.count(key) == 0) {
        return false;
    }
    currentDirectory = key;
    return true;
}

std::optional<std::string> FakeSystem::UserProfileDirectory(std::size_t bufferSize) {
    if (!profileDirectory || profileDirectory->size() + 1 > bufferSize) {
        return std::nullopt;
    }
    return profileDirectory;
}

std::uint32_t FakeSystem::StartElevated(const std::string& program, const std::string& parameters,
                                        const std::string& directory) {
    journal_.Add("system", "runas " + program + " [" + parameters + "] in " + directory);
    return startElevatedResult;
}

}  // namespace kestrun::platform::fake
