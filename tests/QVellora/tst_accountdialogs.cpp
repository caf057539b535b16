// SPDX-License-Identifier: MIT
#include "LoadIn/QLoadInDlg.h"
#include "LoadIn/QSignInDlg.h"
#include "NoticeBoxes.h"
#include "Service/CAccountClient.h"
#include "StandinService.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Login and registration against the stand-in service.
class tst_AccountDialogs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void login_data();
    void login();
    void failedLoginKeepsPreviousId();
    void loginAgainWhileFirstHangs();
    void registration_data();
    void registration();

private:
    static void fill(QWidget* dialog, const QString& objectName, const QString& text);
};

void tst_AccountDialogs::cleanup()
{
    NoticeBoxes::closeAll();
}

void tst_AccountDialogs::fill(QWidget* dialog, const QString& objectName, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(objectName);
    QVERIFY2(edit, qPrintable(objectName));
    edit->setText(text);
}

void tst_AccountDialogs::login_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("serviceDown");
    QTest::addColumn<QString>("password"); // typed into the dialog; the account's is "p&w=1+2%"
    QTest::addColumn<QString>("status");

    const QString failed = "登陆失败，请检查网络后重试";
    QTest::newRow("success, password with & = + %") << QStringList() << false << "p&w=1+2%"
                                                    << "登陆成功";
    QTest::newRow("only the part before &") << QStringList() << false << "p"
                                            << "用户名或密码错误";
    QTest::newRow("wrong password") << QStringList() << false << "p&w=1+2"
                                    << "用户名或密码错误";
    QTest::newRow("HTTP 500") << QStringList{"--fail", "500:1:/api/user/auth/login"} << false << "p&w=1+2%"
                              << failed;
    QTest::newRow("not JSON") << QStringList{"--fail", "200:1:/api/user/auth/login"} << false << "p&w=1+2%"
                              << failed;
    QTest::newRow("dropped") << QStringList{"--drop", "10:/api/user/auth/login"} << false << "p&w=1+2%"
                             << failed;
    QTest::newRow("service down") << QStringList() << true << "p&w=1+2%" << failed;
    QTest::newRow("hangs") << QStringList{"--stall", "1:/api/user/auth/login"} << false << "p&w=1+2%"
                           << failed;
    // Only a success status counts, whatever the body says.
    QTest::newRow("401 with a user ID")
        << QStringList{"--fail", R"(401:1:/api/user/auth/login:{"error":"","msg":"ok","zovid":"10001"})"}
        << false << "p&w=1+2%" << failed;
    QTest::newRow("500 with a user ID")
        << QStringList{"--fail", R"(500:1:/api/user/auth/login:{"zovid":"10001"})"} << false << "p&w=1+2%"
        << failed;
    // A redirect is not the service's answer either.
    QTest::newRow("302 with a user ID")
        << QStringList{"--fail", R"(302:1:/api/user/auth/login:{"error":"","msg":"ok","zovid":"10001"})"}
        << false << "p&w=1+2%" << failed;
    QTest::newRow("301 with a user ID")
        << QStringList{"--fail", R"(301:1:/api/user/auth/login:{"error":"","msg":"ok","zovid":"10001"})"}
        << false << "p&w=1+2%" << failed;
}

void tst_AccountDialogs::login()
{
    QFETCH(QStringList, faults);
    QFETCH(bool, serviceDown);
    QFETCH(QString, password);
    QFETCH(QString, status);

    StandinService service(faults);
    QVERIFY(service.start());
    const QString name = "名字&x=1";
    // Account made before the faults apply to the login path.
    QVERIFY(service.addAccount(name, "p&w=1+2%"));
    if (serviceDown)
        qputenv("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString().toUtf8());

    QLoadInDlg dialog;
    // A hung login ends as a failure once nothing arrived for the stall time-out.
    if (faults.contains("--stall"))
        dialog.findChild<CAccountClient*>()->setStallTimeout(3000);
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    fill(&dialog, "userNameEdit", name);
    fill(&dialog, "passwordEdit", password);
    auto* statusLabel = dialog.findChild<QLabel*>("statusLabel");
    QVERIFY(statusLabel);
    QTest::mouseClick(dialog.findChild<QPushButton*>("loadButton"), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(statusLabel->text(), status, 10000);
    const bool success = status == "登陆成功";
    QCOMPARE(accepted.count(), success ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !success);
    QCOMPARE(dialog.result(), success ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.GetUserID(), success ? service.userId(name) : QString());
    if (success)
        QVERIFY(!dialog.GetUserID().isEmpty());
}

void tst_AccountDialogs::failedLoginKeepsPreviousId()
{
    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("anna", "pw"));
    QVERIFY(service.addAccount("bert", "pw2"));

    QLoadInDlg dialog;
    dialog.show();
    auto* statusLabel = dialog.findChild<QLabel*>("statusLabel");
    auto* loadButton = dialog.findChild<QPushButton*>("loadButton");
    fill(&dialog, "userNameEdit", "anna");
    fill(&dialog, "passwordEdit", "pw");
    QTest::mouseClick(loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(statusLabel->text(), QString("登陆成功"), 10000);
    const QString anna = dialog.GetUserID();
    QCOMPARE(anna, service.userId("anna"));

    // The caller shows the dialog again; a refused login leaves the ID alone.
    dialog.show();
    fill(&dialog, "userNameEdit", "bert");
    fill(&dialog, "passwordEdit", "pw");
    QTest::mouseClick(loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(statusLabel->text(), QString("用户名或密码错误"), 10000);
    QCOMPARE(dialog.GetUserID(), anna);

    // So does a service that cannot be reached.
    qputenv("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString().toUtf8());
    fill(&dialog, "passwordEdit", "pw2");
    QTest::mouseClick(loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(statusLabel->text(), QString("登陆失败，请检查网络后重试"), 10000);
    QCOMPARE(dialog.GetUserID(), anna);
    QVERIFY(dialog.isVisible());

    // A later successful login replaces it.
    qputenv("VELLORA_SERVICE_URL", service.url().toString().toUtf8());
    QTest::mouseClick(loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(statusLabel->text(), QString("登陆成功"), 10000);
    QCOMPARE(dialog.GetUserID(), service.userId("bert"));
    QVERIFY(dialog.GetUserID() != anna);
}

void tst_AccountDialogs::loginAgainWhileFirstHangs()
{
    // A service that never answers the first login and accepts the second.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int requests = 0;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            if (!socket->readAll().contains("password=") || ++requests == 1)
                return;
            const QByteArray body = R"({"error":"","msg":"ok","zovid":"10001"})";
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n" + body);
        });
    });
    qputenv("VELLORA_SERVICE_URL", QString("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());

    CAccountClient client;
    QList<CAccountAnswer> answers;
    connect(&client, &CAccountClient::loginFinished, this,
            [&answers](const CAccountAnswer& answer) { answers.append(answer); });
    client.login("anna", "first try");
    QTRY_COMPARE_WITH_TIMEOUT(requests, 1, 10000);
    // The user gives up waiting and tries again.
    client.login("anna", "second try");

    QTRY_VERIFY_WITH_TIMEOUT(!answers.isEmpty(), 10000);
    // Exactly one result, the second's: the abandoned login reports nothing, not even a failure.
    QCOMPARE(answers.size(), 1);
    QVERIFY(answers.first().loginSucceeded());
    QCOMPARE(answers.first().zovid(), QString("10001"));
    qunsetenv("VELLORA_SERVICE_URL");
}

void tst_AccountDialogs::registration_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");
    // Rows with faults make no account beforehand: the faults would hit that request.

    const QString failed = "注册失败，请检查网络后重试";
    QTest::newRow("new account") << QStringList() << "新用户&a=b"
                                 << "x&y=z"
                                 << "x&y=z"
                                 << "注册成功，请登陆";
    QTest::newRow("name taken") << QStringList() << "taken"
                                << "pw"
                                << "pw"
                                << "用户名已存在";
    QTest::newRow("confirmation differs") << QStringList() << "carl"
                                          << "pw"
                                          << "pw "
                                          << "两次输入的密码不一致";
    QTest::newRow("empty password") << QStringList() << "dora"
                                    << ""
                                    << ""
                                    << "密码不能为空";
    QTest::newRow("HTTP 503") << QStringList{"--fail", "503:1:/api/user/auth/register"} << "emil"
                              << "pw"
                              << "pw" << failed;
    QTest::newRow("not JSON") << QStringList{"--fail", "200:1:/api/user/auth/register"} << "emil"
                              << "pw"
                              << "pw" << failed;
    QTest::newRow("200 with an error text")
        << QStringList{"--fail",
                       R"(200:1:/api/user/auth/register:{"error":"服务器忙","msg":"注册成功，请登陆"})"}
        << "emil"
        << "pw"
        << "pw"
        << "服务器忙";
}

void tst_AccountDialogs::registration()
{
    QFETCH(QStringList, faults);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);

    StandinService service(faults);
    QVERIFY(service.start());
    if (faults.isEmpty())
        QVERIFY(service.addAccount("taken", "old"));

    QSignInDlg dialog;
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    fill(&dialog, "userNameEdit", name);
    fill(&dialog, "nicknameEdit", "小名");
    fill(&dialog, "passwordEdit", password);
    fill(&dialog, "confirmEdit", confirmation);
    QTest::mouseClick(dialog.findChild<QPushButton*>("signButton"), Qt::LeftButton);

    QNoticeBox* notice = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((notice = NoticeBoxes::visible()), 10000);
    QCOMPARE(notice->windowTitle(), QString("提示信息："));
    QCOMPARE(notice->text(), message);
    // The dialog waits for the box to be closed.
    QVERIFY(dialog.isVisible());
    notice->button(QMessageBox::Ok)->click();

    const bool success = message == "注册成功，请登陆";
    QTRY_COMPARE(accepted.count(), success ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !success);
    const QJsonObject account =
        service.record("accounts.json").value("users").toObject().value(name).toObject();
    QCOMPARE(!account.isEmpty(), success || name == "taken");
    if (success) {
        QCOMPARE(account.value("nickname").toString(), QString("小名"));
        // The password arrived whole: the account logs in with it.
        QLoadInDlg login;
        login.show();
        fill(&login, "userNameEdit", name);
        fill(&login, "passwordEdit", password);
        QTest::mouseClick(login.findChild<QPushButton*>("loadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(login.GetUserID(), account.value("zovid").toString(), 10000);
    }
}

QTEST_MAIN(tst_AccountDialogs)
#include "tst_accountdialogs.moc"
