// Product-line and application lookups over the embedded configuration.
#include "ProductConfig.h"
#include "SxsExpect.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

class ProductConfigLookup : public ::testing::Test {
protected:
    void SetUp() override { config_.LoadXml(PRODUCT_DOCUMENT_CONFIGURATION); }
    CProductConfig config_{false};
};

}  // namespace

TEST_F(ProductConfigLookup, LineOneById)
{
    config_.FindProductLine(1, L"");
    EXPECT_EQ(config_.GetGenerationId(), 11);
    EXPECT_EQ(config_.GetProductLineId(), 1);
    EXPECT_EQ(config_.GetProductLineName(), L"Quor Studio");
    const TiXmlElement* line = config_.GetProductLineElement();
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line->Value(), "PRODUCT-LINE");
    EXPECT_STREQ(line->Attribute("id"), "1");

    // A second selection of the same id reuses the selection without walking:
    // with the id renamed in the document, a walk would no longer find it.
    const_cast<TiXmlElement*>(line)->SetAttribute("id", "999");
    config_.FindProductLine(1, L"");
    EXPECT_EQ(config_.GetProductLineElement(), line);
    EXPECT_EQ(config_.GetProductLineId(), 1);
}

TEST_F(ProductConfigLookup, LineOneByName)
{
    config_.FindProductLine(-1, L"Quor Studio");
    EXPECT_EQ(config_.GetGenerationId(), 11);
    EXPECT_EQ(config_.GetProductLineId(), 1);
    EXPECT_EQ(config_.GetProductLineName(), L"Quor Studio");
    // Names compare case-sensitively and whole.
    EXPECT_SXS_ERROR(config_.FindProductLine(-1, L"quor studio"), 1630, 0x10000);
    EXPECT_SXS_ERROR(config_.FindProductLine(-1, L"Quor Studi"), 1630, 0x10000);
    EXPECT_EQ(config_.GetProductLineId(), 1);
}

TEST_F(ProductConfigLookup, SharedNameAlwaysYieldsTheFirstLine)
{
    config_.FindProductLine(-1, L"Quor Office");
    EXPECT_EQ(config_.GetProductLineId(), 2);
    EXPECT_EQ(config_.GetGenerationId(), 11);

    // Line 1002 carries the same name; selected by id it is line 1002 of generation 10 ...
    config_.FindProductLine(1002, L"");
    EXPECT_EQ(config_.GetProductLineId(), 1002);
    EXPECT_EQ(config_.GetGenerationId(), 10);
    EXPECT_EQ(config_.GetProductLineName(), L"Quor Office");

    // ... but asking for the name again must not reuse that selection.
    config_.FindProductLine(-1, L"Quor Office");
    EXPECT_EQ(config_.GetProductLineId(), 2);
    EXPECT_EQ(config_.GetGenerationId(), 11);
    const TiXmlElement* line = config_.GetProductLineElement();
    config_.FindProductLine(-1, L"Quor Office");
    EXPECT_EQ(config_.GetProductLineElement(), line);
}

TEST_F(ProductConfigLookup, UnknownLinesKeepTheSelection)
{
    config_.FindProductLine(708, L"");
    const TiXmlElement* line = config_.GetProductLineElement();
    EXPECT_EQ(config_.GetGenerationId(), 7);

    EXPECT_SXS_ERROR(config_.FindProductLine(0, L""), 1630, 0x10000);
    EXPECT_SXS_ERROR(config_.FindProductLine(-1, L""), 1630, 0x10000);
    EXPECT_SXS_ERROR(config_.FindProductLine(-1, L"No Such Line"), 1630, 0x10000);

    EXPECT_EQ(config_.GetProductLineElement(), line);
    EXPECT_EQ(config_.GetProductLineId(), 708);
    EXPECT_EQ(config_.GetGenerationId(), 7);
    EXPECT_EQ(config_.GetProductLineName(), L"Quor Runtime 7");
}

TEST(ProductConfigState, LookupsBeforeLoadingOrSelecting)
{
    CProductConfig config(false);
    EXPECT_EQ(config.GetDocument(), nullptr);
    EXPECT_EQ(config.GetProductLineId(), -1);
    EXPECT_EQ(config.GetGenerationId(), -1);
    EXPECT_SXS_ERROR(config.FindProductLine(1, L""), 13, 0x20000);
    EXPECT_SXS_ERROR(config.FindProductLine(-1, L"Quor Studio"), 13, 0x20000);

    std::wstring subkey = L"untouched", folder = L"untouched", path;
    EXPECT_SXS_ERROR(config.FindApplication(1, L"", subkey, folder), 13, 0x20000);
    EXPECT_SXS_ERROR(config.GetScopePathForHive("REGISTRY-INSTALLATION", 1, path), 13, 0x20000);

    config.LoadXml(PRODUCT_DOCUMENT_CONFIGURATION);
    EXPECT_SXS_ERROR(config.FindApplication(1, L"", subkey, folder), 13, 0x20000);
    EXPECT_EQ(subkey, L"untouched");
}

TEST(ProductConfigState, DocumentIndexes)
{
    CProductConfig bad(false);
    EXPECT_SXS_ERROR(bad.LoadXml(2), 2, 0x20000);
    EXPECT_EQ(bad.GetDocument(), nullptr);
    // Only the low 16 bits select: 0x10000 is index 0.
    bad.LoadXml(static_cast<uint16_t>(0x10000));
    ASSERT_NE(bad.GetDocument(), nullptr);
    bad.FindProductLine(1, L"");

    // The first document loaded stays: after the module list, index 0 does
    // nothing and the product-line walk finds no generation.
    CProductConfig modules(false);
    modules.LoadXml(PRODUCT_DOCUMENT_MODULE_LIST);
    TiXmlDocument* document = modules.GetDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_NE(document->RootElement(), nullptr);
    EXPECT_NE(document->RootElement()->FirstChildElement("MODULE"), nullptr);
    modules.LoadXml(PRODUCT_DOCUMENT_CONFIGURATION);
    EXPECT_EQ(modules.GetDocument(), document);
    EXPECT_SXS_ERROR(modules.FindProductLine(1, L""), 1630, 0x10000);
}

TEST_F(ProductConfigLookup, Applications)
{
    config_.FindProductLine(1, L"");
    std::wstring subkey, folder;

    config_.FindApplication(9, L"", subkey, folder);
    EXPECT_EQ(subkey, L"Tools\\Converter");
    EXPECT_EQ(folder, L"Quor\\Studio 11\\Tools\\Converter");

    // By name the id is not looked at.
    config_.FindApplication(12345, L"Quor Writer", subkey, folder);
    EXPECT_EQ(subkey, L"Writer");

    // Absent attributes give empty outputs, and both outputs are always written.
    config_.FindApplication(-7, L"Quor Sync Service", subkey, folder);
    EXPECT_EQ(subkey, L"SyncService");
    EXPECT_EQ(folder, L"");
    config_.FindApplication(31, L"", subkey, folder);
    EXPECT_EQ(subkey, L"");
    EXPECT_EQ(folder, L"Quor\\Studio 11\\LegacyViewer");

    subkey = L"kept";
    EXPECT_SXS_ERROR(config_.FindApplication(0, L"", subkey, folder), 1630, 0x10000);
    EXPECT_SXS_ERROR(config_.FindApplication(33, L"", subkey, folder), 1630, 0x10000);
    EXPECT_SXS_ERROR(config_.FindApplication(1, L"quor writer", subkey, folder), 1630, 0x10000);
    EXPECT_EQ(subkey, L"kept");

    // Application ids are per line: id 1 of line 708 is another application.
    config_.FindProductLine(708, L"");
    config_.FindApplication(1, L"", subkey, folder);
    EXPECT_EQ(subkey, L"Runtime");
}

TEST(Utf8ToWide, Conversions)
{
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("Software\\Quor"), L"Software\\Quor");
    EXPECT_EQ(Utf8ToWide("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"), L"\u00E9t\u00E9 \u20AC");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), L"\xD83D\xDE00");
    // The text ends at its first NUL.
    EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), L"ab");
}
