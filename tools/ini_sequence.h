// One fixed sequence of profile (INI) reads and writes, the kind Setting.tmp sees from the
// client and from the portal. It runs once through the real Windows profile functions and
// once through the fake, and the two printouts and resulting files must be identical.
//
// Ops provides:
//   std::string GetString(section, key, def, size, path)   GetPrivateProfileStringA
//   std::uint32_t GetInt(section, key, def, path)          GetPrivateProfileIntA
//   bool Write(section, key, value, path)                  WritePrivateProfileStringA
//   std::string Path(name)                                 a file in the probe directory
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace kestrun::tools {

// Bytes as they stand in a file written by someone else (the portal).
inline void WriteRawFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

template <typename Ops>
class IniSequence {
  public:
    IniSequence(Ops& ops, std::FILE* out) : ops_(ops), out_(out) {}

    void Run() {
        const std::string file = ops_.Path("Setting.tmp");
        const std::string missing = ops_.Path("missing.ini");

        Read("missing file", "IPSec", "Gateway", "0.0.0.0", 128, missing);
        Int("missing file int", "IPSec", "StartTime", -1, missing);

        Write("create file", "IPSec", "Gateway", "192.168.1.1", file);
        Write("second key", "IPSec", "PreSharedKey", "abcdefgh", file);
        Write("key with blank", "IPSec", "VPN Mode", "1", file);
        Read("read back", "IPSec", "Gateway", "x", 128, file);
        Read("key with blank", "IPSec", "VPN Mode", "x", 128, file);
        Read("other case", "ipsec", "vpn MODE", "x", 128, file);

        Write("replace value", "IPSec", "Gateway", "10.0.0.1", file);
        Write("same value again", "IPSec", "Gateway", "10.0.0.1", file);
        Write("second section", "Other", "Key", "v", file);
        Write("append to first section", "IPSec", "NetworkIP", "192.168.99.0", file);
        Write("empty value", "IPSec", "Empty", "", file);
        Write("padded value", "IPSec", "Padded", "  padded value  ", file);
        Write("quoted value", "IPSec", "Quoted", "\"quoted\"", file);

        Read("present empty", "IPSec", "Empty", "dflt", 128, file);
        Read("padded", "IPSec", "Padded", "dflt", 128, file);
        Read("quoted", "IPSec", "Quoted", "dflt", 128, file);
        Read("missing key", "IPSec", "NoSuchKey", "dflt", 128, file);
        Read("missing section", "NoSuchSection", "Gateway", "dflt", 128, file);
        Read("default with trailing blanks", "IPSec", "NoSuchKey", "dflt   ", 128, file);
        Read("second section key", "Other", "Key", "dflt", 128, file);

        const std::size_t sizes[] = {1, 2, 3, 8, 9, 10};
        for (std::size_t size : sizes) {
            Read("cut value", "IPSec", "PreSharedKey", "dflt", size, file);
            Read("cut default", "IPSec", "NoSuchKey", "default-text", size, file);
        }

        const char* starts[] = {"123", "-5", "abc", "", " 42", "12abc", "+7", "4294967295"};
        for (const char* start : starts) {
            Write("StartTime", "IPSec", "StartTime", start, file);
            Int("StartTime", "IPSec", "StartTime", 99, file);
        }
        Int("missing int", "IPSec", "NoSuchKey", 99, file);
        Int("missing int negative default", "IPSec", "NoSuchKey", -3, file);

        // The portal's own file: LF line ends, blanks around names and values, blank lines.
        const std::string portal = ops_.Path("portal.ini");
        WriteRawFile(portal,
                     "[IPSec]\nCallByIE=TRUE\n Gateway = 10.0.0.9 \n\nParseSettingFlag=TRUE\n"
                     "[Other]\nx=1\n");
        Read("portal flag", "IPSec", "CallByIE", "TRUE", 10, portal);
        Read("portal padded", "IPSec", "Gateway", "0.0.0.0", 128, portal);
        Write("portal flag reset", "IPSec", "CallByIE", "FALSE", portal);
        Read("portal flag after", "IPSec", "CallByIE", "TRUE", 10, portal);
        Write("portal new key", "IPSec", "RemoveIPsec", "FALSE", portal);

        // A file without a final line end.
        const std::string unterminated = ops_.Path("unterminated.ini");
        WriteRawFile(unterminated, "[IPSec]\r\nVPN Mode=2");
        Read("unterminated", "IPSec", "VPN Mode", "1", 10, unterminated);
        Write("unterminated append", "IPSec", "CallByIE", "FALSE", unterminated);

        // Hand-edited oddities: comments, a line without '=', a value holding '=', a key
        // twice, blanks inside the brackets, a key before any section.
        const std::string odd = ops_.Path("odd.ini");
        WriteRawFile(odd,
                     "stray=1\r\n; comment\r\n[ IPSec ]\r\nflagonly\r\nURL0=https://a/?x=1\r\n"
                     "Dup=first\r\nDup=second\r\n[ipsec]\r\nLater=yes\r\n");
        Read("stray key", "", "stray", "dflt", 128, odd);
        Read("bracket blanks", "IPSec", "URL0", "dflt", 128, odd);
        Read("line without equals", "IPSec", "flagonly", "dflt", 128, odd);
        Read("duplicate key", "IPSec", "Dup", "dflt", 128, odd);
        Read("duplicate section", "IPSec", "Later", "dflt", 128, odd);
        Write("odd replace", "IPSec", "Dup", "third", odd);
        Write("odd append", "IPSec", "URL1", "https://b/", odd);
    }

  private:
    void Read(const char* label, const std::string& section, const std::string& key,
              const std::string& def, std::size_t size, const std::string& path) {
        const std::string value = ops_.GetString(section, key, def, size, path);
        std::fprintf(out_, "%s: GetString(%s, %s, \"%s\", %u) = \"%s\"\n", label, section.c_str(),
                     key.c_str(), def.c_str(), static_cast<unsigned>(size), value.c_str());
    }

    void Int(const char* label, const std::string& section, const std::string& key,
             std::int32_t def, const std::string& path) {
        const std::uint32_t value = ops_.GetInt(section, key, def, path);
        std::fprintf(out_, "%s: GetInt(%s, %s, %ld) = %lu\n", label, section.c_str(), key.c_str(),
                     static_cast<long>(def), static_cast<unsigned long>(value));
    }

    void Write(const char* label, const std::string& section, const std::string& key,
               const std::string& value, const std::string& path) {
        const bool ok = ops_.Write(section, key, value, path);
        std::fprintf(out_, "%s: Write(%s, %s, \"%s\") = %d\n", label, section.c_str(), key.c_str(),
                     value.c_str(), ok ? 1 : 0);
    }

    Ops& ops_;
    std::FILE* out_;
};

}  // namespace kestrun::tools
