// Where the embedded browser may go as its top-level document. It runs inside a process
// with administrator rights, so any other protocol handler (script, compiled help, archive,
// file) would run with them.
#pragma once

#include <string>

namespace kestrun {

// True for an http or https address; for the local page the client itself shows (localPage,
// a path, also as a file: address); and for a "javascript:" address while the top-level
// document (current) is an http or https page, where it runs as that page's own script.
bool AllowsTopLevelNavigation(const std::string& target, const std::string& current,
                              const std::string& localPage);

}  // namespace kestrun
