// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QEditPage.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "PictureKinds.h"
#include "Pictures/CImageReading.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QImageReader>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

// A machine without the image plugin packages: the program must still start, grey out the types
// it cannot read and name the package for each, search only for what it can show, and still make
// HEIC thumbnails and views through libheif. Run with QT_PLUGIN_PATH naming an empty folder.
class tst_FormatsWithoutPlugins : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void windowStartsAndGreysTheMissingTypes();
    void heicStillReadThroughLibheif();

private:
    QTemporaryDir m_dir;
};

void tst_FormatsWithoutPlugins::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // If Qt still found the plugins, this test would prove nothing.
    for (const QByteArray format : {"heif", "avif", "webp", "tiff"})
        QVERIFY2(!QImageReader::supportedImageFormats().contains(format), format.constData());
    QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
}

static QAction* actionNamed(QMenuBar* bar, const QString& text)
{
    for (QAction* menu : bar->actions())
        for (QAction* action : menu->menu()->actions())
            if (action->text() == text)
                return action;
    return nullptr;
}

void tst_FormatsWithoutPlugins::windowStartsAndGreysTheMissingTypes()
{
    const QString photos = m_dir.filePath("photos");
    QVERIFY(TestSupport::writeImage(photos + "/a.jpg", QSize(40, 30)));
    QVERIFY(TestSupport::writeImage(photos + "/b.png", QSize(40, 30)));
    for (const QString& name :
         {QStringLiteral("c.heic"), QStringLiteral("d.webp"), QStringLiteral("e.tif")}) {
        const QString tool = PictureKinds::toolFor(name);
        if (!PictureKinds::haveTool(tool))
            QSKIP(qPrintable(tool + " is missing (tools/install-deps.sh installs it)"));
        const QString error =
            PictureKinds::write(photos + "/" + name, TestSupport::twoToneImage(QSize(40, 30)));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    CProgramFiles::setRecordFolderOverride(m_dir.filePath("records"));
    qputenv("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString().toUtf8());
    struct Box
    {
        bool enabled, checked;
        QString tip;
    };
    QMap<QString, Box> seen;
    QUserDialogs::Answers answers;
    answers.folder = [&](const QString&, const QString&) { return photos; };
    answers.exec = [&](QDialog* dialog) {
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            seen.insert(box->text(), {box->isEnabled(), box->isChecked(), box->toolTip()});
        return int(QDialog::Rejected);
    };
    QUserDialogs::setAnswers(answers);
    auto restore = qScopeGuard([] {
        QUserDialogs::clearAnswers();
        CProgramFiles::setRecordFolderOverride(QString());
    });

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // From the start, before the type dialog was ever opened, the search lists only what can be
    // shown.
    QCOMPARE(window.photoFilter().suffixes(), (QStringList{"jpg", "png", "bmp"}));
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    QTRY_COMPARE(window.pageStack()->currentIndex(), 1);
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    QTRY_COMPARE(grid->count(), 2);
    QStringList shown;
    for (int i = 0; i < grid->count(); ++i)
        shown << QFileInfo(grid->PathAt(i)).fileName();
    shown.sort();
    QCOMPARE(shown, (QStringList{"a.jpg", "b.png"}));

    QAction* types = actionNamed(window.menuBar(), QStringLiteral("&过滤照片类型"));
    QVERIFY(types);
    types->trigger();

    QCOMPARE(seen.size(), 7);
    for (const QString label : {"JPG类型", "PNG类型", "BMP类型"}) {
        QVERIFY2(seen.value(label).enabled && seen.value(label).checked, qPrintable(label));
        QVERIFY(seen.value(label).tip.isEmpty());
    }
    const QMap<QString, QString> packages{{"HEIC/HEIF类型", "kimageformat-plugins"},
                                          {"AVIF类型", "kimageformat-plugins"},
                                          {"WebP类型", "qt5-image-formats-plugins"},
                                          {"TIFF类型", "qt5-image-formats-plugins"}};
    for (auto it = packages.cbegin(); it != packages.cend(); ++it) {
        const Box box = seen.value(it.key());
        QVERIFY2(!box.enabled && !box.checked, qPrintable(it.key()));
        QVERIFY2(box.tip.contains(it.value()), qPrintable(box.tip));
    }
    QCOMPARE(window.photoFilter().suffixes(), (QStringList{"jpg", "png", "bmp"}));
}

void tst_FormatsWithoutPlugins::heicStillReadThroughLibheif()
{
    const QString path = m_dir.filePath("turned.heic");
    const QString error =
        PictureKinds::writeHeic(path, TestSupport::twoToneImage(QSize(120, 80), Qt::red, Qt::blue), 6);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(QImageReader(path).read().isNull());

    const QImage whole = CImageReading::readUpright(path);
    QCOMPARE(whole.size(), QSize(80, 120));
    QVERIFY(whole.pixelColor(40, 10).red() > 200 && whole.pixelColor(40, 110).blue() > 200);
    QCOMPARE(CImageReading::thumbnail(path, CImageReading::thumbnailBox()).size(), QSize(180, 270));
}

// Qt looks for plugins in its own plugin folder as well as in QT_PLUGIN_PATH. Only QT_PLUGIN_PATH
// is kept, plus the JPEG, GIF and ICO readers that come with Qt itself (libqt5gui5), as on a
// machine where the plugin packages are not installed. The offscreen platform is still found in
// Qt's own folder.
int main(int argc, char** argv)
{
    const QString qtPlugins = QLibraryInfo::location(QLibraryInfo::PluginsPath);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM_PLUGIN_PATH"))
        qputenv("QT_QPA_PLATFORM_PLUGIN_PATH", QFile::encodeName(qtPlugins + "/platforms"));
    QApplication app(argc, argv);

    QTemporaryDir qtOwn;
    QDir().mkpath(qtOwn.filePath("imageformats"));
    for (const char* plugin : {"libqjpeg.so", "libqgif.so", "libqico.so"}) {
        const QString name = QString::fromLatin1(plugin);
        QFile::link(qtPlugins + "/imageformats/" + name, qtOwn.filePath("imageformats/" + name));
    }
    QStringList paths =
        QString::fromLocal8Bit(qgetenv("QT_PLUGIN_PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    paths << qtOwn.path();
    QCoreApplication::setLibraryPaths(paths);

    tst_FormatsWithoutPlugins test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formatswithoutplugins.moc"
