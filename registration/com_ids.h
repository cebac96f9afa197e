// The fixed identifiers of both deliverables' COM classes, interfaces, type libraries and
// AppIDs, in registry text form. The IDL files repeat them; the type-library test checks
// that the compiled libraries agree. Debian's widl 7.0 writes 0x0D into the last byte of
// a library's id in the .tlb whatever the IDL says, so both library ids end in 0D.
#pragma once

namespace qmz {

// QMZ4: the automation class, its interface, the proxy class and the type library.
inline constexpr wchar_t kQmz4LibraryId[] = L"{14E48EEE-F59A-4F39-95B7-09575EF17B0D}";
inline constexpr wchar_t kMainAutoClassId[] = L"{57580CCB-7C61-454F-B260-9670E6F0154D}";
inline constexpr wchar_t kMainAutoInterfaceId[] = L"{952E682D-D554-4C07-A812-98C9A8F7711E}";
inline constexpr wchar_t kProxyClassId[] = L"{E2E357AD-EE45-44CC-844D-8CEF5B274FCA}";
inline constexpr wchar_t kProxyInterfaceId[] = L"{6E50AC4B-C092-4849-BAF4-9C76C95F1ECD}";
inline constexpr wchar_t kQmz4AppId[] = L"{80A94B6A-1EB3-4680-9E55-D9D0596456CD}";

// QMZ4shellext: the two context-menu handlers and the DLL's type library.
inline constexpr wchar_t kShellextLibraryId[] = L"{EEA1D3C9-6611-4301-A4CD-C2201DF9FC0D}";
inline constexpr wchar_t kMenuClassId[] = L"{FA688FDA-724B-4DED-8CD7-B576D623C571}";
inline constexpr wchar_t kMenuInterfaceId[] = L"{D18344FB-7450-466B-8465-32655AB27A58}";
inline constexpr wchar_t kRecycleBinMenuClassId[] = L"{77F5CF45-47FC-4FC5-938D-DFE66BFED782}";
inline constexpr wchar_t kRecycleBinMenuInterfaceId[] = L"{9F26D52D-06D3-4414-9595-4EE3F328DA97}";
inline constexpr wchar_t kShellextAppId[] = L"{1109308E-E6AA-4372-B70C-B660A8CB2176}";

// The shell's Recycle Bin folder class.
inline constexpr wchar_t kRecycleBinClassId[] = L"{645FF040-5081-101B-9F08-00AA002F954E}";

}  // namespace qmz
