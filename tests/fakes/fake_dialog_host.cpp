#include "tests/fakes/fake_dialog_host.h"

#include <algorithm>

#include "platform/format.h"

namespace kestrun::platform::fake {
namespace {

// Child windows get handles derived from their ids, so ItemId can map them back.
constexpr WindowRef kItemBase = 0x100000;

}  // namespace

std::intptr_t FakeDialogHost::RunModal(int templateId, WindowRef owner, MessageSink& sink) {
    Note(Format("RunModal %d", templateId));
    if (failCreate) {
        return -1;
    }
    modal = true;
    parent = owner;
    createdFrom = templateId;
    ShowTemplateTexts(templateId);
    exists = true;
    sink_ = &sink;
    endResult.reset();
    initResult = Deliver(Msg{kWmInitDialog, 0, 0}).value;
    if (!endResult && whileModal) {
        whileModal(*this);
    }
    exists = false;
    sink_ = nullptr;
    return endResult.value_or(0);
}

bool FakeDialogHost::CreateModeless(int templateId, WindowRef owner, MessageSink& sink) {
    Note(Format("CreateModeless %d", templateId));
    if (failCreate) {
        return false;
    }
    modal = false;
    parent = owner;
    createdFrom = templateId;
    ShowTemplateTexts(templateId);
    exists = true;
    sink_ = &sink;
    initResult = Deliver(Msg{kWmInitDialog, 0, 0}).value;
    return true;
}

void FakeDialogHost::ShowTemplateTexts(int templateId) {
    auto shown = templateTexts.find(templateId);
    if (shown != templateTexts.end()) {
        for (const auto& [id, text] : shown->second) {
            texts[id] = text;
        }
    }
}

void FakeDialogHost::Destroy() {
    Note("Destroy");
    if (!exists) {
        return;
    }
    Deliver(Msg{kWmDestroy, 0, 0});
    exists = false;
    visible = false;
    timers.clear();
    sink_ = nullptr;
}

WindowRef FakeDialogHost::Item(int id) {
    return static_cast<WindowRef>(kItemBase + static_cast<WindowRef>(id & 0xFFFF));
}

int FakeDialogHost::ItemId(WindowRef child) {
    return child >= kItemBase ? static_cast<int>(child - kItemBase) : 0;
}

std::string FakeDialogHost::GetItemText(int id) {
    Note(Format("GetItemText %d", id));
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
}

void FakeDialogHost::SetItemText(int id, const std::string& text) {
    Note(Format("SetItemText %d %s", id, text.c_str()));
    texts[id] = text;
}

void FakeDialogHost::EnableItem(int id, bool enable) {
    Note(Format("EnableItem %d %d", id, enable ? 1 : 0));
    enabled[id] = enable;
}

bool FakeDialogHost::IsItemEnabled(int id) {
    auto it = enabled.find(id);
    return it == enabled.end() || it->second;
}

void FakeDialogHost::ShowItem(int id, int showCommand) {
    Note(Format("ShowItem %d %d", id, showCommand));
    itemShowCommands[id] = showCommand;
}

void FakeDialogHost::SetItemFont(int id, GdiRef itemFont) {
    Note(Format("SetItemFont %d 0x%x", id, static_cast<unsigned>(itemFont)));
    itemFonts[id] = itemFont;
}

void FakeDialogHost::ShowWindow(int showCommand) {
    Note(Format("ShowWindow %d", showCommand));
    showCommands.push_back(showCommand);
    visible = showCommand != kSwHide;
}

void FakeDialogHost::EndDialog(std::intptr_t result) {
    Note(Format("EndDialog %d", static_cast<int>(result)));
    endResult = result;
    // A modeless dialog is only hidden by EndDialog.
    visible = false;
}

void FakeDialogHost::SetIcon(GdiRef icon, bool big) {
    Note(big ? "SetIcon big" : "SetIcon small");
    icons[big] = icon;
}

bool FakeDialogHost::SetTimer(std::uint32_t id, std::uint32_t milliseconds) {
    Note(Format("SetTimer %u %u", id, milliseconds));
    timers[id] = milliseconds;
    return true;
}

void FakeDialogHost::KillTimer(std::uint32_t id) {
    Note(Format("KillTimer %u", id));
    timers.erase(id);
}

bool FakeDialogHost::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    Note(Format("Post 0x%x", message));
    if (!exists) {
        return false;
    }
    posted.push_back(Msg{message, wParam, lParam});
    return true;
}

int FakeDialogHost::MessageBox(const std::string& text, const std::string& caption,
                               std::uint32_t style) {
    Note(Format("MessageBox %s|%s|0x%x", text.c_str(), caption.c_str(), style));
    boxes.push_back(Box{text, caption, style});
    return onMessageBox ? onMessageBox(boxes.back()) : kIdOk;
}

int FakeDialogHost::ComboInsertString(int id, int index, const std::string& text) {
    Combo& combo = combos[id];
    if (index > static_cast<int>(combo.items.size())) {
        return kComboError;
    }
    const auto position = index < 0 ? combo.items.end() : combo.items.begin() + index;
    return static_cast<int>(combo.items.insert(position, text) - combo.items.begin());
}

void FakeDialogHost::ComboDeleteString(int id, int index) {
    Combo& combo = combos[id];
    if (index < 0 || index >= static_cast<int>(combo.items.size())) {
        return;
    }
    combo.items.erase(combo.items.begin() + index);
    if (combo.selection == index) {
        combo.selection = kComboError;
    } else if (combo.selection > index) {
        --combo.selection;
    }
}

void FakeDialogHost::ComboResetContent(int id) {
    Combo& combo = combos[id];
    combo.items.clear();
    combo.selection = kComboError;
}

int FakeDialogHost::ComboGetCount(int id) {
    return static_cast<int>(combos[id].items.size());
}

int FakeDialogHost::ComboGetCurSel(int id) {
    return combos[id].selection;
}

int FakeDialogHost::ComboSetCurSel(int id, int index) {
    Combo& combo = combos[id];
    if (index < 0 || index >= static_cast<int>(combo.items.size())) {
        combo.selection = kComboError;
        return kComboError;
    }
    combo.selection = index;
    texts[id] = combo.items[static_cast<std::size_t>(index)];
    return index;
}

std::string FakeDialogHost::ComboGetItemText(int id, int index) {
    Combo& combo = combos[id];
    if (index < 0 || index >= static_cast<int>(combo.items.size())) {
        return std::string();
    }
    return combo.items[static_cast<std::size_t>(index)];
}

std::intptr_t FakeDialogHost::DefaultProcessing(const Msg& msg) {
    Note(Format("Default %u", static_cast<unsigned>(msg.message)));
    return 0;
}

void FakeDialogHost::SuppressShowInWindowPos(std::intptr_t windowPos) {
    Note("SuppressShow");
    // Tests pass a pointer to a flags word as the WINDOWPOS stand-in.
    auto* flags = reinterpret_cast<std::uint32_t*>(windowPos);
    if (flags != nullptr) {
        *flags &= ~kSwpShowWindow;
    }
}

MsgResult FakeDialogHost::Deliver(const Msg& msg) {
    if (sink_ == nullptr) {
        return NotHandled();
    }
    MsgResult result = sink_->OnMessage(msg);
    // Like DefDlgProc: a close request that nobody handled becomes Cancel.
    if (!result.handled && msg.message == kWmClose) {
        return sink_->OnMessage(Msg{kWmCommand, MakeWParam(kIdCancel, kBnClicked), 0});
    }
    return result;
}

void FakeDialogHost::DeliverPosted() {
    while (!posted.empty()) {
        Msg msg = posted.front();
        posted.pop_front();
        Deliver(msg);
    }
}

std::unique_ptr<DialogHost> FakeDialogFactory::NewHost() {
    auto host = std::make_unique<FakeDialogHost>(journal_, "dialogs");
    host->templateTexts = templateTexts;
    host->whileModal = [this](FakeDialogHost& running) {
        const int templateId = running.createdFrom.value_or(0);
        auto script = whileModal.find(templateId);
        if (script != whileModal.end()) {
            script->second(running);
        }
    };
    return host;
}

}  // namespace kestrun::platform::fake
