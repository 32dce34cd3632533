#include "platform/fake/fake_platform.h"

namespace kestrun::platform::fake {

FakePlatform::FakePlatform()
    : platform{profile, files, system, clock, trace, modules, registry, ui, runner, services, net} {
}

}  // namespace kestrun::platform::fake
