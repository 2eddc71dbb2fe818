// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/jpeg_picture.h"
#include "support/window_fixture.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// Encodes `image` with libjpeg's compression interface, without chroma subsampling, so a
// picture made of flat 8x8 tiles comes back almost exactly. `gray` writes one channel
// (taken from the red component) as a grayscale JPEG.
QByteArray EncodeJpeg(const QImage& image, int quality, bool gray = false)
{
    const QImage source = gray ? image.convertToFormat(QImage::Format_Grayscale8)
                               : image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(source.width());
    info.image_height = static_cast<JDIMENSION>(source.height());
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(source.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<int>(size));
    std::free(buffer);
    return bytes;
}

// A picture of flat 8x8 tiles whose colours differ in every channel from tile to tile and
// follow no symmetry, so swapped channels, shifted rows or a mirrored image all show.
// 42 pixels wide: 126 bytes a row, so QImage pads each row and a decoder that ignores the
// row stride goes wrong.
QImage TilePicture(int width = 42, int height = 26)
{
    static const QRgb palette[] = {qRgb(255, 0, 0),     qRgb(0, 255, 0),    qRgb(0, 0, 255),
                                   qRgb(255, 255, 255), qRgb(0, 0, 0),      qRgb(128, 128, 128),
                                   qRgb(160, 255, 0),   qRgb(200, 30, 120), qRgb(20, 90, 200)};
    const int count = static_cast<int>(sizeof palette / sizeof palette[0]);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, palette[(x / 8 + 4 * (y / 8) + (y / 8) * (x / 8)) % count]);
        }
    }
    return image;
}

// Largest difference of any channel of any pixel, or -1 when the sizes differ.
int LargestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return -1;
    }
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

// A picture known to decode, used after each refusal to show the decoder still works.
void ExpectDecoderStillWorks()
{
    const QImage again = DecodeJpeg(EncodeJpeg(TilePicture(), 100));
    QCOMPARE(again.size(), QSize(42, 26));
}

} // namespace

class JpegPictureTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitPictures(); }

    void resourcePicturesHaveTheirSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("car settings") << ":/pictures/car_settings.jpg" << QSize(273, 201);
        QTest::newRow("pedestrians") << ":/pictures/pedestrians.jpg" << QSize(273, 201);
        QTest::newRow("miscellaneous") << ":/pictures/miscellaneous.jpg" << QSize(273, 201);
        QTest::newRow("apo") << ":/pictures/apo.jpg" << QSize(273, 201);
        QTest::newRow("about") << ":/pictures/about.jpg" << QSize(81, 57);
        QTest::newRow("icon") << ":/pictures/icon.jpg" << QSize(64, 64);
    }

    void resourcePicturesHaveTheirSizes()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const QImage image = LoadJpegPicture(path);
        QVERIFY(!image.isNull());
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QCOMPARE(image.size(), size);

        // A real picture: more than one colour, and both dark and bright parts.
        int darkest = 255 * 3;
        int brightest = 0;
        bool varied = false;
        const QRgb first = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                varied = varied || p != first;
                const int sum = qRed(p) + qGreen(p) + qBlue(p);
                darkest = std::min(darkest, sum);
                brightest = std::max(brightest, sum);
            }
        }
        QVERIFY(varied);
        QVERIFY2(brightest - darkest > 200,
                 qPrintable(QString("contrast %1").arg(brightest - darkest)));
    }

    void decodedColoursMatchTheEncodedPicture()
    {
        const QImage original = TilePicture();
        const QImage decoded = DecodeJpeg(EncodeJpeg(original, 100));
        QVERIFY(!decoded.isNull());
        QCOMPARE(decoded.format(), QImage::Format_RGB888);
        QCOMPARE(decoded.size(), original.size());
        const int difference = LargestDifference(decoded, original);
        QVERIFY2(difference >= 0 && difference <= 6,
                 qPrintable(QString("difference %1").arg(difference)));
        // Spot checks in plain terms: the top-left tile is red, the next one lime.
        const QColor first = decoded.pixelColor(3, 3);
        const QColor second = decoded.pixelColor(11, 3);
        QVERIFY(first.red() > 240 && first.green() < 15 && first.blue() < 15);
        QVERIFY(second.green() > 240 && second.red() < 15 && second.blue() < 15);
    }

    void grayscaleIsWidenedToRgb()
    {
        QImage original(24, 16, QImage::Format_RGB32);
        for (int y = 0; y < original.height(); ++y) {
            for (int x = 0; x < original.width(); ++x) {
                const int level = (x / 8) * 100 + (y / 8) * 30; // 0, 30, 100, 130, 200, 230
                original.setPixel(x, y, qRgb(level, level, level));
            }
        }
        const QImage decoded = DecodeJpeg(EncodeJpeg(original, 100, true));
        QVERIFY(!decoded.isNull());
        QCOMPARE(decoded.format(), QImage::Format_RGB888);
        const int difference = LargestDifference(decoded, original);
        QVERIFY2(difference >= 0 && difference <= 3,
                 qPrintable(QString("difference %1").arg(difference)));
    }

    void truncatedPictureIsRefused()
    {
        const QByteArray whole = ReadFile(":/pictures/car_settings.jpg");
        QVERIFY(whole.size() > 1000);
        QVERIFY(!DecodeJpeg(whole).isNull());
        QVERIFY(DecodeJpeg(whole.left(whole.size() / 2)).isNull());
        ExpectDecoderStillWorks();
    }

    void randomBytesAreRefused()
    {
        QRandomGenerator random(20240611);
        QByteArray bytes(4096, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random.bounded(256));
        }
        QVERIFY(DecodeJpeg(bytes).isNull());
        // The same noise behind a JPEG start marker gets past the first check.
        QVERIFY(DecodeJpeg(QByteArray("\xFF\xD8", 2) + bytes).isNull());
        ExpectDecoderStillWorks();
    }

    void emptyBytesAreRefused()
    {
        QVERIFY(DecodeJpeg(QByteArray()).isNull());
        ExpectDecoderStillWorks();
    }

    void pngBytesAreRefused()
    {
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(TilePicture().save(&buffer, "PNG"));
        QVERIFY(png.startsWith("\x89PNG"));
        QVERIFY(DecodeJpeg(png).isNull());
        ExpectDecoderStillWorks();
    }

    void missingFileGivesNullImage()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(LoadJpegPicture(dir.filePath("no_such_picture.jpg")).isNull());
        QVERIFY(LoadJpegPicture(":/pictures/no_such_picture.jpg").isNull());
        ExpectDecoderStillWorks();
    }

    void pictureFromDiskFileDecodes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("tiles.jpg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(EncodeJpeg(TilePicture(), 100));
        file.close();
        const QImage decoded = LoadJpegPicture(path);
        QCOMPARE(decoded.size(), QSize(42, 26));
        const int difference = LargestDifference(decoded, TilePicture());
        QVERIFY2(difference >= 0 && difference <= 6,
                 qPrintable(QString("difference %1").arg(difference)));
    }

    void sidesUpTo8192AreAccepted_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("8192 wide") << QSize(8192, 8) << true;
        QTest::newRow("8192 tall") << QSize(8, 8192) << true;
        QTest::newRow("8193 wide") << QSize(8193, 8) << false;
        QTest::newRow("8193 tall") << QSize(8, 8193) << false;
    }

    void sidesUpTo8192AreAccepted()
    {
        QFETCH(QSize, size);
        QFETCH(bool, accepted);
        QImage plain(size, QImage::Format_RGB32);
        plain.fill(qRgb(40, 200, 10));
        const QImage decoded = DecodeJpeg(EncodeJpeg(plain, 50));
        QCOMPARE(!decoded.isNull(), accepted);
        if (accepted) {
            QCOMPARE(decoded.size(), size);
        }
    }
};

QTEST_GUILESS_MAIN(JpegPictureTest)
#include "jpeg_picture_test.moc"
