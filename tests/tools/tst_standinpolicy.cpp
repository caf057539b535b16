// SPDX-License-Identifier: MIT
#include "CPostPolicy.h"
#include "CStandinFaults.h"
#include "CStandinOptions.h"
#include "CStandinStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

// The stand-in's own rules: what its storage lets in, how its options read, what its store keeps.
class tst_StandinPolicy : public QObject
{
    Q_OBJECT
private slots:
    void policy_data();
    void policy();
    void policyDocument();
    void signedPolicyMustBindTheKey_data();
    void signedPolicyMustBindTheKey();
    void options_data();
    void options();
    void faultsAreUsedUpInOrder();
    void objectNames_data();
    void objectNames();
    void accounts();
};

void tst_StandinPolicy::policy_data()
{
    QTest::addColumn<QString>("policyChange");    // "" or a replacement policy text
    QTest::addColumn<QString>("signatureChange"); // "" keeps the right signature
    QTest::addColumn<QString>("key");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("minutesLater");
    QTest::addColumn<QString>("refusal"); // start of the reason, "" when allowed

    QTest::newRow("allowed") << ""
                             << ""
                             << "images/a" << qint64(1000) << 0 << "";
    QTest::newRow("at the size limit") << ""
                                       << ""
                                       << "images/a" << qint64(5000) << 14 << "";
    QTest::newRow("too large") << ""
                               << ""
                               << "images/a" << qint64(5001) << 0 << "EntityTooLarge";
    QTest::newRow("other key") << ""
                               << ""
                               << "images/b" << qint64(1) << 0 << "AccessDenied: key";
    QTest::newRow("expired") << ""
                             << ""
                             << "images/a" << qint64(1) << 16 << "AccessDenied: policy expired";
    QTest::newRow("forged signature") << ""
                                      << "AAAA"
                                      << "images/a" << qint64(1) << 0 << "SignatureDoesNotMatch";
    QTest::newRow("policy swapped, old signature") << "e30="
                                                   << ""
                                                   << "images/a" << qint64(1) << 0 << "SignatureDoesNotMatch";
}

void tst_StandinPolicy::policy()
{
    QFETCH(QString, policyChange);
    QFETCH(QString, signatureChange);
    QFETCH(QString, key);
    QFETCH(qint64, size);
    QFETCH(int, minutesLater);
    QFETCH(QString, refusal);

    const QByteArray secret = "secret-of-this-run";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const CPostPolicy::Grant grant = CPostPolicy::make(secret, "images/a", 5000, now.addSecs(15 * 60));
    const QString policy = policyChange.isEmpty() ? grant.policy : policyChange;
    const QString signature = signatureChange.isEmpty() ? grant.signature : signatureChange;
    const QString why =
        CPostPolicy::check(secret, policy, signature, key, size, now.addSecs(60 * minutesLater));
    if (refusal.isEmpty())
        QCOMPARE(why, QString());
    else
        QVERIFY2(why.startsWith(refusal), qPrintable(why));
    // Another run's secret never fits.
    QVERIFY(!CPostPolicy::check("other secret", policy, signature, key, size, now).isEmpty());
}

void tst_StandinPolicy::policyDocument()
{
    const QDateTime expires = QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), Qt::UTC);
    const CPostPolicy::Grant grant = CPostPolicy::make("s", "images/x", 77, expires);
    const QJsonObject document =
        QJsonDocument::fromJson(QByteArray::fromBase64(grant.policy.toLatin1())).object();
    QCOMPARE(document.value("expiration").toString(), QString("2030-01-02T03:04:05.000Z"));
    const QJsonArray conditions = document.value("conditions").toArray();
    QCOMPARE(conditions.at(0).toArray(), (QJsonArray{"content-length-range", 0, 77}));
    QCOMPARE(conditions.at(1).toArray(), (QJsonArray{"eq", "$key", "images/x"}));
    // The signature is the base64 HMAC-SHA1 over the base64 policy text.
    QCOMPARE(grant.signature, QString::fromLatin1(QMessageAuthenticationCode::hash(
                                                      grant.policy.toLatin1(), "s", QCryptographicHash::Sha1)
                                                      .toBase64()));
}

// Policies signed with the right secret but missing a condition: a correct signature alone must
// not let a form store any object it names.
void tst_StandinPolicy::signedPolicyMustBindTheKey_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("refusal"); // start of the reason, "" when allowed

    const QByteArray expiry = R"("expiration":"2099-01-01T00:00:00.000Z")";
    QTest::newRow("complete") << "{" + expiry + R"(,"conditions":[["eq","$key","images/a"]]})"
                              << "";
    QTest::newRow("no key condition") << "{" + expiry + R"(,"conditions":[["content-length-range",0,100]]})"
                                      << "AccessDenied: policy names no key";
    QTest::newRow("no conditions") << "{" + expiry + "}"
                                   << "AccessDenied: policy names no key";
    QTest::newRow("conditions not a list") << "{" + expiry + R"(,"conditions":{"key":"images/a"}})"
                                           << "AccessDenied: policy names no key";
    QTest::newRow("condition on another field")
        << "{" + expiry + R"(,"conditions":[["eq","$bucket","images/a"]]})"
        << "AccessDenied: policy names no key";
    QTest::newRow("no expiry") << QByteArray(R"({"conditions":[["eq","$key","images/a"]]})")
                               << "AccessDenied: policy expired";
}

void tst_StandinPolicy::signedPolicyMustBindTheKey()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, refusal);
    const QByteArray secret = "secret-of-this-run";
    const QString policy = QString::fromLatin1(document.toBase64());
    const QString why = CPostPolicy::check(secret, policy, CPostPolicy::sign(secret, policy), "images/a", 10,
                                           QDateTime::currentDateTimeUtc());
    if (refusal.isEmpty())
        QCOMPARE(why, QString());
    else
        QVERIFY2(why.startsWith(refusal), qPrintable(why));
}

void tst_StandinPolicy::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("faults");

    QTest::newRow("minimal") << QStringList{"--data", "/tmp/d"} << true << 18080 << 0;
    QTest::newRow("everything") << QStringList{"--port", "0",       "--data", "d",      "--release",
                                               "r",      "--delay", "5",      "--fail", "500:2:/storage",
                                               "--drop", "1",       "--fail", "404:1"}
                                << true << 0 << 3;
    QTest::newRow("no data folder") << QStringList{"--port", "1"} << false << 0 << 0;
    QTest::newRow("port too large") << QStringList{"--port", "70000", "--data", "d"} << false << 0 << 0;
    QTest::newRow("value missing") << QStringList{"--data"} << false << 0 << 0;
    QTest::newRow("unknown option") << QStringList{"--data", "d", "--verbose", "1"} << false << 0 << 0;
    QTest::newRow("fail without count") << QStringList{"--data", "d", "--fail", "500"} << false << 0 << 0;
    QTest::newRow("fail with status 99") << QStringList{"--data", "d", "--fail", "99:1"} << false << 0 << 0;
    QTest::newRow("drop zero times") << QStringList{"--data", "d", "--drop", "0"} << false << 0 << 0;
    QTest::newRow("negative delay") << QStringList{"--data", "d", "--delay", "-1"} << false << 0 << 0;
}

void tst_StandinPolicy::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(int, port);
    QFETCH(int, faults);
    CStandinOptions options;
    QString error;
    QCOMPARE(CStandinOptions::parse(arguments, &options, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    if (ok) {
        QCOMPARE(options.port, port);
        QCOMPARE(options.faults.size(), faults);
    }
}

void tst_StandinPolicy::faultsAreUsedUpInOrder()
{
    CStandinFaults faults;
    CStandinFaults::Rule rule;
    QVERIFY(CStandinFaults::parseFail("500:2:/storage", &rule));
    faults.add(rule);
    QVERIFY(CStandinFaults::parseCounted("1", CStandinFaults::Kind::Drop, &rule));
    faults.add(rule);

    QVERIFY(CStandinFaults::parseFail(R"(401:1:/api/user/auth/login:{"error":"","zovid":"7"})", &rule));
    QCOMPARE(rule.prefix, QString("/api/user/auth/login"));
    QCOMPARE(rule.body, QByteArray(R"({"error":"","zovid":"7"})"));
    QVERIFY(CStandinFaults::parseCounted("2:/storage", CStandinFaults::Kind::Stall, &rule));
    QCOMPARE(rule.kind, CStandinFaults::Kind::Stall);
    QVERIFY(!CStandinFaults::parseCounted("1:/a:b", CStandinFaults::Kind::Stall, &rule));

    QCOMPARE(faults.take("/storage/upload").status, 500);
    QCOMPARE(faults.take("/api/user/auth/login").kind, CStandinFaults::Kind::Drop);
    QCOMPARE(faults.take("/api/user/auth/login").kind, CStandinFaults::Kind::None);
    QCOMPARE(faults.take("/storage/upload").status, 500);
    QCOMPARE(faults.take("/storage/upload").kind, CStandinFaults::Kind::None);
}

void tst_StandinPolicy::objectNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("made by the service") << "images/20261207/0123abcd" << true;
    QTest::newRow("parent folder") << "images/../../etc/passwd" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("leading dot-dot") << "../x" << false;
    QTest::newRow("backslash") << "images\\..\\x" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("trailing slash") << "images/" << false;
}

void tst_StandinPolicy::objectNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(CStandinStore::isSafeObjectName(name), safe);
    QTemporaryDir dir;
    CStandinStore store(dir.path());
    QVERIFY(store.open());
    QCOMPARE(store.storeObject(name, "bytes", {}), safe);
}

void tst_StandinPolicy::accounts()
{
    QTemporaryDir dir;
    CStandinStore store(dir.path());
    QVERIFY(store.open());
    const QJsonObject first = store.registerAccount("anna", "A", "p&w", "p&w");
    QCOMPARE(first.value("error").toString(), QString());
    QCOMPARE(store.registerAccount("anna", "B", "x", "x").value("error").toString(), QString("用户名已存在"));
    QCOMPARE(store.registerAccount("bert", "B", "x", "y").value("error").toString(),
             QString("两次输入的密码不一致"));
    QCOMPARE(store.registerAccount(" ", "B", "x", "x").value("error").toString(), QString("用户名不能为空"));
    const QJsonObject second = store.registerAccount("bert", "B", "x", "x");
    QVERIFY(second.value("zovid").toString() != first.value("zovid").toString());

    QCOMPARE(store.login("anna", "p&w").value("zovid").toString(), first.value("zovid").toString());
    QCOMPARE(store.login("anna", "p").value("error").toString(), QString("用户名或密码错误"));
    QCOMPARE(store.login("nobody", "").value("error").toString(), QString("用户名或密码错误"));
    // Passwords are kept only as salted hashes.
    QFile file(dir.filePath("accounts.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("p&w"));
}

QTEST_GUILESS_MAIN(tst_StandinPolicy)
#include "tst_standinpolicy.moc"
