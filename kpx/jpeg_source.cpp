// The memory data source that feeds libjpeg from an open file-layer handle.
//
// The whole file is handed to the decoder in one piece at the first request.
// A later request (the data ran out: a truncated file) is answered with an
// end-of-image marker, so the decoder finishes with a warning instead of
// reading outside the buffer or asking forever; a skip past the end of the
// data empties the buffer and ends there the same way.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"

#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct MemorySource {
    jpeg_source_mgr pub;
    ppd_file* file;
    JOCTET* buffer;
    std::size_t capacity;  // bytes the buffer holds
    boolean startOfFile;
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr cinfo) { reinterpret_cast<MemorySource*>(cinfo->src)->startOfFile = TRUE; }

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    if (src->startOfFile && src->file->size > 0) {
        std::memcpy(src->buffer, src->file->data, src->file->size);
        src->pub.next_input_byte = src->buffer;
        src->pub.bytes_in_buffer = src->file->size;
    } else {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pub.next_input_byte = kEndOfImage;
        src->pub.bytes_in_buffer = sizeof kEndOfImage;
    }
    src->startOfFile = FALSE;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    while (static_cast<unsigned long>(count) > src->pub.bytes_in_buffer) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        src->pub.bytes_in_buffer = 0;
        if (!src->startOfFile) {
            // Nothing left but the end marker; the skip ends there.
            fillInputBuffer(cinfo);
            return;
        }
        fillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void termSource(j_decompress_ptr) {}

}  // namespace

void kpx_jpeg_memory_src(jpeg_decompress_struct* cinfo, ppd_file* file) {
    if (!cinfo->src) {
        auto* src = static_cast<MemorySource*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
        src->buffer = nullptr;
        src->capacity = 0;
        cinfo->src = &src->pub;
    }
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    // A decompressor reused for a larger file needs a larger buffer: the
    // whole file is copied into it at the first request.
    if (!src->buffer || file->size > src->capacity) {
        src->capacity = file->size ? file->size : 1;
        src->buffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, src->capacity));
    }
    src->pub.init_source = initSource;
    src->pub.fill_input_buffer = fillInputBuffer;
    src->pub.skip_input_data = skipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = termSource;
    src->file = file;
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
}
