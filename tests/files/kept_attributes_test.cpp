// A text file that a save replaces keeps what the operator set on it besides its bytes: its
// access control list and its extended attributes go to the new file before it takes the old
// one's place, and the new file keeps nothing the old one did not have.

#include "file_conditions.h"
#include "files/file_writing.h"
#include "files/text_files.h"
#include "process.h"
#include "temp_dir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/xattr.h>

namespace zelmak {
namespace {

using test::TempDir;

using Attributes = std::map<std::string, std::string>;

// Every extended attribute of a file, the access lists (system.posix_acl_*) among them.
Attributes attributesOf(const std::string& path) {
    Attributes all;
    std::string names(65536, '\0');
    const ssize_t n = ::listxattr(path.c_str(), names.data(), names.size());
    EXPECT_GE(n, 0) << path;
    for (std::size_t from = 0; n > 0 && from < static_cast<std::size_t>(n);) {
        const std::string name = names.c_str() + from;
        std::string value(65536, '\0');
        const ssize_t size = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        EXPECT_GE(size, 0) << name;
        value.resize(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        all[name] = value;
        from += name.size() + 1;
    }
    return all;
}

void setfacl(const std::vector<std::string>& args) {
    const test::ProcessResult r = test::runProcess("/usr/bin/setfacl", args);
    ASSERT_EQ(r.status, 0) << "setfacl (package acl, see scripts/setup.sh): " << r.err;
}

// A folder on a file system that keeps user attributes: the temporary folder's, or else the
// build folder's. Neither: the test fails, for it could prove nothing.
std::unique_ptr<TempDir> folderWithAttributes() {
    const std::filesystem::path candidates[] = {
        std::filesystem::temp_directory_path(),
        std::filesystem::path(ZELMAK_BIN_DIR).parent_path()};
    for (const auto& parent : candidates) {
        auto dir = std::make_unique<TempDir>(parent);
        if (::setxattr(dir->path().c_str(), "user.zelmak.probe", "1", 1, 0) == 0)
            return dir;
    }
    ADD_FAILURE() << "neither the temporary folder nor the build folder keeps user attributes";
    return nullptr;
}

struct AttributeRow {
    const char* name;
    // Sets attributes on the earlier file "x.cif" (and on its folder).
    std::function<void(const TempDir&)> prepare;
};

void PrintTo(const AttributeRow& row, std::ostream* os) {
    *os << row.name;
}

class KeptAttributes : public ::testing::TestWithParam<AttributeRow> {};

TEST_P(KeptAttributes, OnTheFileThatTakesItsPlace) {
    const std::function<void(const std::string&)> writers[] = {
        [](const std::string& path) { writeTextFile(path, "NEW CIPHER TEXT"); },
        [](const std::string& path) {
            writing::StreamedFile file;
            ASSERT_TRUE(file.open(path).done());
            ASSERT_TRUE(file.write("NEW CIPHER TEXT").done());
            ASSERT_TRUE(file.commit().done());
        }};
    for (const auto& write : writers) {
        const auto dir = folderWithAttributes();
        ASSERT_TRUE(dir);
        const std::string path = dir->file("x.cif");
        test::writeFile(path, "the earlier text");
        test::setMode(path, 0640);
        GetParam().prepare(*dir);
        const Attributes before = attributesOf(path);
        struct stat old {};
        ASSERT_EQ(::stat(path.c_str(), &old), 0);

        write(path);
        EXPECT_EQ(test::readFile(path), "NEW CIPHER TEXT");
        struct stat now {};
        ASSERT_EQ(::stat(path.c_str(), &now), 0);
        EXPECT_NE(now.st_ino, old.st_ino) << "the file was written in place, not replaced";
        EXPECT_EQ(now.st_mode, old.st_mode);
        EXPECT_EQ(attributesOf(path), before);
        EXPECT_EQ(test::namesIn(dir->path()), std::vector<std::string>{"x.cif"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, KeptAttributes,
    ::testing::Values(
        AttributeRow{"AccessListAndUserAttribute",
                     [](const TempDir& d) {
                         setfacl({"-m", "u:65534:rw-,g:65534:r--", d.file("x.cif")});
                         const std::string note = "checked 1942-03-14";
                         ASSERT_EQ(::setxattr(d.file("x.cif").c_str(), "user.zelmak.note",
                                              note.data(), note.size(), 0),
                                   0);
                     }},
        // The new file inherits the folder's default list; the file it replaces had none.
        AttributeRow{"NoListWhereTheFolderGivesOne",
                     [](const TempDir& d) {
                         setfacl({"-d", "-m", "u:65534:r--", d.path().string()});
                     }},
        AttributeRow{"OwnListWhereTheFolderGivesAnother",
                     [](const TempDir& d) {
                         setfacl({"-d", "-m", "u:65534:r--", d.path().string()});
                         setfacl({"-m", "u:65534:---,m::rw-", d.file("x.cif")});
                     }}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak
