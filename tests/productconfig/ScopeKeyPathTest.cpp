// Registry scope key paths of product lines, the keys built on them, and the
// manifest name used for the applications scope.
#include "ProductConfig.h"
#include "SxsExpect.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const HRESULT HrInvalidData = static_cast<HRESULT>(0x8007000D);
const HRESULT HrUnsupportedType = static_cast<HRESULT>(0x8007065E);

std::wstring OwnProgramPath()
{
    std::vector<wchar_t> buffer(32768);
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

// "<this program>.manifest" with the given content, removed when the test ends.
class ScopedManifest {
public:
    explicit ScopedManifest(const std::string& content) : path_(OwnProgramPath() + L".manifest")
    {
        FILE* file = _wfopen(path_.c_str(), L"wb");
        if (file) {
            written_ = fwrite(content.data(), 1, content.size(), file) == content.size();
            fclose(file);
        }
    }
    ~ScopedManifest() { DeleteFileW(path_.c_str()); }
    bool Written() const { return written_; }

private:
    std::wstring path_;
    bool written_ = false;
};

const char LauncherManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <assemblyIdentity type=\"win32\" name=\"Quor.Studio.Launcher\" version=\"1.0.0.0\" "
    "processorArchitecture=\"*\"/>\n"
    "</assembly>\n";

std::wstring BuildPath(CProductConfig& config, int32_t hive, int32_t scope, int32_t applicationId,
                       const std::wstring& name, int32_t line)
{
    std::wstring path;
    config.BuildScopeKeyPath(path, hive, scope, applicationId, name, line);
    return path;
}

}  // namespace

TEST(ScopeKeyPath, PublicEntryForBothHives)
{
    CProductRegistry registry(false);
    std::wstring path;
    EXPECT_EQ(registry.GetScopeKeyPath(2, 1, &path), S_OK);
    EXPECT_EQ(path, L"Software\\Quor\\Studio 11\\User\\Shared");
    EXPECT_EQ(registry.GetScopeKeyPath(1, 1, &path), S_OK);
    EXPECT_EQ(path, L"Software\\Quor\\Studio 11\\Shared");

    // Hive 3 is no hive of the path lookup; the output stays as it was.
    path = L"before";
    EXPECT_EQ(registry.GetScopeKeyPath(3, 1, &path), HrInvalidData);
    EXPECT_EQ(registry.GetScopeKeyPath(0, 1, &path), HrInvalidData);
    EXPECT_EQ(registry.GetScopeKeyPath(2, 4242, &path), HrUnsupportedType);
    EXPECT_EQ(path, L"before");
    EXPECT_EQ(registry.GetScopeKeyPath(2, 1, nullptr), E_POINTER);
}

TEST(ScopeKeyPath, EveryLineResolvesSharedForApplicationsInBothHives)
{
    CProductRegistry registry(false);
    for (int32_t line : {1, 2, 3, 1001, 1002, 901, 902, 801, 707, 708}) {
        for (int32_t hive : {1, 2}) {
            std::wstring path;
            EXPECT_EQ(registry.GetScopeKeyPath(hive, line, &path), S_OK) << line << " " << hive;
            EXPECT_EQ(path.rfind(L"Software\\Quor\\", 0), 0u) << line << " " << hive;
        }
    }
}

TEST(ScopeKeyPath, ScopesOfLine708)
{
    CProductConfig config(false);
    // The shared-for scopes it lacks are served by the shared-for-all scope.
    EXPECT_EQ(BuildPath(config, 1, 1, 0, L"", 708), L"Software\\Quor\\Shared");
    EXPECT_EQ(BuildPath(config, 2, 2, 0, L"", 708), L"Software\\Quor\\Shared\\User");
    EXPECT_EQ(BuildPath(config, 1, 0, 0, L"", 708), L"Software\\Quor\\Shared");
    EXPECT_EQ(BuildPath(config, 1, 3, 0, L"", 708), L"Software\\Quor\\Runtime 7\\Installation");
    EXPECT_EQ(BuildPath(config, 2, 3, 0, L"INSTALLATION", 708), L"Software\\Quor\\Runtime 7\\User\\Installation");

    // Another line with the elements keeps its own paths.
    EXPECT_EQ(BuildPath(config, 1, 1, 0, L"", 1001), L"Software\\Quor\\Generation 10");
    EXPECT_EQ(BuildPath(config, 2, 2, 0, L"", 1001), L"Software\\Quor\\Studio 10\\User\\Shared");
}

TEST(ScopeKeyPath, ScopeOutOfRangeIsReportedAfterTheLine)
{
    CProductConfig config(false);
    std::wstring path = L"kept";
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 5, 0, L"", 4242), 1630, 0x10000);
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 5, 0, L"", 1), 1, 0x40000);
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, -1, 0, L"", 1), 1, 0x40000);
    EXPECT_EQ(path, L"kept");
}

TEST(ScopeKeyPath, ApplicationsScope)
{
    CProductConfig config(false);
    EXPECT_EQ(BuildPath(config, 1, 4, 0, L"APPLICATIONSROOT", 1), L"Software\\Quor\\Studio 11\\Applications");
    EXPECT_EQ(BuildPath(config, 2, 4, 9, L"", 1), L"Software\\Quor\\Studio 11\\User\\Applications\\Tools\\Converter");
    EXPECT_EQ(BuildPath(config, 1, 4, 0, L"Quor Writer", 1), L"Software\\Quor\\Studio 11\\Applications\\Writer");
    // The root name counts only with id 0; with another id it is looked up and not found.
    std::wstring path;
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 4, 3, L"APPLICATIONSROOT", 1), 1630, 0x10000);
    // The one application without subkey.
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 4, 31, L"", 1), 3, 0x30000);
}

TEST(ScopeKeyPath, MissingScopeElementAndHiveAttribute)
{
    CProductConfig config(false);
    config.LoadXml(PRODUCT_DOCUMENT_CONFIGURATION);
    config.FindProductLine(3, L"");
    TiXmlElement* line = const_cast<TiXmlElement*>(config.GetProductLineElement());
    ASSERT_NE(line, nullptr);
    TiXmlElement* installation = line->FirstChildElement("REGISTRY-INSTALLATION");
    ASSERT_NE(installation, nullptr);
    installation->RemoveAttribute("HKCU");
    std::wstring path;
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 2, 3, 0, L"", 3), 9, 0x10000);
    EXPECT_EQ(BuildPath(config, 1, 3, 0, L"", 3), L"Software\\Quor\\Tools 11\\Installation");
    line->RemoveChild(installation);
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 3, 0, L"", 3), 13, 0x10000);
    EXPECT_SXS_ERROR(config.GetScopePathForHive("REGISTRY-SHARED-FOR-ALL", 3, path), 13, 0x10000);
}

TEST(ScopeKeyPath, KeysKeepWriteRightsOnlyForGenerationEleven)
{
    const REGSAM all = KEY_ALL_ACCESS;
    const REGSAM withoutWrite = KEY_ALL_ACCESS & ~static_cast<REGSAM>(KEY_SET_VALUE | KEY_CREATE_SUB_KEY);

    CProductConfig config(false);
    CRegistryKey key;
    config.GetScopeKey(key, 2, all, 2, 0, L"", 1);
    EXPECT_EQ(key.GetAccess(), all);
    EXPECT_EQ(key.GetHive(), 2);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Studio 11\\User\\Shared");
    EXPECT_FALSE(key.IsOpen());

    config.GetScopeKey(key, 2, all, 2, 0, L"", 1001);
    EXPECT_EQ(key.GetAccess(), withoutWrite);
    config.GetInstallationKey(key, 1, all, 708);
    EXPECT_EQ(key.GetAccess(), withoutWrite);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Runtime 7\\Installation");
    EXPECT_EQ(key.GetHive(), 1);

    CProductConfig allowing(true);
    allowing.GetSharedForApplicationsKey(key, 2, all, 1001);
    EXPECT_EQ(key.GetAccess(), all);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Studio 10\\User\\Shared");
}

TEST(ScopeKeyPath, PublicKeyEntries)
{
    CProductRegistryConfig registry(false);
    CRegistryKey key;
    EXPECT_EQ(registry.OpenSharedForApplicationsKey(2, KEY_READ | KEY_WRITE, 2, &key), S_OK);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Office 11\\User\\Shared");
    EXPECT_EQ(key.GetAccess(), static_cast<REGSAM>(KEY_READ | KEY_WRITE));
    EXPECT_FALSE(key.IsOpen());

    EXPECT_EQ(registry.OpenInstallationKey(1, KEY_READ | KEY_WRITE, 902, &key), S_OK);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Office 9\\Installation");
    EXPECT_EQ(key.GetHive(), 1);
    EXPECT_EQ(key.GetAccess(), static_cast<REGSAM>((KEY_READ | KEY_WRITE) & ~(KEY_SET_VALUE | KEY_CREATE_SUB_KEY)));

    // Failures leave the output key as it was.
    EXPECT_EQ(registry.OpenInstallationKey(1, KEY_READ, 4242, &key), HrUnsupportedType);
    EXPECT_EQ(registry.OpenSharedForApplicationsKey(7, KEY_READ, 1, &key), HrInvalidData);
    EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Office 9\\Installation");
    EXPECT_EQ(registry.OpenInstallationKey(1, KEY_READ, 1, nullptr), E_POINTER);
}

TEST(OwnAssemblyName, ReadsTheManifestBesideTheProgram)
{
    EXPECT_EQ(GetOwnAssemblyName(), L"");
    CProductConfig config(false);
    std::wstring path;
    // Without a manifest the name stays empty and id 0 finds no application.
    EXPECT_SXS_ERROR(config.BuildScopeKeyPath(path, 1, 4, 0, L"", 1), 1630, 0x10000);

    {
        ScopedManifest manifest(LauncherManifest);
        ASSERT_TRUE(manifest.Written());
        EXPECT_EQ(GetOwnAssemblyName(), L"Quor.Studio.Launcher");
        EXPECT_EQ(BuildPath(config, 1, 4, 0, L"", 1), L"Software\\Quor\\Studio 11\\Applications\\Launcher");
        // A name given by the caller wins over the manifest, and so does an application's id.
        EXPECT_EQ(BuildPath(config, 1, 4, 0, L"Quor Writer", 1), L"Software\\Quor\\Studio 11\\Applications\\Writer");
        CRegistryKey key;
        config.GetScopeKey(key, 2, KEY_READ, 4, 9, L"", 1);
        EXPECT_EQ(key.GetPath(), L"Software\\Quor\\Studio 11\\User\\Applications\\Tools\\Converter");
    }
    {
        ScopedManifest manifest("<assembly><assemblyIdentity name=\"Broken\"></assembly>");
        ASSERT_TRUE(manifest.Written());
        EXPECT_EQ(GetOwnAssemblyName(), L"");
    }
    {
        ScopedManifest manifest("<?xml version=\"1.0\"?><assembly><dependency/></assembly>");
        ASSERT_TRUE(manifest.Written());
        EXPECT_EQ(GetOwnAssemblyName(), L"");
    }
    EXPECT_EQ(GetOwnAssemblyName(), L"");
}
