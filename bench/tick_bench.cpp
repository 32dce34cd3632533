// The main window and its three timers on the fakes, natively, for bench/run.sh:
//
//   tick_bench ticks <n>       n ticks of each timer in the idle case (timer 1 answered,
//                              timer 2 without settings, timer 3 without a login) and a few
//                              busy ones (a pickup, settings found); callgrind counts only
//                              the ticks (run it with --collect-atstart=no), and each tick's
//                              calls on the fakes are sorted into the work they do
//   tick_bench reaction <n>    the ticks on the real clock, a 1000 ms timer: n times a flag
//                              is set at a moment between two ticks, and the time until the
//                              tick runs the IPsec script is measured
//
// Output: one line per result, "<kind> <name> <fields>", which run.sh reads.
#include <valgrind/callgrind.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_dialog.h"
#include "app/sequencer.h"
#include "netprobe/os_type.h"
#include "platform/echo.h"
#include "tests/support/main_window_world.h"
#include "ui/message_table.h"

namespace kestrun::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kFarEnd = "127.0.0.1";
constexpr const char* kProfileCopy = "profile\\Setting.tmp";
constexpr const char* kIpsecScript = "Varnel_IPSecVPN.bat";

// The main window after its set-up on a healthy PC, with nothing to build: the world of the
// unit tests, with a far end that answers.
class MainWindow : public test::MainWindowWorld {
  public:
    MainWindow() {
        machine.m_szProfileDir = "profile";
        fake.echo.network.Answer(kFarEnd, platform::EchoReply{true, 1, platform::kIpSuccess, 0});
        fake.system.currentDirectory = ".";
        fake.net.adapters = {test::Adapter(2, "LAN", "192.168.1.5", "255.255.255.0", "{LAN}")};
        Set("CallByIE", "FALSE");
        Set("RemoveIPsec", "FALSE");
        Set("RemoteLANIP", kFarEnd);
        Set("NetworkIP", "10.10.0.0");
        Set("Submask", "255.255.0.0");
        Set("Gateway", "192.0.2.1");
        Set("PreSharedKey", "bench-key");
        Set("CallByIE", "FALSE", kProfileCopy);
        Make();
        if (!dlg->Create()) {
            std::fprintf(stderr, "the main window's set-up failed\n");
            std::exit(1);
        }
        // The tunnel answers and its success box has been shown.
        liveness.m_bLANConnected = 1;
        host->SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
        Tick(IDT_LINK_CHECK);
        fake.journal.Clear();
    }
    void Tick(std::uint32_t timer) { host->Deliver(TimerMsg(timer)); }
};

// What one journal entry of a tick is, as work on the system.
std::string KindOf(const std::string& entry) {
    const auto starts = [&entry](const char* prefix) { return entry.rfind(prefix, 0) == 0; };
    if (starts("profile: get ") || starts("profile: int ") || starts("files: read ")) {
        return "file-read";
    }
    if (starts("profile: set ") || starts("files: write ") || starts("files: copy ")) {
        return "file-write";
    }
    if (starts("runner: ")) {
        return "process";
    }
    if (starts("threads: ")) {
        return "worker";
    }
    if (starts("shell: NotifyIcon ")) {
        return "tray";
    }
    if (starts("trace: ")) {
        return "trace";
    }
    if (starts("host: GetItemText ") || starts("host: SetItemText ")) {
        return "window-text";
    }
    return "other";
}

// The work of one tick, kind by kind, with the entries that are file or process work.
struct TickWork {
    std::map<std::string, int> counts;
    std::vector<std::string> detail;
};

TickWork WorkOf(const std::vector<std::string>& entries) {
    TickWork work;
    for (const std::string& entry : entries) {
        const std::string kind = KindOf(entry);
        ++work.counts[kind];
        if (kind != "trace" && kind != "window-text" && kind != "tray") {
            work.detail.push_back(entry);
        }
    }
    return work;
}

bool operator==(const TickWork& a, const TickWork& b) {
    return a.counts == b.counts && a.detail == b.detail;
}

std::string Summary(const TickWork& work) {
    std::string text;
    for (const auto& [kind, count] : work.counts) {
        text += (text.empty() ? "" : ",") + kind + "=" + std::to_string(count);
    }
    return text.empty() ? "nothing" : text;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out;
}

// Runs n ticks of one kind, each with prepare() before it outside the count; callgrind's
// counts of the ticks alone are dumped under name. Every tick must do the same work as the
// first; the first one's work is reported.
void Measure(MainWindow& w, const std::string& name, std::uint32_t timer, int n,
             const std::function<void()>& prepare) {
    std::optional<TickWork> first;
    int differing = 0;
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < n; ++i) {
        prepare();
        w.fake.journal.Clear();
        CALLGRIND_TOGGLE_COLLECT;
        w.Tick(timer);
        CALLGRIND_TOGGLE_COLLECT;
        const TickWork work = WorkOf(w.fake.journal.Entries());
        if (!first) {
            first = work;
        } else if (!(work == *first)) {
            ++differing;
        }
        // The echo workers run between the ticks, outside the count.
        w.fake.threads.RunPending();
    }
    CALLGRIND_DUMP_STATS_AT(name.c_str());
    std::printf("ticks %s %d\n", name.c_str(), n);
    std::printf("work %s %s differing=%d\n", name.c_str(), Summary(*first).c_str(), differing);
    for (const std::string& entry : first->detail) {
        std::printf("entry %s %s\n", name.c_str(), Escape(entry).c_str());
    }
}

int Ticks(int n) {
    MainWindow w;
    // One tick of each before counting: the first answered poll enables Delete VPN.
    w.Tick(IDT_LINK_CHECK);
    w.fake.threads.RunPending();

    Measure(w, "timer1-answered", IDT_LINK_CHECK, n, [] {});
    Measure(w, "timer3-idle", IDT_CALLBYIE_WATCH, n, [] {});
    Measure(w, "timer2-waiting", IDT_SETTING_WAIT, n, [&] {
        // Counted ticks only: the wait would give up after its 21st.
        w.PageCompletes();
    });

    // The busy ticks, for comparison: a login picked up from the profile copy, and the
    // portal's settings found by the settings wait.
    const int busy = n < 20 ? n : 20;
    Measure(w, "timer3-pickup", IDT_CALLBYIE_WATCH, busy,
            [&] { w.Set("CallByIE", "TRUE", kProfileCopy); });
    Measure(w, "timer2-found", IDT_SETTING_WAIT, busy, [&] {
        w.Set("ParseSettingFlag", "TRUE");
        w.host->SetTimer(IDT_SETTING_WAIT, kSettingWaitPeriodMs);
    });
    return 0;
}

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A 1000 ms timer on the real clock, as the message loop delivers it. At offset ms after one
// of its ticks the flag is set; the reaction is the time from then until a tick runs the
// IPsec script, the work the part of it inside that tick.
struct Reaction {
    double reactionMs;
    double workMs;
};

Reaction React(MainWindow& w, std::uint32_t timer, int offsetMs,
               const std::function<void()>& setFlag) {
    std::optional<Clock::time_point> scriptRun;
    w.fake.runner.onRun = [&scriptRun](const std::string& command) {
        if (!scriptRun && command.find(kIpsecScript) != std::string::npos) {
            scriptRun = Clock::now();
        }
    };
    const auto period = std::chrono::milliseconds(kSettingWaitPeriodMs);
    Clock::time_point tick = Clock::now();
    w.Tick(timer);
    std::this_thread::sleep_until(tick + std::chrono::milliseconds(offsetMs));
    setFlag();
    const Clock::time_point written = Clock::now();
    Clock::time_point ranAt = written;
    while (!scriptRun) {
        tick += period;
        std::this_thread::sleep_until(tick);
        ranAt = Clock::now();
        w.Tick(timer);
        w.fake.threads.RunPending();
    }
    w.fake.runner.onRun = nullptr;
    return Reaction{Millis(*scriptRun - written), Millis(*scriptRun - ranAt)};
}

int Reactions(int n) {
    MainWindow w;
    for (int i = 0; i < n; ++i) {
        // Spread over the period, the first sample close to the worst case.
        const int offset = 10 + i * (1000 / n);
        w.Set("CallByIE", "FALSE", kProfileCopy);
        const Reaction pickup =
            React(w, IDT_CALLBYIE_WATCH, offset, [&] { w.Set("CallByIE", "TRUE", kProfileCopy); });
        std::printf("reaction CallByIE offset=%d reaction=%.3f work=%.3f\n", offset,
                    pickup.reactionMs, pickup.workMs);

        w.PageCompletes();
        const Reaction found =
            React(w, IDT_SETTING_WAIT, offset, [&] { w.Set("ParseSettingFlag", "TRUE"); });
        std::printf("reaction ParseSettingFlag offset=%d reaction=%.3f work=%.3f\n", offset,
                    found.reactionMs, found.workMs);
    }
    return 0;
}

}  // namespace
}  // namespace kestrun::bench

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int n = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "ticks" && n > 0) {
        return kestrun::bench::Ticks(n);
    }
    if (mode == "reaction" && n > 0) {
        return kestrun::bench::Reactions(n);
    }
    std::fprintf(stderr, "usage: tick_bench ticks <n> | reaction <n>\n");
    return 2;
}
