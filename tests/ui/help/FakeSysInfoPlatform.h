// A scripted registry, file system and shell for the system-information launcher:
// it records which keys were opened and closed, which files were looked for, what
// was started and which messages were shown.
#pragma once

#include "ui/SysInfo.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kinemo::test {

struct FakeRegistryValue {
    std::uint32_t type = kRegString;
    std::vector<std::uint8_t> bytes;
};

inline FakeRegistryValue regString(const std::string& text, bool terminated = true) {
    FakeRegistryValue value{kRegString, {text.begin(), text.end()}};
    if (terminated) value.bytes.push_back(0);
    return value;
}

class FakeSysInfoPlatform final : public SysInfoPlatform {
public:
    // key name -> value name -> value, all under HKEY_LOCAL_MACHINE
    std::map<std::string, std::map<std::string, FakeRegistryValue>> registry;
    std::set<std::string> files;
    bool startSucceeds = true;

    std::vector<std::string> keysTried;
    std::vector<RegistryKey> openKeys;
    std::vector<std::string> filesLookedFor;
    std::vector<std::string> started;
    std::vector<std::string> messages;

    bool RegOpenKey(RegistryKey root, const std::string& subKey, std::uint32_t, RegistryKey& opened) override {
        keysTried.push_back(subKey);
        if (root != kHkeyLocalMachine || !registry.contains(subKey)) return false;
        opened = nextHandle_++;
        handles_[opened] = subKey;
        openKeys.push_back(opened);
        return true;
    }

    bool RegQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::span<std::uint8_t> buffer, std::uint32_t& size) override {
        const auto& values = registry.at(handles_.at(key));
        const auto found = values.find(valueName);
        if (found == values.end() || found->second.bytes.size() > buffer.size()) return false;
        type = found->second.type;
        std::copy(found->second.bytes.begin(), found->second.bytes.end(), buffer.begin());
        size = static_cast<std::uint32_t>(found->second.bytes.size());
        return true;
    }

    void RegCloseKey(RegistryKey key) override { std::erase(openKeys, key); }

    bool fileExists(const std::string& path) override {
        filesLookedFor.push_back(path);
        return files.contains(path);
    }

    bool startProgram(const std::string& path) override {
        started.push_back(path);
        return startSucceeds;
    }

    void showMessage(const std::string& text) override { messages.push_back(text); }

private:
    RegistryKey nextHandle_ = 0x100;
    std::map<RegistryKey, std::string> handles_;
};

}  // namespace kinemo::test
