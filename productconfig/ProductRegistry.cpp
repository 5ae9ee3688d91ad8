// Registry scope key paths of a product line and the HRESULT entries on them.
#include "ProductConfig.h"

#include <tinyxml.h>

#include <cstdio>
#include <vector>

namespace {

// The product line that lacks the two shared-for elements: its scopes 1 and 2
// are served by scope 0.
const int32_t ProductLineWithoutSharedScopes = 708;

const char* const ScopeElementNames[] = {
    "REGISTRY-SHARED-FOR-ALL",
    "REGISTRY-SHARED-FOR-LINES",
    "REGISTRY-SHARED-FOR-APPLICATIONS",
    "REGISTRY-INSTALLATION",
    "REGISTRY-APPLICATIONS",
};

const wchar_t ApplicationsRootName[] = L"APPLICATIONSROOT";
const wchar_t InstallationName[] = L"INSTALLATION";
const wchar_t ManifestSuffix[] = L".manifest";

// Longest module path handled, in characters with the terminator.
const DWORD ModulePathCapacity = 32767;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

void CProductConfig::GetScopePathForHive(const std::string& elementName, int32_t hive, std::wstring& path)
{
    if (m_pProductLine == nullptr)
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_STATE);

    const TiXmlElement* element = m_pProductLine->FirstChildElement(elementName.c_str());
    if (element == nullptr)
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_CONTENT);

    const char* attribute = nullptr;
    if (hive == REGISTRY_HIVE_LOCAL_MACHINE)
        attribute = "HKLM";
    else if (hive == REGISTRY_HIVE_CURRENT_USER)
        attribute = "HKCU";
    else
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_CONTENT);

    const char* value = element->Attribute(attribute);
    if (value == nullptr)
        throw CQuorSXSError(ERROR_INVALID_BLOCK, SXS_ORIGIN_CONTENT);
    path = Utf8ToWide(value);
}

void CProductConfig::BuildScopeKeyPath(std::wstring& path, int32_t hive, int32_t scope, int32_t applicationId,
                                       const std::wstring& applicationName, int32_t productLineId)
{
    std::wstring name = applicationName;
    if (scope == REGISTRY_SCOPE_APPLICATIONS && applicationId == 0 && name.empty())
        name = GetOwnAssemblyName();

    LoadXml(PRODUCT_DOCUMENT_CONFIGURATION);
    FindProductLine(productLineId, std::wstring());

    if (productLineId == ProductLineWithoutSharedScopes &&
        (scope == REGISTRY_SCOPE_SHARED_FOR_LINES || scope == REGISTRY_SCOPE_SHARED_FOR_APPLICATIONS))
        scope = REGISTRY_SCOPE_SHARED_FOR_ALL;

    // Checked after the line lookup: a bad scope with a bad line reports the line.
    if (static_cast<uint32_t>(scope) > REGISTRY_SCOPE_APPLICATIONS)
        throw CQuorSXSError(ERROR_INVALID_FUNCTION, SXS_ORIGIN_PATH);

    if (scope != REGISTRY_SCOPE_APPLICATIONS) {
        GetScopePathForHive(ScopeElementNames[scope], hive, path);
        return;
    }

    std::wstring root;
    GetScopePathForHive(ScopeElementNames[REGISTRY_SCOPE_APPLICATIONS], hive, root);
    if (name == ApplicationsRootName && applicationId == 0) {
        path = root;
        return;
    }
    std::wstring subkey;
    std::wstring folder;
    FindApplication(applicationId, name, subkey, folder);
    if (subkey.empty())
        throw CQuorSXSError(ERROR_PATH_NOT_FOUND, SXS_ORIGIN_APPLICATION);
    path = JoinKeyPath(root, subkey);
}

void CProductConfig::GetScopeKey(CRegistryKey& key, int32_t hive, REGSAM access, int32_t scope,
                                 int32_t applicationId, const std::wstring& applicationName,
                                 int32_t productLineId)
{
    std::wstring path;
    BuildScopeKeyPath(path, hive, scope, applicationId, applicationName, productLineId);
    // Only the current generation may be written, unless the caller allows older ones.
    if (m_nGenerationId != 11 && !m_bAllowWriteOlderGenerations)
        access &= ~static_cast<REGSAM>(KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    key = CRegistryKey(hive, path, access);
}

void CProductConfig::GetSharedForApplicationsKey(CRegistryKey& key, int32_t hive, REGSAM access,
                                                 int32_t productLineId)
{
    GetScopeKey(key, hive, access, REGISTRY_SCOPE_SHARED_FOR_APPLICATIONS, 0, std::wstring(), productLineId);
}

void CProductConfig::GetInstallationKey(CRegistryKey& key, int32_t hive, REGSAM access, int32_t productLineId)
{
    GetScopeKey(key, hive, access, REGISTRY_SCOPE_INSTALLATION, 0, InstallationName, productLineId);
}

void CProductConfig::GetSharedForApplicationsPath(std::wstring& path, int32_t hive, int32_t productLineId)
{
    BuildScopeKeyPath(path, hive, REGISTRY_SCOPE_SHARED_FOR_APPLICATIONS, 0, std::wstring(), productLineId);
}

HRESULT CProductRegistryConfig::OpenSharedForApplicationsKey(int32_t hive, REGSAM access, int32_t productLineId,
                                                             CRegistryKey* key)
{
    if (key == nullptr)
        return E_POINTER;
    return CallMappingErrors([&] {
        CRegistryKey local;
        GetSharedForApplicationsKey(local, hive, access, productLineId);
        *key = local;
        local.Close();
    });
}

HRESULT CProductRegistryConfig::OpenInstallationKey(int32_t hive, REGSAM access, int32_t productLineId,
                                                    CRegistryKey* key)
{
    if (key == nullptr)
        return E_POINTER;
    return CallMappingErrors([&] {
        CRegistryKey local;
        GetInstallationKey(local, hive, access, productLineId);
        *key = local;
        local.Close();
    });
}

HRESULT CProductRegistry::GetScopeKeyPath(int32_t hive, int32_t productLineId, std::wstring* path)
{
    if (path == nullptr)
        return E_POINTER;
    return CallMappingErrors([&] {
        std::wstring local;
        GetSharedForApplicationsPath(local, hive, productLineId);
        *path = std::move(local);
    });
}

std::wstring GetOwnAssemblyName()
{
    // The wide path on the heap: the program may live below a long or non-ANSI folder.
    std::vector<wchar_t> buffer(ModulePathCapacity, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), ModulePathCapacity);
    if (length == 0)
        throw CQuorSXSError(LastErrorOr(ERROR_INVALID_FUNCTION), SXS_ORIGIN_PATH);
    if (length >= ModulePathCapacity)
        throw CQuorSXSError(ERROR_NOT_ENOUGH_MEMORY, SXS_ORIGIN_PATH);

    std::wstring manifestPath(buffer.data(), length);
    if (manifestPath.size() + (sizeof(ManifestSuffix) / sizeof(wchar_t)) > ModulePathCapacity)
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_PATH);
    manifestPath += ManifestSuffix;

    // An absent or malformed manifest is no error: the name is then empty.
    std::unique_ptr<FILE, FileCloser> file(_wfopen(manifestPath.c_str(), L"rb"));
    if (!file)
        return std::wstring();
    TiXmlDocument document;
    if (!document.LoadFile(file.get(), TIXML_DEFAULT_ENCODING))
        return std::wstring();
    file.reset();

    const TiXmlElement* identity =
        TiXmlHandle(&document).FirstChildElement("assembly").FirstChildElement("assemblyIdentity").ToElement();
    if (identity == nullptr)
        return std::wstring();
    const char* name = identity->Attribute("name");
    return name != nullptr ? Utf8ToWide(name) : std::wstring();
}
