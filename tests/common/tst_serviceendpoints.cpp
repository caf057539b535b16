// SPDX-License-Identifier: MIT
#include "CServiceEndpoints.h"

#include <QtTest>

class tst_ServiceEndpoints : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("VELLORA_SERVICE_URL"); }
    void overrideRoutesEveryRole_data();
    void overrideRoutesEveryRole();
    void buildTimeHostsAreUsedWithoutOverride();
};

void tst_ServiceEndpoints::overrideRoutesEveryRole_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("bare host") << "http://127.0.0.1:4321"
                               << "http://127.0.0.1:4321";
    QTest::newRow("trailing slash") << "http://127.0.0.1:4321/"
                                    << "http://127.0.0.1:4321";
    QTest::newRow("base path") << "http://127.0.0.1:4321/svc/"
                               << "http://127.0.0.1:4321/svc";
}

void tst_ServiceEndpoints::overrideRoutesEveryRole()
{
    QFETCH(QString, base);
    QFETCH(QString, prefix);
    qputenv("VELLORA_SERVICE_URL", base.toUtf8());
    QCOMPARE(CServiceEndpoints::usageLog().toString(), prefix + "/restapi/vessik/log/add");
    QCOMPARE(CServiceEndpoints::login().toString(), prefix + "/api/user/auth/login");
    QCOMPARE(CServiceEndpoints::registration().toString(), prefix + "/api/user/auth/register");
    QCOMPARE(CServiceEndpoints::uploadAuth().toString(), prefix + "/api/user/image/upload_auth");
    QCOMPARE(CServiceEndpoints::imageSave().toString(), prefix + "/api/user/image/save");
    QCOMPARE(CServiceEndpoints::versionManifest().toString(), prefix + "/Vellora/version.js");
    QCOMPARE(CServiceEndpoints::releaseArchive().toString(), prefix + "/Vellora/Vellora.zip");
    QCOMPARE(CServiceEndpoints::printOrder().toString(), prefix + "/print/index/index.html");
    QCOMPARE(CServiceEndpoints::webHome(), QUrl(base));
}

void tst_ServiceEndpoints::buildTimeHostsAreUsedWithoutOverride()
{
    for (auto host : {CServiceEndpoints::Host::Api, CServiceEndpoints::Host::MobileApi,
                      CServiceEndpoints::Host::Storage, CServiceEndpoints::Host::Web}) {
        const QUrl url = CServiceEndpoints::hostUrl(host);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QString("http"));
        QVERIFY(!url.host().isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_ServiceEndpoints)
#include "tst_serviceendpoints.moc"
