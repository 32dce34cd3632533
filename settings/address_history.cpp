#include "settings/address_history.h"

#include "platform/format.h"
#include "platform/text.h"
#include "platform/url_scheme.h"
#include "settings/setting_file.h"

namespace kestrun {
namespace {

constexpr int kStoredAddresses = 10;
// Earlier versions read each address into 128 bytes and stored back that cut text, so two
// addresses count as one when they agree that far.
constexpr std::size_t kComparedLength = 127;
// Shorter entries are not stored; a shorter input counts as the first stored address.
constexpr std::size_t kShortestStored = 6;
constexpr std::size_t kShortestInput = 4;

std::string KeyName(int key) {
    return Format(settings::kKeyUrl, key);
}

bool SameAddress(const std::string& a, const std::string& b) {
    return EqualsIgnoringCase(a.substr(0, kComparedLength), b.substr(0, kComparedLength));
}

// The stored copy of input gets the address as typed, when it is cut or differs beyond
// what is compared; letter case alone is not worth a write.
void KeepTypedAddress(SettingFile& file, const std::string& input) {
    for (int key = 0; key < kStoredAddresses; ++key) {
        const std::string stored = file.ReadAddress(key);
        if (SameAddress(stored, input)) {
            if (!EqualsIgnoringCase(stored, input)) {
                file.WriteAddress(key, input);
            }
            return;
        }
    }
}

}  // namespace

void LoginHistory::FillFromFile(const std::string& gateway) {
    box_.ResetContent();
    int leftOut = 0;
    for (int key = 0; key < kStoredAddresses; ++key) {
        const std::string address = file_.ReadAddress(key);
        // The profile copy is the user's to write: an address Connect would refuse is not
        // offered, let alone chosen by the gateway it also names.
        if (NamesOtherThanHttps(address)) {
            ++leftOut;
            continue;
        }
        // The router's own address names its portal; a later match wins.
        if (address.find(gateway) != std::string::npos) {
            selIndex_ = key - leftOut;
        }
        if (!address.empty()) {
            box_.InsertItem(-1, address);
        }
    }
    box_.SetCurSel(selIndex_);
}

void LoginHistory::Write(int key, const std::string& text) {
    const std::string name = KeyName(key);
    file_.WriteAddress(key, text);
    trace_.Output(Format("SaveSetting:%s=%s\n", name.c_str(), text.c_str()));
}

void LoginHistory::StoreToFile() {
    WriteKeys();
    box_.SetCurSel(selIndex_);
}

void LoginHistory::WriteKeys() {
    const int count = box_.Count();
    int start = 0;
    int key = 0;
    if (count > kStoredAddresses) {
        start = count - kStoredAddresses;
        // The chosen address would be dropped: it stays, as the oldest.
        if (box_.CurSel() < start) {
            Write(key++, box_.EditText());
            start = count - (kStoredAddresses - 1);
        }
    }
    for (int index = start; index < count; ++index) {
        const std::string address = box_.ItemText(index);
        if (address.size() >= kShortestStored) {
            Write(key++, address);
        }
    }
    // Keys are consecutive from "URL0": one left over from a longer history would list its
    // address twice at the next fill.
    for (; key < kStoredAddresses; ++key) {
        if (!file_.ReadAddress(key).empty()) {
            Write(key, "");
        }
    }
}

void LoginHistory::SaveURLHistory(const std::function<void(bool)>& updateData) {
    updateData(true);
    const std::string input = box_.EditText();
    const int cur = box_.CurSel();
    const int count = box_.Count();
    int i = 0;
    bool listed = false;
    for (; i < box_.Count(); ++i) {
        const std::string entry = box_.ItemText(i);
        trace_.Output(Format("CurSel=%d, Count=%d, Input=%s, %d=%s\n", cur, count, input.c_str(), i,
                             entry.c_str()));
        if (input.size() < kShortestInput || SameAddress(input, entry)) {
            if (input.size() >= kShortestInput) {
                KeepTypedAddress(file_, input);
            }
            if (count > 1) {
                box_.DeleteItem(cur);
            }
            selIndex_ = i;
            box_.SetCurSel(i);
            trace_.Output("*****HTTPS*****\n");
            listed = true;
            break;
        }
    }
    if (!listed) {
        const int end = box_.Count();
        selIndex_ = (selIndex_ + 1) % kStoredAddresses;
        box_.InsertItem(end, input);
        box_.SetCurSel(end);
        if (end < kStoredAddresses) {
            file_.WriteAddress(end, input);
        } else {
            // A full history drops its oldest address for the new one.
            WriteKeys();
        }
    }
    updateData(false);
    trace_.Output(Format("****i=%d, m_nSelIndex=%d, CurSel=%d, CurCount=%d\n", i, selIndex_,
                         box_.CurSel(), box_.Count()));
}

}  // namespace kestrun
