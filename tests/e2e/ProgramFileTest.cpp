// What the shipped program file carries: its version, its icons in order,
// its manifest, its dialogs and strings.
#include "res/resource.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::wstring ProgramPath() { return ProgramFolder() + L"\\VelmoraRegistryCleaner.exe"; }

class LoadedAsData {
public:
    LoadedAsData()
        : m_module(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~LoadedAsData()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    HMODULE get() const { return m_module; }

private:
    HMODULE m_module;
};

BOOL CALLBACK CollectIconGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(param)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

}  // namespace

TEST(ProgramFile, VersionIs17_0_1_0)
{
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(ProgramPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(::GetFileVersionInfoW(ProgramPath().c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(0, 17));
    EXPECT_EQ(info->dwFileVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(info->dwProductVersionMS, MAKELONG(0, 17));
    EXPECT_EQ(info->dwProductVersionLS, MAKELONG(0, 1));
}

TEST(ProgramFile, IconGroupsManifestDialogsAndStrings)
{
    LoadedAsData program;
    ASSERT_NE(program.get(), nullptr);

    std::vector<int> groups;
    ::EnumResourceNamesW(program.get(), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, CollectIconGroup,
                         reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, (std::vector<int>{IDR_MAINFRAME, IDI_DEVELOPER})) << "128 first: the program's icon";

    HRSRC manifest = ::FindResourceW(program.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(program.get(), manifest)));
    const std::string manifestText(text, ::SizeofResource(program.get(), manifest));
    EXPECT_NE(manifestText.find("level=\"asInvoker\""), std::string::npos);

    for (int dialog : {IDD_CLEAN_DIALOG, IDD_SUCCESS_DIALOG, IDD_FAILURE_DIALOG, IDD_SET_REGISTRY_DIALOG})
        EXPECT_NE(::FindResourceW(program.get(), MAKEINTRESOURCEW(dialog), MAKEINTRESOURCEW(5) /* RT_DIALOG */), nullptr)
            << dialog;

    wchar_t head[256] = {};
    ASSERT_GT(::LoadStringW(program.get(), IDS_FAILURE_HEAD, head, 256), 0);
    EXPECT_EQ(std::wstring(head),
              L"Finished unsuccessfully. Cleaning not complete.\n\nSome folders, files cannot be deleted from:\n\n");
}
