#include "device/ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace kinemo {

namespace {

// The kernel refuses descriptors beyond these limits, so no real device exceeds them,
// and they keep every sum far from overflow.
constexpr std::uint32_t kMaxReportSizeBits = 256;
constexpr std::uint32_t kMaxReportCount = 12288;
constexpr std::size_t kMaxPushDepth = 16;
constexpr std::uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;  // a length must fit 16 bits

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : std::uint8_t { kInput = 0x8, kOutput = 0x9, kCollection = 0xA, kEndCollection = 0xC };

enum GlobalTag : std::uint8_t { kReportSize = 0x7, kReportId = 0x8, kReportCount = 0x9, kPush = 0xA, kPop = 0xB };

constexpr std::uint8_t kLongItemPrefix = 0xFE;

struct GlobalState {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;  // 0: the device numbers no reports
};

// Data bits per report ID, for one kind of report.
struct ReportBits {
    std::array<std::uint64_t, 256> bits{};
    std::array<bool, 256> present{};

    bool add(std::uint32_t reportId, std::uint64_t fieldBits) {
        bits[reportId] += fieldBits;
        present[reportId] = true;
        return bits[reportId] <= kMaxReportBits;
    }

    // Windows counts the report-ID byte whether or not the device numbers its reports.
    std::uint16_t longestWithIdByte() const {
        std::uint64_t longest = 0;
        bool any = false;
        for (std::size_t id = 0; id < bits.size(); ++id) {
            if (!present[id]) continue;
            any = true;
            longest = std::max(longest, (bits[id] + 7) / 8);
        }
        return any ? static_cast<std::uint16_t>(longest + 1) : 0;
    }
};

std::optional<ReportLengths> fail(std::string* error, const char* reason) {
    if (error) *error = reason;
    return std::nullopt;
}

}  // namespace

std::optional<ReportLengths> reportLengths(std::span<const std::uint8_t> descriptor, std::string* error) {
    if (descriptor.empty()) return fail(error, "empty descriptor");

    GlobalState global;
    std::vector<GlobalState> pushed;
    std::size_t collectionDepth = 0;
    ReportBits input;
    ReportBits output;

    std::size_t pos = 0;
    const std::size_t end = descriptor.size();
    while (pos < end) {
        const std::uint8_t prefix = descriptor[pos++];
        if (prefix == kLongItemPrefix) {
            // No long item tag is defined; skip its data.
            if (end - pos < 2) return fail(error, "truncated long item");
            const std::size_t dataSize = descriptor[pos];
            pos += 2;
            if (end - pos < dataSize) return fail(error, "truncated long item");
            pos += dataSize;
            continue;
        }
        const std::size_t dataSize = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (end - pos < dataSize) return fail(error, "truncated item");
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < dataSize; ++i) value |= std::uint32_t{descriptor[pos + i]} << (8 * i);
        pos += dataSize;

        const std::uint8_t type = (prefix >> 2) & 0x3;
        const std::uint8_t tag = prefix >> 4;
        if (type == kMain) {
            switch (tag) {
            case kInput:
            case kOutput: {
                const std::uint64_t fieldBits = std::uint64_t{global.reportSize} * global.reportCount;
                ReportBits& kind = tag == kInput ? input : output;
                if (!kind.add(global.reportId, fieldBits)) return fail(error, "report too long");
                break;
            }
            case kCollection: ++collectionDepth; break;
            case kEndCollection:
                if (collectionDepth == 0) return fail(error, "End Collection without Collection");
                --collectionDepth;
                break;
            default:
                // Feature reports do not count, and unknown main items (such as the
                // 0x00 some remotes append after the last End Collection) are ignored,
                // as the kernel does.
                break;
            }
        } else if (type == kGlobal) {
            switch (tag) {
            case kReportSize:
                if (value > kMaxReportSizeBits) return fail(error, "Report Size too large");
                global.reportSize = value;
                break;
            case kReportCount:
                if (value > kMaxReportCount) return fail(error, "Report Count too large");
                global.reportCount = value;
                break;
            case kReportId:
                if (value == 0 || value > 0xFF) return fail(error, "invalid Report ID");
                global.reportId = value;
                break;
            case kPush:
                if (pushed.size() >= kMaxPushDepth) return fail(error, "Push nested too deep");
                pushed.push_back(global);
                break;
            case kPop:
                if (pushed.empty()) return fail(error, "Pop without Push");
                global = pushed.back();
                pushed.pop_back();
                break;
            default: break;  // usage page, logical and physical ranges, units: no effect on lengths
            }
        }
        // Local items (usages, designators, strings, delimiters) and reserved items
        // do not change a report's size.
    }
    if (collectionDepth != 0) return fail(error, "Collection without End Collection");

    return ReportLengths{input.longestWithIdByte(), output.longestWithIdByte()};
}

}  // namespace kinemo
