// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegCodec.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
// clang-format on

#include <stdexcept>
#include <string>

// libjpeg reports a fatal error by calling error_exit, which must not return. Here it longjmps
// back to the setjmp in the one Trapped* function that called into libjpeg. Between them lie
// only libjpeg's frames and the helpers below, which hold nothing with a destructor; the
// Trapped* functions keep only trivially destructible locals, and the public functions turn a
// failure into an exception once libjpeg's state is destroyed.

namespace velquist::detect {

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" [[noreturn]] void TrapError(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

extern "C" void Quiet(j_common_ptr) {}

jpeg_error_mgr* Arm(ErrorTrap* trap) {
    jpeg_error_mgr* manager = jpeg_std_error(&trap->manager);
    manager->error_exit = TrapError;
    manager->output_message = Quiet;
    trap->message[0] = '\0';
    return manager;
}

[[noreturn]] void Fail(const char* what, const ErrorTrap& trap) {
    throw std::runtime_error(std::string(what) + ": " + trap.message);
}

// One block row of component `c` in libjpeg's coefficient arrays.
JBLOCKROW BlockRow(j_decompress_ptr info, jvirt_barray_ptr* arrays, int c, int row, bool writable) {
    return (*info->mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(info), arrays[c],
                                            static_cast<JDIMENSION>(row), 1, writable ? TRUE : FALSE)[0];
}

void ReadBlocks(j_decompress_ptr info, jvirt_barray_ptr* arrays, JpegCoefficients* coefficients) {
    for (int c = 0; c < info->num_components; ++c) {
        JpegComponent& component = coefficients->components[c];
        for (int row = 0; row < component.blocksHigh; ++row) {
            JBLOCKROW blocks = BlockRow(info, arrays, c, row, false);
            std::int16_t* values = component.values.data() + static_cast<std::size_t>(row) * component.blocksWide * 64;
            for (int col = 0; col < component.blocksWide; ++col)
                for (int k = 0; k < 64; ++k) values[col * 64 + k] = static_cast<std::int16_t>(blocks[col][k]);
        }
    }
}

void WriteBlocks(j_decompress_ptr info, jvirt_barray_ptr* arrays, const JpegCoefficients* coefficients) {
    for (int c = 0; c < info->num_components; ++c) {
        const JpegComponent& component = coefficients->components[c];
        for (int row = 0; row < component.blocksHigh; ++row) {
            JBLOCKROW blocks = BlockRow(info, arrays, c, row, true);
            const std::int16_t* values =
                component.values.data() + static_cast<std::size_t>(row) * component.blocksWide * 64;
            for (int col = 0; col < component.blocksWide; ++col)
                for (int k = 0; k < 64; ++k) blocks[col][k] = values[col * 64 + k];
        }
    }
}

// Whether `coefficients` has the file's components and block counts.
bool SameLayout(j_decompress_ptr info, const JpegCoefficients* coefficients) {
    if (info->num_components != static_cast<int>(coefficients->components.size())) return false;
    for (int c = 0; c < info->num_components; ++c)
        if (static_cast<int>(info->comp_info[c].width_in_blocks) != coefficients->components[c].blocksWide ||
            static_cast<int>(info->comp_info[c].height_in_blocks) != coefficients->components[c].blocksHigh)
            return false;
    return true;
}

void DescribeComponents(j_decompress_ptr info, JpegCoefficients* coefficients) {
    coefficients->width = static_cast<int>(info->image_width);
    coefficients->height = static_cast<int>(info->image_height);
    coefficients->components.resize(info->num_components);
    for (int c = 0; c < info->num_components; ++c) {
        const jpeg_component_info& source = info->comp_info[c];
        JpegComponent& component = coefficients->components[c];
        component.blocksWide = static_cast<int>(source.width_in_blocks);
        component.blocksHigh = static_cast<int>(source.height_in_blocks);
        for (int k = 0; k < 64; ++k) component.steps[k] = source.quant_table->quantval[k];
        component.values.assign(static_cast<std::size_t>(component.blocksWide) * component.blocksHigh * 64, 0);
    }
}

bool TrappedRead(const std::vector<std::uint8_t>* file, JpegCoefficients* coefficients, ErrorTrap* trap) {
    jpeg_decompress_struct info;
    info.err = Arm(trap);
    jpeg_create_decompress(&info);
    if (setjmp(trap->jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, file->data(), static_cast<unsigned long>(file->size()));
    jpeg_read_header(&info, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
    DescribeComponents(&info, coefficients);
    ReadBlocks(&info, arrays, coefficients);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool TrappedRewrite(const std::vector<std::uint8_t>* file, const JpegCoefficients* coefficients,
                    unsigned char** buffer, unsigned long* size, ErrorTrap* trap) {
    jpeg_decompress_struct in;
    jpeg_compress_struct out;
    in.err = Arm(trap);
    out.err = &trap->manager;
    jpeg_create_decompress(&in);
    jpeg_create_compress(&out);
    if (setjmp(trap->jump)) {
        jpeg_destroy_compress(&out);
        jpeg_destroy_decompress(&in);
        *buffer = nullptr;  // libjpeg may have freed it while growing: lost rather than freed twice
        return false;
    }
    jpeg_mem_src(&in, file->data(), static_cast<unsigned long>(file->size()));
    jpeg_read_header(&in, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&in);
    if (!SameLayout(&in, coefficients)) {
        std::snprintf(trap->message, sizeof trap->message, "the coefficients have another block layout");
        jpeg_destroy_compress(&out);
        jpeg_destroy_decompress(&in);
        return false;
    }
    WriteBlocks(&in, arrays, coefficients);
    jpeg_mem_dest(&out, buffer, size);
    jpeg_copy_critical_parameters(&in, &out);
    out.optimize_coding = TRUE;
    jpeg_write_coefficients(&out, arrays);
    jpeg_finish_compress(&out);
    jpeg_destroy_compress(&out);
    jpeg_finish_decompress(&in);
    jpeg_destroy_decompress(&in);
    return true;
}

bool TrappedComponents(const std::vector<std::uint8_t>* file, std::vector<Plane>* planes, ErrorTrap* trap) {
    jpeg_decompress_struct info;
    info.err = Arm(trap);
    jpeg_create_decompress(&info);
    if (setjmp(trap->jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, file->data(), static_cast<unsigned long>(file->size()));
    jpeg_read_header(&info, TRUE);
    info.raw_data_out = TRUE;  // each component at its own resolution, no colour conversion
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    JSAMPARRAY rows[MAX_COMPONENTS];
    planes->resize(info.num_components);
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        Plane& plane = (*planes)[c];
        plane.width = static_cast<int>(component.downsampled_width);
        plane.height = static_cast<int>(component.downsampled_height);
        plane.values.assign(static_cast<std::size_t>(plane.width) * plane.height, 0);
        rows[c] = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                            component.width_in_blocks * DCTSIZE, component.v_samp_factor * DCTSIZE);
    }
    for (int band = 0; info.output_scanline < info.output_height; ++band) {
        jpeg_read_raw_data(&info, rows, static_cast<JDIMENSION>(info.max_v_samp_factor * DCTSIZE));
        for (int c = 0; c < info.num_components; ++c) {
            Plane& plane = (*planes)[c];
            const int height = info.comp_info[c].v_samp_factor * DCTSIZE;
            for (int r = 0; r < height && band * height + r < plane.height; ++r)
                for (int x = 0; x < plane.width; ++x)
                    plane.values[static_cast<std::size_t>(band * height + r) * plane.width + x] = rows[c][r][x];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool TrappedCompress(const Picture* picture, int quality, unsigned char** buffer, unsigned long* size,
                     ErrorTrap* trap) {
    jpeg_compress_struct info;
    info.err = Arm(trap);
    jpeg_create_compress(&info);
    if (setjmp(trap->jump)) {
        jpeg_destroy_compress(&info);
        *buffer = nullptr;  // libjpeg may have freed it while growing: lost rather than freed twice
        return false;
    }
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(picture->width);
    info.image_height = static_cast<JDIMENSION>(picture->height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(picture->samples.data() + picture->index(static_cast<int>(info.next_scanline), 0, 0));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// What jpeg_mem_dest allocated, freed however the call ended.
struct MemoryDestination {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~MemoryDestination() { std::free(buffer); }
    std::vector<std::uint8_t> bytes() const { return {buffer, buffer + size}; }
};

}  // namespace

JpegCoefficients JpegCodec::ReadCoefficients(const std::vector<std::uint8_t>& file) {
    ErrorTrap trap;
    JpegCoefficients coefficients;
    if (!TrappedRead(&file, &coefficients, &trap)) Fail("cannot read the JPEG's coefficients", trap);
    return coefficients;
}

std::vector<std::uint8_t> JpegCodec::WithCoefficients(const std::vector<std::uint8_t>& file,
                                                      const JpegCoefficients& coefficients) {
    ErrorTrap trap;
    MemoryDestination out;
    if (!TrappedRewrite(&file, &coefficients, &out.buffer, &out.size, &trap)) Fail("cannot rewrite the JPEG", trap);
    return out.bytes();
}

std::vector<Plane> JpegCodec::DecodeComponents(const std::vector<std::uint8_t>& file) {
    ErrorTrap trap;
    std::vector<Plane> planes;
    if (!TrappedComponents(&file, &planes, &trap)) Fail("cannot decode the JPEG", trap);
    return planes;
}

std::vector<std::uint8_t> JpegCodec::Compress(const Picture& picture, int quality) {
    ErrorTrap trap;
    MemoryDestination out;
    if (!TrappedCompress(&picture, quality, &out.buffer, &out.size, &trap)) Fail("cannot compress the picture", trap);
    return out.bytes();
}

}  // namespace velquist::detect
