// SPDX-License-Identifier: MIT
// A user's whole round through the real window, then the two companion programs it starts at
// close, all in one temporary program folder and against one stand-in service.
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QBusyDialog.h"
#include "EditPageActions.h"
#include "Export/CExportHistory.h"
#include "Export/CExportSelection.h"
#include "InitPage/QInitPage.h"
#include "NoticeBoxes.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Records/CJsonFile.h"
#include "Selection/CSelection.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "ViewPage/QTimeViewButton.h"
#include "ViewPage/QTimeViewWidget.h"
#include "ViewPage/QViewPage.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace EditPageActions;
using TestSupport::readFile;

namespace {

// Generous for a loaded machine and a sanitizer build; every wait ends as soon as it can.
constexpr int Patience = 30000;

const QString FirstName = QStringLiteral("春天 海边");
const QString SecondName = QStringLiteral("Summer");

struct Category
{
    QString name;
    QStringList paths;
    bool operator==(const Category& other) const { return name == other.name && paths == other.paths; }
};

// The category rows as the page shows them: name and pictures of each.
QList<Category> shownRows(const QObject* page)
{
    QList<Category> rows;
    for (int i = 0; i < CategoryParts::rowCount(page); ++i)
        rows.append({CategoryParts::name(CategoryParts::row(page, i)),
                     CategoryParts::paths(CategoryParts::row(page, i))});
    return rows;
}

// Typed into a row's name box through the input method, as Chinese names are entered.
void nameRow(QEditPage* page, int row, const QString& name)
{
    QLineEdit* box = CategoryParts::nameBox(CategoryParts::row(page, row))->lineEdit();
    box->selectAll();
    QInputMethodEvent typed;
    typed.setCommitString(name);
    QApplication::sendEvent(box, &typed);
}

QAction* menuAction(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->text() == text)
                return entry;
        }
    }
    return nullptr;
}

QMultiMap<QByteArray, QString> byContent(const QStringList& paths)
{
    QMultiMap<QByteArray, QString> map;
    for (const QString& path : paths)
        map.insert(readFile(path), QFileInfo(path).fileName());
    return map;
}

QString normalised(const QString& folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

} // namespace

class tst_WholeRound : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void wholeRound();

private:
    // Runs a copy of a companion program placed in the program folder; its exit code, -1 when it
    // did not end by itself.
    int runCompanion(const QString& programPath, QByteArray* log);
    bool makeRelease(int version);
    QString program(const QString& name) const { return m_dir.filePath("program/" + name); }

    QTemporaryDir m_dir;
    QString m_releaseSource;
    std::unique_ptr<AnsweredDialogs> m_answers;
};

void tst_WholeRound::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath("program"));
    m_answers = std::make_unique<AnsweredDialogs>(m_dir.filePath("program"));
}

void tst_WholeRound::cleanupTestCase()
{
    m_answers.reset();
    NoticeBoxes::closeAll();
}

int tst_WholeRound::runCompanion(const QString& programPath, QByteArray* log)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(programPath, {"/k", programPath});
    const bool ended = process.waitForFinished(Patience * 2);
    *log = process.readAll();
    if (!ended) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A release with a new main program, a new library in a sub-folder and its manifest, signed with
// the development key by the release script.
bool tst_WholeRound::makeRelease(int version)
{
    m_releaseSource = m_dir.filePath("release-source");
    const bool written =
        TestSupport::writeFile(m_releaseSource + "/version.js",
                               "{\"version\": " + QByteArray::number(version) + "}") &&
        TestSupport::writeFile(m_releaseSource + "/QVellora", "the new main program") &&
        TestSupport::writeFile(m_releaseSource + "/lib/libvellora.so", QByteArray(3000, 'v'));
    if (!written)
        return false;
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_RELEASE_SIGN", VELLORA_RELEASE_SIGN);
    script.setProcessEnvironment(environment);
    script.start(
        "bash", {VELLORA_MAKE_RELEASE, m_dir.filePath("release"), QString::number(version), m_releaseSource});
    if (!script.waitForFinished(Patience) || script.exitCode() != 0) {
        qWarning() << script.readAllStandardError();
        return false;
    }
    return true;
}

void tst_WholeRound::wholeRound()
{
    QVERIFY(makeRelease(7));
    StandinService service({"--release", m_dir.filePath("release")});
    QVERIFY(service.start());
    QVERIFY(service.addAccount("photographer", "secret pw"));
    const QString userId = service.userId("photographer");
    QVERIFY(!userId.isEmpty());

    const QStringList photos = writePictures(m_dir.path(), "photos", 6, QSize(320, 240));
    QCOMPARE(photos.size(), 6);
    const QString exportFolder = m_dir.filePath("export");
    QVERIFY(QDir().mkpath(exportFolder));
    QList<Category> sorted;

    {
        MainWindow window;
        window.resize(1400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QEditPage* edit = window.editPage();
        QCatePage* cate = window.catePage();

        // Scan from the start page: the edit page shows every picture.
        m_answers->folder = m_dir.filePath("photos");
        QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window.pageStack()->currentWidget(), static_cast<QWidget*>(edit), Patience);
        QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(edit, "photoList");
        QTRY_COMPARE_WITH_TIMEOUT(grid->count(), 6, Patience);
        const QStringList tiles = tilePaths(grid);
        QCOMPARE(QSet<QString>(tiles.begin(), tiles.end()), QSet<QString>(photos.begin(), photos.end()));

        // Three pictures dragged into the first category, two put into the second (the free row
        // that appeared) with the keys; a third one put in by mistake is undone.
        QVERIFY(dragTicked(*edit, {0, 1, 2}, 0));
        QCOMPARE(CategoryParts::rowCount(edit), 2);
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_End);
        QTest::keyClick(grid, Qt::Key_Left);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Left);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_2);
        QTest::keyClick(grid, Qt::Key_End);
        QTest::keyClick(grid, Qt::Key_2);
        QCOMPARE(edit->selection()->at(1).pictures.size(), 3);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        nameRow(edit, 0, FirstName);
        nameRow(edit, 1, SecondName);
        const QList<Category> editRows = shownRows(edit);
        QCOMPARE(editRows.size(), 3);
        sorted = editRows.mid(0, 2);
        QCOMPARE(sorted.at(0).name, FirstName);
        QCOMPARE(QSet<QString>(sorted.at(0).paths.begin(), sorted.at(0).paths.end()),
                 QSet<QString>(tiles.begin(), tiles.begin() + 3));
        QCOMPARE(sorted.at(1).name, SecondName);
        QCOMPARE(QSet<QString>(sorted.at(1).paths.begin(), sorted.at(1).paths.end()),
                 QSet<QString>(tiles.begin() + 3, tiles.begin() + 5));
        QVERIFY(editRows.at(2).paths.isEmpty());
        // The sorted tiles carry their category's colour, the unsorted one none.
        QCOMPARE(grid->model()->index(0, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>().size(),
                 1);
        QCOMPARE(grid->model()->index(3, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>().size(),
                 1);
        QVERIFY(grid->model()->index(0, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>() !=
                grid->model()->index(3, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>());
        QVERIFY(
            grid->model()->index(5, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>().isEmpty());

        // Next: the category page shows the two categories with their pictures.
        QTest::mouseClick(PageParts::find<QOutPutImageWidget>(edit, "buttonBar")->GetNextPageButton(),
                          Qt::LeftButton);
        QCOMPARE(window.pageStack()->currentWidget(), static_cast<QWidget*>(cate));
        QCOMPARE(shownRows(cate), sorted);
        // Every tile shows its picture's thumbnail (one dragged while it still loaded arrives later).
        for (int row = 0; row < 2; ++row) {
            const QAbstractItemModel* shown = CategoryParts::pictures(CategoryParts::row(cate, row))->model();
            for (int tile = 0; tile < shown->rowCount(); ++tile)
                QTRY_VERIFY_WITH_TIMEOUT(!shown->index(tile, 0).data(Qt::DecorationRole).isNull(), 10000);
        }

        // Export: a folder per category holding its pictures, "select.js" and the history entry.
        m_answers->folder = exportFolder;
        QSignalSpy exported(cate, &QCatePage::sigExportFinished);
        QTest::mouseClick(PageParts::find<QCateMakeWidget>(cate, "makeWidget")
                              ->findChild<QDrawImageButton*>("exportButton"),
                          Qt::LeftButton);
        QVERIFY(exported.wait(Patience));
        QCOMPARE(m_answers->notices, QStringList{"保存图片成功"});
        QStringList exportedFiles;
        for (const Category& category : sorted) {
            const QString folder = CProgramFiles::join(exportFolder, category.name);
            QStringList files;
            for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
                files << file.filePath();
            QCOMPARE(byContent(files), byContent(category.paths));
            exportedFiles << files;
        }
        bool selectionRead = false;
        const CExportSelection selection = CExportSelection::read(exportFolder, &selectionRead);
        QVERIFY(selectionRead);
        QCOMPARE(selection.pages.size(), 2);
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(selection.pages.at(row).name, sorted.at(row).name);
            QStringList names;
            for (const QString& path : sorted.at(row).paths)
                names << QFileInfo(path).fileName();
            QCOMPARE(selection.pages.at(row).pictureNames, names);
        }
        const QStringList history = CExportHistory::readFolders(program("history_data.js"));
        QCOMPARE(history.size(), 1);
        QCOMPARE(normalised(history.first()), normalised(exportFolder));

        // Upload the export, logging in through the page's login dialog as the user does.
        m_answers->logInAs("photographer", "secret pw");
        QTest::mouseClick(PageParts::find<QCateMakeWidget>(cate, "makeWidget")
                              ->findChild<QDrawImageButton*>("uploadButton"),
                          Qt::LeftButton);
        QCOMPARE(m_answers->logins, 1);
        QVERIFY(NoticeBoxes::texts().contains("上传尚未完成，请勿关闭软件！"));
        // Both category folders in one batch, ending with one message.
        QTRY_COMPARE_WITH_TIMEOUT(NoticeBoxes::texts().count("照片上传完成！"), 1, Patience);
        NoticeBoxes::closeAll();
        QStringList stored;
        for (const QString& name : service.objects())
            stored << CProgramFiles::join(service.dataFolder(), "objects/" + name);
        QCOMPARE(byContent(stored).keys(), byContent(exportedFiles).keys());
        const QJsonArray registrations = service.records("registrations.json", "registrations");
        QCOMPARE(registrations.size(), 5);
        QStringList registered;
        for (const QJsonValue& entry : registrations) {
            QCOMPARE(entry.toObject().value("zovid").toString(), userId);
            registered << entry.toObject().value("src").toString();
        }
        registered.sort();
        QStringList objects = service.objects();
        objects.sort();
        QCOMPARE(registered, objects);

        // The history page lists both categories of the export, the first one opened.
        QAction* browse = menuAction(window, QStringLiteral("浏览已扫描照片"));
        QVERIFY(browse && browse->isEnabled());
        browse->trigger();
        QViewPage* historyPage = window.viewPage();
        QCOMPARE(window.pageStack()->currentWidget(), static_cast<QWidget*>(historyPage));
        QCOMPARE(historyPage->GetEntryCount(), 2);
        QCOMPARE(historyPage->GetEntry(0)->GetButton()->GetText(), FirstName);
        QCOMPARE(historyPage->GetEntry(1)->GetButton()->GetText(), SecondName);
        QTRY_COMPARE_WITH_TIMEOUT(historyPage->GetPhotoGrid()->count(), 3, Patience);

        // Close: the session and the usage record are written; sending them is the reporter's.
        QVERIFY(window.close());
        QVERIFY(QFile::exists(program("save_last.js")));
        const QJsonObject run =
            CJsonFile::read(program("user_data.js"))["records"].toObject()["0"].toObject();
        const QJsonObject folders = run["folders"].toObject();
        QCOMPARE(folders["0"].toObject(), (QJsonObject{{"folder_name", FirstName}, {"pic_number", 3}}));
        QCOMPARE(folders["1"].toObject(), (QJsonObject{{"folder_name", SecondName}, {"pic_number", 2}}));
    }

    // A new window: "继续上次" brings both categories back with the same pictures.
    {
        MainWindow window;
        window.resize(1400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QEditPage* edit = window.editPage();
        QTest::mouseClick(window.initPage()->GetLastButton(), Qt::LeftButton);
        QCOMPARE(window.pageStack()->currentWidget(), static_cast<QWidget*>(edit));
        QVERIFY(QTest::qWaitFor(
            [edit] { return !PageParts::find<QBusyDialog>(edit, "loadWait")->isVisible(); }, Patience));
        const QList<Category> rows = shownRows(edit);
        QCOMPARE(rows.mid(0, 2), sorted);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.at(2).paths.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(PageParts::find<QPhotoViewListWidget>(edit, "photoList")->count(), 6,
                                  Patience);
        QVERIFY(window.close());
    }

    // The usage reporter, run from the program folder, posts "user_data.js" and removes it.
    const QByteArray usage = readFile(program("user_data.js"));
    QCOMPARE(CJsonFile::read(program("user_data.js"))["records"].toObject().size(), 2);
    const QString reporter = program(QFileInfo(VELLORA_MERROWBY).fileName());
    QVERIFY(QFile::copy(VELLORA_MERROWBY, reporter));
    QByteArray log;
    QVERIFY2(runCompanion(reporter, &log) == 0, log.constData());
    const QJsonArray reports = service.records("usage_reports.json", "reports");
    // The only report of the round: the windows left it to the reporter.
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.last().toObject().value("data").toString().toUtf8(), usage);
    QVERIFY(!QFile::exists(program("user_data.js")));

    // The updater, run from the program folder holding version 6, installs the signed version 7.
    const QString updater = program(QFileInfo(QTARNWICK_PROGRAM).fileName());
    QVERIFY(QFile::copy(QTARNWICK_PROGRAM, updater));
    QVERIFY(TestSupport::writeFile(program("version.js"), "{\"version\": 6}"));
    const QByteArray session = readFile(program("save_last.js"));
    QVERIFY2(runCompanion(updater, &log) == 0, log.constData());
    for (const QString& name : QStringList{"QVellora", "lib/libvellora.so"})
        QCOMPARE(readFile(program(name)), readFile(m_releaseSource + "/" + name));
    // The installed number is the published, signed one.
    QCOMPARE(readFile(program("version.js")), readFile(m_dir.filePath("release/version.js")));
    // The user's records stay as they were.
    QCOMPARE(readFile(program("save_last.js")), session);
    QCOMPARE(normalised(CExportHistory::readFolders(program("history_data.js")).value(0)),
             normalised(exportFolder));
}

QTEST_MAIN(tst_WholeRound)
#include "tst_wholeround.moc"
