// An erase method: a named list of pass codes ending at PassListEnd.
#pragma once

#include <cstdint>
#include <string>

namespace qmz {

constexpr uint32_t kPassCodeSlots = 102;

// Pass codes: 0x00..0xFF write that byte value; the others are listed here.
constexpr uint32_t PassRandom = 0x100;
constexpr uint32_t PassVerify = 0x200;
constexpr uint32_t PassTriple1 = 0x400;
constexpr uint32_t PassTriple2 = 0x500;
constexpr uint32_t PassTriple3 = 0x600;
constexpr uint32_t PassTriple4 = 0x700;
constexpr uint32_t PassTriple5 = 0x800;
constexpr uint32_t PassTriple6 = 0x900;
constexpr uint32_t PassDriveSecureErase = 0xA00;
constexpr uint32_t PassDriveSecureEraseEnhanced = 0xB00;
constexpr uint32_t PassDriveFormatUnit = 0xC00;
constexpr uint32_t PassDriveSanitize = 0xD00;
constexpr uint32_t PassVerifyOnePercent = 0xE00;
constexpr uint32_t PassListEnd = 0xFFFF;

struct MethodEntry {
    std::wstring Name;  // filled at start-up for listed entries only
    uint32_t TextId = 0;
    int32_t ListPosition = 0;  // negative: not offered in the settings list
    uint32_t PassCodes[kPassCodeSlots] = {PassListEnd};
};

// Number of passes: the codes before the first PassListEnd.
inline uint32_t CountPasses(const MethodEntry& method) {
    uint32_t count = 0;
    while (count < kPassCodeSlots && method.PassCodes[count] != PassListEnd) {
        ++count;
    }
    return count;
}

}  // namespace qmz
