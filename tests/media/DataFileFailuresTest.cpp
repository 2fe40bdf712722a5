// Data files that are not what they should be: a pipe, a folder or a damaged file gives the
// system's message naming the file, at once and once; a collection written over a link or
// on a full disk is refused and the previous file is kept.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "media/CollectionFile.h"
#include "media/DIBFile.h"
#include "media/Errors.h"
#include "media/Forms.h"
#include "tests/TestFiles.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

class DataFiles : public testfiles::TempFolderTest {
protected:
    DataFiles() : TempFolderTest("orbita_datafiles_") {}
    void SetUp() override {
        TempFolderTest::SetUp();
        Application().ResetForTests();
    }
    void TearDown() override {
        Application().ResetForTests();
        TempFolderTest::TearDown();
    }

    std::vector<PictureItemData> onePicture() const {
        std::vector<PictureItemData> items(1);
        items[0].Name = "rak";
        items[0].Picture = std::make_shared<TDIB>(2, 2, 24);
        return items;
    }
};

template <typename F>
std::string failure(const F& f, std::string* file = nullptr) {
    try {
        f();
    } catch (const Exception& e) {
        if (file) *file = e.File();
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST_F(DataFiles, APipeOrFolderInPlaceOfADataFileIsRefusedAtOnce) {
    const std::string pipe = path("po1.dxg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Run where a hang would be cut short: the check must come before the file is opened.
    pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        const bool refused = failure([&] { ReadCollectionFileBytes(pipe); }) == "Cannot open file " + pipe;
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    std::string file;
    EXPECT_EQ(failure([&] { ReadPictureCollectionFile(dir.string(), [](PictureItemData&&) {}); }, &file),
              "Cannot open file " + dir.string());
    EXPECT_EQ(file, dir.string());
}

TEST_F(DataFiles, ADamagedFileNamesItselfAndEachDistinctFailureIsShownOnce) {
    for (const char* name : {"po1.dxg", "po2.dxg", "po3.dxg"}) std::ofstream(path(name)) << "not a collection";
    TApplication& app = Application();
    for (int round = 0; round < 3; ++round)  // as a level restarted three times would load them
        for (const char* name : {"po1.dxg", "po2.dxg", "po3.dxg"})
            app.Guard([&] { ReadPictureCollectionFile(path(name), [](PictureItemData&&) {}); });
    ASSERT_EQ(app.ShownMessages().size(), 3u);
    EXPECT_EQ(app.ShownMessages()[0], path("po1.dxg") + ": Invalid stream format");
    EXPECT_EQ(app.ShownMessages()[2], path("po3.dxg") + ": Invalid stream format");

    // A message that names its file already is shown as it is.
    app.Guard([&] { ReadPictureCollectionFile(path("absent.dxg"), [](PictureItemData&&) {}); });
    EXPECT_EQ(app.ShownMessages().back(), "Cannot open file " + path("absent.dxg"));
    // Errors of no file keep their plain message.
    app.Guard([] { throw EListError("List index out of bounds (3)"); });
    app.Guard([] { throw EListError("List index out of bounds (3)"); });
    EXPECT_EQ(app.ShownMessages().back(), "List index out of bounds (3)");
    EXPECT_EQ(app.ShownMessages().size(), 5u);
}

TEST_F(DataFiles, ACollectionIsNeverWrittenThroughALinkOrHalfWay) {
    const std::string good = path("al1.dxg");
    WritePictureCollectionFile(good, onePicture());
    const std::vector<uint8_t> before = ReadCollectionFileBytes(good);

    fs::create_symlink(path("elsewhere.dxg"), path("link.dxg"));
    EXPECT_EQ(failure([&] { WritePictureCollectionFile(path("link.dxg"), onePicture()); }),
              "Cannot write file " + path("link.dxg") + ": is a symbolic link");
    EXPECT_FALSE(fs::exists(path("elsewhere.dxg")));

    // A full disk (a file size limit stands in for it): the old file stays whole.
    std::vector<PictureItemData> big = onePicture();
    big[0].Picture = std::make_shared<TDIB>(200, 200, 24);
    const std::string message =
        testfiles::withFileSizeLimit(8192, [&] { return failure([&] { WritePictureCollectionFile(good, big); }); });
    EXPECT_EQ(message, "Cannot write file " + good + ": File too large");
    EXPECT_EQ(ReadCollectionFileBytes(good), before);
}

TEST_F(DataFiles, APictureDeclaredBeyondTheReadersLimitsIsInvalid) {
    // A 24-bit picture one pixel wider than the limit, with all its rows present.
    TDIB wide(kMaxDibSide + 1, 1, 24);
    std::vector<uint8_t> bytes = WriteDIB(wide);
    EXPECT_EQ(failure([&] { ReadDIB(bytes.data(), bytes.size()); }), "DIB is invalid");
    TDIB fine(kMaxDibSide, 1, 24);
    bytes = WriteDIB(fine);
    EXPECT_EQ(ReadDIB(bytes.data(), bytes.size()).Width(), kMaxDibSide);
}

TEST_F(DataFiles, RunningOutOfMemoryIsSaidInTheSystemsWords) {
    // Within the loop the shown message is the system's, never the library's "std::bad_alloc".
    Application().Guard([] { throw std::bad_alloc(); });
    ASSERT_EQ(Application().ShownMessages().size(), 1u);
    EXPECT_EQ(Application().ShownMessages()[0], "Out of memory");
    EXPECT_EQ(ErrorText(std::bad_alloc()), "Out of memory");
    EXPECT_EQ(ErrorText(EReadError("Invalid stream format")), "Invalid stream format");
    // Reading a data file, it names the file.
    std::string file;
    EXPECT_EQ(failure([] { OutOfMemoryReading("pozadi\\po1.dxg"); }, &file), "Out of memory");
    EXPECT_EQ(file, "pozadi\\po1.dxg");
    try {
        OutOfMemoryReading("pozadi\\po1.dxg");
    } catch (const Exception& e) {
        EXPECT_EQ(TApplication::FailureText(e), "pozadi\\po1.dxg: Out of memory");
    }
}
