#include "files/file_error.h"
#include "files/key_file.h"
#include "session_rig.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zelmak {
namespace {

using test::readFile;
using test::recordOf;
using test::reversedRecordBytes;
using test::serviceRecordBytes;
using test::TempDir;
using test::writeFile;

struct StemRow {
    const char* name;
    CalendarDate date;
    const char* stem;
};

class KeyFileStem : public ::testing::TestWithParam<StemRow> {};

TEST_P(KeyFileStem, IsDayMonthYearInTwoDigitsEach) {
    EXPECT_EQ(keyFileStem(GetParam().date), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(Dates, KeyFileStem,
                         ::testing::Values(StemRow{"SixthOfDecember", {2026, 12, 6}, "061226"},
                                           StemRow{"FifteenthOfNovember", {2026, 11, 15}, "151126"},
                                           StemRow{"FirstOfJanuary2000", {2000, 1, 1}, "010100"},
                                           StemRow{"LastOfOctober1999", {1999, 10, 31}, "311099"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(WriteKeyRecord, LongerFileKeepsItsLengthAndTheBytesAfterTheRecord) {
    TempDir dir;
    const std::string path = dir.file("long.key");
    std::string old(100, '\0');
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<char>(0xA0 + i % 50);
    writeFile(path, old);
    writeKeyRecord(path, recordOf(serviceRecordBytes()));
    EXPECT_EQ(readFile(path), serviceRecordBytes() + old.substr(36));
}

TEST(KeyFileReplaceQuestion, SaysWhetherTheFileIsReplacedOrWrittenInto) {
    TempDir dir;
    const std::string replace = "k.key already exists.\nDo you want to replace it?";
    const struct {
        std::size_t size;
        std::string question;
    } rows[] = {
        {10, replace},
        {36, replace},
        {100, "k.key already exists and is longer than a key file (100 bytes).\nThe key setting "
              "is written over its first 36 bytes; the other 64 bytes stay as they are.\nDo you "
              "want to write into it?"},
    };
    for (const auto& row : rows) {
        writeFile(dir.file("k.key"), std::string(row.size, 'x'));
        EXPECT_EQ(keyFileReplaceQuestion(dir.file("k.key")), row.question) << row.size;
    }
}

TEST(CreateKeyFile, WritesANewFileAndNeverReplacesOne) {
    TempDir dir;
    EXPECT_TRUE(createKeyFile(dir.file("new.key"), recordOf(reversedRecordBytes())));
    EXPECT_EQ(readFile(dir.file("new.key")), reversedRecordBytes());

    EXPECT_FALSE(createKeyFile(dir.file("new.key"), recordOf(serviceRecordBytes())));
    EXPECT_EQ(readFile(dir.file("new.key")), reversedRecordBytes());

    try {
        createKeyFile(dir.file("no/new.key"), KeyRecordBytes{});
        ADD_FAILURE() << "a key file was created in a missing folder";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), io::kPathNotFound);
    }
}

} // namespace
} // namespace zelmak
