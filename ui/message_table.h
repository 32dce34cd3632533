// The routing of one window class: a table from window messages, WM_COMMAND ids with
// their notification codes, and WM_TIMER to the class's On... handlers. The native window
// and the native tests both deliver through Dispatch, so the tests exercise the routing
// the program uses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/window_message.h"

namespace kestrun {

using platform::Msg;
using platform::MsgResult;

template <class Owner>
class MessageTable {
  public:
    using RawHandler = MsgResult (Owner::*)(const Msg&);
    using CommandHandler = void (Owner::*)();
    using TimerHandler = void (Owner::*)(std::uint32_t timerId);
    using InitHandler = bool (Owner::*)();

    // Any message, handled by the raw handler (it sees wParam and lParam as they came).
    MessageTable& Message(std::uint32_t message, RawHandler handler) {
        Add(message, std::nullopt,
            [handler](Owner& owner, const Msg& msg) { return (owner.*handler)(msg); });
        return *this;
    }

    // Every message from first to last, one handler for a family such as WM_CTLCOLOR*.
    MessageTable& MessageRange(std::uint32_t first, std::uint32_t last, RawHandler handler) {
        Add(first, std::nullopt,
            [handler](Owner& owner, const Msg& msg) { return (owner.*handler)(msg); });
        entries_.back().lastMessage = last;
        return *this;
    }

    // A message whose number the owner learns at run time (a callback message it chose, a
    // registered message); the entry matches nothing while number() is 0.
    using NumberSource = std::uint32_t (Owner::*)() const;
    MessageTable& MessageAt(NumberSource number, RawHandler handler) {
        Add(0, std::nullopt,
            [handler](Owner& owner, const Msg& msg) { return (owner.*handler)(msg); });
        entries_.back().number = number;
        return *this;
    }

    // WM_COMMAND with this id and notification code 0: a button click or a menu command.
    MessageTable& Command(std::uint16_t id, CommandHandler handler) {
        return Notify(id, platform::kBnClicked, handler);
    }

    // WM_COMMAND with this control id and notification code.
    MessageTable& Notify(std::uint16_t id, std::uint16_t code, CommandHandler handler) {
        Add(platform::kWmCommand, Key{id, code}, [handler](Owner& owner, const Msg&) {
            (owner.*handler)();
            return platform::Handled(0);
        });
        return *this;
    }

    // WM_TIMER; the handler gets the timer id.
    MessageTable& Timer(TimerHandler handler) {
        Add(platform::kWmTimer, std::nullopt, [handler](Owner& owner, const Msg& msg) {
            (owner.*handler)(static_cast<std::uint32_t>(msg.wParam));
            return platform::Handled(0);
        });
        return *this;
    }

    // WM_INITDIALOG; the handler's result is the dialog's answer (TRUE: default focus).
    MessageTable& InitDialog(InitHandler handler) {
        Add(platform::kWmInitDialog, std::nullopt, [handler](Owner& owner, const Msg&) {
            return platform::Handled((owner.*handler)() ? 1 : 0);
        });
        return *this;
    }

    // An event of a control the window hosts (the embedded browser's), by dispatch id.
    MessageTable& Event(int dispId, CommandHandler handler) {
        events_.push_back(EventEntry{dispId, handler});
        return *this;
    }

    // The handler of the event; false when the table has none.
    bool DispatchEvent(Owner& owner, int dispId) const {
        for (const EventEntry& entry : events_) {
            if (entry.dispId == dispId) {
                (owner.*entry.handler)();
                return true;
            }
        }
        return false;
    }

    // The first entry that matches msg runs; nothing when no entry matches, and then the
    // window's default processing applies.
    std::optional<MsgResult> Dispatch(Owner& owner, const Msg& msg) const {
        for (const Entry& entry : entries_) {
            if (entry.number != nullptr) {
                const std::uint32_t number = (owner.*entry.number)();
                if (number == 0 || number != msg.message) {
                    continue;
                }
            } else if (msg.message < entry.message || msg.message > entry.lastMessage) {
                continue;
            }
            if (entry.command && (entry.command->id != platform::LowWord(msg.wParam) ||
                                  entry.command->code != platform::HighWord(msg.wParam))) {
                continue;
            }
            return entry.call(owner, msg);
        }
        return std::nullopt;
    }

    std::size_t size() const { return entries_.size(); }

  private:
    struct Key {
        std::uint16_t id;
        std::uint16_t code;
    };
    struct Entry {
        std::uint32_t message;
        std::uint32_t lastMessage;
        std::optional<Key> command;
        std::function<MsgResult(Owner&, const Msg&)> call;
        NumberSource number = nullptr;
    };

    struct EventEntry {
        int dispId;
        CommandHandler handler;
    };

    void Add(std::uint32_t message, std::optional<Key> command,
             std::function<MsgResult(Owner&, const Msg&)> call) {
        entries_.push_back(Entry{message, message, command, std::move(call)});
    }

    std::vector<Entry> entries_;
    std::vector<EventEntry> events_;
};

// Helpers to build test and internal messages.
inline Msg CommandMsg(std::uint16_t id, std::uint16_t code = platform::kBnClicked,
                      std::intptr_t control = 0) {
    return Msg{platform::kWmCommand, platform::MakeWParam(id, code), control};
}
inline Msg TimerMsg(std::uint32_t id) {
    return Msg{platform::kWmTimer, id, 0};
}

}  // namespace kestrun
