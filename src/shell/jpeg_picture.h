// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QString>

// Decodes a JPEG (JFIF) held in memory with libjpeg's decompression interface.
// The result is a QImage::Format_RGB888 image (grayscale pictures are widened to RGB).
// Bytes that are not a complete, undamaged JPEG, or that describe a picture wider or
// taller than 8192 pixels, give a null image; the program always goes on.
QImage DecodeJpeg(const QByteArray& bytes);

// Reads the whole file at `path` (resource paths such as ":/pictures/apo.jpg" included)
// and decodes it with DecodeJpeg. A file that cannot be read gives a null image.
QImage LoadJpegPicture(const QString& path);

// A label showing the JPEG picture at `path`, decoded when the label is first shown: a
// picture that never comes into view (on a tab never opened, in a box never shown) is
// never decoded. A picture that cannot be decoded leaves the label empty.
class JpegLabel : public QLabel {
public:
    explicit JpegLabel(const QString& path, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString path_; // empty once decoded
};
