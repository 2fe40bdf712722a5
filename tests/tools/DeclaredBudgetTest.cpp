// What a collection file declares is bounded over the whole file: a small file that asks
// for a huge picture, millions of patterns or millions of items is refused by list and
// check, run as a user would, within a memory limit, with a message naming the file, the
// item and what was too large.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "media/CollectionFile.h"
#include "tests/BombFiles.h"
#include "tests/TestFiles.h"

using namespace media;

namespace {

const std::string kTool = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";

// The tool with its address space held to 512 MiB, where the limits can be used.
testfiles::Outcome runWithin512MiB(const std::string& arguments) {
#ifdef ORBITA_SANITIZED
    return testfiles::runShell(kTool + " " + arguments);
#else
    return testfiles::runShell("sh -c \"ulimit -v 524288; exec " + kTool + " " + arguments + "\"");
#endif
}

class DeclaredBudget : public testfiles::TempFolderTest {
protected:
    DeclaredBudget() : TempFolderTest("orbita_budget_") {}
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string p = path(name);
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p;
    }
};

}  // namespace

TEST_F(DeclaredBudget, ListAndCheckRefuseAFileThatDeclaresTooMuch) {
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        std::string message;
    };
    const Case cases[] = {
        {"pixels.dxg", bombs::patternBomb(8192),
         "Item 0 (bomb0) is too large: a picture of 8192x8192 would bring the file to 67108864 pixels (at most "
         "16777216)"},
        {"patterns.dxg", bombs::patternBomb(4096),
         "Item 0 (bomb0) is too large: 16777216 patterns would bring the file to 16777216 (at most 65536)"},
        // Several pictures that each fit but not together: the one that goes over is named.
        {"together.dxg", bombs::patternBomb(2048, 5, "p", 0),
         "Item 4 (p4) is too large: a picture of 2048x2048 would bring the file to 20971520 pixels (at most "
         "16777216)"},
        {"items.dxg", bombs::emptyItems(5000000), "Item 16384 is one too many (at most 16384 items in a file)"},
    };
    for (const Case& c : cases) {
        const std::string file = write(c.file, c.bytes);
        for (const char* command : {"list", "list --json", "check"}) {
            testfiles::Outcome r = runWithin512MiB(std::string(command) + " " + file);
            EXPECT_EQ(r.status, 1) << command << " " << c.file << ": " << r.output;
            EXPECT_EQ(r.output, "orbita-dxg: " + file + ": " + c.message + "\n") << command;
        }
    }
}

TEST_F(DeclaredBudget, AFileRightAtTheBudgetIsRead) {
    // 16 pictures of 1024 x 1024, one pattern each: every pixel the budget allows.
    std::vector<PictureItemData> items(16);
    for (PictureItemData& item : items) item.Picture = std::make_shared<TDIB>(1024, 1024, 1);
    items[0].Name = "a";
    const std::string file = path("full.dxg");
    WritePictureCollectionFile(file, items);
    testfiles::Outcome r = runWithin512MiB("check " + file);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, file + ": ok, 16 pictures\n");
}
