#include "ui/SysInfo.h"

#include "app/Version.h"

#include <QMessageBox>
#include <QProcess>
#include <QString>

#include <array>
#include <cstdio>
#include <filesystem>

namespace kinemo {

bool GetKeyValue(SysInfoPlatform& platform, RegistryKey root, const std::string& keyName,
                 const std::string& valueName, std::string& value) {
    RegistryKey key = 0;
    if (!platform.RegOpenKey(root, keyName, kRegistryAccess, key)) {
        value.clear();
        return false;
    }
    std::array<std::uint8_t, kRegistryValueBuffer> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = buffer.size();
    const bool read = platform.RegQueryValue(key, valueName, type, buffer, size) && size <= buffer.size();
    platform.RegCloseKey(key);
    if (!read) {
        value.clear();
        return false;
    }
    if (type == kRegString) {
        if (size > 0 && buffer[size - 1] == 0) --size;
        value.assign(reinterpret_cast<const char*>(buffer.data()), size);
    } else if (type == kRegDword) {
        // Two digits for every byte, most significant first, so the text reads as the
        // number it stands for.
        value = "&h";
        for (std::uint32_t i = size; i > 0; --i) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", buffer[i - 1]);
            value += digits;
        }
    }
    return true;
}

void StartSysInfo(SysInfoPlatform& platform) {
    std::string path;
    std::string program;
    if (GetKeyValue(platform, kHkeyLocalMachine, kMsinfoKey, kMsinfoValue, path)) {
        program = path;
    } else if (GetKeyValue(platform, kHkeyLocalMachine, kMsinfoLocationKey, kMsinfoLocationValue, path) &&
               platform.fileExists(path + kMsinfoProgram)) {
        program = path + kMsinfoProgram;
    }
    if (program.empty() || !platform.startProgram(program)) platform.showMessage(kSysInfoUnavailable);
}

bool LinuxSysInfoPlatform::RegOpenKey(RegistryKey, const std::string&, std::uint32_t, RegistryKey&) {
    return false;
}

bool LinuxSysInfoPlatform::RegQueryValue(RegistryKey, const std::string&, std::uint32_t&,
                                         std::span<std::uint8_t>, std::uint32_t&) {
    return false;
}

void LinuxSysInfoPlatform::RegCloseKey(RegistryKey) {}

bool LinuxSysInfoPlatform::fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

bool LinuxSysInfoPlatform::startProgram(const std::string& path) {
    return QProcess::startDetached(QString::fromStdString(path), {});
}

void LinuxSysInfoPlatform::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace kinemo
