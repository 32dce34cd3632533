// Values from Setting.tmp end up in batch files that run with administrator rights, most of
// them unquoted. A value must neither start a second command nor add an option to the
// command it is in, so each one is checked by what it stands for before a script is written.
#pragma once

#include <string>

namespace kestrun {

enum class ValueKind {
    // Dotted IPv4 address or mask: digits and dots only (the default tunnel address is "99").
    kAddress,
    // Decimal port number: digits only.
    kPort,
    // Free text placed unquoted: no blank, no tab, none of & | < > ^ % " and no control byte.
    kBareText,
    // Free text placed only inside double quotes, where cmd.exe reads & | < > ^ and blanks as
    // plain characters: no " (it would end the quotes), no % (expanded even there) and no
    // control byte.
    kQuotedText,
};

// True when value may stand on a command line as a value of kind. An empty value passes: it
// leaves an empty field and adds nothing.
bool IsSafeAs(ValueKind kind, const std::string& value);

// True when value may go into a script under its name: a settings key ("NetworkIP%d" and
// "Submask%d" with their numbers 1 to 10) or "local address". A name without a rule is
// never safe, so a new script value cannot slip in unchecked.
bool IsScriptValueSafe(const std::string& name, const std::string& value);

// The trace line that names a refused value, e.g. "Refused unsafe value of Gateway\n".
std::string RefusedValueTrace(const std::string& name);

}  // namespace kestrun
