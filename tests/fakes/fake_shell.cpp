#include "tests/fakes/fake_shell.h"

#include <iterator>

#include "platform/format.h"

namespace kestrun::platform::fake {

WindowRef FakeShell::CreateHiddenWindow(const std::string& title, MessageSink& sink) {
    Note("CreateHiddenWindow " + title);
    if (failCreateWindow) {
        return 0;
    }
    const WindowRef window = nextWindow_++;
    liveWindows.insert(window);
    windowTitles[window] = title;
    sinks_[window] = &sink;
    return window;
}

void FakeShell::DestroyWindow(WindowRef window) {
    Note(Format("DestroyWindow 0x%x", static_cast<unsigned>(window)));
    liveWindows.erase(window);
    sinks_.erase(window);
}

bool FakeShell::NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) {
    Note(Format("NotifyIcon %u", action));
    notifications.emplace_back(action, record);
    const auto key = std::make_pair(record.hWnd, record.uID);
    const bool windowLive = liveWindows.count(record.hWnd) != 0;
    switch (action) {
        case kNimAdd:
            if (failAdd || !windowLive || icons.count(key) != 0) {
                return false;
            }
            icons[key] = record;
            return true;
        case kNimModify: {
            auto it = icons.find(key);
            if (failModify || it == icons.end()) {
                return false;
            }
            if (record.uFlags & kNifIcon) {
                it->second.hIcon = record.hIcon;
            }
            if (record.uFlags & kNifTip) {
                it->second.szTip = record.szTip;
            }
            return true;
        }
        case kNimDelete:
            if (failDelete) {
                return false;
            }
            return icons.erase(key) != 0;
        default:
            return false;
    }
}

std::uint32_t FakeShell::RegisterMessageName(const std::string& name) {
    Note("RegisterMessageName " + name);
    auto it = registered_.find(name);
    if (it != registered_.end()) {
        return it->second;
    }
    const auto id = static_cast<std::uint32_t>(0xC000 + registered_.size());
    registered_[name] = id;
    return id;
}

MenuRef FakeShell::LoadMenuResource(int resourceId) {
    Note(Format("LoadMenu %d", resourceId));
    auto it = resources.find(resourceId);
    if (it == resources.end()) {
        return 0;
    }
    const MenuRef menu = nextMenu_++;
    const std::vector<MenuItem>& items = it->second;
    for (std::size_t position = 0; position < items.size(); ++position) {
        if (items[position].isPopup) {
            const MenuRef popup = nextMenu_++;
            menus_[popup] = items[position].popupItems;
            owners_[popup] = menu;
            popups_[{menu, static_cast<int>(position)}] = popup;
        }
    }
    menus_[menu] = items;
    liveMenus.insert(menu);
    return menu;
}

MenuRef FakeShell::GetSubMenu(MenuRef menu, int position) {
    Note(Format("GetSubMenu %d", position));
    auto it = popups_.find({menu, position});
    return it == popups_.end() ? 0 : it->second;
}

bool FakeShell::ModifyMenuByPosition(MenuRef menu, int position, std::uint32_t commandId,
                                     const std::string& text) {
    Note(Format("ModifyMenu %d %u %s", position, commandId, text.c_str()));
    auto it = menus_.find(menu);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.size())) {
        return false;
    }
    MenuItem& item = it->second[static_cast<std::size_t>(position)];
    item = MenuItem{commandId, text, false, false, {}};
    return true;
}

bool FakeShell::TrackPopupMenu(MenuRef menu, std::uint32_t flags, int x, int y, WindowRef owner) {
    Note(Format("TrackPopupMenu %u %d %d 0x%x", flags, x, y, static_cast<unsigned>(owner)));
    auto it = menus_.find(menu);
    if (it == menus_.end()) {
        return false;
    }
    tracked.push_back(Tracked{it->second, flags, x, y, owner});
    const std::uint32_t command = choose ? choose(tracked.back()) : 0;
    if (command != 0 && onCommand) {
        onCommand(owner, command);
    }
    return command != 0;
}

void FakeShell::DestroyMenu(MenuRef menu) {
    Note("DestroyMenu");
    liveMenus.erase(menu);
    for (auto it = owners_.begin(); it != owners_.end();) {
        if (it->second == menu) {
            menus_.erase(it->first);
            it = owners_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = popups_.begin(); it != popups_.end();) {
        it = it->first.first == menu ? popups_.erase(it) : std::next(it);
    }
    menus_.erase(menu);
}

bool FakeShell::GetCursorPos(int& x, int& y) {
    Note("GetCursorPos");
    x = cursorX;
    y = cursorY;
    return true;
}

bool FakeShell::SetForegroundWindow(WindowRef window) {
    Note(Format("SetForegroundWindow 0x%x", static_cast<unsigned>(window)));
    return window != 0;
}

void FakeShell::AddTrayMenuResource() {
    // Menu 130: one pop-up "Menu" with the five entries.
    MenuItem popup{0, "Menu", false, true, {}};
    popup.popupItems = {
        MenuItem{32776, "Diagnosis", false, false, {}},
        MenuItem{32774, "Connectivity Info.", false, false, {}},
        MenuItem{0, "", true, false, {}},
        MenuItem{32775, "About Ostrimel", false, false, {}},
        MenuItem{32773, "Disconnect && Exit", false, false, {}},
    };
    resources[130] = {popup};
}

std::optional<MsgResult> FakeShell::DeliverTo(WindowRef window, const Msg& msg) {
    auto it = sinks_.find(window);
    if (it == sinks_.end()) {
        return std::nullopt;
    }
    return it->second->OnMessage(msg);
}

}  // namespace kestrun::platform::fake
