// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "shell/DroppedFiles.h"

namespace velquist {
namespace {

TEST(DroppedFiles, PictureNamesEndInBmpOrPngInAnyCase) {
    for (const char* name : {"a.bmp", "/x/A.BMP", "b.Bmp", ".bmp", "a.png", "/x/B.PNG", "c.pNg"})
        EXPECT_TRUE(IsPictureName(name)) << name;
    for (const char* name : {"a.bmp.txt", "bmp", "a.bm", "/x/abmp", "a.png.gz", "png", "a.jpg", ""})
        EXPECT_FALSE(IsPictureName(name)) << name;
}

}  // namespace
}  // namespace velquist
