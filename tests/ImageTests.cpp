// The built library as the header describes it: its export table holds exactly the
// header's list, and its version resource's numbers are the project's version.
#include "Plugin.h"
#include "PlayerVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

TEST(Image, ExportsExactlyTheHeadersListWithItsOrdinals) {
    std::vector<std::pair<DWORD, std::string>> listed;
#define PLAYER_LISTED(ordinal, identifier, name) listed.emplace_back(ordinal, name);
    PLAYER_EXPORTS(PLAYER_LISTED)
#undef PLAYER_LISTED

    const auto* base = reinterpret_cast<const BYTE*>(plugin().module.get());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    std::vector<std::pair<DWORD, std::string>> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.emplace_back(exports->Base + ordinals[i], reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(exports->NumberOfFunctions, 16u);
    EXPECT_EQ(exported, listed);
}

TEST(Image, VersionNumbersAreTheProjectsVersion) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(plugin().module.get(), path, MAX_PATH);
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(PLAYER_VERSION_MINOR, PLAYER_VERSION_MAJOR);
    const DWORD low = MAKELONG(PLAYER_VERSION_TWEAK, PLAYER_VERSION_PATCH);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
}

} // namespace
