// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/JpegMaker.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace velquist::jpeg::testing {

namespace {

// libjpeg stops with a longjmp; every warning fails the job too. The functions that call
// setjmp are plain C-style ones whose state lives in their callers.
struct Trap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<Trap*>(cinfo->err)->jump, 1); }

void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0) OnError(cinfo);
}

void Silent(j_common_ptr) {}

jpeg_error_mgr* SetTrap(Trap& trap) {
    jpeg_std_error(&trap.pub);
    trap.pub.error_exit = OnError;
    trap.pub.emit_message = OnMessage;
    trap.pub.output_message = Silent;
    return &trap.pub;
}

Bytes Pixels(const JpegRecipe& r) {
    Bytes pixels(std::size_t{r.width} * r.height * static_cast<std::size_t>(r.components));
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < r.height; ++y) {
        for (std::uint32_t x = 0; x < r.width; ++x) {
            for (int c = 0; c < r.components; ++c) {
                noise = noise * 1103515245u + 12345u;
                double value = 128 + 70 * std::sin(x * 0.21 + c) + 40 * std::cos(y * 0.17 - c) +
                               25 * std::sin(x * y * 0.05) + static_cast<int>(noise >> 27) - 16;
                pixels[(std::size_t{y} * r.width + x) * static_cast<std::size_t>(r.components) + c] =
                    static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
            }
        }
    }
    return pixels;
}

J_COLOR_SPACE InputSpace(int components) {
    switch (components) {
        case 1: return JCS_GRAYSCALE;
        case 3: return JCS_RGB;
        case 4: return JCS_CMYK;
        default: return JCS_UNKNOWN;
    }
}

struct Compressed {
    unsigned char* data;
    unsigned long size;
};

struct PixelJob {
    Trap trap;
    jpeg_compress_struct cinfo;
    Compressed out;
};

bool CompressPixels(const JpegRecipe& r, const Bytes& pixels, PixelJob& job) {
    job.cinfo.err = SetTrap(job.trap);
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_compress(&job.cinfo);
        return false;
    }
    jpeg_create_compress(&job.cinfo);
    jpeg_mem_dest(&job.cinfo, &job.out.data, &job.out.size);
    job.cinfo.image_width = r.width;
    job.cinfo.image_height = r.height;
    job.cinfo.input_components = r.components;
    job.cinfo.in_color_space = InputSpace(r.components);
    jpeg_set_defaults(&job.cinfo);
    jpeg_set_quality(&job.cinfo, r.quality, TRUE);
    if (r.components == 3) {
        job.cinfo.comp_info[0].h_samp_factor = r.sampling == Sampling::S444 ? 1 : 2;
        job.cinfo.comp_info[0].v_samp_factor = r.sampling == Sampling::S420 ? 2 : 1;
    }
    jpeg_start_compress(&job.cinfo, TRUE);
    std::size_t stride = std::size_t{r.width} * static_cast<std::size_t>(r.components);
    while (job.cinfo.next_scanline < job.cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(pixels.data() + job.cinfo.next_scanline * stride);
        jpeg_write_scanlines(&job.cinfo, &row, 1);
    }
    jpeg_finish_compress(&job.cinfo);
    jpeg_destroy_compress(&job.cinfo);
    return true;
}

struct TranscodeJob {
    Trap trap;
    jpeg_decompress_struct source;
    jpeg_compress_struct cinfo;
    jpeg_scan_info script[4];
    Compressed out;
};

void ApplyEdits(jpeg_decompress_struct& source, jvirt_barray_ptr* arrays, const JpegRecipe& r) {
    for (const CoefficientEdit& e : r.edits) {
        JBLOCKARRAY rows = (*source.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&source),
                                                             arrays[e.component], e.blockRow, 1, TRUE);
        rows[0][e.blockColumn][e.k] = e.value;
    }
}

void SetEncoding(TranscodeJob& job, const JpegRecipe& r) {
    jpeg_compress_struct& c = job.cinfo;
    c.write_JFIF_header = r.jfif ? TRUE : FALSE;
    c.write_Adobe_marker = r.adobe ? TRUE : FALSE;
    if (r.progressive) {
        jpeg_simple_progression(&c);
    } else if (!r.interleaved) {
        for (int i = 0; i < c.num_components; ++i) job.script[i] = {1, {i, 0, 0, 0}, 0, 63, 0, 0};
        c.scan_info = job.script;
        c.num_scans = c.num_components;
    }
    c.arith_code = r.arithmetic ? TRUE : FALSE;
    c.optimize_coding = r.optimise ? TRUE : FALSE;
    c.restart_interval = r.restartInterval;
}

// Reads the coefficients back, sets the edits, and writes them with the recipe's coding and
// markers.
bool Transcode(const JpegRecipe& r, const Compressed& in, TranscodeJob& job) {
    job.source.err = SetTrap(job.trap);
    job.cinfo.err = &job.trap.pub;
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_compress(&job.cinfo);
        jpeg_destroy_decompress(&job.source);
        return false;
    }
    jpeg_create_decompress(&job.source);
    jpeg_mem_src(&job.source, in.data, in.size);
    jpeg_read_header(&job.source, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&job.source);
    ApplyEdits(job.source, arrays, r);
    jpeg_create_compress(&job.cinfo);
    jpeg_copy_critical_parameters(&job.source, &job.cinfo);
    jpeg_mem_dest(&job.cinfo, &job.out.data, &job.out.size);
    SetEncoding(job, r);
    jpeg_write_coefficients(&job.cinfo, arrays);
    for (const Marker& m : r.markers)
        jpeg_write_marker(&job.cinfo, m.code, m.payload.data(), static_cast<unsigned>(m.payload.size()));
    jpeg_finish_compress(&job.cinfo);
    jpeg_destroy_compress(&job.cinfo);
    jpeg_finish_decompress(&job.source);
    jpeg_destroy_decompress(&job.source);
    return true;
}

struct ReadJob {
    Trap trap;
    jpeg_decompress_struct cinfo;
};

bool ReadPlanes(const Bytes& jpeg, ReadJob& job, std::vector<ReadPlane>& planes) {
    job.cinfo.err = SetTrap(job.trap);
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    jpeg_create_decompress(&job.cinfo);
    jpeg_mem_src(&job.cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&job.cinfo, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&job.cinfo);
    // `planes` is the caller's: a longjmp from here on skips no destructor.
    planes.resize(static_cast<std::size_t>(job.cinfo.num_components));
    for (int i = 0; i < job.cinfo.num_components; ++i) {
        ReadPlane& plane = planes[static_cast<std::size_t>(i)];
        const jpeg_component_info& c = job.cinfo.comp_info[i];
        plane.widthInBlocks = c.width_in_blocks;
        plane.heightInBlocks = c.height_in_blocks;
        plane.values.resize(std::size_t{c.width_in_blocks} * c.height_in_blocks * 64);
        for (JDIMENSION row = 0; row < c.height_in_blocks; ++row) {
            JBLOCKARRAY blocks = (*job.cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&job.cinfo),
                                                                      arrays[i], row, 1, FALSE);
            std::int16_t* to = plane.values.data() + std::size_t{row} * c.width_in_blocks * 64;
            std::memcpy(to, blocks[0], std::size_t{c.width_in_blocks} * sizeof(JBLOCK));
        }
    }
    jpeg_finish_decompress(&job.cinfo);
    jpeg_destroy_decompress(&job.cinfo);
    return true;
}

std::size_t Length(const Bytes& file, std::size_t at) {
    if (at + 2 > file.size()) throw std::runtime_error("segment length past the end");
    return std::size_t{file[at]} << 8 | file[at + 1];
}

// Where the scan data starting at `at` ends: at the 0xFF run of the next marker.
std::size_t ScanEnd(const Bytes& file, std::size_t at) {
    while (at < file.size()) {
        if (file[at] != 0xFF) {
            ++at;
            continue;
        }
        std::size_t next = at;
        while (next < file.size() && file[next] == 0xFF) ++next;
        if (next == file.size()) break;
        if (file[next] != 0 && (file[next] < 0xD0 || file[next] > 0xD7)) return at;
        at = next + 1;
    }
    throw std::runtime_error("scan data runs to the end");
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

Marker ExifMarker() {
    // "Exif", two zeros, then a little-endian TIFF header with one IFD entry (orientation).
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    return {0xE1, Join({'E', 'x', 'i', 'f', 0, 0}, tiff)};
}

Marker IccMarker() {
    Bytes profile(132, 0);
    profile[3] = 132;
    std::memcpy(profile.data() + 36, "acsp", 4);
    return {0xE2, Join(Join(Text("ICC_PROFILE"), {0, 1, 1}), profile)};
}

Marker XmpMarker() {
    return {0xE1, Join(Join(Text("http://ns.adobe.com/xap/1.0/"), {0}),
                       Text("<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF/></x:xmpmeta>"))};
}

Marker CommentMarker(std::string_view text) { return {0xFE, Text(text)}; }

Bytes WriteJpeg(const JpegRecipe& recipe) {
    Bytes pixels = recipe.pixels.empty() ? Pixels(recipe) : recipe.pixels;
    if (pixels.size() != std::size_t{recipe.width} * recipe.height * static_cast<std::size_t>(recipe.components))
        throw std::invalid_argument("the pixels do not fit the recipe");
    PixelJob first{};
    if (!CompressPixels(recipe, pixels, first)) throw std::runtime_error("libjpeg refused the picture");
    TranscodeJob second{};
    bool written = Transcode(recipe, first.out, second);
    std::free(first.out.data);
    if (!written) {
        std::free(second.out.data);
        throw std::runtime_error("libjpeg refused the recipe");
    }
    Bytes file(second.out.data, second.out.data + second.out.size);
    std::free(second.out.data);
    return Join(file, recipe.trailing);
}

std::vector<ReadPlane> ReadCoefficients(const Bytes& jpeg) {
    std::vector<ReadPlane> planes;
    ReadJob job{};
    if (!ReadPlanes(jpeg, job, planes)) throw std::runtime_error("libjpeg refused the JPEG");
    return planes;
}

JpegParts SplitJpeg(const Bytes& file) {
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8) throw std::runtime_error("no start of image");
    JpegParts parts;
    parts.segments.push_back({0xD8, 0, 2});
    std::size_t at = 2;
    for (;;) {
        if (at >= file.size() || file[at] != 0xFF) throw std::runtime_error("no marker at " + std::to_string(at));
        std::size_t code = at;
        while (code < file.size() && file[code] == 0xFF) ++code;
        if (code == file.size()) throw std::runtime_error("ends in fill bytes");
        std::uint8_t marker = file[code];
        std::size_t offset = code - 1;
        if (marker == 0xD9) {
            parts.segments.push_back({marker, offset, 2});
            return parts;
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            parts.segments.push_back({marker, offset, 2});
            at = code + 1;
            continue;
        }
        std::size_t size = 2 + Length(file, code + 1);
        parts.segments.push_back({marker, offset, size});
        at = offset + size;
        if (marker == 0xDA) {
            std::size_t end = ScanEnd(file, at);
            parts.scanData.push_back({at, end - at});
            at = end;
        }
    }
}

Bytes OutsideScanData(const Bytes& jpeg) {
    Bytes outside;
    std::size_t at = 0;
    for (const ByteRange& r : SplitJpeg(jpeg).scanData) {
        outside.insert(outside.end(), jpeg.begin() + static_cast<long>(at), jpeg.begin() + static_cast<long>(r.offset));
        at = r.offset + r.size;
    }
    outside.insert(outside.end(), jpeg.begin() + static_cast<long>(at), jpeg.end());
    return outside;
}

Bytes Segment(std::uint8_t marker, const Bytes& payload) {
    Bytes whole = {0xFF, marker, static_cast<std::uint8_t>((payload.size() + 2) >> 8),
                   static_cast<std::uint8_t>(payload.size() + 2)};
    return Join(whole, payload);
}

}  // namespace velquist::jpeg::testing
