// What Explorer and the taskbar read from quorrin.exe: its version record and its icon group.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One entry of an icon group as stored in the file (GRPICONDIRENTRY).
#pragma pack(push, 2)
struct GroupEntry {
    BYTE Width, Height, ColourCount, Reserved;
    WORD Planes, BitCount;
    DWORD BytesInRes;
    WORD Id;
};
#pragma pack(pop)

struct Module {
    HMODULE Handle = LoadLibraryExW(QUORRIN_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Module() { FreeLibrary(Handle); }

    std::string Resource(const wchar_t* name, const wchar_t* type) const
    {
        HRSRC found = FindResourceW(Handle, name, type);
        if (!found) return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(Handle, found)));
        return {data, data + SizeofResource(Handle, found)};
    }
};

std::wstring VersionString(const std::vector<char>& record, const wchar_t* name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ? value : L"?";
}

TEST(Resources, VersionRecordNamesQuorrin100)
{
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(QUORRIN_EXE, &ignored));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(QUORRIN_EXE, 0, static_cast<DWORD>(record.size()), record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "file version 1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u) << "file version x.x.0.0";
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(VersionString(record, L"ProductName"), L"Quorrin");
    EXPECT_EQ(VersionString(record, L"ProductVersion"), L"1.00");
    EXPECT_EQ(VersionString(record, L"FileVersion"), L"1.00");
}

TEST(Resources, IconGroupHasThreeImages)
{
    const Module exe;
    ASSERT_NE(exe.Handle, nullptr);
    const std::string group = exe.Resource(L"IDI_ICON1", RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupEntry));

    // Width x height, bits per pixel: 32 x 32 in 2 and in 16 colours, 16 x 16 in 16 colours.
    std::vector<std::string> images;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + 6 + i * sizeof(GroupEntry));
        images.push_back(std::to_string(entry->Width) + "x" + std::to_string(entry->Height) + "x" +
                         std::to_string(entry->BitCount));
        EXPECT_FALSE(exe.Resource(MAKEINTRESOURCEW(entry->Id), RT_ICON).empty()) << images.back();
    }
    EXPECT_EQ(images, (std::vector<std::string>{"32x32x1", "32x32x4", "16x16x4"}));
}

}  // namespace
