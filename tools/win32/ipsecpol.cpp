// Stand-in for ipsecpol: records how it was called and succeeds.
#include "stub_log.h"

int main() {
    return kestrun::stub::LogCall("ipsecpol");
}
