#include "platform/korval_home.h"
#include "test_support.h"

#include <gtest/gtest.h>

using korval::test::TempDir;

TEST(KorvalHome, EnvironmentChoosesTheFolder)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    std::string savedXdg = saved ? saved : "";
    {
        korval::test::ScopedHome home("/srv/korval/");
        EXPECT_EQ(korval::KorvalHome(), "/srv/korval");
    }
    unsetenv("KORVAL_HOME");
    setenv("XDG_DATA_HOME", "/data/xdg", 1);
    EXPECT_EQ(korval::KorvalHome(), "/data/xdg/korval");
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(korval::KorvalHome(), "/home/op/.local/share/korval");
    if (saved)
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(KorvalHome, FindsFilesIgnoringCase)
{
    TempDir dir;
    korval::test::WriteAll(dir.file("korval.cty"), "x");
    EXPECT_EQ(korval::FindFileNoCase(dir.path(), "KORVAL.CTY"), dir.file("korval.cty"));
    EXPECT_EQ(korval::FindFileNoCase(dir.path(), "MISSING.TXT"), dir.file("MISSING.TXT"));
}
