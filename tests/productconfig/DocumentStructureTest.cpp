// The embedded documents are hand-written data: these checks hold them to the
// structure, counts and fixed facts that the lookups and key paths rely on.
#include "EmbeddedDocuments.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const char Declaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n";

// Text checks shared by both documents: ASCII only, line feeds only, each line
// (the last one included) ended by one line feed.
void ExpectPlainAsciiLines(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        ASSERT_LT(c, 0x80u) << "non-ASCII byte at " << i;
        ASSERT_NE(c, '\r') << "carriage return at " << i;
    }
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "empty line";
}

int CountComments(const TiXmlNode* node)
{
    int count = 0;
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        if (child->ToComment())
            ++count;
        count += CountComments(child);
    }
    return count;
}

bool IntAttribute(const TiXmlElement* element, const char* name, int& value)
{
    return element->QueryIntAttribute(name, &value) == TIXML_SUCCESS;
}

std::string Attr(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

int CountAttributes(const TiXmlElement* element)
{
    int count = 0;
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
        ++count;
    return count;
}

struct Line {
    int generation;
    int id;
    std::string name;
    const TiXmlElement* element;
};

class ProductConfigurationDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        text_ = ProductConfigurationXml;
        document_.Parse(ProductConfigurationXml, nullptr, TIXML_DEFAULT_ENCODING);
        ASSERT_FALSE(document_.Error()) << document_.ErrorDesc();
        root_ = document_.RootElement();
        ASSERT_NE(root_, nullptr);
        for (const TiXmlElement* g = root_->FirstChildElement(); g; g = g->NextSiblingElement()) {
            int generation = -1;
            if (!IntAttribute(g, "id", generation))
                generation = -1;
            generations_.push_back(generation);
            for (const TiXmlElement* l = g->FirstChildElement(); l; l = l->NextSiblingElement()) {
                int id = -1;
                EXPECT_TRUE(IntAttribute(l, "id", id)) << "product line without integer id";
                lines_.push_back({generation, id, Attr(l, "name"), l});
            }
        }
    }

    const Line* FindLine(int id) const
    {
        for (const Line& line : lines_)
            if (line.id == id)
                return &line;
        return nullptr;
    }

    std::string text_;
    TiXmlDocument document_;
    const TiXmlElement* root_ = nullptr;
    std::vector<int> generations_;
    std::vector<Line> lines_;
};

}  // namespace

TEST_F(ProductConfigurationDocument, TextHasMarkDeclarationAsciiLinesAndComments)
{
    EXPECT_EQ(text_.size(), 23782u);
    ASSERT_GE(text_.size(), 3u);
    EXPECT_EQ(text_.substr(0, 3), "\xEF\xBB\xBF");
    const std::string rest = text_.substr(3);
    EXPECT_EQ(rest.compare(0, std::strlen(Declaration), Declaration), 0) << rest.substr(0, 80);
    ExpectPlainAsciiLines(rest);
    EXPECT_EQ(CountComments(&document_), 24);
    // The declaration is the document's first node, before any comment.
    ASSERT_NE(document_.FirstChild(), nullptr);
    EXPECT_NE(document_.FirstChild()->ToDeclaration(), nullptr);
}

TEST_F(ProductConfigurationDocument, RootGenerationsAndProductLines)
{
    EXPECT_STREQ(root_->Value(), "QUOR");
    EXPECT_EQ(CountAttributes(root_), 0);
    EXPECT_EQ(root_->NextSiblingElement(), nullptr) << "a second root element";

    ASSERT_EQ(generations_.size(), 5u);
    EXPECT_EQ(generations_.front(), 11);
    EXPECT_EQ(std::set<int>(generations_.begin(), generations_.end()).size(), 5u) << "generation ids not distinct";

    std::map<int, int> linesPerGeneration;
    std::set<int> lineIds;
    std::map<std::string, std::vector<int>> linesByName;
    for (const TiXmlElement* g = root_->FirstChildElement(); g; g = g->NextSiblingElement()) {
        EXPECT_STREQ(g->Value(), "GENERATION");
        int count = 0;
        for (const TiXmlElement* l = g->FirstChildElement(); l; l = l->NextSiblingElement()) {
            EXPECT_STREQ(l->Value(), "PRODUCT-LINE");
            ++count;
        }
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 3);
    }
    for (const Line& line : lines_) {
        lineIds.insert(line.id);
        EXPECT_FALSE(line.name.empty());
        linesByName[line.name].push_back(line.id);
    }
    EXPECT_EQ(lines_.size(), 10u);
    EXPECT_EQ(lineIds.size(), 10u) << "product-line ids not unique";

    // Exactly one name is shared, by line 2 (generation 11) and line 1002 (generation 10), in that order.
    int shared = 0;
    for (const auto& entry : linesByName) {
        if (entry.second.size() > 1) {
            ++shared;
            EXPECT_EQ(entry.second, (std::vector<int>{2, 1002})) << entry.first;
        }
    }
    EXPECT_EQ(shared, 1);
    ASSERT_NE(FindLine(2), nullptr);
    ASSERT_NE(FindLine(1002), nullptr);
    EXPECT_EQ(FindLine(2)->generation, 11);
    EXPECT_EQ(FindLine(1002)->generation, 10);

    ASSERT_NE(FindLine(1), nullptr);
    EXPECT_EQ(FindLine(1)->generation, 11);
    ASSERT_NE(FindLine(708), nullptr);
    EXPECT_EQ(FindLine(708)->generation, generations_.back());
}

TEST_F(ProductConfigurationDocument, ProductLineChildrenInOrder)
{
    const char* const registry[] = {"REGISTRY-SHARED-FOR-ALL", "REGISTRY-SHARED-FOR-LINES",
                                    "REGISTRY-SHARED-FOR-APPLICATIONS", "REGISTRY-INSTALLATION",
                                    "REGISTRY-APPLICATIONS"};
    int linesWithSharedFolders = 0;
    for (const Line& line : lines_) {
        SCOPED_TRACE("product line " + std::to_string(line.id));
        std::vector<std::string> expected{"FOLDERS"};
        for (const char* name : registry) {
            const bool lacking = line.id == 708 && (std::strcmp(name, "REGISTRY-SHARED-FOR-LINES") == 0 ||
                                                    std::strcmp(name, "REGISTRY-SHARED-FOR-APPLICATIONS") == 0);
            if (!lacking)
                expected.push_back(name);
        }
        std::vector<std::string> actual;
        for (const TiXmlElement* e = line.element->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (std::strcmp(e->Value(), "APPLICATION") == 0)
                break;
            actual.push_back(e->Value());
        }
        EXPECT_EQ(actual, expected);

        const TiXmlElement* folders = line.element->FirstChildElement();
        ASSERT_NE(folders, nullptr);
        EXPECT_FALSE(Attr(folders, "ALLUSERS").empty());
        EXPECT_FALSE(Attr(folders, "CURRENTUSER").empty());
        const bool all = folders->Attribute("SHARED-FOR-ALL") != nullptr;
        const bool generation = folders->Attribute("SHARED-FOR-GENERATION") != nullptr;
        EXPECT_EQ(all, generation);
        linesWithSharedFolders += all ? 1 : 0;

        for (const char* name : registry) {
            const TiXmlElement* e = line.element->FirstChildElement(name);
            if (!e)
                continue;
            EXPECT_EQ(CountAttributes(e), 2) << name;
            for (const char* hive : {"HKLM", "HKCU"}) {
                const std::string path = Attr(e, hive);
                EXPECT_EQ(path.rfind("Software\\Quor\\", 0), 0u) << name << " " << hive << " " << path;
                EXPECT_NE(path.back(), '\\') << name << " " << hive;
            }
        }
    }
    EXPECT_EQ(linesWithSharedFolders, 5);
}

TEST_F(ProductConfigurationDocument, Applications)
{
    int total = 0, withId = 0, withSubkey = 0, withFolder = 0, noSubkeyWithId = 0;
    for (const Line& line : lines_) {
        SCOPED_TRACE("product line " + std::to_string(line.id));
        int count = 0;
        bool seenApplication = false;
        std::set<int> ids;
        for (const TiXmlElement* e = line.element->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (std::strcmp(e->Value(), "APPLICATION") != 0) {
                EXPECT_FALSE(seenApplication) << e->Value() << " after an application";
                continue;
            }
            seenApplication = true;
            ++count;
            int id = 0;
            const bool hasId = IntAttribute(e, "id", id);
            if (hasId) {
                ++withId;
                EXPECT_NE(id, 0);
                EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice in one line";
            } else {
                EXPECT_EQ(e->Attribute("id"), nullptr) << "id that is not an integer";
            }
            const std::string name = Attr(e, "name");
            EXPECT_FALSE(name.empty());
            EXPECT_NE(name, "APPLICATIONSROOT");
            if (e->Attribute("subkey")) {
                ++withSubkey;
                EXPECT_FALSE(Attr(e, "subkey").empty());
            } else if (hasId) {
                ++noSubkeyWithId;
            }
            withFolder += e->Attribute("folder") ? 1 : 0;
        }
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 40);
        total += count;
    }
    EXPECT_EQ(total, 153);
    EXPECT_EQ(withId, 121);
    EXPECT_EQ(withSubkey, 152);
    EXPECT_EQ(noSubkeyWithId, 1);
    EXPECT_EQ(withFolder, 151);
}

TEST(ModuleListDocument, TextAndModules)
{
    const std::string text = ModuleListXml;
    EXPECT_EQ(text.size(), 2212u);
    EXPECT_EQ(text.compare(0, std::strlen(Declaration), Declaration), 0) << "declaration (and no byte-order mark)";
    ExpectPlainAsciiLines(text);

    TiXmlDocument document;
    document.Parse(ModuleListXml, nullptr, TIXML_DEFAULT_ENCODING);
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    const TiXmlElement* root = document.RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Value(), "QUOR");

    int modules = 0, emptyLinux = 0;
    std::set<int> ids;
    for (const TiXmlElement* m = root->FirstChildElement(); m; m = m->NextSiblingElement()) {
        EXPECT_STREQ(m->Value(), "MODULE");
        int id = 0;
        EXPECT_TRUE(IntAttribute(m, "id", id));
        ids.insert(id);
        const std::string win = Attr(m, "win");
        EXPECT_GT(win.size(), 4u);
        EXPECT_EQ(win.substr(win.size() - 4), ".dll");
        ASSERT_NE(m->Attribute("linux"), nullptr);
        emptyLinux += Attr(m, "linux").empty() ? 1 : 0;
        EXPECT_EQ(CountAttributes(m), 3);
        ++modules;
    }
    EXPECT_EQ(modules, 36);
    EXPECT_EQ(ids.size(), 36u);
    EXPECT_EQ(emptyLinux, 11);
    EXPECT_EQ(CountComments(&document), 1);
    ASSERT_NE(root->LastChild(), nullptr);
    EXPECT_NE(root->LastChild()->ToComment(), nullptr) << "the comment closes the list";
}
