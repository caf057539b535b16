// SPDX-License-Identifier: MIT
// The client identifier never holds up the close: a resolver that takes too long is not waited for.
#include "Records/CClientIdentifier.h"
#include "TestSupport.h"

#include <QHostInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

class tst_ClientIdentifier : public QObject
{
    Q_OBJECT
private slots:
    void slowResolverGivesTheFallback_data();
    void slowResolverGivesTheFallback();
};

void tst_ClientIdentifier::slowResolverGivesTheFallback_data()
{
    QTest::addColumn<int>("resolverMs"); // how long the resolver takes to answer "fe80::1"
    QTest::addColumn<bool>("fromAddress");

    QTest::newRow("answers at once") << 0 << true;
    // Far beyond the limit: the identifier is made from the host name instead.
    QTest::newRow("takes 2 s") << 2000 << false;
}

void tst_ClientIdentifier::slowResolverGivesTheFallback()
{
    QFETCH(int, resolverMs);
    QFETCH(bool, fromAddress);

    QTemporaryDir dir;
    const QString config = dir.filePath("config.js");
    QVERIFY(TestSupport::writeFile(config, R"({"config": {"update_zov": {"zov_flag": "flag"}}})"));
    const auto resolver = [resolverMs](const QString&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(resolverMs));
        return QStringLiteral("fe80::1");
    };

    const QString identifier = CClientIdentifier::make(config, 300, resolver);
    const QString expected = fromAddress ? CClientIdentifier::fromText("flag", "fe80::1")
                                         : CClientIdentifier::fromText("flag", QHostInfo::localHostName());
    QCOMPARE(identifier, expected);
}

QTEST_MAIN(tst_ClientIdentifier)
#include "tst_clientidentifier.moc"
