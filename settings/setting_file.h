// One copy of Setting.tmp, the file through which the portal and the client talk: the
// working copy beside the program or the profile copy an outside browser leaves. Its
// operations are named for what they mean to the hand-over; every key, default and read
// size comes from the table in setting_keys.h.
#pragma once

#include <cstdint>
#include <string>

#include "platform/profile.h"
#include "settings/address_history.h"
#include "settings/setting_keys.h"
#include "settings/tunnel_settings.h"

namespace kestrun {

// The working copy: relative to the program directory, which is the current directory.
constexpr const char* kWorkingCopyPath = ".\\Setting.tmp";

class SettingFile {
  public:
    SettingFile(platform::Profile& profile, std::string path)
        : profile_(profile), path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The value of key (a numbered key gets its number) as reader keeps it, or the
    // reader's default when the key is missing.
    std::string Read(const std::string& key, settings::Reader reader, int number = -1) const;

    // "VPN Mode" as reader reads it: its leading decimal number, 0 when there is none.
    int VpnMode(settings::Reader reader) const;
    // "CallByIE" as read, for the trace; IsSet tells whether it asks for a build.
    std::string CallByIe(settings::Reader reader) const;
    // The portal's component has written a fresh parameter set.
    bool ParseSettingFlagSet() const;
    // Set-up: "RemoveIPsec" says that no tunnel is left to remove.
    bool TunnelRemoved() const;
    // "StartTime", 0 when missing or not a number.
    std::uint32_t StartTime() const;
    // Only the exact four letters count as set.
    static bool IsSet(const std::string& flag) { return flag == settings::kTrue; }

    // The tunnel of mode is up: "VPN Mode" follows it.
    void WriteMode(int mode);
    // A tunnel of mode was built from the portal's fresh parameters, or a login begins.
    void MarkTunnelBuilt(int mode);
    // The hand-over of an outside browser has been built: no further build from it.
    void MarkHandOverTaken();
    // Delete VPN: nothing is to be built from this file, and the tunnel is gone.
    void MarkTunnelRemoved();
    // A hand-over waiting in the file is not to be built (Connect, Disconnect & Exit).
    void DeclineHandOver();
    // "ShowAppletTitle", which the portal's component reads.
    void ShowAppletTitle(bool show);
    // The tick at which the current connection began, as signed decimal text.
    void WriteStartTime(std::uint32_t tick);

    // The tunnel parameters and the default route's interface index from the file, defaults
    // for missing keys; refills the address history and marks the portal's fresh parameter
    // set as taken.
    void ParseSetting(TunnelSettings& settings, std::int32_t& interfaceIndex,
                      AddressHistory& history);
    // Writes the parameters the client may have changed and the history. Returns 1.
    int SaveSetting(const TunnelSettings& settings, std::int32_t interfaceIndex,
                    AddressHistory& history);

    // The address history's keys "URL0" to "URL9".
    std::string ReadAddress(int number) const {
        return Read(settings::kKeyUrl, settings::Reader::kParameters, number);
    }
    void WriteAddress(int number, const std::string& address);

  private:
    void Write(const std::string& key, const std::string& value);

    platform::Profile& profile_;
    std::string path_;
};

// WriteMode and MarkHandOverTaken on a copy's bytes, for the profile copy, which is written
// only through the handle that was checked to be a plain file.
std::string WithMode(const std::string& bytes, int mode);
std::string WithHandOverTaken(const std::string& bytes);

}  // namespace kestrun
