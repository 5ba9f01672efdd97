#include "ImageFileCommand.h"
#include "ImageFiles.h"
#include "ImagingInterface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class ImageFileCommandTest : public ::testing::Test {
protected:
    int run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "imagefile");
        std::vector<const char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        const int status = imagefile::runImageFile(static_cast<int>(argv.size()), argv.data(), out, err);
        output = contents(out);
        errors = contents(err);
        return status;
    }
    static std::string contents(FILE* file)
    {
        std::string text;
        std::rewind(file);
        char buffer[1024];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        std::fclose(file);
        return text;
    }
    std::string input()
    {
        const std::string path = folder.path("in.bmp");
        imaging::saveImageFile(path.c_str(), imaging::testing::colourImage(40, 30, 150), IMAGING_FORMAT_BMP, 0, false);
        return path;
    }

    imaging::testing::ScratchFolder folder;
    std::string output, errors;
};

TEST_F(ImageFileCommandTest, BadArgumentsAndBadFilesAreRefusedWithAMessage)
{
    const std::string in = input();
    struct Case {
        std::vector<std::string> arguments;
        int status;
    } cases[] = {
        {{}, 2},
        {{"convert", in, "x"}, 2},
        {{"save", "--format", "gif", in, folder.path("x.gif")}, 2},
        {{"save", "--format", "jpeg", "--quality", "best", in, folder.path("x.jpg")}, 2},
        {{"save", "--format", "png", in}, 2},
        {{"resize", "--width", "0", "--height", "5", in, folder.path("x.bmp")}, 2},
        {{"resize", "--width", "5", in, folder.path("x.bmp")}, 2},
        {{"info", folder.path("missing.bmp")}, 1},
        {{"save", "--format", "bmp", folder.path("missing.bmp"), folder.path("x.bmp")}, 1},
        {{"save", "--format", "bmp", in, folder.path("no/such/folder.bmp")}, 1},
        {{"info", in + "-not"}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.arguments), c.status) << ::testing::PrintToString(c.arguments);
        EXPECT_FALSE(errors.empty()) << ::testing::PrintToString(c.arguments);
    }
}

TEST_F(ImageFileCommandTest, SavesResizesAndDescribes)
{
    const std::string in = input();
    const std::string tiff = folder.path("pages.tif");
    ASSERT_EQ(run({"save", "--format", "tiff-multi", in, tiff}), 0) << errors;
    ASSERT_EQ(run({"save", "--format", "tiff-multi", in, tiff}), 0) << errors;
    ASSERT_EQ(run({"info", tiff}), 0);
    EXPECT_NE(output.find("2 page(s)"), std::string::npos) << output;
    EXPECT_NE(output.find("40 x 30, 24 bits per pixel"), std::string::npos) << output;

    const std::string small = folder.path("small.bmp");
    ASSERT_EQ(run({"resize", "--width", "20", "--height", "15", in, small}), 0) << errors;
    ASSERT_EQ(run({"info", small}), 0);
    EXPECT_EQ(output, "BMP 20 x 15, 24 bits per pixel, 150 x 150 dpi\n");

    const std::string jpeg = folder.path("x.jpg");
    ASSERT_EQ(run({"save", "--format", "jpeg", "--quality", "high", in, jpeg}), 0) << errors;
    ASSERT_EQ(run({"info", jpeg}), 0);
    EXPECT_EQ(output, "JPEG 40 x 30, 3 component(s)\n");
}

}
