// Input scripts are refused at once when they are no regular file or too large, and a
// repeated option or header key is an error (status 2), never a silent choice of the last.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "app/InputScript.h"
#include "app/Options.h"
#include "tests/TestFiles.h"

namespace {

const std::string kProgram = std::string(ORBITA_BINARY_DIR) + "/orbita";

class ScriptInputs : public testfiles::TempFolderTest {
protected:
    ScriptInputs() : TempFolderTest("orbita_script_inputs_") {}
    testfiles::Outcome run(const std::string& arguments) {
        return testfiles::runShell("cd '" + dir.string() + "' && timeout -s KILL 30 " + kProgram + " " + arguments);
    }
};

std::string optionError(const std::vector<std::string>& args) {
    try {
        app::parseOptions(args);
    } catch (const app::OptionError& e) {
        return e.what();
    }
    return "(accepted)";
}

}  // namespace

TEST_F(ScriptInputs, APipeDeviceFolderOrHugeFileIsRefusedAtOnceWithItsReason) {
    ASSERT_EQ(mkfifo(path("pipe.txt").c_str(), 0600), 0);
    {
        std::ofstream big(path("big.txt"), std::ios::binary);
        const std::string line(1023, ' ');
        for (size_t n = 0; n <= app::kMaxScriptBytes / 1024; ++n) big << line << '\n';
    }
    struct Case {
        std::string option, file, reason;
    } cases[] = {
        {"--play", path("pipe.txt"), "is a pipe"},
        {"--timedemo", path("pipe.txt"), "is a pipe"},
        {"--play", "/dev/zero", "is a device"},
        {"--play", dir.string(), "is a directory"},
        {"--timedemo", path("big.txt"), "is larger than " + std::to_string(app::kMaxScriptBytes) + " bytes"},
        {"--play", path("none.txt"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        testfiles::Outcome r = run("--headless " + c.option + " " + c.file);
        EXPECT_EQ(r.status, 2) << c.option << " " << c.file << ": " << r.output;  // 137: it waited
        EXPECT_EQ(r.output, "orbita: cannot open script " + c.file + ": " + c.reason + "\n");
    }
}

TEST_F(ScriptInputs, ARepeatedOptionOrHeaderKeyIsAnError) {
    EXPECT_EQ(optionError({"--seed", "1", "--seed", "2"}), "orbita: option --seed is given twice");
    EXPECT_EQ(optionError({"--play", "a", "--play=b"}), "orbita: option --play is given twice");
    EXPECT_EQ(optionError({"--warp", "3", "--warp", "4"}), "orbita: option --warp is given twice");
    EXPECT_EQ(optionError({"--headless", "--god", "--headless"}), "orbita: option --headless is given twice");
    // What may be given many times still may.
    EXPECT_EQ(optionError({"--screenshot", "1:a.png", "--screenshot", "2:b.png", "--dump-state", "1:a.json",
                           "--dump-state", "2:b.json"}),
              "(accepted)");

    std::ofstream(path("twice.txt")) << "orbita-script 1 seed=4 seed=5\n@1 release\n";
    testfiles::Outcome header = run("--headless --play twice.txt");
    EXPECT_EQ(header.status, 2) << header.output;
    EXPECT_EQ(header.output, "orbita: " + path("twice.txt") + ":1: header key seed is given twice\n");
    testfiles::Outcome option = run("--headless --warp 3 --warp 4");
    EXPECT_EQ(option.status, 2) << option.output;
    EXPECT_NE(option.output.find("orbita: option --warp is given twice"), std::string::npos) << option.output;
}
