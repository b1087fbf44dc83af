// libjpeg reports errors by calling a handler that must not return; ours longjmps back
// to the function that called setjmp. Every function here that calls setjmp holds only
// plain C data, and the objects with destructors (the library state's owner, the
// output buffer) live in the callers, which the jump never crosses.

#include "Platform/Gdiplus/JpegCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/ExifBlock.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

namespace Platform::Gdiplus {

namespace {

constexpr std::size_t ChunkSize = 65536;
// Progressive files can hold any number of scans; beyond this many the file is taken
// as hostile rather than decoded for minutes.
constexpr int MaxScans = 1000;

struct ErrorState {
    jpeg_error_mgr manager; // first, so that the library's pointer converts back
    std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorState*>(info->err)->jump, 1);
}

// Warnings that mean the pixels would be wrong: missing or corrupt data.
bool IsFatalWarning(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

void OnMessage(j_common_ptr info, int level)
{
    if (level < 0 && IsFatalWarning(info->err->msg_code))
        JumpOut(info);
}

void Silent(j_common_ptr) {}

void InstallErrorHandlers(ErrorState& state)
{
    jpeg_std_error(&state.manager);
    state.manager.error_exit = JumpOut;
    state.manager.emit_message = OnMessage;
    state.manager.output_message = Silent;
}

struct SourceState {
    jpeg_source_mgr manager;
    ByteSource* source;
    JOCTET* buffer;
};

SourceState& SourceOf(j_decompress_ptr info)
{
    return *reinterpret_cast<SourceState*>(info->src);
}

void InitSource(j_decompress_ptr) {}

void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr info)
{
    SourceState& state = SourceOf(info);
    const std::size_t got = state.source->Read(state.buffer, ChunkSize);
    if (got == 0)
        WARNMS(info, JWRN_JPEG_EOF); // fatal: does not return
    state.manager.next_input_byte = state.buffer;
    state.manager.bytes_in_buffer = got;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count)
{
    SourceState& state = SourceOf(info);
    if (count <= 0)
        return;
    const auto skip = static_cast<std::uint64_t>(count);
    if (skip <= state.manager.bytes_in_buffer) {
        state.manager.next_input_byte += skip;
        state.manager.bytes_in_buffer -= skip;
        return;
    }
    const std::uint64_t target = state.source->Position() + (skip - state.manager.bytes_in_buffer);
    state.manager.bytes_in_buffer = 0;
    if (!state.source->Seek(target))
        WARNMS(info, JWRN_JPEG_EOF);
}

void OnProgress(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans)
        JumpOut(info);
}

struct Decompressor {
    jpeg_decompress_struct info;
    ErrorState error;
    SourceState source;
    jpeg_progress_mgr progress;
};

// Owns the library state; destroying a state that was never created is harmless
// because the library checks its memory manager first.
class DecompressorOwner {
public:
    DecompressorOwner(ByteSource& source) : state{}, buffer(new JOCTET[ChunkSize])
    {
        state.source.source = &source;
        state.source.buffer = buffer.get();
    }
    ~DecompressorOwner() { jpeg_destroy_decompress(&state.info); }
    DecompressorOwner(const DecompressorOwner&) = delete;
    DecompressorOwner& operator=(const DecompressorOwner&) = delete;

    Decompressor state;

private:
    std::unique_ptr<JOCTET[]> buffer;
};

// Reading the size keeps the APP1 markers, where cameras store the Exif block, for
// ExifOrientationOf; decoding the pixels does not need them.
enum class Markers { Skip, KeepExif };

bool ReadHeader(Decompressor& d, Markers markers)
{
    InstallErrorHandlers(d.error);
    d.info.err = &d.error.manager;
    if (setjmp(d.error.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.source.manager.init_source = InitSource;
    d.source.manager.fill_input_buffer = FillInput;
    d.source.manager.skip_input_data = SkipInput;
    d.source.manager.resync_to_restart = jpeg_resync_to_restart;
    d.source.manager.term_source = TermSource;
    d.info.src = &d.source.manager;
    d.progress.progress_monitor = OnProgress;
    d.info.progress = &d.progress;
    if (markers == Markers::KeepExif)
        jpeg_save_markers(&d.info, JPEG_APP0 + 1, 0xFFFF);
    return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

// The orientation of the first APP1 marker that holds an Exif block; 1 without one.
int ExifOrientationOf(const Decompressor& d)
{
    for (jpeg_saved_marker_ptr marker = d.info.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && IsExifBlock(marker->data, marker->data_length))
            return ReadExifOrientation(marker->data, marker->data_length);
    }
    return 1;
}

bool IsCmyk(const Decompressor& d)
{
    return d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
}

bool PrepareOutput(Decompressor& d, int reduction)
{
    if (setjmp(d.error.jump))
        return false;
    d.info.out_color_space = IsCmyk(d) ? JCS_CMYK : JCS_EXT_BGRA;
    d.info.scale_num = 1;
    d.info.scale_denom = static_cast<unsigned>(reduction);
    // Chroma smoothing is lost in the reduction to a thumbnail anyway.
    d.info.do_fancy_upsampling = reduction == 1 ? TRUE : FALSE;
    jpeg_calc_output_dimensions(&d.info);
    return true;
}

// Adobe applications store CMYK inverted: a stored value of 255 means no ink.
void CmykToBgra(const JSAMPLE* cmyk, std::uint8_t* bgra, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgra += 4) {
        const unsigned c = inverted ? cmyk[0] : 255 - cmyk[0];
        const unsigned m = inverted ? cmyk[1] : 255 - cmyk[1];
        const unsigned y = inverted ? cmyk[2] : 255 - cmyk[2];
        const unsigned k = inverted ? cmyk[3] : 255 - cmyk[3];
        bgra[0] = static_cast<std::uint8_t>(y * k / 255);
        bgra[1] = static_cast<std::uint8_t>(m * k / 255);
        bgra[2] = static_cast<std::uint8_t>(c * k / 255);
        bgra[3] = 0xFF;
    }
}

bool ReadRows(Decompressor& d, PixelBuffer* pixels)
{
    if (setjmp(d.error.jump))
        return false;
    jpeg_start_decompress(&d.info);
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    JSAMPARRAY cmykRow = cmyk ? (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                                            d.info.output_width * 4, 1)
                              : nullptr;
    while (d.info.output_scanline < d.info.output_height) {
        std::uint8_t* row = pixels->Row(static_cast<int>(d.info.output_scanline));
        JSAMPROW target = cmyk ? cmykRow[0] : row;
        jpeg_read_scanlines(&d.info, &target, 1);
        if (cmyk)
            CmykToBgra(cmykRow[0], row, d.info.output_width, d.info.saw_Adobe_marker);
    }
    return true;
}

struct DestinationState {
    jpeg_destination_mgr manager;
    MemoryStream* stream;
    JOCTET* buffer;
};

DestinationState& DestinationOf(j_compress_ptr info)
{
    return *reinterpret_cast<DestinationState*>(info->dest);
}

void InitDestination(j_compress_ptr info)
{
    DestinationState& state = DestinationOf(info);
    state.manager.next_output_byte = state.buffer;
    state.manager.free_in_buffer = ChunkSize;
}

boolean EmptyOutput(j_compress_ptr info)
{
    DestinationState& state = DestinationOf(info);
    if (!state.stream->Write(state.buffer, ChunkSize))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    InitDestination(info);
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    DestinationState& state = DestinationOf(info);
    if (!state.stream->Write(state.buffer, ChunkSize - state.manager.free_in_buffer))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
}

struct Compressor {
    jpeg_compress_struct info;
    ErrorState error;
    DestinationState destination;
};

class CompressorOwner {
public:
    explicit CompressorOwner(MemoryStream& stream) : state{}, buffer(new JOCTET[ChunkSize])
    {
        state.destination.stream = &stream;
        state.destination.buffer = buffer.get();
    }
    ~CompressorOwner() { jpeg_destroy_compress(&state.info); }
    CompressorOwner(const CompressorOwner&) = delete;
    CompressorOwner& operator=(const CompressorOwner&) = delete;

    Compressor state;

private:
    std::unique_ptr<JOCTET[]> buffer;
};

bool Compress(Compressor& c, const PixelBuffer* pixels, int quality)
{
    InstallErrorHandlers(c.error);
    c.info.err = &c.error.manager;
    if (setjmp(c.error.jump))
        return false;
    jpeg_create_compress(&c.info);
    c.destination.manager.init_destination = InitDestination;
    c.destination.manager.empty_output_buffer = EmptyOutput;
    c.destination.manager.term_destination = TermDestination;
    c.info.dest = &c.destination.manager;
    c.info.image_width = static_cast<JDIMENSION>(pixels->Width());
    c.info.image_height = static_cast<JDIMENSION>(pixels->Height());
    c.info.input_components = 4;
    c.info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels->Row(static_cast<int>(c.info.next_scanline)));
        jpeg_write_scanlines(&c.info, &row, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

} // namespace

const CLSID& JpegCodec::EncoderClsid() const
{
    static constexpr CLSID clsid = ImageEncoderClsid(0x557CF401);
    return clsid;
}

bool JpegCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

Status JpegCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    DecompressorOwner owner(source);
    if (!ReadHeader(owner.state, Markers::KeepExif))
        return Status::GenericError;
    info.width = static_cast<int>(owner.state.info.image_width);
    info.height = static_cast<int>(owner.state.info.image_height);
    info.orientation = ExifOrientationOf(owner.state);
    return PixelBuffer::CheckSize(owner.state.info.image_width, owner.state.info.image_height);
}

Status JpegCodec::Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const
{
    DecompressorOwner owner(source);
    Decompressor& d = owner.state;
    if (!ReadHeader(d, Markers::Skip))
        return Status::GenericError;
    if (const Status size = PixelBuffer::CheckSize(d.info.image_width, d.info.image_height); size != Status::Ok)
        return size;
    if (!PrepareOutput(d, reduction))
        return Status::NotImplemented;
    std::unique_ptr<PixelBuffer> decoded =
        PixelBuffer::Create(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height));
    if (!decoded)
        return Status::OutOfMemory;
    if (!ReadRows(d, decoded.get()))
        return Status::GenericError;
    pixels = std::move(decoded);
    return Status::Ok;
}

Status JpegCodec::Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const
{
    // The format holds at most 65,500 pixels a side.
    if (pixels.Width() > JPEG_MAX_DIMENSION || pixels.Height() > JPEG_MAX_DIMENSION)
        return Status::ValueOverflow;
    CompressorOwner owner(stream);
    return Compress(owner.state, &pixels, options.quality) ? Status::Ok : Status::GenericError;
}

} // namespace Platform::Gdiplus
