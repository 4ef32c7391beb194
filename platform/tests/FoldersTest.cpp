#include "Folders.h"

#include "ResultCodes.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class FoldersTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvalin folders.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = fs::canonical(pattern);
        fs::create_directory(root_ / "Music");
        fs::create_directory(root_ / "photos 2024");
        fs::create_directory(root_ / ".cache");
        std::ofstream(root_ / "notes.txt") << "x";
        std::ofstream(root_ / "Z.XXX") << "y";
        std::ofstream(root_ / ".hidden") << "z";
        fs::create_directory_symlink(root_ / "Music", root_ / "music link");
        fs::create_symlink(root_ / "notes.txt", root_ / "notes link");
        fs::create_symlink(root_ / "missing", root_ / "broken link");
        ASSERT_EQ(::mkfifo((root_ / "pipe").c_str(), 0600), 0);
        saved_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(saved_);
        fs::remove_all(root_);
    }

    fs::path root_;
    fs::path saved_;
};

TEST_F(FoldersTest, SubfoldersAreVisibleFoldersAndLinksToThem) {
    std::vector<std::string> names = {"stale"};
    ASSERT_EQ(listSubfolders(root_, names), ResultCode::Success);
    EXPECT_EQ(sorted(names), (std::vector<std::string>{"Music", "music link", "photos 2024"}));
}

TEST_F(FoldersTest, FilesAreVisibleOrdinaryFilesAndLinksToThem) {
    std::vector<std::string> names = {"stale"};
    ASSERT_EQ(listFiles(root_, names), ResultCode::Success);
    EXPECT_EQ(sorted(names), (std::vector<std::string>{"Z.XXX", "notes link", "notes.txt"}));
}

TEST_F(FoldersTest, FolderThatCannotBeReadGivesItsCode) {
    std::vector<std::string> names;
    EXPECT_EQ(listSubfolders(root_ / "nothing here", names), ResultCode::FileNotFound);
    EXPECT_EQ(listFiles(root_ / "notes.txt", names), ResultCode::FileNotFound);
    EXPECT_EQ(changeCurrentFolder(root_ / "nothing here"), ResultCode::FileNotFound);
    EXPECT_EQ(changeCurrentFolder(root_ / "notes.txt"), ResultCode::FileNotFound);
}

TEST_F(FoldersTest, ChangingTheFolderMakesItCurrent) {
    ASSERT_EQ(changeCurrentFolder(root_ / "photos 2024"), ResultCode::Success);
    EXPECT_EQ(currentFolder(), (root_ / "photos 2024").string());
}

TEST_F(FoldersTest, LongCurrentFolderIsReadWhole) {
    fs::path deep = root_;
    for (int i = 0; i < 20; ++i) {
        deep /= std::string(40, static_cast<char>('a' + i));
    }
    fs::create_directories(deep);
    ASSERT_EQ(changeCurrentFolder(deep), ResultCode::Success);
    EXPECT_EQ(currentFolder(), deep.string());
}

} // namespace
