// SPDX-License-Identifier: MIT
// "save_last.js", "user_data.js" and "config.js": layouts, merge rules, the client identifier,
// the restore matching rules and the debounced session autosave.
#include "CProgramFiles.h"
#include "Records/CClientIdentifier.h"
#include "Records/CJsonFile.h"
#include "Records/CLastSession.h"
#include "Records/CSessionAutosave.h"
#include "Records/CUserDataFile.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLockFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using TestSupport::readFile;
using TestSupport::writeFile;

class tst_SessionFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void sessionRoundTrip();
    void sessionWithoutCategories();
    void elevenCategoriesComeBackInKeyTextOrder();
    void unreadableSessionIsEmpty_data();
    void unreadableSessionIsEmpty();
    void restoreTakesExactSavedPictures();
    void gridTakesPicturesInsideFolder_data();
    void gridTakesPicturesInsideFolder();

    void usageRecordsMerge();
    void usageFileStartsAfresh_data();
    void usageFileStartsAfresh();
    void identifier_data();
    void identifier();
    void identifierWithoutAddress();
    void closeSaveInRecordFolder();
    void closeWriteWaitsForTheReportersClaim();

    void autosaveWritesOnceForABurst();
    void closeWithoutWorkKeepsLastSession();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_SessionFiles::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void tst_SessionFiles::sessionRoundTrip()
{
    CLastSession session;
    session.categories = {{"A 春天", {"/photos/trip/1.jpg", "/photos/trip/2.JPG", "/photos/other/3.png"}},
                          {"B", {}}};
    session.sourceKind = CLastSession::ChosenFolder;
    session.chosenFolder = "/photos/trip";
    session.cachedPaths =
        QStringList{"/photos/trip/1.jpg", "/photos/trip/2.JPG", "/photos/other/3.png", "/photos/trip/sub"};
    QVERIFY(session.write(path("save_last.js")));

    const QByteArray text = readFile(path("save_last.js"));
    QVERIFY(text.contains("\n    \"addition\": {\n    },")); // indented, empty
    QVERIFY(text.contains(QString("\"A 春天\"").toUtf8()));  // UTF-8, not escaped
    const QJsonObject root = QJsonDocument::fromJson(text).object();
    QCOMPARE(root.value("addition").toObject(), QJsonObject());
    const QJsonObject a = root["page"]["0"].toObject();
    QCOMPARE(a["page_name"].toString(), QString("A 春天"));
    QCOMPARE(a["page_files"].toObject().keys(), QStringList({"0", "1", "2"}));
    QCOMPARE(a["page_files"]["1"]["picture_name"].toString(), QString("2.JPG"));
    QCOMPARE(a["page_files"]["2"]["picture_path"].toString(), QString("/photos/other/3.png"));
    QVERIFY(root["page"]["1"]["page_files"].isObject());
    QCOMPARE(root["page"]["1"]["page_files"].toObject(), QJsonObject());
    QVERIFY(root["scan_image"]["type"].isDouble());
    QCOMPARE(root["scan_image"]["type"].toInt(), 2);
    QCOMPARE(root["scan_image"]["path"].toString(), QString("/photos/trip"));
    QCOMPARE(root["all_sed_image"]["3"].toString(), QString("/photos/trip/sub"));

    bool ok = false;
    QCOMPARE(CLastSession::read(path("save_last.js"), &ok), session);
    QVERIFY(ok);
}

void tst_SessionFiles::sessionWithoutCategories()
{
    QVERIFY(CLastSession().write(path("save_last.js")));
    const QJsonObject root = CJsonFile::read(path("save_last.js"));
    QCOMPARE(root.keys(), QStringList({"addition", "all_sed_image", "page", "scan_image"}));
    QCOMPARE(root["page"].toObject(), QJsonObject());
    QCOMPARE(root["scan_image"]["type"].toInt(), 0);
    QCOMPARE(root["scan_image"]["path"].toString(), QString(""));
}

void tst_SessionFiles::elevenCategoriesComeBackInKeyTextOrder()
{
    CLastSession session;
    for (int i = 0; i < 12; ++i)
        session.categories.append({QString("row%1").arg(i), {QString("/p/%1.jpg").arg(i)}});
    QVERIFY(session.write(path("save_last.js")));

    QStringList names;
    for (const CCategory& category : CLastSession::read(path("save_last.js")).categories) {
        names.append(category.name);
        QCOMPARE(category.pictures, QStringList(QString("/p/%1.jpg").arg(category.name.mid(3))));
    }
    QCOMPARE(names, QStringList({"row0", "row1", "row10", "row11", "row2", "row3", "row4", "row5", "row6",
                                 "row7", "row8", "row9"}));
}

void tst_SessionFiles::unreadableSessionIsEmpty_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("torn") << QByteArray("{\"page\": {\"0\": {\"page_name\": \"A\"");
    QTest::newRow("array") << QByteArray("[1, 2]");
    QTest::newRow("wrong kinds") << QByteArray(
        "{\"page\": [\"x\"], \"all_sed_image\": 3, \"scan_image\": \"2\"}");
}

void tst_SessionFiles::unreadableSessionIsEmpty()
{
    QFETCH(QByteArray, content);
    if (!content.isNull())
        QVERIFY(writeFile(path("save_last.js"), content));
    const CLastSession session = CLastSession::read(path("save_last.js"));
    QCOMPARE(session, CLastSession());
}

void tst_SessionFiles::restoreTakesExactSavedPictures()
{
    // "1.jpg", "11.jpg" and "21.jpg" in one folder, sorted into three categories and saved.
    CLastSession saved;
    saved.categories = {{"one", {"/p/1.jpg"}}, {"eleven", {"/p/11.jpg", "/p/gone.jpg"}}, {"none", {}}};
    saved.cachedPaths = QStringList{"/p/21.jpg", "/p/11.jpg", "/p/1.jpg", "/q/1.jpg"};
    QVERIFY(saved.write(path("save_last.js")));
    const CLastSession session = CLastSession::read(path("save_last.js"));

    // Thumbnails come back for all but the vanished picture.
    const QStringList restored = session.cachedPaths;
    QCOMPARE(CLastSession::restorablePictures(session.categories.at(0), restored), QStringList{"/p/1.jpg"});
    QCOMPARE(CLastSession::restorablePictures(session.categories.at(1), restored), QStringList{"/p/11.jpg"});
    QCOMPARE(CLastSession::restorablePictures(session.categories.at(2), restored), QStringList());
}

void tst_SessionFiles::gridTakesPicturesInsideFolder_data()
{
    QTest::addColumn<QStringList>("cached");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("expected");

    const QStringList trips{"/ph/trip/a.jpg", "/ph/trip2/b.jpg",      "/ph/trip/sub/c.jpg",
                            "/ph/tripx.jpg",  "/ph/other/trip/d.jpg", "/ph/trip"};
    QTest::newRow("trip, not trip2") << trips << "/ph/trip"
                                     << QStringList{"/ph/trip/a.jpg", "/ph/trip/sub/c.jpg"};
    QTest::newRow("trailing separator")
        << trips << "/ph/trip/" << QStringList{"/ph/trip/a.jpg", "/ph/trip/sub/c.jpg"};
    QTest::newRow("trip2") << trips << "/ph/trip2" << QStringList{"/ph/trip2/b.jpg"};
    QTest::newRow("no folder chosen") << trips << "" << trips;
    QTest::newRow("root") << QStringList{"/a.jpg", "/x/b.jpg"} << "/" << QStringList{"/a.jpg", "/x/b.jpg"};
    QTest::newRow("nothing inside") << trips << "/ph/tri" << QStringList();
#ifdef Q_OS_WIN
    QTest::newRow("native separators") << QStringList{"C:/ph/trip/a.jpg", "C:/ph/trip2/b.jpg"}
                                       << "C:\\ph\\Trip" << QStringList{"C:/ph/trip/a.jpg"};
#else
    QTest::newRow("case matters") << QStringList{"/ph/Trip/a.jpg", "/ph/trip/b.jpg"} << "/ph/trip"
                                  << QStringList{"/ph/trip/b.jpg"};
#endif
}

void tst_SessionFiles::gridTakesPicturesInsideFolder()
{
    QFETCH(QStringList, cached);
    QFETCH(QString, folder);
    QFETCH(QStringList, expected);
    QCOMPARE(CLastSession::picturesInFolder(cached, folder), expected);
}

void tst_SessionFiles::usageRecordsMerge()
{
    // Three runs already recorded: the first as the run itself wrote it (counts as numbers), the
    // others as carried over since (counts as strings).
    const QByteArray old = R"({
    "auth": {"md5": "kept-identifier"},
    "records": {
        "0": {"folders": {"0": {"folder_name": "春天", "pic_number": 12}, "1": {"folder_name": "B", "pic_number": 0}},
              "time": {"open_time": "2015-03-07T14:05:09", "close_time": "2015-03-07T15:00:00",
                       "upload_count": 2, "feedback": "good"}},
        "1": {"folders": {}, "time": {"open_time": "a", "close_time": "b", "upload_count": 0, "feedback": ""}},
        "2": {"folders": {"0": {"folder_name": "x+y&z", "pic_number": "7"},
                          "1": {"folder_name": "huge", "pic_number": 1e300},
                          "2": {"folder_name": "negative huge", "pic_number": -1e300}},
              "time": {"open_time": "c", "close_time": "d", "upload_count": 1, "feedback": "50%"}}
    }
})";
    QVERIFY(writeFile(path("user_data.js"), old));

    const QDateTime open(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QDateTime close(QDate(2026, 1, 2), QTime(13, 14, 15, 999));
    const CUserRecord run = CUserRecord::forRun({{"A", 3}, {"B", 0}}, open.toUTC(), close.toUTC(), 0, "");
    int identifierCalls = 0;
    QVERIFY(CUserDataFile::addRun(path("user_data.js"), run, [&] {
        ++identifierCalls;
        return QString("new-identifier");
    }));
    QCOMPARE(identifierCalls, 0);

    const QJsonObject root = CJsonFile::read(path("user_data.js"));
    QCOMPARE(root["auth"]["md5"].toString(), QString("kept-identifier"));
    const QJsonObject records = root["records"].toObject();
    QCOMPARE(records.keys(), QStringList({"0", "1", "2", "3"}));
    // Carried over: counts as strings, everything else as it was.
    QCOMPARE(records["0"]["folders"]["0"]["pic_number"], QJsonValue("12"));
    QCOMPARE(records["0"]["folders"]["0"]["folder_name"].toString(), QString("春天"));
    QCOMPARE(records["0"]["folders"]["1"]["pic_number"], QJsonValue("0"));
    QCOMPARE(records["0"]["time"]["upload_count"], QJsonValue(2));
    QCOMPARE(records["0"]["time"]["feedback"].toString(), QString("good"));
    QCOMPARE(records["1"]["folders"].toObject(), QJsonObject());
    QCOMPARE(records["2"]["folders"]["0"]["pic_number"], QJsonValue("7"));
    QCOMPARE(records["2"]["folders"]["0"]["folder_name"].toString(), QString("x+y&z"));
    // A count no run can have written is not carried over as a number it never was.
    QCOMPARE(records["2"]["folders"]["1"]["pic_number"], QJsonValue("0"));
    QCOMPARE(records["2"]["folders"]["2"]["pic_number"], QJsonValue("0"));
    // The run just ended: counts as numbers, upload count 0 and an empty survey present.
    const QJsonObject added = records["3"].toObject();
    QCOMPARE(added["folders"]["0"]["folder_name"].toString(), QString("A"));
    QCOMPARE(added["folders"]["0"]["pic_number"], QJsonValue(3));
    QCOMPARE(added["folders"]["1"]["pic_number"], QJsonValue(0));
    QCOMPARE(added["time"]["upload_count"], QJsonValue(0));
    QCOMPARE(added["time"]["feedback"], QJsonValue(""));
    QCOMPARE(added["time"]["open_time"].toString(), QString("2026-01-02T03:04:05"));
    QCOMPARE(added["time"]["close_time"].toString(), QString("2026-01-02T13:14:15"));

    // A second close carries the first run's numbers over as strings under "3", adds "4".
    QVERIFY(CUserDataFile::addRun(path("user_data.js"), run, {}));
    const QJsonObject again = CJsonFile::read(path("user_data.js"))["records"].toObject();
    QCOMPARE(again.keys(), QStringList({"0", "1", "2", "3", "4"}));
    QCOMPARE(again["3"]["folders"]["0"]["pic_number"], QJsonValue("3"));
    QCOMPARE(again["4"]["folders"]["0"]["pic_number"], QJsonValue(3));
}

void tst_SessionFiles::usageFileStartsAfresh_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("unparsable") << QByteArray("{\"records\": {\"0\"");
    QTest::newRow("empty identifier") << QByteArray("{\"auth\": {\"md5\": \"\"}, \"records\": {}}");
}

void tst_SessionFiles::usageFileStartsAfresh()
{
    QFETCH(QByteArray, content);
    if (!content.isNull())
        QVERIFY(writeFile(path("user_data.js"), content));
    const CUserRecord run = CUserRecord::forRun({}, QDateTime::currentDateTime(),
                                                QDateTime::currentDateTime(), 4, "feedback \"quoted\"");
    QVERIFY(CUserDataFile::addRun(path("user_data.js"), run, [] { return QString("made"); }));

    const QJsonObject root = CJsonFile::read(path("user_data.js"));
    QCOMPARE(root["auth"]["md5"].toString(), QString("made"));
    QCOMPARE(root["records"].toObject().keys(), QStringList({"0"}));
    QCOMPARE(root["records"]["0"]["folders"].toObject(), QJsonObject());
    QCOMPARE(root["records"]["0"]["time"]["upload_count"], QJsonValue(4));
    QCOMPARE(root["records"]["0"]["time"]["feedback"].toString(), QString("feedback \"quoted\""));
}

void tst_SessionFiles::identifier_data()
{
    QTest::addColumn<QByteArray>("config"); // null: no file
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");

    const QByteArray config = R"({"config": {"other": 1, "update_zov": {"zov_flag": "VEL-", "more": true}}})";
    QTest::newRow("IPv4") << config << "127.0.0.1"
                          << "VEL-F528764D624DB129B32C21FBCA0CB8D6";
    QTest::newRow("IPv6 without colons") << config << "fe80::1"
                                         << "VEL-21F37032E50851D421B25E5D0264C886";
    QTest::newRow("no config") << QByteArray() << "127.0.0.1"
                               << "F528764D624DB129B32C21FBCA0CB8D6";
    QTest::newRow("flag of wrong kind")
        << QByteArray(R"({"config": {"update_zov": {"zov_flag": 7}}})") << "my-host"
        << "E4C79FBF03281AFE96646A57E3158395";
}

void tst_SessionFiles::identifier()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, address);
    QFETCH(QString, expected);
    if (!config.isNull())
        QVERIFY(writeFile(path("config.js"), config));
    QCOMPARE(CClientIdentifier::fromText(CClientIdentifier::readFlag(path("config.js")), address), expected);
}

void tst_SessionFiles::identifierWithoutAddress()
{
    // A name that cannot resolve (reserved top-level domain) gives no address.
    QCOMPARE(CClientIdentifier::firstAddress("no-such-host.invalid", 5000), QString());
    QVERIFY(!CClientIdentifier::firstAddress("localhost", 5000).isEmpty());
}

void tst_SessionFiles::closeSaveInRecordFolder()
{
    CProgramFiles::setRecordFolderOverride(m_dir->path());
    QVERIFY(writeFile(CProgramFiles::configFile(), R"({"config": {"update_zov": {"zov_flag": "F"}}})"));
    CLastSession session;
    session.categories = {{"A", {"/p/1.jpg", "/p/2.jpg", "/p/3.jpg"}}, {"B", {}}};
    const bool written = CUserDataFile::addRun(session, QDateTime::currentDateTimeUtc(),
                                               QDateTime::currentDateTimeUtc(), 1, "survey");
    const QJsonObject root = CJsonFile::read(CProgramFiles::userDataFile());
    CProgramFiles::setRecordFolderOverride(QString());

    QVERIFY(written);
    const QString identifier = root["auth"]["md5"].toString();
    QVERIFY2(QRegularExpression("^F[0-9A-F]{32}$").match(identifier).hasMatch(), qPrintable(identifier));
    const QJsonObject folders = root["records"]["0"]["folders"].toObject();
    QCOMPARE(folders.size(), 2);
    QCOMPARE(folders["0"]["folder_name"].toString(), QString("A"));
    QCOMPARE(folders["0"]["pic_number"], QJsonValue(3));
    QCOMPARE(folders["1"]["pic_number"], QJsonValue(0));
    QCOMPARE(root["records"]["0"]["time"]["feedback"].toString(), QString("survey"));
}

void tst_SessionFiles::closeWriteWaitsForTheReportersClaim()
{
    const QString usage = path("user_data.js");
    const CUserRecord earlier = CUserRecord::forRun({{"earlier", 1}}, QDateTime::currentDateTimeUtc(),
                                                    QDateTime::currentDateTimeUtc(), 0, "");
    QVERIFY(CUserDataFile::addRun(usage, earlier, [] { return QString("id"); }));
    const QByteArray sent = readFile(usage);

    // The usage reporter holds the lock while it claims the file.
    QLockFile reporter(usage + ".lock");
    QVERIFY(reporter.tryLock(0));
    const CUserRecord closing = CUserRecord::forRun({{"closing", 2}}, QDateTime::currentDateTimeUtc(),
                                                    QDateTime::currentDateTimeUtc(), 0, "");
    std::atomic<bool> done{false};
    bool written = false;
    std::thread close([&] {
        written = CUserDataFile::addRun(usage, closing, [] { return QString("id"); });
        done = true;
    });
    // The close does not read the file while the claim is being made...
    QElapsedTimer waited;
    waited.start();
    while (!done && waited.elapsed() < 1500)
        QTest::qWait(20);
    const bool waitedForTheClaim = !done;
    const bool claimed = QFile::rename(usage, usage + ".sending");
    reporter.unlock();
    close.join();
    QVERIFY(waitedForTheClaim);
    QVERIFY(claimed && written);
    // ...so the claimed records go once, and the new file holds only the run that ended now.
    QCOMPARE(readFile(usage + ".sending"), sent);
    const QJsonObject records = CJsonFile::read(usage)["records"].toObject();
    QCOMPARE(records.keys(), QStringList{"0"});
    QCOMPARE(records["0"]["folders"]["0"]["folder_name"].toString(), QString("closing"));
}

void tst_SessionFiles::autosaveWritesOnceForABurst()
{
    CLastSession current;
    CSessionAutosave autosave([&] { return current; });
    autosave.setPath(path("save_last.js"));
    QSignalSpy saved(&autosave, &CSessionAutosave::saved);

    // A drag of 100 pictures: 100 changes in one go.
    current.categories.append(CCategory{"A", {}});
    for (int i = 0; i < 100; ++i) {
        current.categories[0].pictures.append(QString("/p/%1.jpg").arg(i));
        autosave.changed();
    }
    QVERIFY(!QFile::exists(path("save_last.js")));
    QVERIFY(saved.wait(10000));
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    // Pictures come back in key-text order ("0", "1", "10", ...), so compare them as sets.
    const CLastSession written = CLastSession::read(path("save_last.js"));
    QCOMPARE(written.categories.size(), 1);
    QStringList paths = written.categories.at(0).pictures;
    QStringList expected = current.categories.at(0).pictures;
    paths.sort();
    expected.sort();
    QCOMPARE(paths, expected);
    QVERIFY(!autosave.isPending());

    // A later rename is written by itself; a close right after it writes at once, not twice.
    current.categories[0].name = "renamed";
    autosave.changed();
    QVERIFY(autosave.isPending());
    QVERIFY(autosave.saveNow());
    QVERIFY(!autosave.isPending());
    QCOMPARE(saved.size(), 2);
    QCOMPARE(CLastSession::read(path("save_last.js")).categories.at(0).name, QString("renamed"));
}

void tst_SessionFiles::closeWithoutWorkKeepsLastSession()
{
    const QByteArray yesterday = R"({"page": {"0": {"page_name": "kept", "page_files": {}}}})";
    QVERIFY(writeFile(path("save_last.js"), yesterday));
    CSessionAutosave autosave([] { return CLastSession(); });
    autosave.setPath(path("save_last.js"));
    QVERIFY(!autosave.wasUsed());
    QVERIFY(!autosave.saveNow());
    QCOMPARE(readFile(path("save_last.js")), yesterday);

    // An unwritable place is reported, not hidden.
    autosave.setPath(path("no/such/folder/save_last.js"));
    QSignalSpy saved(&autosave, &CSessionAutosave::saved);
    autosave.changed();
    QVERIFY(!autosave.saveNow());
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(tst_SessionFiles)
#include "tst_sessionfiles.moc"
