// The whole seam between the decisions of the client and the operating system. The win32
// build fills it with thin wrappers of the real calls, the native tests with fakes.
#pragma once

#include "platform/echo.h"
#include "platform/files.h"
#include "platform/netinfo.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/runner.h"
#include "platform/services.h"
#include "platform/system.h"
#include "platform/threads.h"
#include "platform/ui.h"

namespace kestrun::platform {

struct Platform {
    Profile& profile;
    Files& files;
    System& system;
    Clock& clock;
    Trace& trace;
    EchoLibrary& echo;
    Registry& registry;
    Ui& ui;
    Runner& runner;
    Services& services;
    NetInfo& net;
    Threads& threads;
};

}  // namespace kestrun::platform
