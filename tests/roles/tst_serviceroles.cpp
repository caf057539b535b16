// SPDX-License-Identifier: MIT
#include "CServiceEndpoints.h"

#include <QtTest>

// Built with a host of its own for each of the four roles (see tests/CMakeLists.txt), so that an
// address made on another role's host shows; everywhere else all roles share one address.
class tst_ServiceRoles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qunsetenv("VELLORA_SERVICE_URL"); }
    void everyAddressUsesItsRole_data();
    void everyAddressUsesItsRole();
};

void tst_ServiceRoles::everyAddressUsesItsRole_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("expected");

    const QString api = "http://api.roles.test:1001/base";
    const QString mobile = "http://mobile.roles.test:1002";
    const QString storage = "https://storage.roles.test:1003/bucket";
    const QString web = "http://web.roles.test:1004";
    QTest::newRow("api host") << CServiceEndpoints::hostUrl(CServiceEndpoints::Host::Api) << api;
    QTest::newRow("mobile host") << CServiceEndpoints::hostUrl(CServiceEndpoints::Host::MobileApi) << mobile;
    QTest::newRow("storage host") << CServiceEndpoints::hostUrl(CServiceEndpoints::Host::Storage) << storage;
    QTest::newRow("web host") << CServiceEndpoints::hostUrl(CServiceEndpoints::Host::Web) << web;
    QTest::newRow("usage log") << CServiceEndpoints::usageLog() << api + "/restapi/vessik/log/add";
    QTest::newRow("login") << CServiceEndpoints::login() << mobile + "/api/user/auth/login";
    QTest::newRow("registration") << CServiceEndpoints::registration() << mobile + "/api/user/auth/register";
    QTest::newRow("upload authorisation")
        << CServiceEndpoints::uploadAuth() << mobile + "/api/user/image/upload_auth";
    QTest::newRow("image registration") << CServiceEndpoints::imageSave() << mobile + "/api/user/image/save";
    QTest::newRow("version manifest")
        << CServiceEndpoints::versionManifest() << storage + "/Vellora/version.js";
    QTest::newRow("release archive") << CServiceEndpoints::releaseArchive()
                                     << storage + "/Vellora/Vellora.zip";
    QTest::newRow("web home") << CServiceEndpoints::webHome() << web;
    QTest::newRow("print order") << CServiceEndpoints::printOrder() << web + "/print/index/index.html";
}

void tst_ServiceRoles::everyAddressUsesItsRole()
{
    QFETCH(QUrl, url);
    QFETCH(QString, expected);
    QCOMPARE(url.toString(), expected);
}

QTEST_GUILESS_MAIN(tst_ServiceRoles)
#include "tst_serviceroles.moc"
