#include "afxwin.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

namespace {

TEST(File, WriteSeekReadAndLength)
{
    quortest::ScopedSandbox box(L"fwfile");
    const std::wstring path = box.Path() + L"data.bin";
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        file.Write("0123456789", 10);
    }
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
    EXPECT_EQ(10u, file.GetLength());
    EXPECT_EQ(4u, file.Seek(4, CFile::begin));
    char buf[16] = {};
    EXPECT_EQ(6u, file.Read(buf, sizeof(buf)));
    EXPECT_STREQ("456789", buf);
    EXPECT_EQ(0u, file.Read(buf, sizeof(buf)));
    EXPECT_EQ(8u, file.Seek(-2, CFile::end));
}

TEST(File, FailuresAreReportedAsFileExceptions)
{
    quortest::ScopedSandbox box(L"fwfile");
    const std::wstring missing = box.Path() + L"missing.bin";
    CFileException error;
    CFile file;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);

    bool caught = false;
    try {
        CFile opened(missing.c_str(), CFile::modeRead);
    } catch (CFileException* e) {
        caught = e->m_cause == CFileException::fileNotFound;
        e->Delete();
    }
    EXPECT_TRUE(caught);

    caught = false;
    try {
        char c;
        file.Read(&c, 1);  // not open
    } catch (CFileException* e) {
        caught = true;
        e->Delete();
    }
    EXPECT_TRUE(caught);
}

}  // namespace
