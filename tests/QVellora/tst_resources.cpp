// SPDX-License-Identifier: MIT
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QImageReader>
#include <QPainter>
#include <QtTest>

class tst_Resources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { CSharedPixmap::initResources(); }
    void everyPictureAtItsSize_data();
    void everyPictureAtItsSize();
    void pathsAreCaseSensitive();
    void sharedPixmapIsLoadedOnce();
    void buttonPaintsPictureOverItsWholeRect();
};

void tst_Resources::everyPictureAtItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    const struct
    {
        const char* path;
        int w, h;
    } table[] = {
        {":/image/icon/win.png", 64, 64},
        {":/image/icon/open_times.png", 32, 32},
        {":/image/icon/file_type.png", 32, 32},
        {":/image/view_dlg_icon/input_image.png", 103, 31},
        {":/image/view_dlg_icon/pause_input.png", 103, 31},
        {":/image/new_button/select_scan.png", 150, 150},
        {":/image/new_button/go_last.png", 150, 150},
        {":/image/new_button/had_scan.png", 150, 150},
        {":/image/new_button/updata_net.png", 150, 150},
        {":/image/big_image/customer_help.png", 241, 78},
        {":/image/icon/view_folder.png", 279, 278},
        {":/image/new_button/compare.png", 80, 26},
        {":/image/view_dlg_icon/check_03.png", 15, 11},
        {":/image/new_button/new_item.png", 57, 26},
        {":/image/view_dlg_icon/full_screen.png", 28, 28},
        {":/image/view_dlg_icon/show_small.png", 26, 28},
        {":/image/view_dlg_icon/show_max.png", 26, 28},
        {":/image/view_dlg_icon/pre_image.png", 36, 28},
        {":/image/view_dlg_icon/next_image.png", 36, 28},
        {":/image/view_dlg_icon/left_90_degree.png", 22, 28},
        {":/image/view_dlg_icon/right_90_degree.png", 22, 28},
        {":/image/view_dlg_icon/compare_image.png", 24, 29},
        {":/image/new_button/go_back.png", 74, 26},
        {":/image/new_button/out_put_image.png", 155, 26},
        {":/image/new_button/see_folder.png", 136, 26},
        {":/image/new_button/updata_to_net.png", 136, 26},
        {":/image/new_button/push_to_image.png", 110, 26},
        {":/image/new_button/Next_Make.png", 83, 26},
        {":/image/new_button/open.png", 70, 26},
        {":/image/big_image/show_help.jpg", 928, 1680},
    };
    for (const auto& row : table)
        QTest::newRow(row.path) << QString::fromLatin1(row.path) << QSize(row.w, row.h);
}

void tst_Resources::everyPictureAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QImageReader reader(path);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    // Not a blank stand-in: a real picture has more than one colour.
    const QImage small = image.scaled(32, 32).convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            colours.insert(small.pixel(x, y));
    QVERIFY(colours.size() > 2);
}

void tst_Resources::pathsAreCaseSensitive()
{
    QVERIFY(!CSharedPixmap::get(":/image/new_button/Next_Make.png")->isNull());
    QVERIFY(CSharedPixmap::get(":/image/new_button/next_make.png")->isNull());
}

void tst_Resources::sharedPixmapIsLoadedOnce()
{
    QPixmap* a = CSharedPixmap::get(":/image/new_button/new_item.png");
    QCOMPARE(CSharedPixmap::get(":/image/new_button/new_item.png"), a);
    QCOMPARE(a->size(), QSize(57, 26));
}

void tst_Resources::buttonPaintsPictureOverItsWholeRect()
{
    QPixmap picture(2, 1);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.fillRect(0, 0, 1, 1, Qt::red);
        painter.fillRect(1, 0, 1, 1, Qt::blue);
    }
    QDrawImageButton button(&picture);
    button.setText("never shown");
    button.resize(100, 40);
    const QImage shot = button.grab().toImage();
    QCOMPARE(shot.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(5, 35), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(95, 20), QColor(Qt::blue));

    QDrawImageButton blank(nullptr);
    blank.resize(20, 20);
    blank.grab(); // paints nothing, must not crash
}

QTEST_MAIN(tst_Resources)
#include "tst_resources.moc"
