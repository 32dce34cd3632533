// A scripted notification area and menu manager: icons are records, menus are item
// lists, every call is recorded in the journal, and the hidden window's messages can be
// delivered by the test.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeShell : public Shell {
  public:
    struct MenuItem {
        std::uint32_t command = 0;  // 0 for a separator or a pop-up
        std::string text;
        bool separator = false;
        bool isPopup = false;
        std::vector<MenuItem> popupItems;
    };
    struct Tracked {
        std::vector<MenuItem> items;
        std::uint32_t flags;
        int x;
        int y;
        WindowRef owner;
    };

    explicit FakeShell(Journal& journal) : journal_(journal) {}
    WindowRef CreateHiddenWindow(const std::string& title, MessageSink& sink) override;
    void DestroyWindow(WindowRef window) override;
    bool NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) override;
    std::uint32_t RegisterMessageName(const std::string& name) override;
    MenuRef LoadMenuResource(int resourceId) override;
    MenuRef GetSubMenu(MenuRef menu, int position) override;
    bool ModifyMenuByPosition(MenuRef menu, int position, std::uint32_t commandId,
                              const std::string& text) override;
    bool TrackPopupMenu(MenuRef menu, std::uint32_t flags, int x, int y, WindowRef owner) override;
    void DestroyMenu(MenuRef menu) override;
    bool GetCursorPos(int& x, int& y) override;
    bool SetForegroundWindow(WindowRef window) override;

    // Test side: the menu resource 130 as the program's resources hold it.
    void AddTrayMenuResource();
    // Delivers a message to a live hidden window's sink; nothing when it is gone.
    std::optional<MsgResult> DeliverTo(WindowRef window, const Msg& msg);

    // Scripting.
    bool failCreateWindow = false;
    bool failAdd = false;
    bool failModify = false;
    bool failDelete = false;
    int cursorX = 640;
    int cursorY = 758;
    // Menu resources by id: the top-level items, pop-ups with their entries.
    std::map<int, std::vector<MenuItem>> resources;
    // What the user picks in a tracked menu (0: dismissed). A pick is sent to the owner.
    std::function<std::uint32_t(const Tracked&)> choose;
    std::function<void(WindowRef owner, std::uint32_t command)> onCommand;

    // Observations.
    std::vector<std::pair<std::uint32_t, NotifyIconRecord>> notifications;
    // Icons in the notification area, by (window, id).
    std::map<std::pair<WindowRef, std::uint32_t>, NotifyIconRecord> icons;
    std::set<WindowRef> liveWindows;
    std::map<WindowRef, std::string> windowTitles;
    std::vector<Tracked> tracked;
    std::set<MenuRef> liveMenus;  // top-level menus loaded and not destroyed

  private:
    void Note(const std::string& line) { journal_.Add("shell", line); }
    Journal& journal_;
    std::map<WindowRef, MessageSink*> sinks_;
    std::map<MenuRef, std::vector<MenuItem>> menus_;
    std::map<MenuRef, MenuRef> owners_;                  // pop-up -> its top-level menu
    std::map<std::pair<MenuRef, int>, MenuRef> popups_;  // (menu, position) -> pop-up
    std::map<std::string, std::uint32_t> registered_;
    WindowRef nextWindow_ = 0x2000;
    MenuRef nextMenu_ = 0x3000;
};

}  // namespace kestrun::platform::fake
