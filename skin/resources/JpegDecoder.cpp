// JPEG files through libjpeg(-turbo).
//
// libjpeg reports errors through its error manager; ours records the message
// and longjmps back into the function that called setjmp. Those functions
// hold no C++ objects with destructors, and the decompressor lives in a plain
// struct owned by DecodeJpeg, which destroys it on every path.
#include "skin/resources/ImageDecoders.h"

#include "framework/ScopeGuard.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace ks {
namespace {

// A progressive file can ask for any number of scans, each a full pass over
// the coefficients; real files use around ten.
constexpr int kMaxScans = 256;
// Warnings (corrupt data that libjpeg papers over) before the file is
// considered damaged.
constexpr int kMaxWarnings = 64;

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX + 64];
    int warnings;
};

struct JpegProgress {
    jpeg_progress_mgr pub;  // first
    JpegErrorManager* errors;
};

struct JpegState {
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    JpegProgress progress;
    bool created;
};

[[noreturn]] void FailJpeg(j_common_ptr cinfo, const char* text)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::snprintf(errors->message, sizeof errors->message, "%s", text);
    std::longjmp(errors->jump, 1);
}

void OnJpegErrorExit(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;  // trace messages
    auto* errors = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    // A file that ends before its image data is truncated, not "mostly
    // fine": libjpeg would fill the rest with grey.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        (*cinfo->err->format_message)(cinfo, errors->message);
        std::longjmp(errors->jump, 1);
    }
    if (++errors->warnings > kMaxWarnings)
        FailJpeg(cinfo, "too many data errors");
}

void OnJpegOutputMessage(j_common_ptr) {}

void OnJpegProgress(j_common_ptr cinfo)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans)
        FailJpeg(cinfo, "too many scans");
}

struct JpegInfo {
    int width;
    int height;
    bool cmyk;
    bool inverted;  // Adobe CMYK stores inverted values
};

bool ReadJpegHeader(JpegState* state, const std::uint8_t* data, std::size_t size, JpegInfo* info,
                    std::uint64_t memoryLimit)
{
    j_decompress_ptr cinfo = &state->cinfo;
    if (setjmp(state->errors.jump))
        return false;

    jpeg_create_decompress(cinfo);
    state->created = true;
    cinfo->progress = &state->progress.pub;
    // Whole-image buffers (progressive and multi-scan files) must fit this;
    // without a backing store libjpeg then fails instead of allocating.
    cinfo->mem->max_memory_to_use =
        static_cast<long>(std::min<std::uint64_t>(memoryLimit, static_cast<std::uint64_t>(LONG_MAX)));
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "no image in the file");

    info->width = static_cast<int>(cinfo->image_width);
    info->height = static_cast<int>(cinfo->image_height);
    info->cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    info->inverted = cinfo->saw_Adobe_marker != 0;
    return true;
}

bool DecodeJpegRows(JpegState* state, TColor32* pixels, const JpegInfo* info)
{
    j_decompress_ptr cinfo = &state->cinfo;
    if (setjmp(state->errors.jump))
        return false;

    cinfo->out_color_space = info->cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    cinfo->scale_num = 1;
    cinfo->scale_denom = 1;
    cinfo->quantize_colors = FALSE;
    jpeg_start_decompress(cinfo);
    if (static_cast<int>(cinfo->output_width) != info->width ||
        static_cast<int>(cinfo->output_height) != info->height || cinfo->output_components != 4)
        FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "unexpected output layout");

    const std::size_t width = static_cast<std::size_t>(info->width);
    while (cinfo->output_scanline < cinfo->output_height) {
        const std::size_t y = cinfo->output_scanline;
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels + y * width);
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "image data ends early");
    }
    // No jpeg_finish_decompress: what follows the image data is of no
    // interest, and a missing end marker is no reason to refuse the pixels.
    return true;
}

void CmykRowToColor32(TColor32* row, std::size_t width, bool inverted)
{
    for (std::size_t x = 0; x < width; ++x) {
        const auto* s = reinterpret_cast<const std::uint8_t*>(row + x);
        unsigned c = s[0], m = s[1], y = s[2], k = s[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Inverted values are the amounts of light let through.
        row[x] = MakeColor32((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255, 255);
    }
}

}  // namespace

void DecodeJpeg(std::span<const std::uint8_t> data, TImageSink& sink, const TDecodeLimits& limits)
{
    if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8)
        throw EImageError("Not a JPEG file");

    auto state = std::make_unique<JpegState>();
    std::memset(state.get(), 0, sizeof(JpegState));
    auto destroy = fw::OnScopeExit([&state] {
        if (state->created)
            jpeg_destroy_decompress(&state->cinfo);
    });
    state->cinfo.err = jpeg_std_error(&state->errors.pub);
    state->errors.pub.error_exit = OnJpegErrorExit;
    state->errors.pub.emit_message = OnJpegMessage;
    state->errors.pub.output_message = OnJpegOutputMessage;
    state->progress.pub.progress_monitor = OnJpegProgress;
    state->progress.errors = &state->errors;

    // Two bytes per sample for the coefficients of four components, plus room
    // for libjpeg's tables.
    const std::uint64_t memoryLimit = limits.MaxPixels * 8 + 32u * 1024u * 1024u;
    JpegInfo info{};
    if (!ReadJpegHeader(state.get(), data.data(), data.size(), &info, memoryLimit))
        throw EImageError(std::string("Damaged JPEG file: ") + state->errors.message);
    CheckImageSize("JPEG", info.width, info.height, limits);

    TColor32* pixels = sink.SetSize(info.width, info.height);
    if (!DecodeJpegRows(state.get(), pixels, &info))
        throw EImageError(std::string("Damaged JPEG file: ") + state->errors.message);

    if (info.cmyk) {
        for (int y = 0; y < info.height; ++y)
            CmykRowToColor32(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(info.width),
                             static_cast<std::size_t>(info.width), info.inverted);
    }
}

}  // namespace ks
