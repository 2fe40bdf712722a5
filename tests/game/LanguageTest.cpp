// The player's language: its lines file, the choice with its fallback to Czech, and the
// language's pictures taking the places of the Czech ones of the same names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game/Language.h"
#include "media/CollectionFile.h"
#include "media/DXImageList.h"

namespace {

namespace fs = std::filesystem;

// Runs in a fresh folder, as the game runs in its data directory; Czech again afterwards.
class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orbita-language-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        previous_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        game::chooseLanguage("cs");
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static void write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    fs::path dir_, previous_;
};

TEST_F(LanguageTest, LinesFileIsReadWhole) {
    game::PlayerTexts t;
    std::string error;
    ASSERT_TRUE(game::parsePlayerTexts("# comment\r\npause=Pause >> Esc   let's roll...\r\n\nend1=a=b\nend2=\n", t, error))
        << error;
    EXPECT_EQ(t.pause, "Pause >> Esc   let's roll...");  // spaces kept, the line end not
    EXPECT_EQ(t.end1, "a=b");                          // the text runs to the end of the line
    EXPECT_EQ(t.end2, "");
}

TEST_F(LanguageTest, BadLinesFilesAreRefusedWithTheReason) {
    game::PlayerTexts t = game::czechTexts();
    std::string error;
    EXPECT_FALSE(game::parsePlayerTexts("pause=x\nend1=y\n", t, error));
    EXPECT_EQ(error, "no line end2=");
    EXPECT_FALSE(game::parsePlayerTexts("pause=x\nend1=y\nend2=z\nmotto=w\n", t, error));
    EXPECT_EQ(error, "line 4: not pause=, end1= or end2=");
    EXPECT_FALSE(game::parsePlayerTexts("pause x\n", t, error));
    EXPECT_EQ(error, "line 1: not pause=, end1= or end2=");
    EXPECT_FALSE(game::parsePlayerTexts(std::string(70000, '#'), t, error));
    EXPECT_EQ(error, "larger than 65536 bytes");
    EXPECT_EQ(t.pause, game::czechTexts().pause) << "a refused file changes nothing";
}

TEST_F(LanguageTest, CzechIsTheGameOwnAndNeedsNoFiles) {
    EXPECT_EQ(game::chooseLanguage("cs"), "");
    EXPECT_EQ(game::language(), "cs");
    EXPECT_EQ(game::playerTexts().pause, "Pause >> Esc   jedeme...");
    EXPECT_EQ(game::playerTexts().end1, "No a honem Domů...");
    EXPECT_EQ(game::playerTexts().end2, "Ps:...Díky za hru....zas někdy");
    write("lang/cs/pozadi/story.dxg", "not used");
    EXPECT_EQ(game::languageFile("pozadi\\story.dxg"), "") << "Czech reads the Czech files";
}

TEST_F(LanguageTest, MissingOrBrokenFilesLeaveCzechAndSayWhy) {
    EXPECT_EQ(game::chooseLanguage("en"),
              "the files of language \"en\" are missing (lang/en/texts.txt); the game shows its texts in Czech");
    EXPECT_EQ(game::language(), "cs");
    fs::create_directories("lang/de/texts.txt");  // a folder is no file
    EXPECT_NE(game::chooseLanguage("de").find("are missing"), std::string::npos);
    write("lang/en/texts.txt", "pause=Pause\n");
    EXPECT_EQ(game::chooseLanguage("en"), "lang/en/texts.txt: no line end1=; the game shows its texts in Czech");
    EXPECT_EQ(game::language(), "cs");
    EXPECT_EQ(game::playerTexts().pause, game::czechTexts().pause);
    EXPECT_EQ(game::chooseLanguage("../en"), "\"../en\" is no language code (cs, en); the game shows its texts in Czech");
}

TEST_F(LanguageTest, AnotherLanguageTakesItsLinesAndItsOwnFilesWhereItHasThem) {
    write("lang/en/texts.txt", "pause=P\nend1=E1\nend2=E2\n");
    write("lang/en/pozadi/story.dxg", "x");
    ASSERT_EQ(game::chooseLanguage("en"), "");
    EXPECT_EQ(game::language(), "en");
    EXPECT_EQ(game::playerTexts().pause, "P");
    EXPECT_EQ(game::playerTexts().end2, "E2");
    EXPECT_EQ(game::languageFile("pozadi\\story.dxg"), "lang/en/pozadi/story.dxg");
    EXPECT_EQ(game::languageFile("pozadi\\po1.dxg"), "") << "no copy: the Czech file serves";
    // Back to Czech on request.
    EXPECT_EQ(game::chooseLanguage("cs"), "");
    EXPECT_EQ(game::languageFile("pozadi\\story.dxg"), "");
}

std::shared_ptr<media::TDIB> picture(int w, int h) {
    auto dib = std::make_shared<media::TDIB>();
    dib->SetSize(w, h, 16);
    return dib;
}

media::PictureItemData item(const std::string& name, int w, int h) {
    media::PictureItemData d;
    d.Name = name;
    d.Picture = picture(w, h);
    d.Transparent = false;
    return d;
}

TEST_F(LanguageTest, LanguagePicturesReplaceTheCzechOnesOfTheSameNames) {
    write("lang/en/texts.txt", "pause=P\nend1=E1\nend2=E2\n");
    fs::create_directories("lang/en/pozadi");
    // The language's file holds the first picture and one the list has not.
    media::WritePictureCollectionFile("lang/en/pozadi/po1.dxg", {item("p0", 30, 20), item("p9", 5, 5)});
    ASSERT_EQ(game::chooseLanguage("en"), "");
    media::TDXImageList list;
    for (const char* n : {"p0", "p1"}) list.Items.Add(item(n, 10, 10));
    const auto czechSecond = list.Items.Items(1)->Picture();
    game::applyLanguagePictures(list, "pozadi\\po1.dxg");
    ASSERT_EQ(list.Items.Count(), 2) << "items keep their order and number";
    EXPECT_EQ(list.Items.Items(0)->Name, "p0");
    EXPECT_EQ(list.Items.Items(0)->Width(), 30);
    EXPECT_EQ(list.Items.Items(1)->Picture(), czechSecond);
    // A file the language has no copy of changes nothing; a broken copy is reported.
    game::applyLanguagePictures(list, "pozadi\\po2.dxg");
    EXPECT_EQ(list.Items.Items(0)->Width(), 30);
    write("lang/en/pozadi/po3.dxg", "not a collection");
    EXPECT_ANY_THROW(game::applyLanguagePictures(list, "pozadi\\po3.dxg"));
    EXPECT_EQ(list.Items.Count(), 2);
}

}  // namespace
