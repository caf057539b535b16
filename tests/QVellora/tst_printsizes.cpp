// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QBusyDialog.h"
#include "EditPageActions.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Records/CJsonFile.h"
#include "Records/CLastSession.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

using Badge = CCategoryPictures::Badge;

// A category's print size as the user meets it: picked on the edit page's row, shown as badges on
// the tiles of both pages, asked about before an export, and kept in "save_last.js".
class tst_PrintSizes : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void badgesFollowThePrintSize_data();
    void badgesFollowThePrintSize();
    void categoryPageCountsAndAsksBeforeExport();
    void factsArrivingLaterReachBothPages();
    void oldSessionRestoresAsDefaultAndSavedSizeComesBack();
    void sessionShapeChecksTheSize();

private:
    // Paints the pictures into the photos folder, scans it through the start page and waits until
    // the edit page shows every picture and knows its size.
    bool scan(MainWindow& window, const QList<QPair<QString, QSize>>& pictures);
    static void pickSize(QCategoryRow* row, const QString& label);
    static QComboBox* sizeBox(QCategoryRow* row);
    static bool goForward(MainWindow& window);
    static bool waitForRestore(QEditPage* page);
    QString photo(const QString& name) const { return m_dir->filePath("photos/" + name); }

    QScopedPointer<QTemporaryDir> m_dir;
    std::unique_ptr<AnsweredDialogs> m_answers;
};

void tst_PrintSizes::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath("records"));
    QVERIFY(QDir(m_dir->path()).mkpath("export"));
    m_answers = std::make_unique<AnsweredDialogs>(m_dir->filePath("records"));
}

void tst_PrintSizes::cleanup()
{
    m_answers.reset();
}

bool tst_PrintSizes::scan(MainWindow& window, const QList<QPair<QString, QSize>>& pictures)
{
    for (const auto& picture : pictures) {
        if (!TestSupport::writeImage(photo(picture.first), picture.second, Qt::darkCyan, Qt::yellow))
            return false;
    }
    m_answers->folder = m_dir->filePath("photos");
    window.pageStack()->setCurrentIndex(0);
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    return QTest::qWaitFor(
        [&] {
            // Tiles are filed a slice at a time, so facts can be known before their tiles are there.
            if (PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList")->count() !=
                pictures.size())
                return false;
            for (const auto& picture : pictures) {
                if (window.editPage()->GetPictureFacts(photo(picture.first)).pixelSize != picture.second)
                    return false;
            }
            return true;
        },
        20000);
}

QComboBox* tst_PrintSizes::sizeBox(QCategoryRow* row)
{
    return PageParts::find<QComboBox>(row, "printSizeBox");
}

void tst_PrintSizes::pickSize(QCategoryRow* row, const QString& label)
{
    QComboBox* box = sizeBox(row);
    QVERIFY(box && box->isEnabled());
    const int index = box->findText(label);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
}

bool tst_PrintSizes::goForward(MainWindow& window)
{
    QTest::mouseClick(
        PageParts::find<QOutPutImageWidget>(window.editPage(), "buttonBar")->GetNextPageButton(),
        Qt::LeftButton);
    return window.pageStack()->currentWidget() == window.catePage();
}

bool tst_PrintSizes::waitForRestore(QEditPage* page)
{
    return QTest::qWaitFor([page] { return !PageParts::find<QBusyDialog>(page, "loadWait")->isVisible(); },
                           30000);
}

void tst_PrintSizes::badgesFollowThePrintSize_data()
{
    // The resolution worked out by hand for a 1800x1200 picture filling the print, long side to
    // long side: min(1800 / long inches, 1200 / short inches); A4 is 11.69 x 8.27 in.
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("badge");
    QTest::addColumn<QString>("tip");
    QTest::newRow("5寸 343 dpi") << "5寸" << int(Badge::None) << "5寸 · 1800×1200 像素 · 343 dpi";
    QTest::newRow("6寸 300 dpi") << "6寸" << int(Badge::None) << "6寸 · 1800×1200 像素 · 300 dpi";
    QTest::newRow("7寸 240 dpi") << "7寸" << int(Badge::Acceptable) << "7寸 · 1800×1200 像素 · 240 dpi";
    QTest::newRow("8寸 200 dpi") << "8寸" << int(Badge::Acceptable) << "8寸 · 1800×1200 像素 · 200 dpi";
    QTest::newRow("10寸 150 dpi") << "10寸" << int(Badge::Acceptable) << "10寸 · 1800×1200 像素 · 150 dpi";
    QTest::newRow("12寸 120 dpi") << "12寸" << int(Badge::Poor) << "12寸 · 1800×1200 像素 · 120 dpi";
    QTest::newRow("A4 145 dpi") << "A4" << int(Badge::Poor) << "A4 · 1800×1200 像素 · 145 dpi";
}

void tst_PrintSizes::badgesFollowThePrintSize()
{
    QFETCH(QString, size);
    QFETCH(int, badge);
    QFETCH(QString, tip);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(scan(window, {{"wide.jpg", QSize(1800, 1200)}, {"tall.jpg", QSize(1200, 1800)}}));
    QEditPage* edit = window.editPage();
    QVERIFY(EditPageActions::dragTicked(*edit, {0, 1}, 0));
    QCategoryRow* row = CategoryParts::row(edit, 0);
    QCOMPARE(CategoryParts::pictureCount(row), 2);

    // The pick goes through the selection; the badges follow the selection.
    pickSize(row, size);
    QCOMPARE(edit->selection()->at(0).printSize, size);
    QCOMPARE(int(CategoryParts::badge(row, photo("wide.jpg"))), badge);
    // A portrait picture is turned to fill the print: it prints as sharp as the landscape one.
    QCOMPARE(int(CategoryParts::badge(row, photo("tall.jpg"))), badge);
    QCOMPARE(CategoryParts::pictures(row)->model()->index(0, 0).data(Qt::ToolTipRole).toString(), tip);

    // A change made on the model alone (as an undo makes it) reaches the box and the badges.
    edit->selection()->setPrintSize(0, "12寸");
    QCOMPARE(sizeBox(row)->currentText(), QString("12寸"));
    QCOMPARE(CategoryParts::badge(row, photo("wide.jpg")), Badge::Poor);
    edit->selection()->setPrintSize(0, "6寸");
    QCOMPARE(CategoryParts::badge(row, photo("wide.jpg")), Badge::None);

    // A pick is one step: Ctrl+Z gives the size before it back, box and badges, and redo again.
    pickSize(row, "12寸");
    QCOMPARE(CategoryParts::badge(row, photo("wide.jpg")), Badge::Poor);
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->selection()->at(0).printSize, QString("6寸"));
    QCOMPARE(sizeBox(row)->currentText(), QString("6寸"));
    QCOMPARE(CategoryParts::badge(row, photo("wide.jpg")), Badge::None);
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(CategoryParts::badge(row, photo("wide.jpg")), Badge::Poor);
}

void tst_PrintSizes::categoryPageCountsAndAsksBeforeExport()
{
    MainWindow window;
    window.resize(1300, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // At 6寸: good (300 dpi), acceptable (200 dpi) and poor (100 dpi).
    QVERIFY(scan(
        window,
        {{"good.jpg", QSize(1800, 1200)}, {"fair.jpg", QSize(1200, 800)}, {"poor.jpg", QSize(600, 400)}}));
    QEditPage* edit = window.editPage();
    QVERIFY(EditPageActions::dragTicked(*edit, {0, 1, 2}, 0));
    edit->selection()->rename(0, "Prints");
    QVERIFY(goForward(window));

    QCatePage* cate = window.catePage();
    QCategoryRow* row = CategoryParts::row(cate, 0);
    QCOMPARE(CategoryParts::badge(row, photo("good.jpg")), Badge::None);
    QCOMPARE(CategoryParts::badge(row, photo("fair.jpg")), Badge::Acceptable);
    QCOMPARE(CategoryParts::badge(row, photo("poor.jpg")), Badge::Poor);
    QCOMPARE(CategoryParts::text(row, "printSummary"), QString("6寸 · 1 张清晰度一般 · 1 张清晰度不足"));
    QCOMPARE(sizeBox(row)->currentText(), QString("6寸"));
    if (!qEnvironmentVariableIsEmpty("VELLORA_SHOTS"))
        window.grab().save(qEnvironmentVariable("VELLORA_SHOTS") + "/print-badges.png");

    // A size changed while the page is shown: 10寸 makes the good one acceptable (150 dpi).
    edit->selection()->setPrintSize(0, "10寸");
    QCOMPARE(sizeBox(row)->currentText(), QString("10寸"));
    QCOMPARE(CategoryParts::text(row, "printSummary"), QString("10寸 · 1 张清晰度一般 · 2 张清晰度不足"));
    edit->selection()->setPrintSize(0, "6寸");

    // Going back asks once and exports nothing.
    QDrawImageButton* exportButton =
        PageParts::find<QCateMakeWidget>(cate, "makeWidget")->findChild<QDrawImageButton*>("exportButton");
    QVERIFY(exportButton);
    const QString folder = m_dir->filePath("export");
    m_answers->folder = folder;
    m_answers->proceed = false;
    QSignalSpy finished(cate, &QCatePage::sigExportFinished);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    QCOMPARE(m_answers->questions,
             QStringList{"1 张照片的分辨率不足以清晰打印所选尺寸（低于 150 dpi）。仍要继续吗？"});
    QVERIFY(!cate->IsExporting());
    QVERIFY(QDir(folder).isEmpty());

    // Going on asks once more and exports as before.
    m_answers->proceed = true;
    QTest::mouseClick(exportButton, Qt::LeftButton);
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(m_answers->questions.size(), 2);
    QVERIFY(QFileInfo::exists(folder + "/Prints/poor.jpg"));

    // Upload asks as well: going back never reaches the login, going on does.
    int logins = 0;
    m_answers->exec = [&logins](QDialog*) { return ++logins, int(QDialog::Rejected); };
    QDrawImageButton* uploadButton =
        PageParts::find<QCateMakeWidget>(cate, "makeWidget")->findChild<QDrawImageButton*>("uploadButton");
    m_answers->proceed = false;
    QTest::mouseClick(uploadButton, Qt::LeftButton);
    QCOMPARE(m_answers->questions.size(), 3);
    QCOMPARE(logins, 0);
    m_answers->proceed = true;
    QTest::mouseClick(uploadButton, Qt::LeftButton);
    QCOMPARE(m_answers->questions.size(), 4);
    QCOMPARE(logins, 1);
}

void tst_PrintSizes::factsArrivingLaterReachBothPages()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(TestSupport::writeImage(photo("late.jpg"), QSize(600, 400)));
    QEditPage* edit = window.editPage();
    // In a category before any worker has read it: no badge, nothing counted.
    QCOMPARE(edit->selection()->addCategory(), 0);
    edit->selection()->addPictures(0, {photo("late.jpg")});
    QVERIFY(goForward(window));
    QCategoryRow* cateRow = CategoryParts::row(window.catePage(), 0);
    QCategoryRow* editRow = CategoryParts::row(edit, 0);
    QCOMPARE(CategoryParts::badge(cateRow, photo("late.jpg")), Badge::None);
    QCOMPARE(CategoryParts::badge(editRow, photo("late.jpg")), Badge::None);
    QCOMPARE(CategoryParts::text(cateRow, "printSummary"), QString("6寸"));

    edit->OpenFolder(m_dir->filePath("photos"), true);
    QTRY_COMPARE_WITH_TIMEOUT(CategoryParts::badge(cateRow, photo("late.jpg")), Badge::Poor, 20000);
    QCOMPARE(CategoryParts::badge(editRow, photo("late.jpg")), Badge::Poor);
    QCOMPARE(CategoryParts::text(cateRow, "printSummary"), QString("6寸 · 1 张清晰度不足"));
}

void tst_PrintSizes::oldSessionRestoresAsDefaultAndSavedSizeComesBack()
{
    QVERIFY(TestSupport::writeImage(photo("wide.jpg"), QSize(1800, 1200)));
    QVERIFY(TestSupport::writeImage(photo("other.jpg"), QSize(1800, 1200)));
    // As an earlier version wrote it: no print size anywhere.
    const QString wide = photo("wide.jpg");
    const QString other = photo("other.jpg");
    const QJsonObject old{
        {"addition", QJsonObject()},
        {"all_sed_image", QJsonObject{{"0", wide}, {"1", other}}},
        {"page",
         QJsonObject{
             {"0", QJsonObject{{"page_name", "Old"},
                               {"page_files", QJsonObject{{"0", QJsonObject{{"picture_name", "wide.jpg"},
                                                                            {"picture_path", wide}}}}}}},
             {"1", QJsonObject{{"page_name", "Older"},
                               {"page_files", QJsonObject{{"0", QJsonObject{{"picture_name", "other.jpg"},
                                                                            {"picture_path", other}}}}}}}}},
        {"scan_image", QJsonObject{{"type", 0}, {"path", ""}}}};
    QVERIFY(CJsonFile::write(CProgramFiles::saveLastFile(), old));

    {
        QEditPage page;
        page.ReOpenLastData();
        QVERIFY(waitForRestore(&page));
        QCOMPARE(page.selection()->count(), 3);
        QCOMPARE(page.selection()->at(0).printSize, QString("6寸"));
        QCOMPARE(page.selection()->at(1).printSize, QString("6寸"));
        QCategoryRow* row = CategoryParts::row(&page, 1);
        QCOMPARE(sizeBox(row)->currentText(), QString("6寸"));
        pickSize(row, "A4");
        QVERIFY(page.SaveCloseData());
    }
    const QJsonObject saved = CJsonFile::read(CProgramFiles::saveLastFile());
    const QJsonObject pages = saved.value("page").toObject();
    QCOMPARE(pages.value("0").toObject().value("print_size").toString(), QString("6寸"));
    QCOMPARE(pages.value("1").toObject().value("print_size").toString(), QString("A4"));

    QEditPage page;
    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));
    QCOMPARE(page.selection()->at(0).printSize, QString("6寸"));
    QCOMPARE(page.selection()->at(1).printSize, QString("A4"));
    QCategoryRow* row = CategoryParts::row(&page, 1);
    QCOMPARE(sizeBox(row)->currentText(), QString("A4"));
    // The restore's workers learnt the size, so the restored tile is badged at once.
    QCOMPARE(CategoryParts::badge(row, other), Badge::Poor);
    QCOMPARE(CategoryParts::badge(CategoryParts::row(&page, 0), wide), Badge::None);
}

void tst_PrintSizes::sessionShapeChecksTheSize()
{
    CLastSession session;
    CCategory category{"A", {"/x/a.jpg"}};
    category.printSize = "8寸";
    session.categories = {category, CCategory{"B", {}}};
    QJsonObject root = session.toJson();
    QVERIFY(CLastSession::hasSessionShape(root));
    QCOMPARE(CLastSession::fromJson(root), session);

    // A size this version does not know reads as the default; one of another type is not a session.
    QJsonObject pages = root.value("page").toObject();
    QJsonObject first = pages.value("0").toObject();
    first.insert("print_size", "13寸");
    pages.insert("0", first);
    root.insert("page", pages);
    QVERIFY(CLastSession::hasSessionShape(root));
    QCOMPARE(CLastSession::fromJson(root).categories.at(0).printSize, QString("6寸"));
    first.insert("print_size", 8);
    pages.insert("0", first);
    root.insert("page", pages);
    QVERIFY(!CLastSession::hasSessionShape(root));
}

QTEST_MAIN(tst_PrintSizes)
#include "tst_printsizes.moc"
