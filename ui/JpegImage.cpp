#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace kalvex::ui {
namespace {

// libjpeg's own error handler prints and calls exit(); ours jumps back to the decoder instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf resume;
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->resume, 1);
}

void stayQuiet(j_common_ptr) {}

// Everything that changes after setjmp lives behind pointers (the decompressor and the image
// belong to the caller), so nothing in this frame is left indeterminate by the jump.
bool decodeInto(const unsigned char* bytes, unsigned long size, jpeg_decompress_struct& info,
                ErrorManager& errors, QImage& image)
{
    if (setjmp(errors.resume))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    info.out_color_space = JCS_RGB;  // greyscale pictures are expanded, so one bitmap format serves
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull() || info.output_components != 3)
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // libjpeg pads a truncated or corrupt stream with grey and only warns; such a picture is damaged.
    return errors.pub.num_warnings == 0;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpBack;
    errors.pub.output_message = stayQuiet;
    QImage image;
    const bool ok = decodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                               static_cast<unsigned long>(data.size()), info, errors, image);
    jpeg_destroy_decompress(&info);
    if (!ok)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace kalvex::ui
