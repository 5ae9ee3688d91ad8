// The product configuration: the embedded XML table of product generations,
// product lines and applications, a selected product line, and the registry
// key paths of that line's scopes. Every failure is thrown as CQuorSXSError;
// CProductRegistryConfig and CProductRegistry add the HRESULT entries.
#pragma once

#include "QuorSXSError.h"
#include "RegistryKey.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class TiXmlDocument;
class TiXmlHandle;
class TiXmlElement;

// Registry scopes of a product line.
enum RegistryScope : int32_t {
    REGISTRY_SCOPE_SHARED_FOR_ALL = 0,
    REGISTRY_SCOPE_SHARED_FOR_LINES = 1,
    REGISTRY_SCOPE_SHARED_FOR_APPLICATIONS = 2,
    REGISTRY_SCOPE_INSTALLATION = 3,
    REGISTRY_SCOPE_APPLICATIONS = 4,
};

// Document indexes of CProductConfig::LoadXml.
enum ProductDocument : uint16_t {
    PRODUCT_DOCUMENT_CONFIGURATION = 0,
    PRODUCT_DOCUMENT_MODULE_LIST = 1,
};

class CProductConfig {
public:
    explicit CProductConfig(bool bAllowWriteOlderGenerations);
    ~CProductConfig();
    CProductConfig(const CProductConfig&) = delete;
    CProductConfig& operator=(const CProductConfig&) = delete;

    // Parses document 0 (product configuration) or 1 (module list). Once a
    // document is loaded, later calls do nothing, whatever the index.
    void LoadXml(uint16_t index);

    // Selects a product line by id, or by name when the id is -1. A failed
    // selection keeps the previous one.
    void FindProductLine(int32_t productLineId, std::wstring name);

    // Finds an application of the selected line by name, or by id when the
    // name is empty; writes its subkey and folder ("" when absent).
    void FindApplication(int32_t applicationId, const std::wstring& name, std::wstring& subkey,
                         std::wstring& folder);

    // The selected line's registry path of one scope element for hive 1 (HKLM) or 2 (HKCU).
    void GetScopePathForHive(const std::string& elementName, int32_t hive, std::wstring& path);

    // Loads the configuration, selects the line and builds the key path of a scope.
    void BuildScopeKeyPath(std::wstring& path, int32_t hive, int32_t scope, int32_t applicationId,
                           const std::wstring& applicationName, int32_t productLineId);

    // An unopened key for a scope; older generations lose the write rights
    // unless the object allows writing them.
    void GetScopeKey(CRegistryKey& key, int32_t hive, REGSAM access, int32_t scope, int32_t applicationId,
                     const std::wstring& applicationName, int32_t productLineId);
    void GetSharedForApplicationsKey(CRegistryKey& key, int32_t hive, REGSAM access, int32_t productLineId);
    void GetInstallationKey(CRegistryKey& key, int32_t hive, REGSAM access, int32_t productLineId);
    void GetSharedForApplicationsPath(std::wstring& path, int32_t hive, int32_t productLineId);

    // State of the selection.
    int32_t GetGenerationId() const { return m_nGenerationId; }
    int32_t GetProductLineId() const { return m_nProductLineId; }
    const std::wstring& GetProductLineName() const { return m_strProductLineName; }
    const TiXmlElement* GetProductLineElement() const { return m_pProductLine; }
    TiXmlDocument* GetDocument() const { return m_pDocument.get(); }

private:
    void InitFields();
    void Release();
    void Select(const TiXmlElement* generation, TiXmlElement* line, int32_t productLineId,
                const std::wstring& name, bool byName);

    int32_t m_nGenerationId;
    std::unique_ptr<TiXmlDocument> m_pDocument;
    std::unique_ptr<TiXmlHandle> m_pHandle;
    TiXmlElement* m_pProductLine;
    int32_t m_nProductLineId;
    std::wstring m_strProductLineName;
    bool m_bAllowWriteOlderGenerations;
    // Whether the current selection was made by name: only then may a lookup
    // by the same name reuse it (two lines share a name; the first must win).
    bool m_bSelectedByName;
};

class CProductRegistryConfig : public CProductConfig {
public:
    explicit CProductRegistryConfig(bool bAllowWriteOlderGenerations)
        : CProductConfig(bAllowWriteOlderGenerations) {}

    // The unopened key of a line's shared-for-applications or installation
    // scope; the output is left as it was on failure.
    HRESULT OpenSharedForApplicationsKey(int32_t hive, REGSAM access, int32_t productLineId, CRegistryKey* key);
    HRESULT OpenInstallationKey(int32_t hive, REGSAM access, int32_t productLineId, CRegistryKey* key);
};

class CProductRegistry : public CProductRegistryConfig {
public:
    explicit CProductRegistry(bool bAllowWriteOlderGenerations)
        : CProductRegistryConfig(bAllowWriteOlderGenerations) {}

    // The key path of a line's shared-for-applications scope for hive 1 or 2;
    // the output is left as it was on failure.
    HRESULT GetScopeKeyPath(int32_t hive, int32_t productLineId, std::wstring* path);
};

// UTF-8 (up to the first NUL) to a wide string; throws (system error, 0x70000).
std::wstring Utf8ToWide(const std::string& text);

// The assembly identity name in the manifest beside the program
// ("<program file>.manifest"); "" when there is no readable manifest.
std::wstring GetOwnAssemblyName();
