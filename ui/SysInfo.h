// Starting the operating system's system-information tool from the About window.
// The tool is found through two registry values; the registry, the file test, the
// program start and the message box sit behind SysInfoPlatform so tests can script
// them. Linux has no such registry, so there the user is told the tool is missing.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kinemo {

using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kRegistryAccess = 0x2003F;
inline constexpr std::uint32_t kRegString = 1;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::size_t kRegistryValueBuffer = 1024;

inline constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kMsinfoValue = "PATH";
inline constexpr const char* kMsinfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kMsinfoLocationValue = "MSINFO";
inline constexpr const char* kMsinfoProgram = "\\MSINFO32.EXE";
inline constexpr const char* kSysInfoUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

class SysInfoPlatform {
public:
    virtual ~SysInfoPlatform() = default;

    // Opens `subKey` under `root`; false when it cannot be opened.
    virtual bool RegOpenKey(RegistryKey root, const std::string& subKey, std::uint32_t access,
                            RegistryKey& opened) = 0;
    // Reads `valueName` into `buffer`; `size` tells the bytes written. False when the
    // value is missing or larger than the buffer.
    virtual bool RegQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                               std::span<std::uint8_t> buffer, std::uint32_t& size) = 0;
    virtual void RegCloseKey(RegistryKey key) = 0;

    virtual bool fileExists(const std::string& path) = 0;
    // Starts the program in a normal window with the focus; false when it did not start.
    virtual bool startProgram(const std::string& path) = 0;
    // A modal message box with the application title as caption and one OK button.
    virtual void showMessage(const std::string& text) = 0;
};

// The platform of this program on Linux: a registry without keys, the real file
// system, QProcess and QMessageBox.
class LinuxSysInfoPlatform final : public SysInfoPlatform {
public:
    bool RegOpenKey(RegistryKey root, const std::string& subKey, std::uint32_t access,
                    RegistryKey& opened) override;
    bool RegQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    void RegCloseKey(RegistryKey key) override;
    bool fileExists(const std::string& path) override;
    bool startProgram(const std::string& path) override;
    void showMessage(const std::string& text) override;
};

// Reads one registry value as text. Strings come back without their terminating zero;
// a 32-bit number comes back as "&h" and eight hexadecimal digits. On failure `value`
// is emptied and the result is false; a value of another type leaves `value` as it was.
bool GetKeyValue(SysInfoPlatform& platform, RegistryKey root, const std::string& keyName,
                 const std::string& valueName, std::string& value);

// Starts the system-information tool or tells the user it is not available.
void StartSysInfo(SysInfoPlatform& platform);

}  // namespace kinemo
