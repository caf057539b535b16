// SPDX-License-Identifier: MIT
// vellora-tour [--english] OUT_DIR: renews the README's screenshots. It paints a folder of photos, drives the
// real main window through a user's round (scan, sort into two categories, export, history) with
// the tests' own helpers, and saves the window at each page as OUT_DIR/<n>-<page>.png. With
// --english the same round runs in English at 1280x800 and saves OUT_DIR/en_<page>.png.
#include "AnsweredDialogs.h"
#include "CTourPhoto.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "CateWidget/QCategoryColumn.h"
#include "CateWidget/QCategoryRow.h"
#include "Dialogs/QBusyDialog.h"
#include "EditPageActions.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Records/CUiLanguage.h"
#include "ViewPage/QViewPage.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHash>
#include <QImageWriter>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTextStream>
#include <QTreeView>
#include <QtTest>

#include <algorithm>

namespace {

// Wide enough for three columns of tiles beside the edit page's docks.
const QSize windowSize(1580, 860);
// The English run shows the window at a laptop's size, where texts longer than the Chinese ones
// must still fit.
const QSize englishWindowSize(1280, 800);

// The English run: the interface in English, and a library and names such a user would give.
bool english = false;

QString inLanguage(const char* chinese, const char* inEnglish)
{
    return QString::fromUtf8(english ? inEnglish : chinese);
}

struct Folder
{
    QString name;
    CTourPhoto::Scene scene;
    int count;
};

// The painted photo library; the beach and party photos are the ones sorted on the edit page.
struct Library
{
    QStringList photos;
    QStringList beach;
    QStringList party;
};

// A photo library as a user keeps one: a folder per year, one per outing in it, and enough
// folders to fill the edit page's folder tree.
Library paintPhotos(const QString& root)
{
    const QList<Folder> folders = {{inLanguage("2024/元旦", "2024/New Year"), CTourPhoto::Garden, 1},
                                   {inLanguage("2025/春节", "2025/Spring Festival"), CTourPhoto::Garden, 1},
                                   {inLanguage("2025/踏青", "2025/Spring walk"), CTourPhoto::Garden, 2},
                                   {inLanguage("2025/国庆", "2025/National Day"), CTourPhoto::Mountains, 1},
                                   {inLanguage("2025/中秋", "2025/Mid-Autumn"), CTourPhoto::Party, 1},
                                   {inLanguage("2025/秋游", "2025/Autumn trip"), CTourPhoto::Mountains, 2},
                                   {inLanguage("2026/春节", "2026/Spring Festival"), CTourPhoto::Party, 1},
                                   {inLanguage("2026/海边", "2026/Seaside"), CTourPhoto::Beach, 6},
                                   {inLanguage("2026/聚会", "2026/Party"), CTourPhoto::Party, 6},
                                   {inLanguage("2026/山里", "2026/Mountains"), CTourPhoto::Mountains, 3},
                                   {inLanguage("2026/花园", "2026/Garden"), CTourPhoto::Garden, 3},
                                   {inLanguage("2026/毕业", "2026/Graduation"), CTourPhoto::Garden, 1}};
    Library library;
    QHash<int, int> painted; // per scene, so that every picture differs
    for (const Folder& folder : folders) {
        QDir().mkpath(root + "/" + folder.name);
        for (int i = 0; i < folder.count; ++i) {
            const QString path =
                QString("%1/%2/IMG_%3.png").arg(root, folder.name).arg(1000 + library.photos.size());
            // PNG rather than JPEG: without JPEG's noise the screenshots compress to half the size.
            QImageWriter writer(path);
            // The first beach photo is a large one: it prints sharply where the others do not.
            const bool large = folder.scene == CTourPhoto::Beach && i == 0;
            if (!writer.write(CTourPhoto::paint(folder.scene, ++painted[folder.scene],
                                                large ? QSize(2400, 1800) : QSize(1200, 900))))
                return {};
            library.photos << path;
            if (folder.name.endsWith(inLanguage("海边", "Seaside")))
                library.beach << path;
            else if (folder.name.endsWith(inLanguage("聚会", "Party")))
                library.party << path;
        }
    }
    return library;
}

// The photos, records and exports of one tour, in a fixed folder emptied before and after: the
// folder tree and the status bar show its path, and a fixed path gives the same screenshots while
// the interface stays the same. The "~" sorts it after the other temporary folders, so the tree
// scrolled to it shows only its own folders and the system's.
class WorkFolder
{
public:
    WorkFolder() : m_dir(QDir::tempPath() + QStringLiteral("/~vellora-tour"))
    {
        QDir(m_dir).removeRecursively();
        m_valid = QDir().mkpath(m_dir);
    }
    ~WorkFolder() { QDir(m_dir).removeRecursively(); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool isValid() const { return m_valid; }
    QString filePath(const QString& name) const { return m_dir + "/" + name; }

private:
    QString m_dir;
    bool m_valid = false;
};

bool fail(const QString& what)
{
    QTextStream(stderr) << "vellora-tour: " << what << "\n";
    return false;
}

// "1-start.png" in the tour, "en_start.png" in the English run.
QString shotPath(const QString& outDir, const char* numbered, const char* page)
{
    return outDir + "/" + (english ? QStringLiteral("en_") + page : QString::fromLatin1(numbered)) + ".png";
}

// Lets the window settle (layouts, queued thumbnails, repaints) and saves what the user sees.
bool saveShot(MainWindow& window, const QString& path)
{
    QTest::qWait(300);
    QImageWriter writer(path, "png");
    // The strongest compression keeps the README's pictures small; PNG stays lossless.
    writer.setQuality(0);
    if (!writer.write(window.grab().toImage()))
        return fail("cannot write " + path + ": " + writer.errorString());
    QTextStream(stdout) << "saved " << path << "\n";
    return true;
}

// Types a Chinese name the way an input method delivers it: one committed string.
bool nameRow(QEditPage* page, int row, const QString& name)
{
    QCategoryRow* item = PageParts::find<QCategoryColumn>(page, "cateList")->rowWidget(row);
    if (!item)
        return false;
    QComboBox* names = PageParts::find<QComboBox>(item, "nameBox");
    QLineEdit* box = names->lineEdit();
    box->setFocus();
    box->selectAll();
    QInputMethodEvent typed;
    typed.setCommitString(name);
    QApplication::sendEvent(box, &typed);
    QTest::keyClick(box, Qt::Key_Return);
    return names->currentText() == name;
}

// Opens the folder tree down to each of these folders and the folders themselves, as a user
// clicking the arrows does (which opens no folder in the grid), and scrolls to the end, where the
// library's folders are (its folder sorts after the other temporary ones).
void expandTree(QEditPage* page, const QStringList& folders)
{
    QTreeView* tree = PageParts::find<QTreeView>(page, "folderTree");
    QFileSystemModel* model = PageParts::find<QFileSystemModel>(page, "folderModel");
    for (const QString& folder : folders) {
        QStringList chain;
        for (QDir dir(folder);;) {
            chain.prepend(dir.absolutePath());
            if (!dir.cdUp())
                break;
        }
        for (const QString& path : chain) {
            const QModelIndex index = model->index(path);
            tree->expand(index);
            if (!QTest::qWaitFor([&] { return model->rowCount(index) > 0; }, 5000))
                break;
        }
    }
    QTest::qWait(300);
    tree->doItemsLayout();
    tree->scrollToBottom();
}

QList<int> rowsOf(QPhotoViewListWidget* grid, const QStringList& pictures)
{
    QList<int> rows;
    for (int row = 0; row < grid->count(); ++row) {
        if (pictures.contains(grid->PathAt(row)))
            rows << row;
    }
    return rows;
}

bool runTour(const QString& outDir)
{
    WorkFolder work;
    if (!work.isValid())
        return fail("cannot create " + work.filePath(QString()));
    // Record files (session, history) go to the temporary folder, never next to the build.
    AnsweredDialogs answers(work.filePath(".records"));
    const QString photoRoot = work.filePath(inLanguage("我的照片", "My photos"));
    const Library library = paintPhotos(photoRoot);
    if (library.photos.isEmpty())
        return fail("cannot paint the photos");
    const QStringList& beach = library.beach;
    const QStringList& party = library.party;

    MainWindow window;
    window.resize(english ? englishWindowSize : windowSize);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail("the window never showed");
    if (!saveShot(window, shotPath(outDir, "1-start", "start")))
        return false;

    // The start page's scan button, with the folder dialog answered.
    answers.folder = photoRoot;
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    QEditPage* edit = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(edit, "photoList");
    if (!QTest::qWaitFor(
            [&] {
                return grid->count() == library.photos.size() &&
                       !PageParts::find<QBusyDialog>(edit, "loadWait")->isVisible();
            },
            30000))
        return fail(
            QString("the edit page shows %1 of %2 pictures").arg(grid->count()).arg(library.photos.size()));

    // Three beach photos into the first row, three party photos into the second; one beach photo
    // goes to both, so its tile carries two colour marks.
    const QStringList seaside = {beach.at(0), beach.at(2), beach.at(3)};
    const QStringList gathering = {beach.at(3), party.at(0), party.at(2), party.at(3)};
    if (!EditPageActions::dragTicked(*edit, rowsOf(grid, seaside), 0) ||
        !EditPageActions::dragTicked(*edit, rowsOf(grid, gathering), 1))
        return fail("dragging pictures into the categories failed");
    // Long names, as people give them: the fields and titles show them whole.
    if (!nameRow(edit, 0,
                 inLanguage("二零二五年夏天全家一起去海边", "Summer 2025 at the seaside, all of us")) ||
        !nameRow(edit, 1, inLanguage("Family (家人) 生日聚会", "Grandma's 80th birthday party")))
        return fail("naming the categories failed");
    // The grid lists pictures in the order the search found them: show the ones sorted to the beach.
    const QList<int> sorted = rowsOf(grid, seaside);
    grid->scrollTo(grid->model()->index(*std::min_element(sorted.begin(), sorted.end()), 0),
                   QAbstractItemView::PositionAtTop);
    expandTree(edit, {photoRoot + "/2025", photoRoot + "/2026"});
    if (!saveShot(window, shotPath(outDir, "2-edit", "edit")))
        return false;

    // Next page, then export into a folder answered through the folder dialog.
    QTest::mouseClick(PageParts::find<QOutPutImageWidget>(edit, "buttonBar")->GetNextPageButton(),
                      Qt::LeftButton);
    if (window.pageStack()->currentIndex() != 2)
        return fail("the category page did not open");
    QCatePage* cate = window.catePage();
    answers.folder = work.filePath(inLanguage("导出", "Export"));
    QDir().mkpath(answers.folder);
    QSignalSpy exported(cate, &QCatePage::sigExportFinished);
    QTest::mouseClick(
        PageParts::find<QCateMakeWidget>(cate, "makeWidget")->findChild<QDrawImageButton*>("exportButton"),
        Qt::LeftButton);
    if (exported.isEmpty() && !exported.wait(30000))
        return fail("the export never finished");
    if (!exported.first().first().toBool())
        return fail("the export failed: " + answers.notices.join("; "));
    if (!saveShot(window, shotPath(outDir, "3-category", "category")))
        return false;

    // Print sizes: back on the edit page the second category is ordered at 10寸, which its
    // 1200x900 pictures are too small for; the first stays at 6寸, where only the large photo
    // prints sharply.
    QTest::mouseClick(
        PageParts::find<QCateMakeWidget>(cate, "makeWidget")->findChild<QDrawImageButton*>("backButton"),
        Qt::LeftButton);
    if (window.pageStack()->currentIndex() != 1)
        return fail("the edit page did not come back");
    QCategoryRow* second = PageParts::find<QCategoryColumn>(edit, "cateList")->rowWidget(1);
    auto* sizes = second ? second->findChild<QComboBox*>("printSizeBox") : nullptr;
    if (!sizes || sizes->findData(QStringLiteral("10寸")) < 0)
        return fail("the category has no print size box");
    sizes->setCurrentIndex(sizes->findData(QStringLiteral("10寸")));
    QTest::mouseClick(PageParts::find<QOutPutImageWidget>(edit, "buttonBar")->GetNextPageButton(),
                      Qt::LeftButton);
    if (window.pageStack()->currentIndex() != 2)
        return fail("the category page did not open again");
    if (!saveShot(window, shotPath(outDir, "5-print", "print")))
        return false;

    // The history, as the file menu's "浏览已扫描照片" opens it.
    // The history opens on the first category exported, with all its pictures.
    QCategoryRow* firstRow = PageParts::find<QCategoryColumn>(cate, "cateList")->rowWidget(0);
    auto* firstPictures = firstRow ? firstRow->findChild<QAbstractItemView*>("pictures") : nullptr;
    if (!firstPictures)
        return fail("the category page has no first category");
    const int firstCount = firstPictures->model()->rowCount();
    QViewPage* history = window.viewPage();
    QSignalSpy loaded(history, &QViewPage::sigThumbnailsLoaded);
    window.onScanPause();
    if (window.pageStack()->currentIndex() != 3 || (loaded.isEmpty() && !loaded.wait(30000)))
        return fail("the history page did not load");
    if (!QTest::qWaitFor(
            [&] { return history->GetEntryCount() == 2 && history->GetPhotoGrid()->count() == firstCount; },
            10000))
        return fail(QString("the history lists %1 categories").arg(history->GetEntryCount()));
    if (!saveShot(window, shotPath(outDir, "4-history", "history")))
        return false;
    // The help menu's key table, made from the sorting actions: in English, its texts must fit too.
    if (english) {
        bool saved = false;
        answers.exec = [&](QDialog* dialog) {
            dialog->show();
            QTest::qWait(300);
            saved = dialog->grab().save(outDir + "/en_shortcuts.png");
            dialog->hide();
            return int(QDialog::Rejected);
        };
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->text() == QCoreApplication::translate("MainWindow", "键盘快捷键"))
                action->trigger();
        }
        if (!saved)
            return fail("the key table was not saved");
    }
    // The window is destroyed without closing it: closing would start the companion programs.
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    english = args.removeAll(QStringLiteral("--english")) > 0;
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: vellora-tour [--english] OUT_DIR\n";
        return 2;
    }
    if (english && !CUiLanguage::install(&app, CUiLanguage::english)) {
        fail("the English translation did not load");
        return 1;
    }
    if (!QDir().mkpath(args.at(1))) {
        fail("cannot create " + args.at(1));
        return 1;
    }
    return runTour(QDir(args.at(1)).absolutePath()) ? 0 : 1;
}
