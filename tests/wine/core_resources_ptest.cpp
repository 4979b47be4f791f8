// The resources of the built kavlib.exe, read as Windows reads them: the loader's manifest,
// the version that Explorer's properties show and the icon the shell extracts from the file.
#include <gtest/gtest.h>

#include <shellapi.h>
#include <string>

#include "kavlib.h"
#include "process.h"

using namespace kavproc;

namespace {

std::string manifest_of(const wchar_t *exe)
{
    HMODULE module = LoadLibraryExW(exe, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "";
    std::string text;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);  // the one applied at start
    HGLOBAL data = found ? LoadResource(module, found) : NULL;
    if (data) text.assign((const char *)LockResource(data), SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}

std::wstring version_string(const std::string &info, const wchar_t *name)
{
    std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t *value = NULL;
    UINT units = 0;
    if (!VerQueryValueW(info.data(), key.c_str(), (void **)&value, &units) || !value) return L"";
    return value;
}

}  // namespace

TEST(ExecutableResources, ManifestAsksForDpiAwarenessCommonControls6AndNoElevation)
{
    std::string m = manifest_of(kavlib_exe());
    ASSERT_FALSE(m.empty()) << "a manifest resource with identifier 1";
    EXPECT_NE(std::string::npos, m.find(">true/pm</dpiAware>"));
    EXPECT_NE(std::string::npos, m.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    size_t controls = m.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(std::string::npos, controls);
    EXPECT_NE(std::string::npos, m.find("version=\"6.0.0.0\"", controls));
    EXPECT_NE(std::string::npos, m.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, m.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"))
        << "Windows 10 and 11 listed";
}

TEST(ExecutableResources, VersionInformationIsTheLibrarysVersion)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(kavlib_exe(), &ignored);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(kavlib_exe(), 0, size, &info[0]));

    VS_FIXEDFILEINFO *fixed = NULL;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", (void **)&fixed, &len));
    ASSERT_TRUE(fixed != NULL);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    wchar_t numbers[16];
    wsprintfW(numbers, L"%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS));
    EXPECT_EQ(std::wstring(L"" KAV_VERSION), numbers) << "the number the library reports";
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);

    EXPECT_EQ(L"KAVLIB", version_string(info, L"ProductName"));
    EXPECT_EQ(L"" KAV_VERSION, version_string(info, L"ProductVersion"));
    EXPECT_EQ(L"" KAV_VERSION, version_string(info, L"FileVersion"));
    EXPECT_EQ(L"kavlib.exe", version_string(info, L"OriginalFilename"));
    EXPECT_NE(std::wstring::npos, version_string(info, L"FileDescription").find(L"image-data converter"));
}

TEST(ExecutableResources, TheShellFindsOneIconInTheFileAtBothSizes)
{
    EXPECT_EQ(1u, ExtractIconExW(kavlib_exe(), -1, NULL, NULL, 0));
    HICON large = NULL, small = NULL;
    ASSERT_EQ(2u, ExtractIconExW(kavlib_exe(), 0, &large, &small, 1)) << "a large and a small icon";
    for (HICON icon : {large, small}) {
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.hbmColor != NULL) << "a colour image, not a mask alone";
        BITMAP bm = {};
        GetObjectW(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(icon == large ? GetSystemMetrics(SM_CXICON) : GetSystemMetrics(SM_CXSMICON), bm.bmWidth);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}
