// An in-memory dialog window for native tests: item texts and states, timers, message
// boxes and combo boxes are plain data; messages are delivered to the dialog's sink the
// way the real dialog procedure delivers them. Every operation is also recorded in the
// journal, under "host" or the source the host is given.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_host.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeDialogHost : public DialogHost {
  public:
    struct Box {
        std::string text;
        std::string caption;
        std::uint32_t style;
    };
    struct Combo {
        std::vector<std::string> items;
        int selection = kComboError;
    };

    explicit FakeDialogHost(Journal& journal, std::string source = "host")
        : journal_(journal), source_(std::move(source)) {}
    std::intptr_t RunModal(int templateId, WindowRef parent, MessageSink& sink) override;
    bool CreateModeless(int templateId, WindowRef parent, MessageSink& sink) override;
    void Destroy() override;

    WindowRef Handle() override { return exists ? handle : 0; }
    int ItemId(WindowRef child) override;

    std::string GetItemText(int id) override;
    void SetItemText(int id, const std::string& text) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) override;
    void ShowItem(int id, int showCommand) override;
    void SetItemFont(int id, GdiRef font) override;

    void ShowWindow(int showCommand) override;
    void EndDialog(std::intptr_t result) override;
    void SetIcon(GdiRef icon, bool big) override;
    GdiRef Font() override { return font; }

    bool SetTimer(std::uint32_t id, std::uint32_t milliseconds) override;
    void KillTimer(std::uint32_t id) override;

    bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    int MessageBox(const std::string& text, const std::string& caption,
                   std::uint32_t style) override;

    int ComboInsertString(int id, int index, const std::string& text) override;
    void ComboDeleteString(int id, int index) override;
    void ComboResetContent(int id) override;
    int ComboGetCount(int id) override;
    int ComboGetCurSel(int id) override;
    int ComboSetCurSel(int id, int index) override;
    std::string ComboGetItemText(int id, int index) override;

    void SuppressShowInWindowPos(std::intptr_t windowPos) override;
    std::intptr_t DefaultProcessing(const Msg& msg) override;

    // Test side. The child window of control id, as ItemId reads it back.
    WindowRef Item(int id);
    // Delivers msg to the dialog's sink as the dialog procedure would.
    MsgResult Deliver(const Msg& msg);
    // Delivers the queued posted messages, oldest first (also those posted meanwhile).
    void DeliverPosted();

    // What a test can set.
    WindowRef handle = 0x1000;
    GdiRef font = 0;
    bool failCreate = false;
    // Called while a modal dialog runs, after its set-up; it may deliver messages. The
    // modal run ends when EndDialog is called or when this returns.
    std::function<void(FakeDialogHost&)> whileModal;
    // Answers a message box (default IDOK = 1).
    std::function<int(const Box&)> onMessageBox;
    // The control texts of each template (id -> control id -> text), which a window made
    // from it shows before its set-up runs.
    std::map<int, std::map<int, std::string>> templateTexts;

    // What a test can read.
    bool exists = false;
    std::optional<int> createdFrom;  // template id
    bool modal = false;
    WindowRef parent = 0;
    std::optional<std::intptr_t> endResult;
    // What the set-up (WM_INITDIALOG) answered.
    std::optional<std::intptr_t> initResult;
    std::map<int, std::string> texts;
    std::map<int, bool> enabled;          // missing = enabled
    std::map<int, int> itemShowCommands;  // last ShowItem per id
    std::map<int, GdiRef> itemFonts;      // last SetItemFont per id
    std::vector<int> showCommands;        // every ShowWindow, in order
    bool visible = false;
    std::map<std::uint32_t, std::uint32_t> timers;  // running timers: id -> period
    std::vector<Box> boxes;
    std::map<int, Combo> combos;
    std::map<bool, GdiRef> icons;  // big? -> icon
    std::deque<Msg> posted;

  private:
    void Note(const std::string& line) { journal_.Add(source_, line); }
    void ShowTemplateTexts(int templateId);
    Journal& journal_;
    std::string source_;
    MessageSink* sink_ = nullptr;
};

// Hands out FakeDialogHosts that record as "dialogs"; the test scripts what each modal
// dialog does, by template.
class FakeDialogFactory : public DialogFactory {
  public:
    explicit FakeDialogFactory(Journal& journal) : journal_(journal) {}
    std::unique_ptr<DialogHost> NewHost() override;
    // Script per template id, installed as whileModal of every host that runs it.
    std::map<int, std::function<void(FakeDialogHost&)>> whileModal;
    // Given to every host, as its templateTexts.
    std::map<int, std::map<int, std::string>> templateTexts;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
