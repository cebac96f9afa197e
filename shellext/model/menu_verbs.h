// How Explorer names a context-menu command (InvokeCommand's verb) and asks for its text
// (GetCommandString's flags), shared by both handlers.
#pragma once

#include <cstdint>
#include <optional>

namespace qmz {

// A verb whose bits 16 to 31 (of the low 32) are zero is a command offset; any other is
// the address of an ANSI verb string.
inline std::optional<uint32_t> VerbNumber(uint64_t verb) {
    if ((verb & 0xFFFF0000u) != 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(verb & 0xFFFFu);
}

enum class CommandTextForm { kRefused, kAnsi, kWide };

// Bit 0 asks for help text, bit 2 for wide characters. Neither (an ANSI verb or an ANSI
// validation) is refused; the one text serves as help text and as verb.
inline CommandTextForm CommandTextFormOf(uint32_t flags) {
    if ((flags & 0x4u) != 0) {
        return CommandTextForm::kWide;
    }
    return (flags & 0x1u) != 0 ? CommandTextForm::kAnsi : CommandTextForm::kRefused;
}

}  // namespace qmz
