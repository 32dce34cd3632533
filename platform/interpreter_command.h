// The exact line the client hands to the system's command interpreter for one of its
// commands. The client runs with administrator rights, so nothing on that line may be found
// by a search the user can influence: the interpreter is named by its full path in the
// system directory, per-user AutoRun and delayed expansion are off, the command extensions
// on, and the script or tool is named by its full path too.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kestrun::platform {

// What to run for command, a script of the program folder ("Clear_IPsec.bat",
// ".\\Refresh.bat") or a tool of the system directory with its arguments
// ("ipconfig /flushdns"). Both folders are given without or with a trailing backslash.
struct InterpreterCommand {
    std::string interpreter;  // <folder>\cmd.exe, for CreateProcessA's application name
    std::string commandLine;  // the whole line, interpreter first
    std::string target;       // the script or tool file that must exist
};

// Nothing when command is not a plain name (a path, a drive, a quote) or when a folder
// holds a character cmd would expand or split on ('%', '"', control characters).
std::optional<InterpreterCommand> BuildInterpreterCommand(const std::string& systemDirectory,
                                                          const std::string& programDirectory,
                                                          const std::string& command);
// The same with the interpreter taken from interpreterFolder; tools stay the system
// directory's, which the native interpreter finds as the native ones.
std::optional<InterpreterCommand> BuildInterpreterCommand(const std::string& systemDirectory,
                                                          const std::string& programDirectory,
                                                          const std::string& command,
                                                          const std::string& interpreterFolder);

// The folder whose cmd.exe runs the commands. A 32-bit program on 64-bit Windows (WOW64) is
// shown the 32-bit folder under the system directory's name, and the cmd there would reach
// the 32-bit route and netsh; it reaches the native folder as "<Windows>\Sysnative", where
// the system has one holding cmd.exe (isFile tells). Otherwise the system directory.
std::string InterpreterFolder(const std::string& systemDirectory,
                              const std::string& windowsDirectory, bool underWow64,
                              const std::function<bool(const std::string&)>& isFile);

}  // namespace kestrun::platform
