// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/LibjpegCalls.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace velquist::jpeg {

namespace {

// The discipline: each libjpeg job's state (its struct, error manager, jump buffer and output
// buffer) is a plain C struct that lives in the caller's frame, and the frame that calls setjmp
// holds nothing with a destructor and creates nothing with one until libjpeg is done, so a
// longjmp from libjpeg's error handler skips no destructor and finds the state as it was left.
static_assert(sizeof(JCOEF) == sizeof(std::int16_t));

struct ErrorTrap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool outOfMemory;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    trap->outOfMemory = cinfo->err->msg_code == JERR_OUT_OF_MEMORY;
    std::longjmp(trap->jump, 1);
}

// Warnings about the data (premature end, a code that does not decode, a restart marker out of
// turn, an inconsistent progression) stop the job like errors: libjpeg would fill the gap with
// zeros and the picture would lose what it had there. Only warnings about how a file describes
// itself pass.
void OnMessage(j_common_ptr cinfo, int level) {
    int code = cinfo->err->msg_code;
    if (level < 0 && code != JWRN_JFIF_MAJOR && code != JWRN_ADOBE_XFORM) OnError(cinfo);
}

void SayNothing(j_common_ptr) {}

void SetTrap(ErrorTrap& trap) {
    jpeg_std_error(&trap.pub);
    trap.pub.error_exit = OnError;
    trap.pub.emit_message = OnMessage;
    trap.pub.output_message = SayNothing;
    trap.outOfMemory = false;
}

LibjpegOutcome Failed(const ErrorTrap& trap) {
    return trap.outOfMemory ? LibjpegOutcome::OutOfMemory : LibjpegOutcome::Refused;
}

// ----- reading

struct ReadState {
    ErrorTrap trap;
    jpeg_decompress_struct cinfo;
};

bool SameGeometry(const jpeg_decompress_struct& cinfo, const LibjpegRead& job) {
    if (cinfo.image_width != job.width || cinfo.image_height != job.height ||
        cinfo.num_components != static_cast<int>(job.planes.size()))
        return false;
    for (int i = 0; i < cinfo.num_components; ++i) {
        const jpeg_component_info& c = cinfo.comp_info[i];
        const LibjpegPlane& p = job.planes[static_cast<std::size_t>(i)];
        if (c.component_id != p.id || c.h_samp_factor != p.h || c.v_samp_factor != p.v ||
            c.width_in_blocks != p.widthInBlocks || c.height_in_blocks != p.heightInBlocks)
            return false;
    }
    return true;
}

void CopyOut(jpeg_decompress_struct& cinfo, jvirt_barray_ptr* arrays, const LibjpegRead& job) {
    std::int16_t* to = job.values;
    for (std::size_t i = 0; i < job.planes.size(); ++i) {
        const LibjpegPlane& plane = job.planes[i];
        for (JDIMENSION row = 0; row < plane.heightInBlocks; ++row) {
            JBLOCKARRAY blocks = (*cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                                  arrays[i], row, 1, FALSE);
            std::memcpy(to, blocks[0], std::size_t{plane.widthInBlocks} * sizeof(JBLOCK));
            to += std::size_t{plane.widthInBlocks} * DCTSIZE2;
        }
    }
}

LibjpegOutcome RunRead(const LibjpegRead& job, ReadState& state) {
    SetTrap(state.trap);
    state.cinfo.err = &state.trap.pub;
    if (setjmp(state.trap.jump)) {
        jpeg_destroy_decompress(&state.cinfo);
        return Failed(state.trap);
    }
    jpeg_create_decompress(&state.cinfo);
    jpeg_mem_src(&state.cinfo, job.file.data(), static_cast<unsigned long>(job.file.size()));
    jpeg_read_header(&state.cinfo, TRUE);
    if (!SameGeometry(state.cinfo, job)) {
        jpeg_destroy_decompress(&state.cinfo);
        return LibjpegOutcome::Refused;
    }
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&state.cinfo);
    CopyOut(state.cinfo, arrays, job);
    jpeg_finish_decompress(&state.cinfo);
    jpeg_destroy_decompress(&state.cinfo);
    return LibjpegOutcome::Done;
}

// ----- writing

// libjpeg's own memory destination keeps its buffer to itself until the end, so an error
// part-way would leak it; this one's buffer is the job's, freed whatever happens.
struct Sink {
    jpeg_destination_mgr pub;
    JOCTET* data;
    std::size_t capacity;
};

void StartOutput(j_compress_ptr cinfo) {
    auto* sink = reinterpret_cast<Sink*>(cinfo->dest);
    sink->pub.next_output_byte = sink->data;
    sink->pub.free_in_buffer = sink->capacity;
}

boolean GrowOutput(j_compress_ptr cinfo) {
    auto* sink = reinterpret_cast<Sink*>(cinfo->dest);
    std::size_t grown = sink->capacity * 2;
    auto* data = static_cast<JOCTET*>(std::realloc(sink->data, grown));
    if (data == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    sink->pub.next_output_byte = data + sink->capacity;
    sink->pub.free_in_buffer = grown - sink->capacity;
    sink->data = data;
    sink->capacity = grown;
    return TRUE;
}

void EndOutput(j_compress_ptr) {}

struct WriteState {
    ErrorTrap trap;
    jpeg_compress_struct cinfo;
    Sink sink;
};

void PutHuffmanTable(jpeg_compress_struct& cinfo, JHUFF_TBL** slot, const JpegHuffmanTable* table) {
    if (table == nullptr) return;
    if (*slot == nullptr) *slot = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(&cinfo));
    std::memset((*slot)->bits, 0, sizeof((*slot)->bits));
    std::memset((*slot)->huffval, 0, sizeof((*slot)->huffval));
    std::memcpy((*slot)->bits + 1, table->counts.data(), table->counts.size());
    std::memcpy((*slot)->huffval, table->symbols.data(), table->symbols.size());
    (*slot)->sent_table = FALSE;
}

void Configure(jpeg_compress_struct& cinfo, const LibjpegWrite& job) {
    cinfo.image_width = job.width;
    cinfo.image_height = job.height;
    cinfo.input_components = static_cast<int>(job.planes.size());
    cinfo.in_color_space = job.planes.size() == 1 ? JCS_GRAYSCALE : JCS_YCbCr;
    jpeg_set_defaults(&cinfo);
    for (std::size_t i = 0; i < job.planes.size(); ++i) {
        jpeg_component_info& c = cinfo.comp_info[i];
        const LibjpegPlane& p = job.planes[i];
        c.component_id = p.id;
        c.h_samp_factor = p.h;
        c.v_samp_factor = p.v;
        c.dc_tbl_no = p.dcSlot;
        c.ac_tbl_no = p.acSlot;
    }
    // The writer's own markers are never kept; these only keep it from adding others.
    cinfo.write_JFIF_header = job.jfif ? TRUE : FALSE;
    cinfo.write_Adobe_marker = job.adobe ? TRUE : FALSE;
    cinfo.restart_interval = job.restartInterval;
    cinfo.arith_code = job.arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = job.optimise && !job.arithmetic ? TRUE : FALSE;
    for (int slot = 0; slot < 4; ++slot) {
        PutHuffmanTable(cinfo, &cinfo.dc_huff_tbl_ptrs[slot], job.dcTables[static_cast<std::size_t>(slot)]);
        PutHuffmanTable(cinfo, &cinfo.ac_huff_tbl_ptrs[slot], job.acTables[static_cast<std::size_t>(slot)]);
        std::uint8_t dc = job.dcConditioning[static_cast<std::size_t>(slot)];
        cinfo.arith_dc_L[slot] = dc & 15;
        cinfo.arith_dc_U[slot] = dc >> 4;
        cinfo.arith_ac_K[slot] = job.acConditioning[static_cast<std::size_t>(slot)];
    }
}

void SetScript(jpeg_compress_struct& cinfo, const LibjpegWrite& job) {
    auto* script = static_cast<jpeg_scan_info*>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, job.scans.size() * sizeof(jpeg_scan_info)));
    for (std::size_t s = 0; s < job.scans.size(); ++s) {
        const LibjpegScript& from = job.scans[s];
        jpeg_scan_info& to = script[s];
        to.comps_in_scan = from.count;
        for (int i = 0; i < from.count; ++i) to.component_index[i] = from.planes[static_cast<std::size_t>(i)];
        to.Ss = from.ss;
        to.Se = from.se;
        to.Ah = from.ah;
        to.Al = from.al;
    }
    cinfo.scan_info = script;
    cinfo.num_scans = static_cast<int>(job.scans.size());
}

// The arrays hold each plane rounded up to whole MCUs; libjpeg makes the padding blocks itself.
jvirt_barray_ptr* RequestArrays(jpeg_compress_struct& cinfo, const LibjpegWrite& job) {
    auto common = reinterpret_cast<j_common_ptr>(&cinfo);
    auto* arrays = static_cast<jvirt_barray_ptr*>(
        (*cinfo.mem->alloc_small)(common, JPOOL_IMAGE, job.planes.size() * sizeof(jvirt_barray_ptr)));
    for (std::size_t i = 0; i < job.planes.size(); ++i) {
        const LibjpegPlane& p = job.planes[i];
        JDIMENSION wide = (p.widthInBlocks + p.h - 1) / p.h * p.h;
        JDIMENSION high = (p.heightInBlocks + p.v - 1) / p.v * p.v;
        arrays[i] = (*cinfo.mem->request_virt_barray)(common, JPOOL_IMAGE, TRUE, wide, high, p.v);
    }
    return arrays;
}

void CopyIn(jpeg_compress_struct& cinfo, jvirt_barray_ptr* arrays, const LibjpegWrite& job) {
    const std::int16_t* from = job.values;
    for (std::size_t i = 0; i < job.planes.size(); ++i) {
        const LibjpegPlane& plane = job.planes[i];
        for (JDIMENSION row = 0; row < plane.heightInBlocks; ++row) {
            JBLOCKARRAY blocks = (*cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                                  arrays[i], row, 1, TRUE);
            std::memcpy(blocks[0], from, std::size_t{plane.widthInBlocks} * sizeof(JBLOCK));
            from += std::size_t{plane.widthInBlocks} * DCTSIZE2;
        }
    }
}

LibjpegOutcome RunWrite(const LibjpegWrite& job, WriteState& state) {
    SetTrap(state.trap);
    state.cinfo.err = &state.trap.pub;
    if (setjmp(state.trap.jump)) {
        jpeg_destroy_compress(&state.cinfo);
        return Failed(state.trap);
    }
    jpeg_create_compress(&state.cinfo);
    state.sink.pub.init_destination = StartOutput;
    state.sink.pub.empty_output_buffer = GrowOutput;
    state.sink.pub.term_destination = EndOutput;
    state.cinfo.dest = &state.sink.pub;
    Configure(state.cinfo, job);
    SetScript(state.cinfo, job);
    jvirt_barray_ptr* arrays = RequestArrays(state.cinfo, job);
    jpeg_write_coefficients(&state.cinfo, arrays);
    CopyIn(state.cinfo, arrays, job);
    jpeg_finish_compress(&state.cinfo);
    jpeg_destroy_compress(&state.cinfo);
    return LibjpegOutcome::Done;
}

}  // namespace

LibjpegOutcome ReadWithLibjpeg(const LibjpegRead& job) {
    ReadState state{};
    return RunRead(job, state);
}

LibjpegOutcome WriteWithLibjpeg(const LibjpegWrite& job, std::vector<std::uint8_t>& out) {
    WriteState state{};
    state.sink.capacity = job.sizeHint > 0 ? job.sizeHint : 1;
    state.sink.data = static_cast<JOCTET*>(std::malloc(state.sink.capacity));
    if (state.sink.data == nullptr) return LibjpegOutcome::OutOfMemory;
    LibjpegOutcome outcome = RunWrite(job, state);
    std::unique_ptr<JOCTET, decltype(&std::free)> data(state.sink.data, &std::free);
    if (outcome == LibjpegOutcome::Done)
        out.assign(data.get(), data.get() + (state.sink.capacity - state.sink.pub.free_in_buffer));
    return outcome;
}

}  // namespace velquist::jpeg
