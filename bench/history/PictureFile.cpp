// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "detect/BmpFile.h"

namespace velquist::bench {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Wallpapers carry profiles libpng frowns on; the pixels are what is judged.
void IgnoreWarning(png_structp, png_const_charp) {}

// libpng's errors longjmp back here; nothing with a destructor is made between setjmp and the
// end of the read but the vectors owned by `out`, which outlive it.
bool ReadPng(std::FILE* file, PictureFile& out, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    std::vector<std::uint8_t>& rgba = out.rgb;
    rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
    rows.resize(out.height);
    for (std::uint32_t y = 0; y < out.height; ++y) rows[y] = rgba.data() + static_cast<std::size_t>(y) * out.width * 4;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void SplitAlpha(PictureFile& picture) {
    std::size_t n = static_cast<std::size_t>(picture.width) * picture.height;
    picture.carries.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c) picture.rgb[3 * i + c] = picture.rgb[4 * i + c];
        picture.carries[i] = picture.rgb[4 * i + 3] != 0;
    }
    picture.rgb.resize(3 * n);
}

PictureFile FromBmp(const std::string& path) {
    detect::Picture bmp = detect::ReadBmp(path);
    PictureFile picture{static_cast<std::uint32_t>(bmp.width), static_cast<std::uint32_t>(bmp.height), {}, {}};
    picture.rgb.resize(bmp.samples.size());
    for (int row = 0; row < bmp.height; ++row)
        for (int col = 0; col < bmp.width; ++col)
            for (int c = 0; c < 3; ++c)
                picture.rgb[(static_cast<std::size_t>(row) * bmp.width + col) * 3 + c] =
                    bmp.samples[bmp.index(bmp.height - 1 - row, col, 2 - c)];
    return picture;
}

}  // namespace

PictureFile ReadPictureFile(const std::string& path) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0) return FromBmp(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw std::runtime_error(path + ": cannot open");
    PictureFile picture;
    std::vector<png_bytep> rows;
    if (!ReadPng(file.get(), picture, rows)) throw std::runtime_error(path + ": not a PNG libpng reads");
    SplitAlpha(picture);
    return picture;
}

}  // namespace velquist::bench
