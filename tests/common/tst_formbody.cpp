// SPDX-License-Identifier: MIT
#include "CFormBody.h"
#include "CUsageReport.h"

#include <QUrlQuery>
#include <QtTest>

using Fields = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Fields)

class tst_FormBody : public QObject
{
    Q_OBJECT
private slots:
    void valuesArriveIntact_data();
    void valuesArriveIntact();
    void requestCarriesTypeAndLength();
    void usageReportKeepsEveryByte();
};

void tst_FormBody::valuesArriveIntact_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("plainBody"); // the exact bytes where no value needs escaping

    QTest::newRow("login") << Fields{{"username", "anna"}, {"password", "secret"}}
                           << QByteArray("&username=anna&password=secret");
    QTest::newRow("empty values keep their names")
        << Fields{{"username", ""}, {"password", ""}} << QByteArray("&username=&password=");
    QTest::newRow("ampersand and equals")
        << Fields{{"username", "a&b"}, {"password", "x=1&password=2"}} << QByteArray();
    QTest::newRow("plus and percent")
        << Fields{{"password", "1+1=2 50%"}, {"re_password", "%26"}} << QByteArray();
    QTest::newRow("chinese and spaces")
        << Fields{{"name", "春天 照片"}, {"desc", "海边#1?/"}} << QByteArray();
    QTest::newRow("line breaks and quotes") << Fields{{"data", "{\n  \"a\": \"b\"\r\n}"}} << QByteArray();
}

void tst_FormBody::valuesArriveIntact()
{
    QFETCH(Fields, fields);
    QFETCH(QByteArray, plainBody);

    CFormBody form;
    for (const auto& field : fields)
        form.add(field.first, field.second);
    const QByteArray body = form.toByteArray();

    QVERIFY(body.startsWith('&'));
    if (!plainBody.isEmpty())
        QCOMPARE(body, plainBody);
    // Decoded the way a form parser decodes it, the fields are exactly those added, in order.
    const QUrlQuery decoded(QString::fromLatin1(body.mid(1)));
    const auto items = decoded.queryItems(QUrl::FullyDecoded);
    QCOMPARE(items.size(), fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        QCOMPARE(items.at(i).first, fields.at(i).first);
        QCOMPARE(items.at(i).second, fields.at(i).second);
    }
}

void tst_FormBody::requestCarriesTypeAndLength()
{
    CFormBody form;
    form.add("name", "照片").add("size", 12345);
    const QNetworkRequest request = form.request(QUrl("http://127.0.0.1:1/api/user/image/save"));
    QCOMPARE(request.header(QNetworkRequest::ContentTypeHeader).toString(),
             QString("application/x-www-form-urlencoded"));
    QCOMPARE(request.header(QNetworkRequest::ContentLengthHeader).toLongLong(),
             qint64(form.toByteArray().size()));
    QVERIFY(form.toByteArray().endsWith("&size=12345"));
}

void tst_FormBody::usageReportKeepsEveryByte()
{
    // A usage file with form characters, Chinese text and a byte that is not UTF-8 at all.
    const QByteArray content =
        "{\n    \"feedback\": \"1+1 & 50% =\",\n    \"name\": \"" + QString("春天").toUtf8() + "\xff\"\n}\n";
    const QByteArray body = CUsageReport::form(content).toByteArray();
    QVERIFY(body.startsWith("&data="));
    QVERIFY(!body.mid(6).contains('&') && !body.mid(6).contains('+'));
    QCOMPARE(QByteArray::fromPercentEncoding(body.mid(6)), content);
}

QTEST_GUILESS_MAIN(tst_FormBody)
#include "tst_formbody.moc"
