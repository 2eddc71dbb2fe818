// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/jpeg_picture.h"

#include <QFile>
#include <QPixmap>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE and size_t without including their headers
#include <cstring>

#include <jpeglib.h>

namespace {

constexpr JDIMENSION kMaxSide = 8192;

// libjpeg's default error_exit prints the message and calls exit(), which would end the
// whole program over one bad picture. Ours jumps back to the setjmp in DecodeInto, which
// then releases the decompressor and reports failure, so the caller gets a null image.
struct ErrorManager {
    jpeg_error_mgr base; // first member: libjpeg hands us a pointer to it
    std::jmp_buf jumpBack;
};

[[noreturn]] void ReturnControl(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jumpBack, 1);
}

// Warnings are libjpeg's word for damage it papered over, a file cut short among them
// ("premature end", after which the rest would be filled with grey). A damaged picture is
// refused as a whole, so a warning returns control just like an error.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0) {
        ReturnControl(info);
    }
}

void PrintNothing(j_common_ptr) {}

// C style on purpose: no object with a destructor lives in this frame, so the longjmp
// from ReturnControl skips nothing. `image` belongs to the caller and outlives the jump.
bool DecodeInto(const QByteArray& bytes, QImage* image)
{
    // Zeroed, so that an error inside jpeg_create_decompress finds no memory manager to
    // release; jpeg_destroy_decompress then does nothing.
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ReturnControl;
    errors.base.emit_message = OnMessage;
    errors.base.output_message = PrintNothing;
    // Set before the decompressor is created: creating it can fail too.
    if (setjmp(errors.jumpBack) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);

    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
        info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }

    jpeg_start_decompress(&info);
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    QImage image;
    if (!DecodeInto(bytes, &image)) {
        return QImage();
    }
    return image;
}

QImage LoadJpegPicture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QImage();
    }
    return DecodeJpeg(file.readAll());
}

JpegLabel::JpegLabel(const QString& path, QWidget* parent) : QLabel(parent), path_(path) {}

void JpegLabel::showEvent(QShowEvent* event)
{
    if (!path_.isEmpty()) {
        setPixmap(QPixmap::fromImage(LoadJpegPicture(path_)));
        path_.clear();
    }
    QLabel::showEvent(event);
}
