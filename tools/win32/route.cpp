// Stand-in for route: records how it was called and succeeds.
#include "stub_log.h"

int main() {
    return kestrun::stub::LogCall("route");
}
