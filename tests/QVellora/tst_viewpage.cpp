// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QUserDialogs.h"
#include "Export/CExportHistory.h"
#include "Export/CSelectionFileWriter.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "ViewPage/QTimeViewButton.h"
#include "ViewPage/QTimeViewWidget.h"
#include "ViewPage/QViewPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// With VELLORA_SHOTS set to a folder, the page as the user sees it is saved there as a PNG.
static void saveShot(QWidget* page, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELLORA_SHOTS");
    if (!folder.isEmpty())
        page->grab().save(folder + "/" + name + ".png");
}

class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// The history page over real export folders: entries, the bold mark, the grid and the open button.
class tst_ViewPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void twoExportsListedInOrder();
    void clickMovesMarkAndGrid();
    void elevenCategoriesInKeyTextOrder();
    void exportOfThisRunAppearsWhenShownAgain();
    void longNamesAreNotCutOff();

private:
    struct Category
    {
        QString name;
        QStringList pictures;
    };
    // Writes an export folder the way an export leaves it, pictures included, and lists it in the
    // history. Returns the picture paths per category.
    QList<QStringList> makeExport(const QString& folder, const QList<Category>& categories,
                                  const QDate& date);
    QStringList entryNames(const QViewPage& page) const;
    QStringList gridPaths(const QViewPage& page) const;

    QScopedPointer<QTemporaryDir> m_dir;
    int m_painted = 0;
};

void tst_ViewPage::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
}

void tst_ViewPage::cleanup()
{
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
}

QList<QStringList> tst_ViewPage::makeExport(const QString& folder, const QList<Category>& categories,
                                            const QDate& date)
{
    QList<QStringList> paths;
    QDir().mkpath(folder);
    CSelectionFileWriter writer(folder);
    if (!writer.open())
        return {};
    for (int i = 0; i < categories.size(); ++i) {
        QStringList written;
        for (const QString& name : categories.at(i).pictures) {
            const QString path =
                CProgramFiles::join(CProgramFiles::join(folder, categories.at(i).name), name);
            ++m_painted;
            TestSupport::writeImage(path, QSize(30 + m_painted, 20), QColor(40, 10 * m_painted % 255, 90));
            written.append(path);
        }
        writer.addPage(i, categories.at(i).name, categories.at(i).pictures);
        paths.append(written);
    }
    writer.commit(date);
    CExportHistory::addFolder(CProgramFiles::historyFile(), folder);
    return paths;
}

QStringList tst_ViewPage::entryNames(const QViewPage& page) const
{
    QStringList names;
    for (int i = 0; i < page.GetEntryCount(); ++i)
        names.append(page.GetEntry(i)->GetButton()->GetText());
    return names;
}

QStringList tst_ViewPage::gridPaths(const QViewPage& page) const
{
    QStringList paths;
    QPhotoViewListWidget* grid = page.GetPhotoGrid();
    for (int i = 0; i < grid->count(); ++i)
        paths.append(grid->PathAt(i));
    return paths;
}

void tst_ViewPage::twoExportsListedInOrder()
{
    const QList<QStringList> first =
        makeExport(m_dir->filePath("first"),
                   {{"Spring", {"s1.jpg", "s2.jpg", "gone.jpg", "broken.heic"}}, {"Summer", {"m1.jpg"}}},
                   QDate(2015, 3, 7));
    makeExport(m_dir->filePath("second"), {{"Autumn", {"a1.jpg"}}}, QDate(2015, 9, 1));
    QVERIFY(QFile::remove(first.at(0).at(2))); // moved away since the export
    // Nothing can read it: it stays in its category, shown by its name.
    QVERIFY(TestSupport::writeFile(first.at(0).at(3), "not a picture"));
    // A listed folder without its selection file contributes nothing.
    CExportHistory::addFolder(CProgramFiles::historyFile(), m_dir->filePath("vanished"));

    QViewPage page;
    page.show();
    QCOMPARE(entryNames(page), (QStringList{"Spring", "Summer", "Autumn"}));
    QCOMPARE(page.GetEntry(0)->GetDateText(), QString("2015-03-07"));
    QCOMPARE(page.GetEntry(2)->GetDateText(), QString("2015-09-01"));
    QVERIFY(page.GetEntry(0)->GetButton()->IsSelected());
    QVERIFY(page.GetEntry(0)->GetButton()->TextFont().bold());
    QVERIFY(page.GetEntry(0)->GetButton()->TextFont().underline());
    QVERIFY(!page.GetEntry(1)->GetButton()->TextFont().bold());
    QTRY_COMPARE(gridPaths(page), (QStringList{first.at(0).at(0), first.at(0).at(1), first.at(0).at(3)}));
    // Shown by its name: the row has no thumbnail.
    QVERIFY(!page.GetPhotoGrid()->model()->index(2, 0).data(CPictureListModel::ThumbnailRole).isValid());
}

void tst_ViewPage::clickMovesMarkAndGrid()
{
    makeExport(m_dir->filePath("first"), {{"Spring", {"s1.jpg", "s2.jpg"}}, {"Summer", {"m1.jpg"}}},
               QDate(2015, 3, 7));
    const QList<QStringList> second =
        makeExport(m_dir->filePath("second"), {{"Autumn", {"a1.jpg", "a2.png"}}}, QDate(2015, 9, 1));
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");

    QViewPage page;
    page.resize(1200, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTRY_COMPARE(page.GetPhotoGrid()->count(), 2);
    QTest::mouseClick(page.GetEntry(2)->GetButton(), Qt::LeftButton);

    QVERIFY(!page.GetEntry(0)->GetButton()->IsSelected());
    QVERIFY(!page.GetEntry(0)->GetButton()->TextFont().underline());
    QVERIFY(page.GetEntry(2)->GetButton()->TextFont().bold());
    QCOMPARE(page.GetCurrentRow(), 2);
    QTRY_COMPARE(gridPaths(page), second.at(0));
    saveShot(&page, "viewpage");

    QTest::mouseClick(page.findChild<QDrawImageButton*>("openButton"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.first().toLocalFile(), m_dir->filePath("second/Autumn"));

    QSignalSpy back(&page, &QViewPage::sigCallBackPage);
    QTest::mouseClick(page.findChild<QDrawImageButton*>("backButton"), Qt::LeftButton);
    QCOMPARE(back.count(), 1);
}

void tst_ViewPage::elevenCategoriesInKeyTextOrder()
{
    QList<Category> categories;
    for (int i = 0; i < 11; ++i)
        categories.append({QStringLiteral("C%1").arg(i), {QStringLiteral("p%1.jpg").arg(i)}});
    makeExport(m_dir->filePath("many"), categories, QDate(2016, 1, 2));

    QViewPage page;
    page.show();
    QCOMPARE(entryNames(page),
             (QStringList{"C0", "C1", "C10", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9"}));
    QSignalSpy loaded(&page, &QViewPage::sigThumbnailsLoaded);
    QVERIFY(loaded.wait(10000));
    page.onViewSelectChange(2);
    QCOMPARE(gridPaths(page), QStringList{m_dir->filePath("many/C10/p10.jpg")});
}

void tst_ViewPage::exportOfThisRunAppearsWhenShownAgain()
{
    makeExport(m_dir->filePath("first"), {{"Spring", {"s1.jpg"}}}, QDate(2015, 3, 7));
    QViewPage page;
    page.show();
    QCOMPARE(entryNames(page), QStringList{"Spring"});
    page.hide();

    // A real export from the category page of this run.
    const QString source = m_dir->filePath("photos/w.jpg");
    QVERIFY(TestSupport::writeImage(source, QSize(50, 40)));
    QCatePage catePage;
    catePage.selection()->addPictures(catePage.selection()->addCategory("Winter"), {source});
    catePage.ShowCategories();
    QUserDialogs::Answers answers;
    const QString folder = m_dir->filePath("second");
    QVERIFY(QDir().mkpath(folder));
    answers.folder = [folder](const QString&, const QString&) { return folder; };
    answers.notice = [](const QString&, const QString&) {};
    QUserDialogs::setAnswers(answers);
    QSignalSpy exported(&catePage, &QCatePage::sigExportFinished);
    catePage.onOutputImageAction();
    QVERIFY(exported.wait(10000));

    page.show();
    QCOMPARE(entryNames(page), (QStringList{"Spring", "Winter"}));
    page.onViewSelectChange(1);
    QTRY_COMPARE(gridPaths(page), QStringList{CProgramFiles::join(folder, "Winter/w.jpg")});
}

// A long category name neither pushes the date out of its entry nor is cut itself: it goes under
// the date, over as many lines as it needs. A short one stays beside the date.
void tst_ViewPage::longNamesAreNotCutOff()
{
    const QString longName = QStringLiteral("二零二四年春节全家人一起去海边旅行的照片 Family reunion");
    makeExport(m_dir->filePath("first"), {{"Spring", {"s1.jpg"}}, {longName, {"l1.jpg"}}}, QDate(2015, 3, 7));
    QViewPage page;
    page.resize(1300, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(page.GetEntryCount(), 2);
    saveShot(&page, "history-long-name");

    for (int i = 0; i < 2; ++i) {
        QTimeViewWidget* entry = page.GetEntry(i);
        QWidget* viewport = entry->parentWidget();
        QLabel* date = entry->GetDateLabel();
        QTimeViewButton* name = entry->GetButton();
        QVERIFY(date->width() >= date->fontMetrics().horizontalAdvance(date->text()));
        // Both lie inside the entry, and the entry inside the list's visible area.
        QVERIFY(QRect(QPoint(), entry->size()).contains(date->geometry()));
        QVERIFY(QRect(QPoint(), entry->size()).contains(name->geometry()));
        QVERIFY(entry->geometry().right() < viewport->width());
        // The name's painted text fits the button (measured in the wider, bold face).
        QFont bold = name->TextFont();
        bold.setWeight(QFont::Bold);
        const QRect text = QFontMetrics(bold).boundingRect(QRect(0, 0, name->width(), 10000),
                                                           QTimeViewButton::TextFlags, name->GetText());
        QVERIFY2(text.width() <= name->width() && text.height() + 5 <= name->height(),
                 qPrintable(QString("%1: text %2x%3 in %4x%5")
                                .arg(i)
                                .arg(text.width())
                                .arg(text.height())
                                .arg(name->width())
                                .arg(name->height())));
    }
    QCOMPARE(page.GetEntry(0)->GetButton()->y(), page.GetEntry(0)->GetDateLabel()->y());
    QVERIFY(page.GetEntry(1)->GetButton()->y() > page.GetEntry(1)->GetDateLabel()->geometry().bottom());
}

QTEST_MAIN(tst_ViewPage)
#include "tst_viewpage.moc"
