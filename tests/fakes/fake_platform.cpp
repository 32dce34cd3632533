#include "tests/fakes/fake_platform.h"

namespace kestrun::platform::fake {

FakePlatform::FakePlatform()
    : platform{profile,  files, system, clock,    trace, echo,
               registry, ui,    runner, services, net,   threads} {}

}  // namespace kestrun::platform::fake
