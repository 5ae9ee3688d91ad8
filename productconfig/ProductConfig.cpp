#include "ProductConfig.h"

#include "EmbeddedDocuments.h"

#include <tinyxml.h>

#include <vector>

namespace {

// The integer value of an attribute, or false when it is missing or not an integer.
bool ReadIntAttribute(const TiXmlElement* element, const char* name, int32_t& value)
{
    int read = 0;
    if (element->QueryIntAttribute(name, &read) != TIXML_SUCCESS)
        return false;
    value = read;
    return true;
}

// The wide value of a text attribute, "" when missing.
std::wstring ReadTextAttribute(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value != nullptr ? Utf8ToWide(value) : std::wstring();
}

}  // namespace

CProductConfig::CProductConfig(bool bAllowWriteOlderGenerations)
{
    InitFields();
    m_bAllowWriteOlderGenerations = bAllowWriteOlderGenerations;
}

CProductConfig::~CProductConfig()
{
    Release();
}

void CProductConfig::InitFields()
{
    m_nGenerationId = -1;
    m_pDocument.reset();
    m_pHandle.reset();
    m_pProductLine = nullptr;
    m_nProductLineId = -1;
    m_strProductLineName.clear();
    m_bAllowWriteOlderGenerations = false;
    m_bSelectedByName = false;
}

void CProductConfig::Release()
{
    // The handle refers to the document: it goes first.
    m_pHandle.reset();
    m_pProductLine = nullptr;
    m_pDocument.reset();
    m_strProductLineName.clear();
}

void CProductConfig::LoadXml(uint16_t index)
{
    // An object keeps the first document it loaded for its whole life.
    if (m_pDocument)
        return;

    const char* text = nullptr;
    switch (index) {
    case PRODUCT_DOCUMENT_CONFIGURATION:
        text = ProductConfigurationXml;
        break;
    case PRODUCT_DOCUMENT_MODULE_LIST:
        text = ModuleListXml;
        break;
    default:
        throw CQuorSXSError(ERROR_FILE_NOT_FOUND, SXS_ORIGIN_STATE);
    }

    // The byte-order mark and the declaration make TinyXML read it as UTF-8.
    std::unique_ptr<TiXmlDocument> document(new TiXmlDocument());
    document->Parse(text, nullptr, TIXML_DEFAULT_ENCODING);
    if (document->Error())
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_CONTENT);

    m_pDocument = std::move(document);
    m_pHandle.reset(new TiXmlHandle(m_pDocument.get()));
}

void CProductConfig::Select(const TiXmlElement* generation, TiXmlElement* line, int32_t productLineId,
                            const std::wstring& name, bool byName)
{
    // Everything that can throw comes first, so a failure keeps the old selection.
    int32_t generationId = -1;
    if (!ReadIntAttribute(generation, "id", generationId))
        generationId = -1;
    std::wstring lineName = byName ? name : ReadTextAttribute(line, "name");

    m_strProductLineName.swap(lineName);
    m_nGenerationId = generationId;
    m_pProductLine = line;
    m_nProductLineId = productLineId;
    m_bSelectedByName = byName;
}

void CProductConfig::FindProductLine(int32_t productLineId, std::wstring name)
{
    const bool byName = productLineId == -1;
    if (m_pProductLine != nullptr) {
        if (!byName && productLineId == m_nProductLineId)
            return;
        if (byName && m_bSelectedByName && !name.empty() && name == m_strProductLineName)
            return;
    }

    if (!m_pHandle)
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_STATE);

    TiXmlElement* generation = m_pHandle->FirstChildElement("QUOR").FirstChildElement("GENERATION").ToElement();
    if (generation == nullptr)
        throw CQuorSXSError(ERROR_UNSUPPORTED_TYPE, SXS_ORIGIN_CONTENT);

    for (; generation != nullptr; generation = generation->NextSiblingElement()) {
        for (TiXmlElement* line = generation->FirstChildElement("PRODUCT-LINE"); line != nullptr;
             line = line->NextSiblingElement()) {
            if (!byName) {
                int32_t id = 0;
                if (!ReadIntAttribute(line, "id", id) || id != productLineId)
                    continue;
                Select(generation, line, productLineId, std::wstring(), false);
                return;
            }
            if (name.empty())
                continue;  // an empty name matches nothing
            if (ReadTextAttribute(line, "name") != name)
                continue;
            int32_t id = -1;
            if (!ReadIntAttribute(line, "id", id))
                id = -1;
            Select(generation, line, id, name, true);
            return;
        }
    }
    throw CQuorSXSError(ERROR_UNSUPPORTED_TYPE, SXS_ORIGIN_CONTENT);
}

void CProductConfig::FindApplication(int32_t applicationId, const std::wstring& name, std::wstring& subkey,
                                     std::wstring& folder)
{
    if (m_pProductLine == nullptr)
        throw CQuorSXSError(ERROR_INVALID_DATA, SXS_ORIGIN_STATE);

    TiXmlElement* application = m_pProductLine->FirstChildElement("APPLICATION");
    if (application == nullptr)
        throw CQuorSXSError(ERROR_UNSUPPORTED_TYPE, SXS_ORIGIN_CONTENT);

    for (; application != nullptr; application = application->NextSiblingElement()) {
        bool match = false;
        if (!name.empty()) {
            const char* value = application->Attribute("name");
            match = value != nullptr && Utf8ToWide(value) == name;
        } else {
            int32_t id = 0;
            match = ReadIntAttribute(application, "id", id) && id == applicationId;
        }
        if (match) {
            std::wstring foundSubkey = ReadTextAttribute(application, "subkey");
            std::wstring foundFolder = ReadTextAttribute(application, "folder");
            subkey.swap(foundSubkey);
            folder.swap(foundFolder);
            return;
        }
    }
    throw CQuorSXSError(ERROR_UNSUPPORTED_TYPE, SXS_ORIGIN_CONTENT);
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();

    // -1: up to the terminating NUL, which the count includes.
    int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (count == 0)
        throw CQuorSXSError(LastErrorOr(ERROR_INVALID_DATA), SXS_ORIGIN_CONVERSION);

    std::vector<wchar_t> buffer(static_cast<size_t>(count), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, buffer.data(), count) == 0)
        throw CQuorSXSError(LastErrorOr(ERROR_INVALID_DATA), SXS_ORIGIN_CONVERSION);
    return std::wstring(buffer.data());
}
