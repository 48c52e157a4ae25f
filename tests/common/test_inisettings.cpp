#include "inisettings.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

TEST(Settings, WriteReloadAndCaseInsensitiveKeys)
{
    const std::string dir = testsupport::make_temp_subdir("ini");
    const std::string file = "/QuorvelView3D.ini";
    std::ofstream(dir + file).close();

    IniSettings store;
    ASSERT_TRUE(store.load(dir, file, "main_ini"));
    EXPECT_EQ(store.get_value("Standard", "Language", "Auto", "main_ini"), "Auto");
    EXPECT_TRUE(store.set_value("Standard", "Language", "Chinese", "main_ini"));
    EXPECT_TRUE(store.set_value("Standard", "Color", "12|34|56", "main_ini"));
    EXPECT_TRUE(store.set_value("Standard", "Logpath", "/home/用户/logs", "main_ini"));
    EXPECT_EQ(store.get_value("STANDARD", "language", "Auto", "main_ini"), "Chinese");

    // the whole file, with its UTF-8 signature and " = "
    const auto bytes = testsupport::read_file(dir + "//QuorvelView3D.ini");
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[2], 0xBF);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("[Standard]"), std::string::npos);
    EXPECT_NE(text.find("Language = Chinese"), std::string::npos);

    IniSettings fresh;
    ASSERT_TRUE(fresh.load(dir, file, "main_ini"));
    EXPECT_EQ(fresh.get_value("standard", "LANGUAGE", "Auto", "main_ini"), "Chinese");
    EXPECT_EQ(fresh.get_value("Standard", "Color", "0|0|0", "main_ini"), "12|34|56");
    EXPECT_EQ(fresh.get_value("Standard", "Logpath", "", "main_ini"), "/home/用户/logs");
    EXPECT_EQ(fresh.get_value("Standard", "missing", "dflt", "main_ini"), "dflt");
    EXPECT_EQ(fresh.get_value("Nowhere", "Language", "dflt", "main_ini"), "dflt");
    EXPECT_EQ(fresh.get_value("Standard", "Language", "dflt", "other_doc"), "dflt");
}

TEST(Settings, SecondLoadOfTheSameDocumentIsRefused)
{
    const std::string a = testsupport::make_temp_subdir("ini_a");
    const std::string b = testsupport::make_temp_subdir("ini_b");
    std::ofstream(a + "/s.ini") << "[Standard]\nshowtime = 10\n";
    std::ofstream(b + "/s.ini") << "[Standard]\nshowtime = 99\n";

    IniSettings store;
    ASSERT_TRUE(store.load(a, "s.ini", "main_ini"));
    EXPECT_FALSE(store.load(b, "s.ini", "main_ini"));
    EXPECT_EQ(store.get_value("Standard", "showtime", "", "main_ini"), "10");
    // writes still go to the first document's file
    store.set_value("Standard", "showtime", "5", "main_ini");
    const auto bytes = testsupport::read_file(a + "/s.ini");
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("showtime = 5"), std::string::npos);
}

TEST(Settings, MissingFileGivesDefaultsAndDropsWrites)
{
    const std::string dir = testsupport::make_temp_subdir("ini_missing");
    IniSettings store;
    EXPECT_FALSE(store.load(dir, "/absent.ini", "main_ini"));
    EXPECT_EQ(store.get_value("Standard", "PointSize", "1", "main_ini"), "1");
    EXPECT_FALSE(store.set_value("Standard", "PointSize", "3", "main_ini"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/absent.ini"));
}

TEST(Settings, ProcessWideStoreIsOne)
{
    EXPECT_EQ(IniSettings::instance(), IniSettings::instance());
}
