#include "platform/interpreter_command.h"

#include "platform/text.h"

namespace kestrun::platform {
namespace {

// cmd expands %name% even inside quotes and ends a quoted part at '"'; a folder holding
// either could make the line name another program.
bool SafeFolder(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    for (const char c : folder) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '%' || c == '"') {
            return false;
        }
    }
    return true;
}

// A file name of its own: no folder, drive, stream, wildcard or character cmd treats
// specially.
bool PlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || std::string("\\/:*?\"<>|%&^()!;,=").find(c) != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           EqualsIgnoringCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

std::optional<InterpreterCommand> BuildInterpreterCommand(const std::string& systemDirectory,
                                                          const std::string& programDirectory,
                                                          const std::string& command) {
    return BuildInterpreterCommand(systemDirectory, programDirectory, command, systemDirectory);
}

std::optional<InterpreterCommand> BuildInterpreterCommand(const std::string& systemDirectory,
                                                          const std::string& programDirectory,
                                                          const std::string& command,
                                                          const std::string& interpreterFolder) {
    if (!SafeFolder(systemDirectory) || !SafeFolder(programDirectory) ||
        !SafeFolder(interpreterFolder)) {
        return std::nullopt;
    }
    const std::size_t blank = command.find(' ');
    std::string name = command.substr(0, blank);
    const std::string arguments = blank == std::string::npos ? "" : command.substr(blank);
    if (name.rfind(".\\", 0) == 0) {
        name.erase(0, 2);
    }
    if (!PlainName(name) || arguments.find_first_of("\"%&|<>^") != std::string::npos) {
        return std::nullopt;
    }

    InterpreterCommand result;
    result.interpreter = Joined(interpreterFolder, "cmd.exe");
    const bool script = EndsWithIgnoringCase(name, ".bat") || EndsWithIgnoringCase(name, ".cmd");
    if (script) {
        result.target = Joined(programDirectory, name);
    } else {
        result.target =
            Joined(systemDirectory, name.find('.') == std::string::npos ? name + ".exe" : name);
    }
    // /E:ON: the scripts need the command extensions, which the user's registry may turn off.
    // With /S cmd removes exactly the first and the last quote after /C and runs the rest,
    // so a target with blanks stays one quoted word whatever follows it.
    result.commandLine = "\"" + result.interpreter + "\" /D /E:ON /V:OFF /S /C \"\"" +
                         result.target + "\"" + arguments + "\"";
    return result;
}

std::string InterpreterFolder(const std::string& systemDirectory,
                              const std::string& windowsDirectory, bool underWow64,
                              const std::function<bool(const std::string&)>& isFile) {
    if (!underWow64 || windowsDirectory.empty()) {
        return systemDirectory;
    }
    const std::string native = Joined(windowsDirectory, "Sysnative");
    return isFile(Joined(native, "cmd.exe")) ? native : systemDirectory;
}

}  // namespace kestrun::platform
