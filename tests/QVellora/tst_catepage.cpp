// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "CategoryParts.h"
#include "Dialogs/QUserDialogs.h"
#include "Export/CExportHistory.h"
#include "Export/CExportSelection.h"
#include "LoadIn/QUpdateImageData.h"
#include "NoticeBoxes.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "Pictures/CSelectImageData.h"
#include "Selection/CSelection.h"
#include "StandinService.h"
#include "TestSupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>

// With VELLORA_SHOTS set to a folder, the page as the user sees it is saved there as a PNG.
static void saveShot(QWidget* page, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELLORA_SHOTS");
    if (folder.isEmpty())
        return;
    page->resize(1300, 650);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page));
    page->grab().save(folder + "/" + name + ".png");
}

// Records the URLs the page hands to the desktop instead of opening them.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// The category page driven through its buttons, exporting real pictures into real folders.
class tst_CatePage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsExactlyTheGivenCategories();
    void rowsStackAtAnyWidth_data();
    void rowsStackAtAnyWidth();
    void boxesFitTheirPictures();
    void exportIntoExistingFolders();
    void emptyNameExportsIntoTheFolderItself();
    void hostileNamesRefusedBeforeCopying_data();
    void hostileNamesRefusedBeforeCopying();
    void sameFileNameFromTwoFoldersKeepsBoth();
    void failedCopyReportedAndNotListed();
    void uncreatableFolderKeepsPreviousSelection();
    void backThenForwardAsksForNewExport();
    void uploadSendsEveryExportedFolderInOneBatch_data();
    void uploadSendsEveryExportedFolderInOneBatch();
    void cancelledLoginStartsNothing();
    void foldersAndPrintPageOpenedAsUrls();

private:
    // A picture painted into the source tree; each gets its own colour so copies can be told apart.
    QString picture(const QString& relative);
    // A category of the selection the page shows: its row in the selection, its name, its
    // pictures, and those of them that have no thumbnail (unreadable files).
    struct Row
    {
        int category = 0;
        QString name;
        QStringList paths;
        QStringList uncached;
    };
    Row row(int category, const QString& name, const QStringList& paths);
    // Shows these categories as the window does: a selection holding them (rows not named stay
    // empty), then the page's ShowCategories. A row given without pictures is shown and then
    // emptied, as when the user deletes its last picture on the page.
    void show(QCatePage& page, const QList<Row>& rows);
    // Chooses `folder` in the folder dialog, presses export and waits for the end. Returns whether
    // the export completed.
    bool exportTo(QCatePage& page, const QString& folder);
    QString exportFolder() const { return m_dir->filePath("export"); }
    QStringList entriesOf(const QString& folder) const;
    void click(QCatePage& page, const char* button);

    QScopedPointer<QTemporaryDir> m_dir;
    std::unique_ptr<CSelection> m_selection;
    CSelectImageData m_cache;
    std::unique_ptr<AnsweredDialogs> m_answers;
    int m_painted = 0;
};

void tst_CatePage::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_answers = std::make_unique<AnsweredDialogs>(m_dir->filePath("records"));
    QVERIFY(QDir().mkpath(exportFolder()));
}

void tst_CatePage::cleanup()
{
    m_answers.reset();
    NoticeBoxes::closeAll();
}

QString tst_CatePage::picture(const QString& relative)
{
    const QString path = m_dir->filePath("photos/" + relative);
    ++m_painted;
    if (!TestSupport::writeImage(path, QSize(40 + m_painted, 30), QColor(10 * m_painted % 255, 80, 160)))
        return {};
    return path;
}

tst_CatePage::Row tst_CatePage::row(int category, const QString& name, const QStringList& paths)
{
    return {category, name, paths, {}};
}

void tst_CatePage::show(QCatePage& page, const QList<Row>& rows)
{
    m_selection = std::make_unique<CSelection>();
    const QString placeholder = m_dir->filePath("deleted-on-the-page.jpg");
    for (const Row& content : rows) {
        while (m_selection->count() <= content.category)
            m_selection->addCategory();
        m_selection->rename(content.category, content.name);
        m_selection->addPictures(content.category,
                                 content.paths.isEmpty() ? QStringList{placeholder} : content.paths);
        for (const QString& path : content.paths) {
            if (!content.uncached.contains(path))
                m_cache.AddImage(path, QPixmap(path).scaled(270, 270, Qt::KeepAspectRatio));
        }
    }
    page.SetSelection(m_selection.get(), &m_cache);
    page.ShowCategories();
    for (const Row& content : rows) {
        if (content.paths.isEmpty())
            m_selection->clearPictures(content.category);
    }
}

void tst_CatePage::click(QCatePage& page, const char* button)
{
    auto* widget = PageParts::find<QCateMakeWidget>(&page, "makeWidget")
                       ->findChild<QDrawImageButton*>(QString::fromLatin1(button));
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

bool tst_CatePage::exportTo(QCatePage& page, const QString& folder)
{
    m_answers->folder = folder;
    QSignalSpy finished(&page, &QCatePage::sigExportFinished);
    click(page, "exportButton");
    if (finished.isEmpty() && !finished.wait(20000))
        return false;
    return finished.first().first().toBool();
}

QStringList tst_CatePage::entriesOf(const QString& folder) const
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

void tst_CatePage::showsExactlyTheGivenCategories()
{
    QCatePage page;
    const QString a = picture("x/a.jpg"), b = picture("x/b.jpg"), c = picture("x/c.jpg");
    show(page, {row(0, "Old1", {a}), row(1, "Old2", {b}), row(2, "Old3", {c})});
    QCOMPARE(CategoryParts::rowCount(&page), 3);

    // The first category became empty and the third lost a picture: two rows, each showing its
    // category, and a picture without a thumbnail (unreadable) is kept all the same.
    Row withoutThumbnail = row(2, "Autumn", {c, a});
    withoutThumbnail.uncached = QStringList{a};
    show(page, {row(1, "Summer", {b}), withoutThumbnail});
    QCOMPARE(CategoryParts::rowCount(&page), 2);
    namespace shown = CategoryParts;
    QCOMPARE(shown::name(shown::row(&page, 0)), QString("Summer"));
    QCOMPARE(shown::paths(shown::row(&page, 0)), QStringList{b});
    QCOMPARE(shown::paths(shown::row(&page, 1)), (QStringList{c, a}));

    // A row is a view of its category both ways: a picture deleted on the page leaves the
    // category, and a picture the category gains elsewhere shows on its row.
    QCategoryPicturesView* view = shown::pictures(shown::row(&page, 1));
    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(m_selection->at(2).pictures, QStringList{a});
    QCOMPARE(shown::paths(shown::row(&page, 1)), QStringList{a});
    m_selection->addPictures(1, {c});
    QCOMPARE(shown::paths(shown::row(&page, 0)), (QStringList{b, c}));
    m_selection->rename(1, "Late summer");
    QCOMPARE(shown::name(shown::row(&page, 0)), QString("Late summer"));

    show(page, {});
    QCOMPARE(CategoryParts::rowCount(&page), 0);
}

void tst_CatePage::rowsStackAtAnyWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("1300") << 1300;
    QTest::newRow("maximised 1920") << 1920;
}

// Every category takes the whole width, one below the other, however wide the window; rows filled
// in after the page grew wider too.
void tst_CatePage::rowsStackAtAnyWidth()
{
    QFETCH(int, width);
    QCatePage page;
    page.resize(width, 800);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCategoryColumn* list = CategoryParts::column(&page);
    auto stacked = [list] {
        for (int i = 0; i < list->count(); ++i) {
            const QRect rect = list->visualItemRect(list->item(i));
            if (rect.width() < list->viewport()->width() * 3 / 4)
                return false;
            if (i > 0 && rect.top() <= list->visualItemRect(list->item(i - 1)).bottom())
                return false;
        }
        return list->count() > 1;
    };
    show(page, {row(0, "Spring", {picture("x/a.jpg")}), row(1, "Summer", {picture("x/b.jpg")})});
    QTRY_VERIFY(stacked());

    page.resize(width + 300, 800);
    QTRY_COMPARE(list->item(0)->sizeHint().width(), list->width() - 30);
    show(page, {row(0, "Spring", {picture("x/c.jpg")}), row(2, "Autumn", {picture("x/d.jpg")}),
                row(3, "Winter", {})});
    QTRY_VERIFY(stacked());
}

// Each box is as tall as its pictures need: one line of pictures for a few, more lines for many,
// following the page's width and pictures added or taken away. The title names the category.
void tst_CatePage::boxesFitTheirPictures()
{
    QCatePage page;
    page.resize(1000, 800);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QStringList many;
    for (int i = 0; i < 14; ++i)
        many << picture(QString("m/%1.jpg").arg(i));
    const QString longName = QStringLiteral("二零二四年春节 Family (家人) 海边旅行");
    show(page, {row(0, longName, {picture("x/a.jpg")}), row(1, "Many", many), row(2, "Empty", {})});
    QCategoryColumn* list = CategoryParts::column(&page);
    auto height = [list](int row) { return list->item(row)->sizeHint().height(); };
    // Every picture in view without scrolling, and no more than one line of pictures to spare
    // (an empty box keeps one line to show where pictures would go).
    auto fitsWhole = [list](int row) {
        QCategoryPicturesView* pictures = CategoryParts::pictures(list->rowWidget(row));
        const int count = pictures->model()->rowCount();
        if (count == 0)
            return pictures->viewport()->height() >= 130 && pictures->viewport()->height() < 2 * 130;
        const int bottom = pictures->visualRect(pictures->model()->index(count - 1, 0)).bottom();
        return bottom < pictures->viewport()->height() && pictures->viewport()->height() < bottom + 130;
    };
    QTRY_VERIFY(fitsWhole(0) && fitsWhole(1) && fitsWhole(2));
    // One picture or none: one line. The titles of rows 1 and 2 are alike.
    const int oneLine = height(2);
    QVERIFY(oneLine < 430);
    QVERIFY(qAbs(height(0) - oneLine) < 130);
    QVERIFY(height(1) > oneLine + 130);
    QCOMPARE(CategoryParts::text(list->rowWidget(0), "title"), longName);

    // Wider: more pictures to a line, fewer lines.
    const int narrow = height(1);
    page.resize(1600, 800);
    QTRY_VERIFY(height(1) < narrow);
    QTRY_VERIFY(fitsWhole(1));

    // The categories change elsewhere (the edit page, an undo): the boxes follow.
    m_selection->clearPictures(1);
    QTRY_COMPARE(height(1), oneLine);
    m_selection->addPictures(2, {picture("x/b.jpg")});
    QCOMPARE(height(2), oneLine);
    QTRY_VERIFY(fitsWhole(0) && fitsWhole(1) && fitsWhole(2));
    m_selection->addPictures(0, many);
    QTRY_VERIFY(height(0) > oneLine + 130);
    QTRY_VERIFY(fitsWhole(0));
}

void tst_CatePage::exportIntoExistingFolders()
{
    QCatePage page;
    const QString a = picture("x/a.jpg"), b = picture("x/b.png"), c = picture("y/c.jpg");
    // An earlier export left Spring with an older a.jpg and a file of the user's own.
    QVERIFY(TestSupport::writeFile(exportFolder() + "/Spring/a.jpg", "older picture"));
    QVERIFY(TestSupport::writeFile(exportFolder() + "/Spring/notes.txt", "keep me"));
    show(page, {row(0, "Spring", {a, b}), row(1, "Empty", {}), row(3, "Summer", {c})});

    QSignalSpy progress(&page, &QCatePage::sigExportFinished);
    m_answers->folder = exportFolder();
    click(page, "exportButton");
    auto* dialog = page.findChild<QProgressDialog*>("exportProgress");
    QVERIFY(dialog);
    QVERIFY(dialog->labelText().startsWith("正在导出 "));
    QVERIFY(dialog->labelText().endsWith(" / 3"));
    QVERIFY(progress.wait(20000));
    QVERIFY(progress.first().first().toBool());
    QTRY_VERIFY(!page.findChild<QProgressDialog*>("exportProgress"));

    QCOMPARE(m_answers->notices, QStringList{"保存图片成功"});
    saveShot(&page, "catepage");
    QCOMPARE(TestSupport::readFile(exportFolder() + "/Spring/a.jpg"), TestSupport::readFile(a));
    QCOMPARE(TestSupport::readFile(exportFolder() + "/Spring/notes.txt"), QByteArray("keep me"));
    QCOMPARE(entriesOf(exportFolder()), (QStringList{"select.js", "Spring", "Summer"}));
    QCOMPARE(TestSupport::readFile(exportFolder() + "/Summer/c.jpg"), TestSupport::readFile(c));

    bool ok = false;
    const CExportSelection selection = CExportSelection::read(exportFolder(), &ok);
    QVERIFY(ok);
    QCOMPARE(selection.pages.size(), 2);
    QCOMPARE(selection.pages.at(0).key, QString("0"));
    QCOMPARE(selection.pages.at(0).pictureNames, (QStringList{"a.jpg", "b.png"}));
    QCOMPARE(selection.pages.at(1).key, QString("2"));
    QCOMPARE(selection.pages.at(1).name, QString("Summer"));
    QCOMPARE(page.GetExportedFolders(), (QStringList{CProgramFiles::join(exportFolder(), "Spring"),
                                                     CProgramFiles::join(exportFolder(), "Summer")}));
    QVERIFY(page.IsExported());

    // Again into the same folder: still one history entry.
    QVERIFY(exportTo(page, exportFolder()));
    QCOMPARE(CExportHistory::readFolders(CProgramFiles::historyFile()), QStringList{exportFolder()});
}

void tst_CatePage::emptyNameExportsIntoTheFolderItself()
{
    QCatePage page;
    const QString a = picture("x/a.jpg");
    show(page, {row(0, "", {a}), row(1, "", {})});
    QVERIFY(exportTo(page, exportFolder()));
    QCOMPARE(entriesOf(exportFolder()), (QStringList{"a.jpg", "select.js"}));
    const CExportSelection selection = CExportSelection::read(exportFolder());
    QCOMPARE(selection.pages.size(), 1);
    QCOMPARE(selection.pages.at(0).name, QString());
    QCOMPARE(page.GetExportedFolders(), QStringList{exportFolder()});
}

void tst_CatePage::hostileNamesRefusedBeforeCopying_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");

    QTest::newRow("slash") << "a/b" << true;
    QTest::newRow("backslash") << "a\\b" << true;
    QTest::newRow("dot") << "." << true;
    QTest::newRow("dot dot") << ".." << true;
    QTest::newRow("climbing") << "../outside" << true;
    QTest::newRow("newline") << "a\nb" << true;
    QTest::newRow("tab") << "a\tb" << true;
    QTest::newRow("DEL") << QString("a") + QChar(0x7f) << true;
    QTest::newRow("less than") << "a<b" << true;
    QTest::newRow("greater than") << "a>b" << true;
    QTest::newRow("colon") << "C:" << true;
    QTest::newRow("quote") << "a\"b" << true;
    QTest::newRow("pipe") << "a|b" << true;
    QTest::newRow("question mark") << "why?" << true;
    QTest::newRow("star") << "a*" << true;
    QTest::newRow("trailing dot") << "Spring." << true;
    QTest::newRow("trailing space") << "Spring " << true;
    QTest::newRow("CON") << "CON" << true;
    QTest::newRow("con lower case") << "con" << true;
    QTest::newRow("NUL with extension") << "nul.txt" << true;
    QTest::newRow("COM1") << "COM1" << true;
    QTest::newRow("LPT9 with extension") << "LPT9.jpg" << true;
    QTest::newRow("AUX") << "Aux" << true;
    QTest::newRow("PRN") << "PRN" << true;
    QTest::newRow("256 bytes") << QString(256, 'x') << true;
    QTest::newRow("86 Chinese characters (258 bytes)") << QString(86, QChar(0x65c5)) << true;
    // The export's own list: a folder of that name would stand where "select.js" is written.
    QTest::newRow("selection file") << "select.js" << true;
    QTest::newRow("selection file in capitals") << "SELECT.JS" << true;

    QTest::newRow("ordinary") << "Spring 2015" << false;
    QTest::newRow("Chinese") << "旅游" << false;
    QTest::newRow("leading space") << " Spring" << false;
    QTest::newRow("COM10 is no device") << "COM10" << false;
    QTest::newRow("CONSOLE is no device") << "CONSOLE" << false;
    QTest::newRow("dot inside") << "v1.2" << false;
    QTest::newRow("255 bytes") << QString(255, 'x') << false;
    QTest::newRow("hash and percent") << "#1 100%" << false;
}

void tst_CatePage::hostileNamesRefusedBeforeCopying()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);

    const QString a = picture("x/a.jpg");
    // Alone, first and second: a fine category beside it must not have been copied either.
    const QList<QList<Row>> arrangements{{row(0, name, {a})},
                                         {row(0, name, {a}), row(1, "Fine", {a})},
                                         {row(0, "Fine", {a}), row(1, name, {a})}};
    for (int i = 0; i < arrangements.size(); ++i) {
        m_answers->notices.clear();
        const QString folder = exportFolder() + QString::number(i);
        QVERIFY(QDir().mkpath(folder));
        QCatePage page;
        show(page, arrangements.at(i));
        const bool completed = exportTo(page, folder);

        QCOMPARE(completed, !refused);
        if (refused) {
            QCOMPARE(m_answers->notices.size(), 1);
            QVERIFY2(m_answers->notices.first().contains("“" + name + "”"),
                     qPrintable(m_answers->notices.first()));
            QCOMPARE(entriesOf(folder), QStringList());
            QCOMPARE(entriesOf(m_dir->path()).contains("outside"), false);
            QVERIFY(!QFile::exists(CProgramFiles::historyFile()));
            QVERIFY(!page.IsExported());
        } else {
            QCOMPARE(m_answers->notices, QStringList{"保存图片成功"});
            QVERIFY(QFileInfo(CProgramFiles::join(folder, name)).isDir());
            QCOMPARE(CExportSelection::read(folder).pages.at(i == 2 ? 1 : 0).name, name);
        }
    }
}

void tst_CatePage::sameFileNameFromTwoFoldersKeepsBoth()
{
    QCatePage page;
    const QString first = picture("x/a.jpg"), second = picture("y/a.jpg"), third = picture("z/a (2).jpg");
    QVERIFY(TestSupport::readFile(first) != TestSupport::readFile(second));
    show(page, {row(0, "Trip", {first, second, third})});

    for (int round = 0; round < 2; ++round) {
        QVERIFY(exportTo(page, exportFolder()));
        const QString trip = exportFolder() + "/Trip/";
        // The second export overwrites the same pictures under the same names.
        QCOMPARE(entriesOf(trip), (QStringList{"a (2) (2).jpg", "a (2).jpg", "a.jpg"}));
        QCOMPARE(TestSupport::readFile(trip + "a.jpg"), TestSupport::readFile(first));
        QCOMPARE(TestSupport::readFile(trip + "a (2).jpg"), TestSupport::readFile(second));
        QCOMPARE(TestSupport::readFile(trip + "a (2) (2).jpg"), TestSupport::readFile(third));
        QCOMPARE(CExportSelection::read(exportFolder()).pages.at(0).pictureNames,
                 (QStringList{"a.jpg", "a (2).jpg", "a (2) (2).jpg"}));
    }
}

void tst_CatePage::failedCopyReportedAndNotListed()
{
    QCatePage page;
    const QStringList pictures{picture("x/a.jpg"), picture("x/b.jpg"), picture("x/c.jpg")};
    // Something that no copy can replace stands where b.jpg would go (root ignores permission bits).
    QVERIFY(QDir().mkpath(exportFolder() + "/Party/b.jpg/inside"));
    show(page, {row(0, "Party", pictures)});

    QVERIFY(exportTo(page, exportFolder()));
    QCOMPARE(m_answers->notices.size(), 1);
    QCOMPARE(m_answers->notices.first(), QString("已导出 2 张照片，1 张未能导出：b.jpg"));
    QCOMPARE(CExportSelection::read(exportFolder()).pages.at(0).pictureNames,
             (QStringList{"a.jpg", "c.jpg"}));
    QCOMPARE(CExportHistory::readFolders(CProgramFiles::historyFile()), QStringList{exportFolder()});
}

void tst_CatePage::uncreatableFolderKeepsPreviousSelection()
{
    QCatePage page;
    const QString a = picture("x/a.jpg"), b = picture("x/b.jpg");
    show(page, {row(0, "Spring", {a})});
    QVERIFY(exportTo(page, exportFolder()));
    const QByteArray previous = TestSupport::readFile(CExportSelection::filePath(exportFolder()));
    const QStringList previousFolders = page.GetExportedFolders();
    m_answers->notices.clear();

    // A file named like the second category's folder.
    QVERIFY(TestSupport::writeFile(exportFolder() + "/Summer", "a file in the way"));
    show(page, {row(0, "Spring", {a, b}), row(1, "Summer", {b})});
    QVERIFY(!exportTo(page, exportFolder()));
    QCOMPARE(m_answers->notices.size(), 1);
    QVERIFY2(m_answers->notices.first().contains("“Summer”"), qPrintable(m_answers->notices.first()));
    QCOMPARE(TestSupport::readFile(CExportSelection::filePath(exportFolder())), previous);
    QVERIFY(!QFile::exists(exportFolder() + "/Spring/b.jpg")); // nothing was copied
    QCOMPARE(page.GetExportedFolders(), previousFolders);
    QVERIFY(page.IsExported());
}

void tst_CatePage::backThenForwardAsksForNewExport()
{
    QCatePage page;
    show(page, {row(0, "Spring", {picture("x/a.jpg")})});
    QVERIFY(exportTo(page, exportFolder()));
    m_answers->notices.clear();

    QSignalSpy back(&page, &QCatePage::sigGoBackPrePage);
    click(page, "backButton");
    QCOMPARE(back.count(), 1);
    show(page, {row(0, "Spring", {picture("x/b.jpg")})});
    page.SetUserID("someone");
    click(page, "uploadButton");
    QCOMPARE(m_answers->notices, QStringList{"请先导出目标文件夹！"});
    QVERIFY(page.findChildren<QUpdateImageData*>().isEmpty());
}

void tst_CatePage::uploadSendsEveryExportedFolderInOneBatch_data()
{
    QTest::addColumn<bool>("idFromWindow");
    QTest::newRow("user ID handed over by the window") << true;
    QTest::newRow("login on the page") << false;
}

void tst_CatePage::uploadSendsEveryExportedFolderInOneBatch()
{
    QFETCH(bool, idFromWindow);
    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("photographer", "pw"));
    const QString userId = service.userId("photographer");
    QVERIFY(!userId.isEmpty());

    QCatePage page;
    show(page, {row(0, "Spring", {picture("x/a.jpg"), picture("x/b.jpg")}), row(1, "Empty", {}),
                row(2, "Summer", {picture("y/c.png")})});
    QVERIFY(exportTo(page, exportFolder()));
    if (idFromWindow)
        page.SetUserID(userId);
    else
        m_answers->logInAs("photographer", "pw");
    QSignalSpy announced(&page, &QCatePage::sigZovID);
    click(page, "uploadButton");

    // A known ID needs no login and is not announced again; a login's ID is announced to the window.
    QCOMPARE(m_answers->logins, idFromWindow ? 0 : 1);
    QCOMPARE(announced.count(), idFromWindow ? 0 : 1);
    QCOMPARE(page.GetUserID(), userId);
    QVERIFY(NoticeBoxes::texts().contains("上传尚未完成，请勿关闭软件！"));
    // One batch for both exported folders.
    const QList<QUpdateImageData*> uploaders = page.findChildren<QUpdateImageData*>();
    QCOMPARE(uploaders.size(), 1);
    for (QUpdateImageData* uploader : uploaders)
        QTRY_VERIFY_WITH_TIMEOUT(!uploader->isUploading(), 20000);
    QCOMPARE(service.objects().size(), 3);
    QCOMPARE(service.records("registrations.json", "registrations").size(), 3);
}

void tst_CatePage::cancelledLoginStartsNothing()
{
    QCatePage page;
    show(page, {row(0, "Spring", {picture("x/a.jpg")})});
    QVERIFY(exportTo(page, exportFolder()));
    int logins = 0;
    m_answers->exec = [&logins](QDialog*) {
        ++logins;
        return int(QDialog::Rejected);
    };
    QSignalSpy announced(&page, &QCatePage::sigZovID);
    click(page, "uploadButton");
    QCOMPARE(logins, 1);
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.first().first().toString(), QString());
    QVERIFY(page.findChildren<QUpdateImageData*>().isEmpty());
}

void tst_CatePage::foldersAndPrintPageOpenedAsUrls()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    QCatePage page;
    show(page, {row(0, "Spring", {picture("x/a.jpg")})});
    // Characters that a text URL would misread.
    const QString folder = m_dir->filePath("exp #1 100%");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(exportTo(page, folder));
    click(page, "openButton");
    click(page, "printButton");
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("http");

    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls.at(0).toLocalFile(), folder);
    QCOMPARE(catcher.urls.at(1).path(), QString("/print/index/index.html"));
}

QTEST_MAIN(tst_CatePage)
#include "tst_catepage.moc"
